#ifndef BINARIO_COMPILER_CODING_H_
#define BINARIO_COMPILER_CODING_H_

// Little-endian encoding of the compiled route files' fields into a byte buffer. Fields are
// written one by one, never as structs: padding and byte order are not the compiler's to choose.

#include <array>
#include <bit>
#include <cstdint>
#include <string>

namespace binario {

inline void put_u8(std::string& out, std::uint8_t value) { out += static_cast<char>(value); }

// Appends the low `N` bytes of `bits`, least significant first.
template <std::size_t N>
void put_le(std::string& out, std::uint64_t bits) {
  std::array<char, N> bytes;
  for (std::size_t i = 0; i < N; ++i) bytes[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
  out.append(bytes.data(), N);
}

inline void put_u16(std::string& out, std::uint16_t value) { put_le<2>(out, value); }

inline void put_i16(std::string& out, std::int16_t value) {
  put_u16(out, static_cast<std::uint16_t>(value));
}

inline void put_i32(std::string& out, std::int32_t value) {
  put_le<4>(out, static_cast<std::uint32_t>(value));
}

inline void put_f64(std::string& out, double value) {
  put_le<8>(out, std::bit_cast<std::uint64_t>(value));
}

}  // namespace binario

#endif  // BINARIO_COMPILER_CODING_H_
