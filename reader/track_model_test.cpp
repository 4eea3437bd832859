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
  state.pianta.seed(0, 0, 0, 1);
  state.pianta.push_back(0, 2);

  create_track_model(state, 115000);
  for (const TrackCell& cell : state.celle) ASSERT_EQ(cell, TrackCell{});
  EXPECT_EQ(state.pianta, Plan(122001));
  for (std::size_t row : {0, 1, 2, 122000}) EXPECT_EQ(state.pianta.tag(row), PlanTag::kEmpty);
}

// The plan keeps the doubles it computed and nothing else: each entry's tag follows from its row.
TEST(Plan, EntriesFollowFromTheirRow) {
  Plan plan(6);
  EXPECT_EQ(plan.entry(0, 0), PlanEntry{});
  plan.seed(0, 0, 0, 1);
  plan.push_back(0.5, 2.25);
  EXPECT_EQ(plan.entry(1, 1), (PlanEntry{PlanTag::kInt16, 1, 0}));
  EXPECT_EQ(plan.entry(2, 0), (PlanEntry{PlanTag::kDouble, 0, 0.5}));
  EXPECT_EQ(plan.entry(2, 1), (PlanEntry{PlanTag::kDouble, 0, 2.25}));
  EXPECT_EQ(plan.tag(3), PlanTag::kEmpty);
  EXPECT_EQ(plan.tag(5), PlanTag::kEmpty);
  EXPECT_THROW(Plan(1).seed(0, 0, 0, 1), std::logic_error);  // the seeds take two rows
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
