#include "reader/numbers.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

namespace binario {
namespace {

TEST(RoundHalfEven, TiesGoToTheEvenNeighbour) {
  struct Case {
    double x;
    double expected;
  };
  const Case cases[] = {
      {0.5, 0.0},       {1.5, 2.0},       {2.5, 2.0},
      {3.5, 4.0},       {-0.5, 0.0},      {-1.5, -2.0},
      {-2.5, -2.0},     {500.5, 500.0},   {501.5, 502.0},
      {2.4999999, 2.0}, {2.5000001, 3.0}, {-2.5000001, -3.0},
      {7.0, 7.0},       {0.0, 0.0},       {4503599627370495.5, 4503599627370496.0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(round_half_even(c.x), c.expected) << "x = " << c.x;
  }
}

TEST(LowBits, KeepOnlyTheLowBitsTwosComplement) {
  EXPECT_EQ(low_bits_u8(255), 255);
  EXPECT_EQ(low_bits_u8(256), 0);
  EXPECT_EQ(low_bits_u8(-1), 255);
  EXPECT_EQ(low_bits_u8(100 + 155), 255);
  EXPECT_EQ(low_bits_i16(32767), 32767);
  EXPECT_EQ(low_bits_i16(32768), -32768);
  EXPECT_EQ(low_bits_i16(65535), -1);
  EXPECT_EQ(low_bits_i16(40000), -25536);
  EXPECT_EQ(low_bits_i16(-32769), 32767);
  EXPECT_EQ(low_bits_i16(std::numeric_limits<std::int64_t>::min()), 0);
}

TEST(MustFit, AcceptsTheWholeRangeAndRefusesBeyondIt) {
  EXPECT_EQ(must_fit<std::int16_t>(32767), 32767);
  EXPECT_EQ(must_fit<std::int16_t>(-32768), -32768);
  EXPECT_THROW(must_fit<std::int16_t>(32768), ReadFailure);
  EXPECT_THROW(must_fit<std::int16_t>(-32769), ReadFailure);
  EXPECT_EQ(must_fit<std::uint8_t>(0), 0);
  EXPECT_EQ(must_fit<std::uint8_t>(255), 255);
  EXPECT_THROW(must_fit<std::uint8_t>(256), ReadFailure);
  EXPECT_THROW(must_fit<std::uint8_t>(-1), ReadFailure);
  EXPECT_EQ(must_fit<std::int32_t>(std::numeric_limits<std::int32_t>::min()),
            std::numeric_limits<std::int32_t>::min());
  EXPECT_THROW(must_fit<std::int32_t>(std::int64_t{1} << 31), ReadFailure);
}

TEST(RoundTo, RoundsHalfToEvenThenMustFit) {
  EXPECT_EQ(round_to<std::uint8_t>(35 / 5.0), 7);
  EXPECT_EQ(round_to<std::uint8_t>(112 / 5.0), 22);
  EXPECT_EQ(round_to<std::uint8_t>(113 / 5.0), 23);
  EXPECT_EQ(round_to<std::uint8_t>(1277 / 5.0), 255);  // 255.4
  EXPECT_THROW(round_to<std::uint8_t>(1278 / 5.0), ReadFailure);
  EXPECT_EQ(round_to<std::uint8_t>(-2 / 5.0), 0);  // -0.4
  EXPECT_THROW(round_to<std::uint8_t>(-3 / 5.0), ReadFailure);
  EXPECT_EQ(round_to<std::int16_t>(32766.5), 32766);
  EXPECT_THROW(round_to<std::int16_t>(32767.5), ReadFailure);  // ties to 32768
  EXPECT_EQ(round_to<std::int32_t>(2147483646.5), 2147483646);
  EXPECT_THROW(round_to<std::int32_t>(2147483647.5), ReadFailure);
  EXPECT_THROW(round_to<std::int32_t>(std::nan("")), ReadFailure);
  EXPECT_THROW(round_to<std::int32_t>(std::numeric_limits<double>::infinity()), ReadFailure);
}

}  // namespace
}  // namespace binario
