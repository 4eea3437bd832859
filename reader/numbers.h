#ifndef BINARIO_READER_NUMBERS_H_
#define BINARIO_READER_NUMBERS_H_

// The number rules of the track model. Every real that becomes an integer is rounded to the
// nearest integer with ties to even (std::round rounds ties away from zero and is wrong here).
// Every value stored into a narrow field either keeps only its low bits or must fit; each field
// says which of the two it takes.

#include <cstdint>
#include <limits>
#include <string>

#include "reader/read_failure.h"

namespace binario {

// The integral value nearest to x, ties to even: 0.5 -> 0, 1.5 -> 2, 2.5 -> 2, -2.5 -> -2.
double round_half_even(double x);

// round_half_even(x) as an index of cells or rows. x derives from 32-bit positions, so the
// result always fits.
inline std::int64_t round_to_index(double x) {
  return static_cast<std::int64_t>(round_half_even(x));
}

// The low 8 bits of v as an unsigned byte: 256 -> 0, -1 -> 255.
constexpr std::uint8_t low_bits_u8(std::int64_t v) { return static_cast<std::uint8_t>(v); }

// The low 16 bits of v as a two's complement integer: 65535 -> -1, 40000 -> -25536.
constexpr std::int16_t low_bits_i16(std::int64_t v) { return static_cast<std::int16_t>(v); }

// v itself when T can hold it; otherwise a ReadFailure.
template <typename T>
T must_fit(std::int64_t v) {
  if (v < std::numeric_limits<T>::min() || v > std::numeric_limits<T>::max()) {
    throw ReadFailure("value " + std::to_string(v) + " does not fit its field");
  }
  return static_cast<T>(v);
}

// x rounded half to even, when T can hold the result; otherwise (NaN and infinities included)
// a ReadFailure.
template <typename T>
T round_to(double x) {
  static_assert(sizeof(T) <= 4, "the bounds must be exact as doubles");
  const double r = round_half_even(x);
  if (!(r >= static_cast<double>(std::numeric_limits<T>::min()) &&
        r <= static_cast<double>(std::numeric_limits<T>::max()))) {
    throw ReadFailure("value " + std::to_string(x) + " does not fit its field");
  }
  return static_cast<T>(r);
}

}  // namespace binario

#endif  // BINARIO_READER_NUMBERS_H_
