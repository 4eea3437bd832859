#ifndef BINARIO_COMPILER_CODING_H_
#define BINARIO_COMPILER_CODING_H_

// Little-endian encoding of the compiled route files' fields into a byte buffer. Fields are
// written one by one, never as structs: padding and byte order are not the compiler's to choose.

#include <bit>
#include <cstdint>
#include <string>

namespace binario {

inline void put_u8(std::string& out, std::uint8_t value) { out += static_cast<char>(value); }

inline void put_u16(std::string& out, std::uint16_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>(value >> 8);
}

inline void put_i16(std::string& out, std::int16_t value) {
  put_u16(out, static_cast<std::uint16_t>(value));
}

inline void put_i32(std::string& out, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((bits >> shift) & 0xFF);
}

inline void put_f64(std::string& out, double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  for (int shift = 0; shift < 64; shift += 8) out += static_cast<char>((bits >> shift) & 0xFF);
}

}  // namespace binario

#endif  // BINARIO_COMPILER_CODING_H_
