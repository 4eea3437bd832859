// Terminals on POSIX systems take UTF-8 as it is.

#include "tools/binario/console.h"

namespace binario::tool {

void prepare_console() {}

}  // namespace binario::tool
