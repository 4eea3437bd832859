#ifndef BINARIO_TOOLS_BINARIO_BINARIO_H_
#define BINARIO_TOOLS_BINARIO_BINARIO_H_

// binario, the authoring tool: the scenario program's reader and compiler as a command-line
// program, for any pair of description files.

#include <iosfwd>

namespace binario::tool {

// Exit statuses. Scripts rely on them: never change one.
enum Status : int {
  kClean = 0,          // compiled with no error recorded
  kRecordedError = 1,  // an error was recorded; the compiled files were written all the same
  kStampFailure = 2,   // a stamp check failed (1250 or 1251); no compiled file was written
  kUsageError = 3,     // the command line is wrong
  kIoFailure = 4,      // a file could not be read or written
  kSystemFailure = 5,  // any other failure of the system, such as memory running out
};

// Runs binario with the given arguments (argv[0] being the program's name), writing its report
// to `out` and its errors to `err`, and gives the exit status.
int run(int argc, const char* const argv[], std::ostream& out, std::ostream& err);

}  // namespace binario::tool

#endif  // BINARIO_TOOLS_BINARIO_BINARIO_H_
