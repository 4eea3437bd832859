// Terminals and command lines on POSIX systems take UTF-8 as it is.

#include "tools/binario/console.h"

namespace binario::tool {

void prepare_console() {}

std::string argument_as_utf8(const std::string& argument) { return argument; }

std::string utf8_as_argument(const std::string& utf8) { return utf8; }

}  // namespace binario::tool
