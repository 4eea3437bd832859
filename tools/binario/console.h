#ifndef BINARIO_TOOLS_BINARIO_CONSOLE_H_
#define BINARIO_TOOLS_BINARIO_CONSOLE_H_

// binario writes UTF-8. One implementation per platform, chosen by the build.

namespace binario::tool {

// Makes the console, where there is one, show UTF-8 as the characters it encodes.
void prepare_console();

}  // namespace binario::tool

#endif  // BINARIO_TOOLS_BINARIO_CONSOLE_H_
