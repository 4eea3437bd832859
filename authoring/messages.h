#ifndef BINARIO_AUTHORING_MESSAGES_H_
#define BINARIO_AUTHORING_MESSAGES_H_

#include <cstdint>
#include <string>

namespace binario::authoring {

// What an error code means, in words a scenario author understands.
std::string meaning(std::int32_t code);

// Whether the error code comes with a route position.
bool has_position(std::int32_t code);

}  // namespace binario::authoring

#endif  // BINARIO_AUTHORING_MESSAGES_H_
