#include <cerrno>
#include <cstdio>

#include "io/rename.h"

namespace binario {

// POSIX rename replaces the target atomically.
std::error_code rename_replacing(const std::string& from, const std::string& to) {
  if (std::rename(from.c_str(), to.c_str()) == 0) return {};
  return std::error_code(errno, std::generic_category());
}

}  // namespace binario
