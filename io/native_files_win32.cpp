#include <windows.h>

#include <algorithm>
#include <string>

#include "io/native_files.h"
#include "io/wide_names_win32.h"

namespace binario::native {

namespace {

std::string narrow(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string bytes(static_cast<std::size_t>(size - 1), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, bytes.data(), size, nullptr, nullptr);
  return bytes;
}

std::error_code last_error() {
  const DWORD error = GetLastError();
  return std::error_code(static_cast<int>(error != 0 ? error : ERROR_GEN_FAILURE),
                         std::system_category());
}

HANDLE handle(File file) { return reinterpret_cast<HANDLE>(file); }

std::error_code opened(HANDLE handle, File& file) {
  if (handle == INVALID_HANDLE_VALUE) return last_error();
  file = reinterpret_cast<File>(handle);
  return {};
}

// One call reads or writes at most this much: the count is a DWORD.
constexpr std::size_t kMostInOneCall = 1u << 30;

}  // namespace

const char* const kSeparators = "\\/";

std::error_code create_new(const std::string& path, File& file) {
  // CREATE_NEW fails if anything is at the name; a link there is never followed.
  return opened(CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr),
                file);
}

std::error_code open_for_reading(const std::string& path, File& file) {
  return opened(CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr),
                file);
}

std::error_code write_all(File file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD size = static_cast<DWORD>(std::min(bytes.size(), kMostInOneCall));
    DWORD written = 0;
    if (!WriteFile(handle(file), bytes.data(), size, &written, nullptr)) return last_error();
    if (written == 0) return std::error_code(ERROR_DISK_FULL, std::system_category());
    bytes.remove_prefix(written);
  }
  return {};
}

std::error_code read_some(File file, char* buffer, std::size_t size, std::size_t& count) {
  DWORD got = 0;
  if (!ReadFile(handle(file), buffer, static_cast<DWORD>(std::min(size, kMostInOneCall)), &got,
                nullptr)) {
    return last_error();
  }
  count = got;
  return {};
}

std::error_code flush_to_disk(File file) {
  if (!FlushFileBuffers(handle(file))) return last_error();
  return {};
}

std::error_code close(File file) {
  if (!CloseHandle(handle(file))) return last_error();
  return {};
}

// The C runtime's rename does not replace an existing file: MoveFileEx does, and with
// MOVEFILE_WRITE_THROUGH returns only once the move is on the disk. A read-only file is never
// replaced: Windows refuses it, and the check makes every implementation of the system agree.
std::error_code rename_replacing(const std::string& from, const std::string& to) {
  const std::wstring target = wide(to);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    return std::error_code(ERROR_ACCESS_DENIED, std::system_category());
  }
  if (!MoveFileExW(wide(from).c_str(), target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return last_error();
  }
  return {};
}

std::error_code remove(const std::string& path) {
  if (!DeleteFileW(wide(path).c_str())) return last_error();
  return {};
}

std::error_code list_folder(const std::string& folder, std::vector<std::string>& names) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(wide(folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return last_error();
  std::error_code error;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(narrow(found.cFileName));
  } while (FindNextFileW(search, &found));
  if (GetLastError() != ERROR_NO_MORE_FILES) error = last_error();
  FindClose(search);
  return error;
}

bool is_not_found(std::error_code error) {
  return error.category() == std::system_category() &&
         (error.value() == ERROR_FILE_NOT_FOUND || error.value() == ERROR_PATH_NOT_FOUND);
}

bool is_already_there(std::error_code error) {
  return error.category() == std::system_category() &&
         (error.value() == ERROR_FILE_EXISTS || error.value() == ERROR_ALREADY_EXISTS);
}

}  // namespace binario::native
