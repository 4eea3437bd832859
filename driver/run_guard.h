#ifndef BINARIO_DRIVER_RUN_GUARD_H_
#define BINARIO_DRIVER_RUN_GUARD_H_

#include <functional>
#include <string>
#include <string_view>

namespace binario {

// Runs `run` and gives its exit status. A failure that nothing else caught (a file that cannot
// be written, memory exhausted) is reported with its number and description, and gives
// kExitFailure.
int run_guarded(const std::function<int()>& run);

// The report of an unhandled failure.
std::string failure_message(int number, std::string_view description);

}  // namespace binario

#endif  // BINARIO_DRIVER_RUN_GUARD_H_
