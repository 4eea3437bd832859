// binario: compiles scenario description files into the route files the simulator loads.

#include <iostream>

#include "tools/binario/binario.h"
#include "tools/binario/console.h"

int main(int argc, char* argv[]) {
  binario::tool::prepare_console();
  return binario::tool::run(argc, argv, std::cout, std::cerr);
}
