#ifndef BINARIO_TOOLS_BINARIO_BINARIO_TEST_SUPPORT_H_
#define BINARIO_TOOLS_BINARIO_BINARIO_TEST_SUPPORT_H_

// Running binario's commands in the test process, as its main() would.

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tools/binario/binario.h"

namespace binario::tool::testing {

// What binario puts between a folder and a file name.
inline const std::string kSeparator(1,
                                    static_cast<char>(std::filesystem::path::preferred_separator));

struct Invocation {
  int status;
  std::string out;
  std::string err;
};

// binario run with `arguments` (without the program's name).
inline Invocation binario(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "binario");
  std::vector<const char*> argv;
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  std::ostringstream out;
  std::ostringstream err;
  const int status = run(static_cast<int>(argv.size()), argv.data(), out, err);
  return {status, out.str(), err.str()};
}

}  // namespace binario::tool::testing

#endif  // BINARIO_TOOLS_BINARIO_BINARIO_TEST_SUPPORT_H_
