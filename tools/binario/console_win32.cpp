// The Windows console shows bytes in its own code page unless told they are UTF-8, and the
// command line's arguments come in the ANSI code page.

#include <windows.h>

#include <string>

#include "tools/binario/console.h"

namespace binario::tool {

namespace {

// `bytes` in code page `from`, in code page `to`.
std::string recoded(const std::string& bytes, UINT from, UINT to) {
  if (bytes.empty()) return {};
  const int wide_size =
      MultiByteToWideChar(from, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(wide_size), L'\0');
  MultiByteToWideChar(from, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(),
                      wide_size);
  const int size = WideCharToMultiByte(to, 0, wide.data(), wide_size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(to, 0, wide.data(), wide_size, out.data(), size, nullptr, nullptr);
  return out;
}

}  // namespace

void prepare_console() { SetConsoleOutputCP(CP_UTF8); }

std::string argument_as_utf8(const std::string& argument) {
  return recoded(argument, CP_ACP, CP_UTF8);
}

std::string utf8_as_argument(const std::string& utf8) { return recoded(utf8, CP_UTF8, CP_ACP); }

}  // namespace binario::tool
