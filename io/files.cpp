#include "io/files.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <system_error>

#include "io/rename.h"

namespace binario {

namespace {

// The failure the C library just reported. It always sets errno on the platforms we build
// for; an input/output error stands in should one ever not.
std::error_code last_error() {
  return std::error_code(errno != 0 ? errno : EIO, std::generic_category());
}

}  // namespace

void replace_file(const std::string& path, std::string_view bytes) {
  const std::string temporary = path + ".tmp";
  // Whatever stands at the temporary name (a file left by a run that was killed, or a link
  // planted there) is removed, never written through.
  std::remove(temporary.c_str());
  errno = 0;
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (file == nullptr) throw std::system_error(last_error(), "cannot create " + temporary);

  std::error_code error;
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
    error = last_error();
  }
  // Buffered bytes reach the disk only when the file is closed, so closing can fail too.
  if (std::fclose(file) != 0 && !error) error = last_error();
  if (!error) error = rename_replacing(temporary, path);
  if (error) {
    std::remove(temporary.c_str());
    throw std::system_error(error, "cannot write " + path);
  }
}

std::optional<std::string> read_file_if_exists(const std::string& path) {
  errno = 0;
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                             &std::fclose);
  if (!file) {
    if (errno == ENOENT) return std::nullopt;
    throw std::system_error(last_error(), "cannot open " + path);
  }
  std::string bytes;
  char buffer[65536];
  std::size_t count;
  while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
    bytes.append(buffer, count);
  if (std::ferror(file.get())) throw std::system_error(last_error(), "cannot read " + path);
  return bytes;
}

void remove_file(const std::string& path) {
  errno = 0;
  if (std::remove(path.c_str()) != 0 && errno != ENOENT) {
    throw std::system_error(last_error(), "cannot delete " + path);
  }
}

}  // namespace binario
