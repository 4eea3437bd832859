#ifndef BINARIO_IO_FILES_H_
#define BINARIO_IO_FILES_H_

#include <optional>
#include <string>
#include <string_view>

namespace binario {

// Writes `bytes` as the whole content of the file `path`, creating it or replacing an older one.
// The bytes go first to a temporary file beside the target (`path` + ".tmp"), which is then
// renamed over the target, so the target is at every moment either the older file, whole, or
// the new one, whole. On failure the temporary file is removed, the target is left as it was,
// and a std::system_error carries the failure's number and description.
void replace_file(const std::string& path, std::string_view bytes);

// The whole content of the file `path`, or nothing when there is no such file. A file that
// exists but cannot be read is a std::system_error.
std::optional<std::string> read_file_if_exists(const std::string& path);

// Deletes the file `path` if there is one. A file that cannot be deleted is a std::system_error.
void remove_file(const std::string& path);

}  // namespace binario

#endif  // BINARIO_IO_FILES_H_
