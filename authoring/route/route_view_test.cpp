#include "authoring/route/route_view.h"

#include <cmath>
#include <numbers>
#include <tuple>

#include <gtest/gtest.h>

#include "authoring/text/text.h"
#include "reader/reader_test_support.h"

namespace binario::authoring {
namespace {

using binario::testing::read_descriptions;
using binario::testing::small_line;
using binario::testing::small_train;

TEST(RouteView, RangesOfCellsAndOfMetres) {
  struct Case {
    const char* name;
    RouteRange range;
    RouteRange expected;
  };
  const Case cases[] = {
      // Cell k's object stands at (k - 1) x 50; its filled value covers k x 50 to (k + 1) x 50.
      {"cells", cell_range(10, 20), {10, 20, 10, 20, 450, 950, false, false}},
      {"metres on cell bounds", metre_range(500, 1000), {11, 21, 10, 20, 500, 1000, false, true}},
      {"metres inside cells", metre_range(510, 1040), {12, 21, 10, 20, 510, 1040, false, true}},
      {"from the start", metre_range(0, 0), {1, 1, 0, 0, 0, 0, false, true}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.range.first_cell, c.expected.first_cell);
    EXPECT_EQ(c.range.last_cell, c.expected.last_cell);
    EXPECT_EQ(c.range.first_run_cell, c.expected.first_run_cell);
    EXPECT_EQ(c.range.last_run_cell, c.expected.last_run_cell);
    EXPECT_EQ(c.range.first_metre, c.expected.first_metre);
    EXPECT_EQ(c.range.last_metre, c.expected.last_metre);
    EXPECT_EQ(c.range.by_metres, c.expected.by_metres);
  }
}

TEST(RouteView, RunsFollowTheCellsAndAreClippedToTheMetresAsked) {
  const auto reading =
      read_descriptions(small_line({"pendenza,  1000,  -12", "pendenza,  2000,  5"}),
                        small_train({"velocita, 0, 100", "velocita, 1500, 60"}));
  const std::vector<TrackCell>& celle = reading.state.celle;
  auto summary = [](const std::vector<authoring::Run>& list) {
    std::vector<std::array<std::int64_t, 5>> out;
    for (const authoring::Run& r : list) {
      out.push_back({r.first_cell, r.last_cell, r.value, r.from_metre, r.to_metre});
    }
    return out;
  };
  using Runs = std::vector<std::array<std::int64_t, 5>>;
  EXPECT_EQ(summary(runs(celle, RunField::kPendenza, RouteRange{})),
            (Runs{{0, 19, 100, 0, 1000},
                  {20, 39, 88, 1000, 2000},
                  {40, 337, 105, 2000, 16900},
                  {338, 340, 0, 16900, 17050}}));
  EXPECT_EQ(summary(runs(celle, RunField::kVelocita, metre_range(1420, 1530))),
            (Runs{{28, 29, 20, 1420, 1500}, {30, 30, 12, 1500, 1530}}));
  EXPECT_EQ(summary(runs(celle, RunField::kVelocita, cell_range(29, 30))),
            (Runs{{29, 29, 20, 1450, 1500}, {30, 30, 12, 1500, 1550}}));
}

TEST(RouteView, RowPurposes) {
  const auto reading = read_descriptions(
      small_line({"cartello_indicatore, 1000, (PONTE)", "cartello_indicatore, 2000, (GALLERIA)"}),
      small_train({"stazione,  5000, 12,  400,  0, 0, 0,  0,0,0,  0,0,0,  0,  9, 0, 0, A",
                   "stazione,  6000, 28,  400,  0, 0, 0,  0,0,0,  0,0,0,  0,  9, 5, 0, B"}));
  const RunState& state = reading.state;
  ASSERT_EQ(state.codice_errore, 0);
  auto purposes = row_purposes(state.tabella_dati, &state.celle);
  EXPECT_EQ(purposes[0], RowPurpose::kUnused);
  EXPECT_EQ(purposes[1], RowPurpose::kStation);
  EXPECT_EQ(purposes[2], RowPurpose::kStation);
  EXPECT_EQ(purposes[3], RowPurpose::kUnused);
  EXPECT_EQ(purposes[79], RowPurpose::kSignBoardText);
  EXPECT_EQ(purposes[80], RowPurpose::kSignBoardText);
  EXPECT_EQ(purposes[81], RowPurpose::kUnused);  // no chainage references
  EXPECT_EQ(purposes[84], RowPurpose::kLineAndTrain);
  EXPECT_EQ(purposes[85], RowPurpose::kLineIdentity);
  EXPECT_EQ(purposes[86], RowPurpose::kTrainIdentity);

  // Without the track file, or with the board's cell taken over by a stop, a text with
  // nothing else above the stations is still a sign-board text.
  EXPECT_EQ(row_purposes(state.tabella_dati, nullptr), purposes);
  std::vector<TrackCell> celle = state.celle;
  for (TrackCell& cell : celle) {
    if (cell.tipo == cell_kind::kSignBoard) cell = TrackCell{cell_kind::kStationStop, 1};
  }
  EXPECT_EQ(row_purposes(state.tabella_dati, &celle), purposes);
}

TEST(RouteView, StopsAndClockTimes) {
  DataRow station;
  station.valore2 = 5200;
  station.classe = 12;
  EXPECT_EQ(stop_cell(station), 103);
  station.classe = 25;
  EXPECT_EQ(stop_cell(station), std::nullopt);
  EXPECT_EQ(clock_time(32370), "8:59:30");
  EXPECT_EQ(clock_time(0), "0:00:00");
  EXPECT_EQ(clock_time(-61), "-0:01:01");
  EXPECT_EQ(clock_time(90000), "25:00:00");
}

// The curves of the description come back from the plan's turning, class and direction too.
TEST(RouteView, CurvesAreRecoveredFromThePlan) {
  const auto reading =
      read_descriptions(small_line({"curvas4,  1000,  300", "curvad6,  2000,  100",
                                    "curvad1,  2100,  500", "curvas2,  16000,  900"}),
                        small_train());
  const Plan& pianta = reading.state.pianta;
  const PlanSummary whole = summarise_plan(pianta, RouteRange{});
  EXPECT_EQ(whole.rows, 17001u);
  EXPECT_EQ(whole.seeds, 2u);
  EXPECT_EQ(whole.computed, 16997u);
  EXPECT_EQ(whole.empty, 2u);
  struct Found {
    std::int64_t from, to;
    int curve_class;
    bool left;
    bool operator==(const Found&) const = default;
  };
  auto found = [](const PlanSummary& s) {
    std::vector<Found> out;
    for (const Curve& c : s.curves)
      out.push_back({c.from_metre, c.to_metre, c.curve_class, c.left});
    return out;
  };
  EXPECT_EQ(found(whole), (std::vector<Found>{{1000, 1300, 4, true},
                                              {2000, 2100, 6, false},
                                              {2100, 2600, 1, false},
                                              {16000, 16900, 2, true}}));
  // Turning: 300 x 0.001 left, 100 x 0.003 and 500 x 0.0001 right, 900 x 0.0002 left, in
  // radians, each step turning by atan(kappa).
  const double expected = (300 * std::atan(0.001) - 100 * std::atan(0.003) -
                           500 * std::atan(0.0001) + 900 * std::atan(0.0002)) *
                          180 / std::numbers::pi;
  EXPECT_NEAR(whole.net_turning, expected, 1e-6);
  // Each curved step, unnormalised, is sqrt(1 + kappa^2) times the one before: every step after
  // it stays that much longer.
  double step = 1;
  double length = 1;  // row 0 to row 1
  for (int row = 2; row <= 16998; ++row) {
    for (const auto& [from, rows, kappa] : {std::tuple{1000, 300, 0.001},
                                            {2000, 100, 0.003},
                                            {2100, 500, 0.0001},
                                            {16000, 900, 0.0002}}) {
      if (row > from && row <= from + rows) step *= std::sqrt(1 + kappa * kappa);
    }
    length += step;
  }
  EXPECT_NEAR(whole.length, length, 1e-6);
  EXPECT_EQ(whole.min_y, 0);

  // Part of the plan: the curves are cut to it.
  const PlanSummary part = summarise_plan(pianta, metre_range(1200, 2050));
  EXPECT_EQ(found(part), (std::vector<Found>{{1201, 1300, 4, true}, {2000, 2050, 6, false}}));
  EXPECT_EQ(part.first_row, 1200u);
  EXPECT_EQ(part.last_row, 2050u);

  // A straight line runs up +y from the origin.
  const auto straight = read_descriptions(small_line(), small_train());
  const PlanSummary line = summarise_plan(straight.state.pianta, RouteRange{});
  EXPECT_TRUE(line.curves.empty());
  EXPECT_EQ(line.length, 16998);
  EXPECT_EQ(line.max_y, 16998);
  EXPECT_EQ(line.min_x, 0);
  EXPECT_EQ(line.max_x, 0);
  EXPECT_EQ(line.net_turning, 0);
}

TEST(RouteNames, EveryByteOfAWindows1252TextIsKept) {
  std::string every_byte;
  for (int c = 0; c < 256; ++c) every_byte += static_cast<char>(c);
  const std::string utf8 = windows_1252_to_utf8(every_byte);
  EXPECT_EQ(utf8_to_windows_1252(utf8), every_byte);
  EXPECT_EQ(windows_1252_to_utf8("\x80\xE8\x81"), "\xE2\x82\xAC\xC3\xA8\xC2\x81");
  EXPECT_EQ(utf8_to_windows_1252("\xE2\x82\xAD"), std::nullopt);  // no such character
}

TEST(RouteNames, KindsAndFields) {
  EXPECT_EQ(cell_kind_words(cell_kind::kSlowdownWarning), "slowdown warning board");
  EXPECT_EQ(cell_kind_words(7), "unknown kind 7");
  EXPECT_EQ(cell_field_meaning(1, cell_kind::kNone, "dato1"),
            "track stamp (5121 on every compiled route)");
  EXPECT_EQ(cell_field_meaning(5, cell_kind::kStationStop, "dato1"),
            "the station's row of the data table");
  EXPECT_EQ(cell_field_meaning(5, cell_kind::kStationStop, "dato2"), "");
  EXPECT_EQ(row_field_meaning(RowPurpose::kLineIdentity, "valore2"), "background three");
  for (std::string_view field : kCellFields) {
    TrackCell cell{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    EXPECT_NE(cell_field(cell, field), 0) << field;
  }
  for (std::string_view field : kRowFields) {
    if (field == "testo") continue;
    DataRow row{1, 2, 3, 4, 5, "", 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    EXPECT_NE(row_field(row, field), 0) << field;
  }
}

}  // namespace
}  // namespace binario::authoring
