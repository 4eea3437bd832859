// The line description reader on any bytes, with a small train description after it.

#include "fuzz/descriptions.h"
#include "fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace binario;
  RunState state = fuzz::identity();
  state.modo = 1;
  fuzz::Descriptions files(std::string_view(reinterpret_cast<const char*>(data), size),
                           fuzz::kSmallTrain);
  memorizza_dati(state, files);
  return 0;
}
