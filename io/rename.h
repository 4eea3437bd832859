#ifndef BINARIO_IO_RENAME_H_
#define BINARIO_IO_RENAME_H_

// The one file operation whose meaning differs between the platforms: a rename that replaces
// an existing target in a single step. One implementation per platform, chosen by the build.

#include <string>
#include <system_error>

namespace binario {

// Renames the file `from` to `to`, replacing `to` if it exists. Gives the failure, if any.
std::error_code rename_replacing(const std::string& from, const std::string& to);

}  // namespace binario

#endif  // BINARIO_IO_RENAME_H_
