// binario: compiles scenario description files into the route files the simulator loads.

#include <iostream>

#include "tools/binario/binario.h"

int main(int argc, char* argv[]) { return binario::tool::run(argc, argv, std::cout, std::cerr); }
