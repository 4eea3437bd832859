// A library that the fault tests preload (LD_PRELOAD) into the real programs. It watches the
// file calls a program makes on the files of one folder, numbers them, and makes the N-th one
// fail with an error a real disk or file system gives, or kills the program right before it.
// The program is not changed in any way: its own calls of the C library are the ones that fail.
//
// The environment sets it up:
//   BINARIO_FAULT_FOLDER  the folder whose files are watched (the folder itself included);
//                         nothing is watched without it
//   BINARIO_FAULT_AT      the number of the call that fails, from 1; none fails without it
//   BINARIO_FAULT_KILL    when set, the call numbered BINARIO_FAULT_AT kills the program with
//                         SIGKILL instead of failing
//   BINARIO_FAULT_LOG     a file to which every watched call is appended as a line:
//                         "NUMBER OPERATION PATH", then " failed ERRNO" for the failing one
//
// The operations: create (open with O_CREAT), open, read, write, sync (fsync, fdatasync),
// close, rename, delete (unlink) and lock (flock).

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Settings {
  std::string folder;  // with a trailing '/'
  long fail_at = 0;
  bool kill = false;
  int log = -1;
};

template <typename Function>
Function real(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

using OpenFunction = int (*)(const char*, int, ...);
using OpenAtFunction = int (*)(int, const char*, int, ...);
using WriteFunction = ssize_t (*)(int, const void*, size_t);
using CloseFunction = int (*)(int);

OpenFunction real_open() {
  static const OpenFunction function = real<OpenFunction>("open");
  return function;
}
WriteFunction real_write() {
  static const WriteFunction function = real<WriteFunction>("write");
  return function;
}
CloseFunction real_close() {
  static const CloseFunction function = real<CloseFunction>("close");
  return function;
}

const Settings& settings() {
  static const Settings settings = [] {
    Settings s;
    if (const char* folder = std::getenv("BINARIO_FAULT_FOLDER")) {
      s.folder = folder;
      if (!s.folder.empty() && s.folder.back() != '/') s.folder += '/';
    }
    if (const char* at = std::getenv("BINARIO_FAULT_AT")) s.fail_at = std::atol(at);
    s.kill = std::getenv("BINARIO_FAULT_KILL") != nullptr;
    if (const char* log = std::getenv("BINARIO_FAULT_LOG")) {
      s.log = real_open()(log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    }
    return s;
  }();
  return settings;
}

// The descriptors opened on watched files.
std::array<bool, 4096> watched_descriptors{};
std::array<std::string, 4096> descriptor_paths{};
long calls = 0;

bool is_watched(int fd) {
  return fd >= 0 && static_cast<std::size_t>(fd) < watched_descriptors.size() &&
         watched_descriptors[static_cast<std::size_t>(fd)];
}

// The absolute form of `path`, as given relative to `dirfd`.
std::string absolute(int dirfd, const char* path) {
  if (path == nullptr) return {};
  if (path[0] == '/') return path;
  if (dirfd != AT_FDCWD) {
    if (is_watched(dirfd)) return descriptor_paths[static_cast<std::size_t>(dirfd)] + "/" + path;
    return {};
  }
  char here[4096];
  if (getcwd(here, sizeof here) == nullptr) return {};
  return std::string(here) + "/" + path;
}

bool is_watched(const std::string& path) {
  const std::string& folder = settings().folder;
  if (folder.empty() || path.empty()) return false;
  return path.compare(0, folder.size(), folder) == 0 || path + "/" == folder;
}

// The error a failing call of this kind gives, varied with its number.
int error_for(const char* operation, long number) {
  struct Errors {
    const char* operation;
    std::array<int, 3> errors;
  };
  static const Errors table[] = {
      {"create", {ENOSPC, EACCES, EIO}},  {"open", {EACCES, EIO, EACCES}},
      {"read", {EIO, EIO, EIO}},          {"write", {ENOSPC, EIO, ENOSPC}},
      {"sync", {EIO, ENOSPC, EIO}},       {"close", {EIO, EIO, EIO}},
      {"rename", {EBUSY, EACCES, EIO}},   {"delete", {EBUSY, EACCES, EIO}},
      {"lock", {ENOLCK, ENOLCK, ENOLCK}},
  };
  for (const Errors& e : table) {
    if (std::strcmp(e.operation, operation) == 0) return e.errors[number % 3];
  }
  return EIO;
}

void log_line(const std::string& line) {
  if (settings().log >= 0) {
    const std::string text = line + "\n";
    static_cast<void>(real_write()(settings().log, text.data(), text.size()));
  }
}

// Numbers a watched call; gives the error it must fail with, or 0 to let it happen.
int next_call(const char* operation, const std::string& path) {
  const long number = ++calls;
  std::string line = std::to_string(number) + " " + operation + " " + path;
  if (number != settings().fail_at) {
    log_line(line);
    return 0;
  }
  if (settings().kill) {
    log_line(line + " killed");
    raise(SIGKILL);
  }
  const int error = error_for(operation, number);
  log_line(line + " failed " + std::to_string(error));
  return error;
}

int watch_opened(int fd, const std::string& path) {
  if (fd >= 0 && static_cast<std::size_t>(fd) < watched_descriptors.size()) {
    watched_descriptors[static_cast<std::size_t>(fd)] = true;
    descriptor_paths[static_cast<std::size_t>(fd)] = path;
  }
  return fd;
}

int open_watched(int dirfd, const char* path, int flags, mode_t mode) {
  static const OpenAtFunction open_at = real<OpenAtFunction>("openat");
  const std::string full = absolute(dirfd, path);
  if (!is_watched(full)) return open_at(dirfd, path, flags, mode);
  if (const int error = next_call((flags & O_CREAT) != 0 ? "create" : "open", full)) {
    errno = error;
    return -1;
  }
  return watch_opened(open_at(dirfd, path, flags, mode), full);
}

mode_t mode_argument(int flags, va_list arguments) {
  return (flags & (O_CREAT | O_TMPFILE)) != 0 ? static_cast<mode_t>(va_arg(arguments, int)) : 0;
}

// Runs `call` unless the watched call on `fd` is the failing one.
template <typename Result, typename Call>
Result on_descriptor(int fd, const char* operation, Call call) {
  if (!is_watched(fd)) return call();
  if (const int error = next_call(operation, descriptor_paths[static_cast<std::size_t>(fd)])) {
    errno = error;
    return -1;
  }
  return call();
}

}  // namespace

extern "C" {

int open(const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = mode_argument(flags, arguments);
  va_end(arguments);
  return open_watched(AT_FDCWD, path, flags, mode);
}

int open64(const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = mode_argument(flags, arguments);
  va_end(arguments);
  return open_watched(AT_FDCWD, path, flags, mode);
}

int openat(int dirfd, const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = mode_argument(flags, arguments);
  va_end(arguments);
  return open_watched(dirfd, path, flags, mode);
}

int openat64(int dirfd, const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = mode_argument(flags, arguments);
  va_end(arguments);
  return open_watched(dirfd, path, flags, mode);
}

// What _FORTIFY_SOURCE makes of open() without a mode.
int __open_2(const char* path, int flags) { return open_watched(AT_FDCWD, path, flags, 0); }
int __open64_2(const char* path, int flags) { return open_watched(AT_FDCWD, path, flags, 0); }

ssize_t read(int fd, void* buffer, size_t size) {
  static const auto function = real<ssize_t (*)(int, void*, size_t)>("read");
  return on_descriptor<ssize_t>(fd, "read", [&] { return function(fd, buffer, size); });
}

ssize_t write(int fd, const void* buffer, size_t size) {
  return on_descriptor<ssize_t>(fd, "write", [&] { return real_write()(fd, buffer, size); });
}

int fsync(int fd) {
  static const auto function = real<int (*)(int)>("fsync");
  return on_descriptor<int>(fd, "sync", [&] { return function(fd); });
}

int fdatasync(int fd) {
  static const auto function = real<int (*)(int)>("fdatasync");
  return on_descriptor<int>(fd, "sync", [&] { return function(fd); });
}

// A failing close still closes the descriptor, as Linux does.
int close(int fd) {
  if (!is_watched(fd)) return real_close()(fd);
  watched_descriptors[static_cast<std::size_t>(fd)] = false;
  const int error = next_call("close", descriptor_paths[static_cast<std::size_t>(fd)]);
  const int result = real_close()(fd);
  if (error == 0) return result;
  errno = error;
  return -1;
}

int flock(int fd, int operation) noexcept {
  static const auto function = real<int (*)(int, int)>("flock");
  return on_descriptor<int>(fd, "lock", [&] { return function(fd, operation); });
}

int rename(const char* from, const char* to) noexcept {
  static const auto function = real<int (*)(const char*, const char*)>("rename");
  const std::string full = absolute(AT_FDCWD, from);
  if (is_watched(full) || is_watched(absolute(AT_FDCWD, to))) {
    if (const int error = next_call("rename", full)) {
      errno = error;
      return -1;
    }
  }
  return function(from, to);
}

int renameat(int from_dir, const char* from, int to_dir, const char* to) noexcept {
  static const auto function = real<int (*)(int, const char*, int, const char*)>("renameat");
  const std::string full = absolute(from_dir, from);
  if (is_watched(full) || is_watched(absolute(to_dir, to))) {
    if (const int error = next_call("rename", full)) {
      errno = error;
      return -1;
    }
  }
  return function(from_dir, from, to_dir, to);
}

int unlink(const char* path) noexcept {
  static const auto function = real<int (*)(const char*)>("unlink");
  const std::string full = absolute(AT_FDCWD, path);
  if (is_watched(full)) {
    if (const int error = next_call("delete", full)) {
      errno = error;
      return -1;
    }
  }
  return function(path);
}

int unlinkat(int dirfd, const char* path, int flags) noexcept {
  static const auto function = real<int (*)(int, const char*, int)>("unlinkat");
  const std::string full = absolute(dirfd, path);
  if (is_watched(full)) {
    if (const int error = next_call("delete", full)) {
      errno = error;
      return -1;
    }
  }
  return function(dirfd, path, flags);
}

}  // extern "C"
