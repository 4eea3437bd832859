#include <windows.h>

#include <system_error>

#include "io/folder_lock.h"
#include "io/wide_names_win32.h"

namespace binario {

namespace {

using native::wide;

// The lock file's name in the folder. Never change it: runs of different versions must meet
// on the same file.
constexpr char kLockFile[] = "binario.lock";

constexpr DWORD kRetryMs = 5;

std::system_error failure(DWORD error, const std::string& folder) {
  return std::system_error(static_cast<int>(error), std::system_category(),
                           "cannot lock " + folder);
}

bool not_found(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool same_file(HANDLE a, HANDLE b) {
  BY_HANDLE_FILE_INFORMATION first{};
  BY_HANDLE_FILE_INFORMATION second{};
  return GetFileInformationByHandle(a, &first) && GetFileInformationByHandle(b, &second) &&
         first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
         first.nFileIndexHigh == second.nFileIndexHigh &&
         first.nFileIndexLow == second.nFileIndexLow;
}

// Whether the file locked through `file` is still the one at `name`. The holder deletes the
// file as it lets go; a run that was waiting on the deleted file must not take that for the
// lock, and tries again on the file at the name.
bool still_named(HANDLE file, const std::wstring& name) {
  HANDLE named = CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (named == INVALID_HANDLE_VALUE) return false;
  const bool same = same_file(file, named);
  CloseHandle(named);
  return same;
}

}  // namespace

// Windows locks no folder: the lock is a byte of a file in it, locked with LockFileEx. The
// system lets go of it when the process ends. A holder deletes the file while it still holds
// the lock, so that a waiter can tell the deleted file from the one at the name; a file that a
// killed run left is simply locked by the next one.
FolderLock::FolderLock(const std::string& folder, std::chrono::milliseconds wait) {
  const std::wstring name = wide(folder + "\\" + kLockFile);
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(wait.count());
  for (;;) {
    HANDLE file = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      if (error == ERROR_ACCESS_DENIED) {
        // Either a lock file being deleted, which cannot be opened until its last handle
        // closes, or a folder this process may not write: only in the first is there a file.
        const bool no_file = GetFileAttributesW(name.c_str()) == INVALID_FILE_ATTRIBUTES &&
                             not_found(GetLastError());
        if (no_file) throw failure(error, folder);
      } else if (error != ERROR_SHARING_VIOLATION) {
        throw failure(error, folder);
      }
    } else {
      OVERLAPPED at{};
      if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
        if (still_named(file, name)) {
          handle_ = reinterpret_cast<std::intptr_t>(file);
          return;
        }
      } else if (const DWORD error = GetLastError(); error != ERROR_LOCK_VIOLATION) {
        CloseHandle(file);
        throw failure(error, folder);
      }
      CloseHandle(file);
    }
    if (GetTickCount64() >= deadline) throw timed_out(folder, wait);
    Sleep(kRetryMs);
  }
}

FolderLock::~FolderLock() {
  HANDLE file = reinterpret_cast<HANDLE>(handle_);
  // Deleted while still locked: a waiter that then locks it sees that it is no longer the file
  // at the name. It goes when its last handle closes.
  FILE_DISPOSITION_INFO dispose{TRUE};
  SetFileInformationByHandle(file, FileDispositionInfo, &dispose, sizeof dispose);
  CloseHandle(file);
}

}  // namespace binario
