// The field reader on any bytes: the first byte chooses, bit by bit, whether each read takes
// a text or a number.

#include <string_view>

#include "fuzz/fuzz_target.h"
#include "reader/field_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const unsigned pattern = data[0];
  binario::FieldReader in(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
  try {
    for (unsigned read = 0; !in.at_end(); ++read) {
      if (pattern >> (read % 8) & 1) {
        in.read_int32();
      } else {
        in.read_text();
      }
    }
  } catch (const binario::ReadFailure&) {
    // The failure a malformed description gets: code 25.
  }
  return 0;
}
