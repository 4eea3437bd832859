#include "driver/run_guard.h"

#include <cerrno>
#include <exception>
#include <new>
#include <system_error>

#include "driver/exit_status.h"
#include "driver/platform.h"

namespace binario {

int run_guarded(const std::function<int()>& run) {
  try {
    return run();
  } catch (const std::system_error& failure) {
    platform::show_message(failure_message(failure.code().value(), failure.what()));
  } catch (const std::bad_alloc&) {
    platform::show_message(failure_message(ENOMEM, std::generic_category().message(ENOMEM)));
  } catch (const std::exception& failure) {
    platform::show_message("Errore di run-time: " + std::string(failure.what()));
  }
  return kExitFailure;
}

std::string failure_message(int number, std::string_view description) {
  return "Errore di run-time " + std::to_string(number) + ": " + std::string(description);
}

}  // namespace binario
