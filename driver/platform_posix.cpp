// The platform layer for POSIX systems without a window system: the waiting text and every
// message go to standard error, one line each.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "driver/platform.h"

namespace binario::platform {

namespace {

void write_line(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

}  // namespace

void show_waiting_window(std::string_view /*title*/, std::string_view label) { write_line(label); }

void show_message(std::string_view text) { write_line(text); }

void report_error_status(std::int32_t codice_errore, std::int32_t posizione_errore) {
  write_line("varelbo: codice_errore " + std::to_string(codice_errore) + ", posizione_errore " +
             std::to_string(posizione_errore));
}

std::string executable_folder() {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
}

char path_separator() { return '/'; }

void end_process(int status) { std::exit(status); }

}  // namespace binario::platform
