#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "io/native_files.h"

namespace binario::native {

namespace {

std::error_code last_error() {
  return std::error_code(errno != 0 ? errno : EIO, std::generic_category());
}

int descriptor(File file) { return static_cast<int>(file); }

}  // namespace

const char* const kSeparators = "/";

std::error_code create_new(const std::string& path, File& file) {
  // O_EXCL with O_CREAT: the call fails if anything is at the name, a link included.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return last_error();
  file = fd;
  return {};
}

std::error_code open_for_reading(const std::string& path, File& file) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return last_error();
  file = fd;
  return {};
}

std::error_code write_all(File file, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(descriptor(file), bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return last_error();
    }
    // A write of no byte at all would loop for ever; the disk is full in all but name.
    if (written == 0) return std::make_error_code(std::errc::no_space_on_device);
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return {};
}

std::error_code read_some(File file, char* buffer, std::size_t size, std::size_t& count) {
  for (;;) {
    const ssize_t got = ::read(descriptor(file), buffer, size);
    if (got >= 0) {
      count = static_cast<std::size_t>(got);
      return {};
    }
    if (errno != EINTR) return last_error();
  }
}

std::error_code flush_to_disk(File file) {
  if (::fsync(descriptor(file)) != 0) return last_error();
  return {};
}

std::error_code close(File file) {
  // Linux and the BSDs release the descriptor whatever close reports: never retry it.
  if (::close(descriptor(file)) != 0) return last_error();
  return {};
}

// POSIX rename replaces the target atomically.
std::error_code rename_replacing(const std::string& from, const std::string& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) return last_error();
  return {};
}

std::error_code remove(const std::string& path) {
  if (::unlink(path.c_str()) != 0) return last_error();
  return {};
}

std::error_code list_folder(const std::string& folder, std::vector<std::string>& names) {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return last_error();
  for (;;) {
    errno = 0;  // readdir tells the end from a failure by errno alone
    const dirent* entry = ::readdir(dir);
    if (entry == nullptr) break;
    if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
      names.emplace_back(entry->d_name);
    }
  }
  const std::error_code error = errno != 0 ? last_error() : std::error_code();
  ::closedir(dir);
  return error;
}

bool is_not_found(std::error_code error) { return error == std::errc::no_such_file_or_directory; }

bool is_already_there(std::error_code error) { return error == std::errc::file_exists; }

}  // namespace binario::native
