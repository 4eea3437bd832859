#ifndef BINARIO_TOOLS_BINARIO_CONSOLE_H_
#define BINARIO_TOOLS_BINARIO_CONSOLE_H_

// What binario meets of the system around it: the console it writes to and the command line it
// is given. binario writes UTF-8. One implementation per platform, chosen by the build.

#include <string>

namespace binario::tool {

// Makes the console, where there is one, show UTF-8 as the characters it encodes.
void prepare_console();

// An argument as the system's command line gives it, as UTF-8 text. On POSIX an argument is
// UTF-8 already; on Windows it is in the ANSI code page, as the file names binario opens are.
std::string argument_as_utf8(const std::string& argument);

// UTF-8 text as the system's command line would give it: the inverse of argument_as_utf8, for
// the tests, which run binario's commands as the system would start them.
std::string utf8_as_argument(const std::string& utf8);

}  // namespace binario::tool

#endif  // BINARIO_TOOLS_BINARIO_CONSOLE_H_
