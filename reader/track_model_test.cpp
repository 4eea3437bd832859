#include "reader/track_model.h"

#include <stdexcept>
#include <variant>

#include <gtest/gtest.h>

namespace binario {
namespace {

TEST(CreateTrackModel, SizesFollowTheLineLengthWithTiesToEven) {
  struct Case {
    std::int32_t line_length;
    std::int32_t lunghezza_pianta;
    std::int32_t numero_celle;
  };
  const Case cases[] = {
      {115000, 122000, 2440},     // this scenario
      {18025, 25025, 500},        // 500.5 ties down to the even 500
      {18075, 25075, 502},        // 501.5 ties up to the even 502
      {18024, 25024, 500},        // 500.48
      {18026, 25026, 501},        // 500.52
      {0, 7000, 140},             // the shortest line
      {1000000, 1007000, 20140},  // the longest line
  };
  for (const Case& c : cases) {
    RunState state;
    state.modo = 1;
    create_track_model(state, c.line_length);
    SCOPED_TRACE(c.line_length);
    EXPECT_EQ(state.lunghezza_pianta, c.lunghezza_pianta);
    EXPECT_EQ(state.numero_celle, c.numero_celle);
    EXPECT_EQ(state.celle.size(), static_cast<std::size_t>(c.numero_celle) + 1);
    EXPECT_EQ(state.pianta.size(), static_cast<std::size_t>(c.lunghezza_pianta) + 1);
  }
}

TEST(CreateTrackModel, StartsEmptyAndReplacesAnEarlierModel) {
  RunState state;
  state.modo = 1;
  create_track_model(state, 20000);
  state.celle[5].tipo = cell_kind::kSignal;
  state.celle.back().pendenza = 100;
  state.pianta[1] = PlanRow{std::int16_t{0}, std::int16_t{1}};

  create_track_model(state, 115000);
  for (const TrackCell& cell : state.celle) ASSERT_EQ(cell, TrackCell{});
  for (const PlanRow& row : state.pianta) {
    ASSERT_TRUE(std::holds_alternative<std::monostate>(row[0]));
    ASSERT_TRUE(std::holds_alternative<std::monostate>(row[1]));
  }
}

TEST(CreateTrackModel, WithoutModoThereIsNoPlan) {
  RunState state;
  state.modo = 1;
  create_track_model(state, 115000);
  state.modo = 0;
  create_track_model(state, 115000);
  EXPECT_EQ(state.celle.size(), 2441u);
  EXPECT_TRUE(state.pianta.empty());
}

TEST(CreateTrackModel, RefusesLengthsOutOfRange) {
  RunState state;
  EXPECT_THROW(create_track_model(state, -1), std::invalid_argument);
  EXPECT_THROW(create_track_model(state, kMaxLineLength + 1), std::invalid_argument);
}

}  // namespace
}  // namespace binario
