// The train description reader on any bytes, after a small line description. The plan plays
// no part in the train's records, so none is made: the target runs many times faster.

#include "fuzz/descriptions.h"
#include "fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace binario;
  RunState state = fuzz::identity();
  state.modo = 0;
  fuzz::Descriptions files(fuzz::kSmallLine,
                           std::string_view(reinterpret_cast<const char*>(data), size));
  memorizza_dati(state, files);
  return 0;
}
