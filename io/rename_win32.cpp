#include <windows.h>

#include <string>

#include "io/rename.h"

namespace binario {

namespace {

// File names are 8-bit bytes in the ANSI code page; the system takes them as UTF-16.
std::wstring wide(const std::string& bytes) {
  if (bytes.empty()) return {};
  const int size =
      MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
  return text;
}

}  // namespace

// The C runtime's rename does not replace an existing file: MoveFileEx does, and with
// MOVEFILE_WRITE_THROUGH returns only once the move is on the disk. A read-only file is never
// replaced: Windows refuses it, and the check makes every implementation of the system agree.
std::error_code rename_replacing(const std::string& from, const std::string& to) {
  const std::wstring target = wide(to);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    return std::error_code(ERROR_ACCESS_DENIED, std::system_category());
  }
  if (MoveFileExW(wide(from).c_str(), target.c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return {};
  }
  return std::error_code(static_cast<int>(GetLastError()), std::system_category());
}

}  // namespace binario
