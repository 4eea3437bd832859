#include "authoring/route/compiled_files.h"

#include <bit>
#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>

#include <gtest/gtest.h>

#include "compiler/coding.h"
#include "compiler/route_files.h"
#include "testing/test_files.h"

namespace binario::authoring {
namespace {

using binario::testing::read_file;

std::string golden(const char* name) {
  return read_file(std::filesystem::path(COMPILER_TESTDATA) / name);
}

TEST(CompiledFiles, SizesFollowTheLineLengthAsTheModelHasThem) {
  for (std::int32_t length : {0, 25, 75, 115000, 123475, 123425, kMaxLineLength}) {
    SCOPED_TRACE(length);
    RunState state;
    state.modo = 1;
    create_track_model(state, length);
    EXPECT_EQ(cell_count(length), state.celle.size());
    EXPECT_EQ(plan_row_count(length), state.pianta.size());
  }
  EXPECT_EQ(cell_count(115000), 2441u);
  EXPECT_EQ(plan_row_count(115000), 122001u);
}

// The scenario's own compiled files decode into what the compiler wrote, and encode back into
// the same bytes.
TEST(CompiledFiles, GoldenFilesDecodeAndEncodeBackByteForByte) {
  const std::string track = golden("Varelbo_3874.dat");
  const std::vector<TrackCell> celle = decode_track(track);
  ASSERT_EQ(celle.size(), 2441u);
  EXPECT_EQ(celle[1].dato1, 5121);
  EXPECT_TRUE(encode_track(celle) == track);

  const std::string data = golden("Varelbo_3874.sim");
  const auto table = decode_general_data(data);
  EXPECT_EQ(table[data_row::kLineIdentity].testo, "Varelbo");
  EXPECT_EQ(table[data_row::kLineIdentity].parola1, 610);
  EXPECT_EQ(table[data_row::kTrainIdentity].testo, "3874");
  EXPECT_EQ(table[data_row::kLineAndTrain].valore2, 115000);
  EXPECT_TRUE(encode_general_data(table) == data);

  const std::string plan = golden("Varelbo_linea.dat");
  const Plan pianta = decode_line_plan(plan);
  ASSERT_EQ(pianta.size(), 122001u);
  EXPECT_EQ(pianta.seeds(), (std::array<std::int16_t, 4>{0, 0, 0, 1}));
  EXPECT_EQ(pianta.entry(2, 0), (PlanEntry{PlanTag::kDouble, 0, 0.0}));
  EXPECT_EQ(pianta.entry(2, 1), (PlanEntry{PlanTag::kDouble, 0, 2.0}));
  EXPECT_EQ(pianta.computed(), 121997u);
  EXPECT_EQ(pianta.tag(121999), PlanTag::kEmpty);
  EXPECT_TRUE(encode_line_plan(pianta) == plan);

  EXPECT_TRUE(disagreements({pianta, table, celle}).empty());
}

// Every field at the ends of its range and in between, every byte in a text, the longest text.
TEST(CompiledFiles, ModelsWithEveryKindOfValueComeBackAsTheyWere) {
  std::vector<TrackCell> celle(cell_count(0));
  for (std::size_t i = 0; i < celle.size(); ++i) {
    const auto b = static_cast<std::uint8_t>(i * 37);
    const auto w = static_cast<std::int16_t>(i * 4099 - 30000);
    celle[i] = TrackCell{b, w, static_cast<std::int16_t>(-w),     INT16_MIN, INT16_MAX, b, 255, 0,
                         1, b, static_cast<std::uint8_t>(255 - b)};
  }
  EXPECT_EQ(decode_track(encode_track(celle)), celle);

  std::array<DataRow, data_row::kCount> table{};
  std::string every_byte;
  for (int c = 0; c < 256; ++c) every_byte += static_cast<char>(c);
  table[1] = DataRow{255, INT32_MIN, INT32_MAX, -1,  255, every_byte, INT16_MIN, INT16_MAX,
                     -1,  0,         1,         255, 0,   1,          254,       INT32_MIN};
  table[40].testo = std::string(UINT16_MAX, '\xE8');
  table[86] = DataRow{7, 1, 2, 3, 4, "", 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
  EXPECT_EQ(decode_general_data(encode_general_data(table)), table);

  // Seeds, doubles of every sort, then empty rows; and a plan that was never begun.
  Plan pianta(plan_row_count(0));
  pianta.seed(INT16_MIN, INT16_MAX, 0, -1);
  const double odd[] = {-0.0,
                        std::numeric_limits<double>::denorm_min(),
                        std::numeric_limits<double>::max(),
                        -std::numeric_limits<double>::infinity(),
                        1e-300,
                        0.1};
  for (std::size_t r = 2; r < pianta.size() - 10; ++r) {
    pianta.push_back(r == 3 ? 0.5 : odd[r % 6], static_cast<double>(r) / 3);
  }
  const Plan decoded = decode_line_plan(encode_line_plan(pianta));
  EXPECT_EQ(decoded, pianta);
  EXPECT_TRUE(std::signbit(decoded.entry(6, 0).real));  // -0.0 stays negative
  const Plan never_begun(plan_row_count(10));
  EXPECT_EQ(decode_line_plan(encode_line_plan(never_begun)), never_begun);

  // A NaN, which compares unequal to itself, keeps its bits.
  Plan with_nan(plan_row_count(0));
  with_nan.seed(0, 0, 0, 1);
  with_nan.push_back(std::bit_cast<double>(std::uint64_t{0x7FF4000000000123}), 0);
  const std::string bytes = encode_line_plan(with_nan);
  EXPECT_TRUE(encode_line_plan(decode_line_plan(bytes)) == bytes);
}

std::string bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out += static_cast<char>(v);
  return out;
}

// Plan files of a few rows, decoded with the row count left open.
Plan small_plan(std::string_view bytes) { return decode_line_plan(bytes, RecordCount{1, 100}); }

std::string plan_of(std::initializer_list<std::string> values) {
  std::string out;
  for (const std::string& v : values) out += v;
  return out;
}
const std::string kSeed = bytes({2, 0, 0, 0});
const std::string kDouble = bytes({5, 0, 0, 0, 0, 0, 0, 0, 0, 0});
const std::string kEmpty = bytes({0, 0});

TEST(CompiledFiles, AnythingElseIsAnErrorThatNamesTheByteAndWhatWasExpected) {
  const std::string track = golden("Varelbo_3874.dat");
  const std::string data = golden("Varelbo_3874.sim");
  const std::string plan = golden("Varelbo_linea.dat");
  std::string long_text = data;
  long_text[14] = '\xFF';  // row 0's text length: 65535
  long_text[15] = '\xFF';
  std::string bad_tag = plan;
  bad_tag[4] = 7;  // row 1 of column x
  struct Case {
    const char* name;
    std::function<void()> decode;
    std::string error;
  };
  const Case cases[] = {
      {"an empty track file", [] { decode_track(""); },
       "byte 0: expected 141 to 20141 cells, found 0 cells"},
      {"a track file cut inside a cell", [&] { decode_track(track.substr(0, track.size() - 9)); },
       "byte 36600: expected a whole cell of 15 bytes, found the file ending after 6 bytes"},
      {"too many cells", [] { decode_track(std::string(20142 * 15, '\0')); },
       "byte 302115: expected the end of the file after 141 to 20141 cells, found 20142 cells"},
      {"an empty general data file", [] { decode_general_data(""); },
       "byte 0: row 0, classe: expected 1 byte, found the end of the file"},
      {"a general data file cut in its last field",
       [&] { decode_general_data(data.substr(0, data.size() - 3)); },
       "byte 4487: row 86, valore4: expected 4 bytes, found 1 byte"},
      {"a text that runs past the end", [&] { decode_general_data(long_text); },
       "byte 16: row 0, testo: expected 65535 bytes, found 4475 bytes"},
      {"bytes after the last row", [&] { decode_general_data(data + "xy"); },
       "byte 4491: expected the end of the file after row 86, found 2 more bytes"},
      {"an unknown tag", [&] { decode_line_plan(bad_tag); },
       "byte 4: expected a tag (0 empty, 2 a 16-bit integer, 5 a double), found 7"},
      {"a plan cut inside a double", [&] { decode_line_plan(plan.substr(0, plan.size() - 25)); },
       "byte 2439932: value 243997, a double: expected 8 bytes, found 7 bytes"},
      {"an empty plan file", [] { small_plan(""); },
       "byte 0: expected the rows of column x, found none"},
      {"columns that differ in length",
       [] {
         small_plan(plan_of({kSeed, kSeed, kDouble, kEmpty, kSeed, kSeed, kEmpty}));
       },
       "byte 20: expected as many rows in column y as in column x (4), found 3"},
      {"an empty plan of an odd number of values",
       [] {
         small_plan(plan_of({kEmpty, kEmpty, kEmpty}));
       },
       "byte 6: expected as many rows in column y as in column x, found 3 values in all"},
      {"a column without its seeds",
       [] {
         small_plan(plan_of({kSeed, kSeed, kDouble, kDouble, kDouble, kDouble}));
       },
       "byte 38: expected two 16-bit seeds at the start of each column, found 2 in the whole "
       "file"},
      {"a double after an empty row",
       [] {
         small_plan(plan_of({kSeed, kSeed, kEmpty, kDouble, kSeed, kSeed, kEmpty, kEmpty}));
       },
       "byte 10: column x, row 3: expected a double or, after the last double, an empty value, "
       "found a double"},
      {"a double in a seed's row",
       [] {
         small_plan(plan_of({kSeed, kDouble, kDouble, kSeed, kSeed, kSeed, kDouble}));
       },
       "byte 4: column x, row 1: expected a 16-bit seed (rows 0 and 1), found a double"},
      {"a column that begins empty and goes on",
       [] {
         small_plan(plan_of({kEmpty, kDouble, kEmpty, kEmpty}));
       },
       "byte 2: column x, row 1: expected an empty value, as every row of a column that begins "
       "empty, found a double"},
      {"columns computed to different rows",
       [] {
         small_plan(plan_of({kSeed, kSeed, kDouble, kDouble, kSeed, kSeed, kDouble, kEmpty}));
       },
       "byte 46: expected column y to hold values in rows 0 to 3 as column x does, found them in "
       "rows 0 to 2"},
      {"a plan shorter than any line's",
       [] {
         decode_line_plan(plan_of({kEmpty, kEmpty}));
       },
       "byte 2: expected a column of 7001 to 1007001 rows, found 1 row in column x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      c.decode();
      ADD_FAILURE() << "decoded";
    } catch (const CompiledFileError& error) {
      EXPECT_EQ(error.what(), c.error);
    }
  }
}

TEST(CompiledFiles, FilesThatDisagreeAboutTheLineLength) {
  std::array<DataRow, data_row::kCount> table{};
  table[data_row::kLineAndTrain].valore2 = 10000;
  const CompiledRoute route{Plan(plan_row_count(10000)), table,
                            std::vector<TrackCell>(cell_count(12000))};
  EXPECT_EQ(disagreements(route),
            std::vector<std::string>{"the track file holds 381 cells; the general data file's "
                                     "line length of 10000 m makes 341"});
  const CompiledRoute without_table{Plan(plan_row_count(10000)), std::nullopt,
                                    std::vector<TrackCell>(cell_count(10000))};
  EXPECT_TRUE(disagreements(without_table).empty());
}

}  // namespace
}  // namespace binario::authoring
