#ifndef BINARIO_COMPILER_CODING_H_
#define BINARIO_COMPILER_CODING_H_

// Little-endian encoding of the compiled route files' fields into a byte buffer. Fields are
// written one by one, never as structs: padding and byte order are not the compiler's to choose.
// Each helper writes its field at `out` and gives the byte after it; the buffer is sized before.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace binario {

// Writes the low `N` bytes of `bits`, least significant first.
template <std::size_t N>
char* put_le(char* out, std::uint64_t bits) {
  static_assert(N <= 8);
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(out, &bits, N);  // the low bytes come first already: one store
  } else {
    for (std::size_t i = 0; i < N; ++i) out[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
  }
  return out + N;
}

inline char* put_u8(char* out, std::uint8_t value) {
  *out = static_cast<char>(value);
  return out + 1;
}
inline char* put_u16(char* out, std::uint16_t value) { return put_le<2>(out, value); }
inline char* put_i16(char* out, std::int16_t value) {
  return put_le<2>(out, static_cast<std::uint16_t>(value));
}
inline char* put_i32(char* out, std::int32_t value) {
  return put_le<4>(out, static_cast<std::uint32_t>(value));
}
inline char* put_f64(char* out, double value) {
  return put_le<8>(out, std::bit_cast<std::uint64_t>(value));
}

}  // namespace binario

#endif  // BINARIO_COMPILER_CODING_H_
