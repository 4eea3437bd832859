#ifndef BINARIO_IO_NATIVE_FILES_H_
#define BINARIO_IO_NATIVE_FILES_H_

// The file operations of the system itself, which the helpers of io/ are built on: one
// implementation per platform (native_files_posix.cpp, native_files_win32.cpp), chosen by the
// build. Each is one call of the system, so that a failure is the system's own, with its number
// (errno on POSIX, GetLastError on Windows). File names are bytes: on Windows in the ANSI code
// page. Internal to io/.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace binario::native {

// An open file: a descriptor on POSIX, a HANDLE on Windows.
using File = std::intptr_t;
inline constexpr File kNoFile = -1;

// What separates a folder from a file name on this platform ("/", or "\\/" on Windows).
extern const char* const kSeparators;

// Creates the file `path`, which must not exist yet, for writing. Whatever stands at the name
// (a file, a link, a folder) makes it fail: a link is never followed.
std::error_code create_new(const std::string& path, File& file);

// Opens the existing file `path` for reading.
std::error_code open_for_reading(const std::string& path, File& file);

// Writes all of `bytes`, in as many calls as the system needs.
std::error_code write_all(File file, std::string_view bytes);

// Reads up to `size` bytes; `count` is 0 at the end of the file.
std::error_code read_some(File file, char* buffer, std::size_t size, std::size_t& count);

// Returns only once the file's bytes are on the disk (fsync, FlushFileBuffers).
std::error_code flush_to_disk(File file);

// Closes the file. The file is closed even when this reports a failure.
std::error_code close(File file);

// Renames the file `from` to `to`, replacing `to` if it exists, in a single step.
std::error_code rename_replacing(const std::string& from, const std::string& to);

// Deletes the file `path`; a folder is never deleted.
std::error_code remove(const std::string& path);

// The names of the entries of `folder`, without "." and "..".
std::error_code list_folder(const std::string& folder, std::vector<std::string>& names);

// Whether a failure says that there is no such file (or no such folder on the way to it).
bool is_not_found(std::error_code error);

// Whether a failure of create_new() says that something stands at the name already.
bool is_already_there(std::error_code error);

}  // namespace binario::native

#endif  // BINARIO_IO_NATIVE_FILES_H_
