// The Windows console shows bytes in its own code page unless told they are UTF-8.

#include <windows.h>

#include "tools/binario/console.h"

namespace binario::tool {

void prepare_console() { SetConsoleOutputCP(CP_UTF8); }

}  // namespace binario::tool
