// The line half of the reading, through memorizza_dati, on small line descriptions.

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "reader/error_codes.h"
#include "reader/reader_test_support.h"

namespace binario {
namespace {

using testing::lines;
using testing::read_descriptions;
using testing::small_line;
using testing::small_train;

double x(const RunState& state, int row) { return state.pianta.entry(row, 0).real; }
double y(const RunState& state, int row) { return state.pianta.entry(row, 1).real; }

std::vector<int> gradients(const RunState& state, int from, int to) {
  std::vector<int> values;
  for (int i = from; i <= to; ++i) values.push_back(state.celle[i].pendenza);
  return values;
}

std::string line_115km(const std::vector<std::string>& body) {
  std::vector<std::string> all = {"[generale]", "lunghezza percorso,    115000", "[pendenze]"};
  all.insert(all.end(), body.begin(), body.end());
  all.push_back("[fine]");
  return lines(all);
}

TEST(LineReader, GradientFill) {
  // Without any gradient record every cell but the last three is level.
  const RunState level = read_descriptions(line_115km({}), small_train()).state;
  EXPECT_EQ(level.numero_celle, 2440);
  EXPECT_EQ(gradients(level, 0, 0), std::vector<int>{100});
  EXPECT_EQ(gradients(level, 2436, 2440), (std::vector<int>{100, 100, 0, 0, 0}));

  const RunState two =
      read_descriptions(line_115km({"pendenza,  1900,   -10", "pendenza,  2000,   0"}),
                        small_train())
          .state;
  EXPECT_EQ(gradients(two, 36, 41), (std::vector<int>{100, 100, 90, 90, 100, 100}));
  EXPECT_EQ(two.celle[2437].pendenza, 100);

  // The same position twice: the second record still writes one cell, with the first value.
  const RunState same =
      read_descriptions(
          line_115km({"pendenza,  1000,   4", "pendenza,  1000,   8", "pendenza,  2000,   2"}),
          small_train())
          .state;
  EXPECT_EQ(gradients(same, 19, 21), (std::vector<int>{100, 104, 108}));
  EXPECT_EQ(gradients(same, 39, 40), (std::vector<int>{108, 102}));

  // At position 0 nothing is written and the value holds from cell 0; 75 m is cell 2 (1.5).
  const RunState start =
      read_descriptions(line_115km({"pendenza,  0,   -20", "pendenza,  75,   12"}), small_train())
          .state;
  EXPECT_EQ(gradients(start, 0, 3), (std::vector<int>{80, 80, 112, 112}));

  // Values keep their low 8 bits: 155 + 100 = 255, 156 + 100 wraps to 0.
  const RunState wrap =
      read_descriptions(line_115km({"pendenza,  100,   155", "pendenza,  200,   156"}),
                        small_train())
          .state;
  EXPECT_EQ(gradients(wrap, 2, 4), (std::vector<int>{255, 255, 0}));
}

TEST(LineReader, FirstCurveOfThePlan) {
  const RunState state =
      read_descriptions(line_115km({"[curve]", "curvas6,  500,  500"}), small_train()).state;
  ASSERT_EQ(state.pianta.size(), 122001u);
  EXPECT_EQ(state.pianta.seeds(), (std::array<std::int16_t, 4>{0, 0, 0, 1}));
  EXPECT_EQ(state.pianta.tag(2), PlanTag::kDouble);
  for (int row : {2, 250, 500}) {
    EXPECT_EQ(x(state, row), 0.0) << row;
    EXPECT_EQ(y(state, row), row) << row;
  }
  EXPECT_NEAR(x(state, 1000), -310.70, 0.005);
  EXPECT_NEAR(y(state, 1000), 832.32, 0.005);
  // After the curve the track runs straight with the lengthened step, to the third last row.
  const double step =
      std::hypot(x(state, 121998) - x(state, 121997), y(state, 121998) - y(state, 121997));
  EXPECT_NEAR(step, std::pow(1 + 0.003 * 0.003, 250), 1e-9);
  EXPECT_EQ(state.pianta.tag(121998), PlanTag::kDouble);
  EXPECT_EQ(state.pianta.tag(121999), PlanTag::kEmpty);
  EXPECT_EQ(state.pianta.tag(122000), PlanTag::kEmpty);
}

TEST(LineReader, CurvesBendOnlyFromTheCurrentPoint) {
  const std::string straight = line_115km({"[curve]", "curvad4,  1000,  500"});
  const std::string late = line_115km({"[curve]", "curvad4,  1000,  500", "curvas4,  1200,  100"});
  const RunState a = read_descriptions(straight, small_train()).state;
  const RunState b = read_descriptions(late, small_train()).state;
  EXPECT_EQ(a.pianta, b.pianta);  // the second curve ended before the current point

  const std::string overlapping =
      line_115km({"[curve]", "curvad4,  1000,  500", "curvas4,  1200,  400"});
  const RunState c = read_descriptions(overlapping, small_train()).state;
  EXPECT_EQ(c.pianta.entry(1500, 0), a.pianta.entry(1500, 0));
  EXPECT_NE(c.pianta.entry(1501, 0), a.pianta.entry(1501, 0));  // bent from 1501 to 1600
  EXPECT_LT(x(c, 1600), x(a, 1600));
}

TEST(LineReader, CurveKeywords) {
  struct Case {
    const char* keyword;
    double kappa;  // signed, clockwise positive
  };
  const Case cases[] = {
      {"curvad1", 0.0001}, {"curvas2", -0.0002}, {"curvad3", 0.0004}, {"curvad4", 0.001},
      {"curvad5", 0.002},  {"curvad6", 0.003},   {"CURVAS6", -0.003}, {"Curvad4 s", -0.001},
      {"curva62", 0.0002},  // the digits are tried from 1 up
  };
  for (const Case& c : cases) {
    const RunState state =
        read_descriptions(line_115km({"[curve]", std::string(c.keyword) + ",  1,  1"}),
                          small_train())
            .state;
    // One curved step at row 2 from (0, 0) -> (0, 1): x = kappa, y = 2.
    EXPECT_EQ(x(state, 2), c.kappa) << c.keyword;
    EXPECT_EQ(y(state, 2), 2.0) << c.keyword;
  }
}

// A reading that stops in the body leaves the rows computed so far, and the rest empty: the
// plan's shape in every model the reader builds.
TEST(LineReader, APlanCutShortByAFailureKeepsWhatItComputed) {
  const RunState state =
      read_descriptions(small_line({"curvas4,  1000,  300", "pendenza,  1x00,  2"}), small_train())
          .state;
  EXPECT_EQ(state.codice_errore, error_code::kReadFailure);
  EXPECT_TRUE(state.pianta.seeded());
  EXPECT_EQ(state.pianta.computed(), 1299u);  // rows 2 to 1300
  EXPECT_EQ(state.pianta.tag(1300), PlanTag::kDouble);
  EXPECT_EQ(state.pianta.tag(1301), PlanTag::kEmpty);

  // A failure before the body: no seeds, no row.
  const RunState general =
      read_descriptions(
          lines({"[generale]", "lunghezza percorso, 10000", "sfondo uno, x", "[curve]", "[fine]"}),
          small_train())
          .state;
  EXPECT_EQ(general.pianta.size(), 17001u);
  EXPECT_FALSE(general.pianta.seeded());
  EXPECT_EQ(general.pianta.tag(0), PlanTag::kEmpty);
}

TEST(LineReader, WithoutModoThereIsNoPlanAndCurvesAreNotRecords) {
  // The curve's two values are then read as keywords, and match nothing.
  const testing::Reading reading = read_descriptions(
      line_115km({"curvas6,  500,  500", "pendenza,  1900,   -10"}), small_train(), 0);
  EXPECT_TRUE(reading.state.pianta.empty());
  EXPECT_EQ(reading.state.codice_errore, 0);
  EXPECT_EQ(reading.state.celle[38].pendenza, 90);
}

TEST(LineReader, GeneralSection) {
  const testing::Reading reading = read_descriptions(
      lines(
          {"before the heading: ignored", "[generale]", "-- comment",
           "lunghezza percorso,    115000", "progressiva chilometrica uno,    1550,    -1500,    0",
           "progressiva chilometrica due,    2050,    53950,    0",
           "progressiva chilometrica tre,    2550,    105000,    1", "sfondo uno,    100000",
           "sfondo due,    1", "sfondo tre,    54000", "Sfondo uno,    7",
           "ripetizione segnali 9 codici,    -50    ,400", "- [not the end]", "[curve]", "[fine]"}),
      small_train());
  const auto& table = reading.state.tabella_dati;
  EXPECT_EQ(reading.state.codice_errore, 0);
  EXPECT_EQ(table[84].valore2, 115000);
  EXPECT_EQ(table[81].valore1, 2550);
  EXPECT_EQ(table[81].valore2, 105100);
  EXPECT_EQ(table[83].valore2, -1500);
  EXPECT_EQ(table[85].valore1, 100000);  // "Sfondo" is no background record
  EXPECT_EQ(table[85].valore3, 1);
  EXPECT_EQ(table[85].valore2, 54000);
  EXPECT_EQ(table[86].valore1, -50);
  EXPECT_EQ(table[86].valore2, 400);
  EXPECT_EQ(table[86].valore3, 9);
  EXPECT_EQ(table[85].testo, "Varelbo");
  EXPECT_EQ(table[86].testo, "3874");

  const testing::Reading none =
      read_descriptions(lines({"[generale]", "lunghezza percorso, 1000",
                               "ripetizione segnali 4 codici,    0    ,0", "[curve]", "[fine]"}),
                        small_train());
  EXPECT_EQ(none.state.tabella_dati[86].valore3, 0);  // no codes when the second value is 0
}

TEST(LineReader, SignBoardsTakeRowsFromEightyDown) {
  const testing::Reading reading = read_descriptions(
      small_line({"montagna,   0,  1000,  11", "cartello_indicatore,  75,   (A)", "-----",
                  "Cartello_Indicatore,  700,   \"(B, C)\"", "cartello_indicatore,  1000,   (D)"}),
      small_train());
  const RunState& state = reading.state;
  EXPECT_EQ(state.codice_errore, 0);
  EXPECT_EQ(state.celle[2].tipo, cell_kind::kSignBoard);  // round(2.5) = 2
  EXPECT_EQ(state.celle[2].dato1, 80);
  EXPECT_EQ(state.celle[15].dato1, 79);  // where the span's 16th cell had its mark
  EXPECT_EQ(state.celle[21].dato1, 78);
  EXPECT_EQ(state.tabella_dati[80].testo, "(A)");
  EXPECT_EQ(state.tabella_dati[79].testo, "(B, C)");
  EXPECT_EQ(state.tabella_dati[78].testo, "(D)");
}

TEST(LineReader, CommentFieldsAndTheLastField) {
  // Two comment lines in a row are passed over; a third is taken as a keyword and matches
  // nothing, so the record after it still counts. The last field is never a record.
  const RunState state =
      read_descriptions(
          lines({"[generale]", "lunghezza percorso, 10000", "[curve]", "----", "- -",
                 "pendenza,  100,  2", "--", "--", "--", "pendenza,  200,  4", "pendenza"}),
          small_train())
          .state;
  EXPECT_EQ(gradients(state, 1, 6), (std::vector<int>{100, 102, 102, 104, 104, 104}));
}

TEST(LineReader, BeyondTheModelTheReadingGoesOn) {
  const testing::Reading reading = read_descriptions(
      small_line({"pendenza,  1000,  6", "pendenza,  16950,  2", "pendenza,  2000,  8"}),
      small_train({"aderenza,  0,  100"}));
  const RunState& state = reading.state;
  EXPECT_EQ(state.codice_errore, error_code::kBeyondModel);
  EXPECT_EQ(state.posizione_errore, 16950);
  // The gradient in force runs on to the end; the plan and the train description follow.
  EXPECT_EQ(state.celle[337].pendenza, 106);
  EXPECT_EQ(state.celle[338].pendenza, 0);
  EXPECT_EQ(state.pianta.tag(16998), PlanTag::kDouble);
  EXPECT_EQ(state.celle[337].aderenza, 100);
  EXPECT_EQ(reading.log,
            (std::vector<std::string>{"open line", "done line", "open train", "done train"}));
}

}  // namespace
}  // namespace binario
