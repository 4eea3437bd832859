#ifndef BINARIO_FUZZ_FUZZ_TARGET_H_
#define BINARIO_FUZZ_FUZZ_TARGET_H_

// Every fuzz target defines LLVMFuzzerTestOneInput. Built with libFuzzer it is fuzzed; built
// without, replay_main.cpp feeds it each file of the folders it is given, so the tests replay
// the committed corpus on every run.

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

#endif  // BINARIO_FUZZ_FUZZ_TARGET_H_
