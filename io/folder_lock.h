#ifndef BINARIO_IO_FOLDER_LOCK_H_
#define BINARIO_IO_FOLDER_LOCK_H_

#include <chrono>
#include <cstdint>
#include <string>
#include <system_error>

namespace binario {

// The lock a program takes on a folder before it writes anything there, so that two runs never
// write the same folder at once: varelbo started twice by a double click, or binario compiling
// into varelbo's folder. A second run waits for the first, for a bounded time.
//
// The system holds the lock for the process: it goes when the process ends, however it ends,
// killed included, and no stale lock ever blocks the next run. On POSIX it is flock() on the
// folder itself; on Windows, LockFileEx() on a file "binario.lock" in the folder, which the
// holder deletes when it lets go (and the next holder reuses, should a killed run leave it).
// No file of the lock stays behind a run.
class FolderLock {
 public:
  // How long a run waits for another before it gives up.
  static constexpr std::chrono::milliseconds kWait{30000};

  // Takes the lock on `folder`, waiting up to `wait` while another process (or another
  // FolderLock of this one) holds it. Throws std::system_error with the folder's name: with
  // std::errc::device_or_resource_busy when the wait ran out.
  explicit FolderLock(const std::string& folder, std::chrono::milliseconds wait = kWait);
  // Lets go of the lock.
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  // The failure of a wait that ran out.
  static std::system_error timed_out(const std::string& folder, std::chrono::milliseconds wait) {
    const std::string waited = wait.count() % 1000 == 0 ? std::to_string(wait.count() / 1000) + " s"
                                                        : std::to_string(wait.count()) + " ms";
    return std::system_error(
        std::make_error_code(std::errc::device_or_resource_busy),
        "cannot lock " + folder + ": another run has been writing there for " + waited);
  }

  std::intptr_t handle_;  // native::File
};

}  // namespace binario

#endif  // BINARIO_IO_FOLDER_LOCK_H_
