#ifndef BINARIO_DRIVER_PLATFORM_H_
#define BINARIO_DRIVER_PLATFORM_H_

// What varelbo needs from the system it runs on. One implementation per platform, chosen by
// the build: platform_posix.cpp (no window system: texts go to standard error) and, for the
// simulator's own platform, a Win32 one.

#include <cstdint>
#include <string>
#include <string_view>

namespace binario::platform {

// Shows the waiting window, titled `title` and holding the one label `label`, and paints it
// at once. It stays on screen, unresponsive, until the process ends.
void show_waiting_window(std::string_view title, std::string_view label);

// Shows `text` in a modal message box with a single OK button and waits until it is closed.
void show_message(std::string_view text);

// Makes known the error status that a run ended with, where the platform has a place for it
// (a console does; the windowed program shows nothing but its error box).
void report_error_status(std::int32_t codice_errore, std::int32_t posizione_errore);

// The folder that holds the running executable, without a trailing separator. Throws
// std::system_error when the system cannot tell.
std::string executable_folder();

// What stands between a folder and a file name.
char path_separator();

// Ends the process at once with `status`; open files are closed.
[[noreturn]] void end_process(int status);

}  // namespace binario::platform

#endif  // BINARIO_DRIVER_PLATFORM_H_
