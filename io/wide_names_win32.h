#ifndef BINARIO_IO_WIDE_NAMES_WIN32_H_
#define BINARIO_IO_WIDE_NAMES_WIN32_H_

// File names are 8-bit bytes in the ANSI code page; the system's wide calls take them as
// UTF-16. Windows only; internal to io/.

#include <windows.h>

#include <string>

namespace binario::native {

inline std::wstring wide(const std::string& bytes) {
  if (bytes.empty()) return {};
  const int size =
      MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
  return text;
}

}  // namespace binario::native

#endif  // BINARIO_IO_WIDE_NAMES_WIN32_H_
