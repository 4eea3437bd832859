#ifndef BINARIO_IO_REPLACE_FILE_H_
#define BINARIO_IO_REPLACE_FILE_H_

#include <string>
#include <string_view>

namespace binario {

// Writes `bytes` as the whole content of the file `path`, creating it or replacing an older one.
// The bytes go first to a temporary file beside the target (`path` + ".tmp"), which is then
// renamed over the target, so the target is at every moment either the older file, whole, or
// the new one, whole. On failure the temporary file is removed, the target is left as it was,
// and a std::system_error carries the failure's number and description.
void replace_file(const std::string& path, std::string_view bytes);

}  // namespace binario

#endif  // BINARIO_IO_REPLACE_FILE_H_
