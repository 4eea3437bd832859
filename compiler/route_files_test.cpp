#include "compiler/route_files.h"

#include <gtest/gtest.h>

#include "compiler/coding.h"

namespace binario {
namespace {

std::string bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out += static_cast<char>(v);
  return out;
}

TEST(Coding, LittleEndianFields) {
  std::string out(21, '\0');
  char* at = out.data();
  at = put_u8(at, 0xAB);
  at = put_i16(at, -2);
  at = put_u16(at, 0x1234);
  at = put_i32(at, 0x01020304);
  at = put_i32(at, -1);
  at = put_f64(at, 1.0);
  EXPECT_EQ(at, out.data() + out.size());
  EXPECT_EQ(out, bytes({0xAB, 0xFE, 0xFF, 0x34, 0x12, 0x04, 0x03, 0x02, 0x01, 0xFF, 0xFF,
                        0xFF, 0xFF, 0,    0,    0,    0,    0,    0,    0xF0, 0x3F}));
}

TEST(EncodeTrack, AMarkerCellAndTheRecordSize) {
  TrackCell marker;
  marker.tipo = cell_kind::kSpeedCheck;
  marker.dato1 = 180;
  TrackCell full{1, -2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
  const std::string encoded = encode_track({marker, full});
  ASSERT_EQ(encoded.size(), 2 * kCellRecordSize);
  EXPECT_EQ(encoded.substr(0, 3), bytes({0x0C, 0xB4, 0x00}));
  EXPECT_EQ(encoded.substr(15), bytes({1, 0xFE, 0xFF, 3, 0, 4, 0, 5, 0, 6, 7, 8, 9, 10, 11}));
}

TEST(EncodeGeneralData, ARecordWithItsText) {
  std::array<DataRow, data_row::kCount> table{};
  DataRow& row = table[0];
  row = DataRow{1, 2, -3, 4, 5, "ab\xE8", 6, 7, 8, 9, -10, 11, 12, 13, 14, 0x01020304};
  const std::string encoded = encode_general_data(table);
  ASSERT_EQ(encoded.size(), data_row::kCount * kDataRowFixedSize + 3);
  EXPECT_EQ(
      encoded.substr(0, 37),
      bytes({1, 2, 0, 0, 0, 0xFD, 0xFF, 0xFF, 0xFF, 4,    0,  0,  0,  5,  3, 0, 'a', 'b', 0xE8,
             6, 0, 7, 0, 8, 0,    9,    0,    0xF6, 0xFF, 11, 12, 13, 14, 4, 3, 2,   1}));
  EXPECT_EQ(encoded.substr(37, 34), std::string(34, '\0'));  // an empty row

  table[5].testo.assign(65536, 'x');
  EXPECT_THROW(encode_general_data(table), std::length_error);
}

TEST(EncodeLinePlan, TaggedValuesColumnByColumn) {
  Plan plan(4);
  plan.seed(0, -1, 0, 1);
  plan.push_back(2.0, -0.5);
  const std::string expected = bytes({2, 0, 0,    0,                             // row 0, x
                                      2, 0, 0,    0,                             // row 1, x
                                      5, 0, 0,    0,    0, 0, 0, 0, 0,    0x40,  // row 2, x
                                      0, 0,                                      // row 3, x
                                      2, 0, 0xFF, 0xFF,                          // row 0, y
                                      2, 0, 1,    0,                             // row 1, y
                                      5, 0, 0,    0,    0, 0, 0, 0, 0xE0, 0xBF,  // row 2, y
                                      0, 0});                                    // row 3, y
  EXPECT_EQ(encode_line_plan(plan), expected);
  EXPECT_EQ(line_plan_size(plan), expected.size());
  EXPECT_EQ(encode_line_plan(Plan(3)), bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));  // never seeded
}

// A long plan comes in pieces of at most kLinePlanPiece bytes, which make the whole file.
TEST(EncodeLinePlan, InPieces) {
  Plan plan(20000);
  plan.seed(0, 0, 0, 1);
  for (int row = 2; row < 19000; ++row) plan.push_back(row * 0.5, -row * 0.25);
  std::string pieces;
  std::size_t count = 0;
  encode_line_plan(plan, [&](std::string_view piece) {
    EXPECT_LE(piece.size(), kLinePlanPiece);
    pieces += piece;
    ++count;
  });
  EXPECT_GT(count, 3u);
  EXPECT_EQ(pieces.size(), line_plan_size(plan));
  EXPECT_TRUE(pieces == encode_line_plan(plan));
  EXPECT_EQ(pieces.substr(8, 10), bytes({5, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));  // row 2, x: 1.0
}

}  // namespace
}  // namespace binario
