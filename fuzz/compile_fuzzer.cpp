// The whole compile step on a pair of descriptions: the input up to its first NUL byte is the
// line description, the rest the train description. The last bit of the input chooses modo.

#include <string_view>

#include "fuzz/descriptions.h"
#include "fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace binario;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = input.find('\0');
  const std::string_view line = input.substr(0, split);
  const std::string_view train = split == std::string_view::npos ? "" : input.substr(split + 1);
  RunState state = fuzz::identity();
  fuzz::Descriptions files(line, train);
  NoRouteFiles output;
  const std::int32_t modo = size > 0 && (data[size - 1] & 1) ? 0 : 1;
  memorizza_percorso(state, modo, files, output);
  return 0;
}
