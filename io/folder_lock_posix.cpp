#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <thread>

#include "io/folder_lock.h"

namespace binario {

namespace {

std::error_code last_error() {
  return std::error_code(errno != 0 ? errno : EIO, std::generic_category());
}

// How often a waiting run tries again: a run takes about 15 ms, and a try is one call.
constexpr std::chrono::milliseconds kRetry{1};

}  // namespace

// flock() locks the folder itself: no lock file to create or to leave behind. The lock belongs
// to the open folder, which the system closes when the process ends; O_CLOEXEC keeps it from a
// program this one might start, which would hold it on.
FolderLock::FolderLock(const std::string& folder, std::chrono::milliseconds wait) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) throw std::system_error(last_error(), "cannot lock " + folder);
  const auto deadline = std::chrono::steady_clock::now() + wait;
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const std::error_code error = last_error();
    if (error != std::errc::operation_would_block && error != std::errc::interrupted) {
      ::close(fd);
      throw std::system_error(error, "cannot lock " + folder);
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      ::close(fd);
      throw timed_out(folder, wait);
    }
    std::this_thread::sleep_for(kRetry);
  }
  handle_ = fd;
}

FolderLock::~FolderLock() { ::close(static_cast<int>(handle_)); }

}  // namespace binario
