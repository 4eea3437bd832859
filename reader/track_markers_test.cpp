#include "reader/track_markers.h"

#include <gtest/gtest.h>

#include "reader/error_codes.h"
#include "reader/read_failure.h"

namespace binario {
namespace {

// A model for a line of `length` metres, as the line reader creates it.
RunState model(std::int32_t length = 115000) {
  RunState state;
  create_track_model(state, length);
  return state;
}

TEST(CellOf, RoundsHalfToEven) {
  EXPECT_EQ(cell_of(60600), 1213);
  EXPECT_EQ(cell_of(1950), 40);
  EXPECT_EQ(cell_of(75), 2);   // 2.5
  EXPECT_EQ(cell_of(125), 4);  // 3.5
  EXPECT_EQ(cell_of(-100), -1);
}

TEST(MemoIndicatoriVMax, BoardAt1950) {
  RunState state = model();
  const SpeedBoardValues values{110, 130, 160, 0, 110, 130, 160, 0};
  EXPECT_EQ(memo_indicatori_v_max(state, 1950, values), Placement::kInModel);
  const TrackCell& board = state.celle[40];
  EXPECT_EQ(board.tipo, cell_kind::kSpeedBoards);
  EXPECT_EQ(board.dato1, 2222);
  EXPECT_EQ(board.dato2, 2626);
  EXPECT_EQ(board.dato3, 3232);
  EXPECT_EQ(board.dato4, 0);
  EXPECT_EQ(state.codice_errore, 0);
}

TEST(MemoIndicatoriVMax, CodesRoundHalfToEvenAndMustFit16Bits) {
  RunState state = model();
  // 62 / 5 + 0 = 12.4; 12.5 rounds to 12; the digits give dato4.
  EXPECT_EQ(memo_indicatori_v_max(state, 5000, {0, 0, 0, 3, 62, 0, 0, 7}), Placement::kInModel);
  EXPECT_EQ(state.celle[101].dato1, 12);
  EXPECT_EQ(state.celle[101].dato4, 37);

  // 1638 x 20 + 8 / 5 = 32761.6 -> 32762 fits; 1639 x 20 = 32780 does not.
  EXPECT_EQ(memo_indicatori_v_max(state, 6000, {1638, 0, 0, 0, 8, 0, 0, 0}), Placement::kInModel);
  EXPECT_EQ(state.celle[121].dato1, 32762);
  // The failure comes as the code is stored: the kind is already written, the code is not.
  EXPECT_THROW(memo_indicatori_v_max(state, 7000, {1639, 0, 0, 0, 0, 0, 0, 0}), ReadFailure);
  EXPECT_EQ(state.celle[141], (TrackCell{.tipo = 6}));
}

TEST(MemoSegnale, SignalAt60600) {
  RunState state = model();
  SignalValues values{1, 5, 1, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(memo_segnale(state, 60600, values), Placement::kInModel);
  const TrackCell& signal = state.celle[1213];
  EXPECT_EQ(signal.tipo, cell_kind::kSignal);
  EXPECT_EQ(signal.dato4, 3);
  EXPECT_EQ(signal.dato1, 50);
  EXPECT_EQ(signal.dato2, 10);
  EXPECT_EQ(signal.dato3, 0);
  EXPECT_EQ(signal.dato5, 0);
  for (const auto& [cell, avviso] : {std::pair{1211, 31}, {1209, 32}, {1207, 33}, {1205, 34}}) {
    EXPECT_EQ(state.celle[cell].avviso, avviso) << cell;
    EXPECT_EQ(state.celle[cell].tipo, 0) << cell;
  }
}

TEST(MemoSegnale, TimeValue) {
  struct Case {
    std::int32_t sx;
    std::int32_t tempo;
    std::int32_t tempo_after;
    std::uint8_t dato5;
  };
  const Case cases[] = {
      {2, 50, 101, 101}, {1, 50, 101, 0},    {2, 1, 101, 101},  {2, 100, 101, 101},
      {2, 0, 0, 0},      {2, 220, 220, 220}, {2, 300, 300, 44}, {2, -5, -5, 251},
  };
  for (const Case& c : cases) {
    RunState state = model();
    SignalValues values{c.sx, 2, 3, 1, 0, 0, 2, 2, 1, c.tempo};
    memo_segnale(state, 103250, values);
    EXPECT_EQ(values.tempo, c.tempo_after) << c.tempo;
    EXPECT_EQ(state.celle[cell_of(103250)].dato5, c.dato5) << c.tempo;
  }
}

TEST(MemoSegnale, TakesOnlyAFreeCellAndStaysInsideTheModel) {
  RunState state = model();
  state.celle[1213].tipo = cell_kind::kSceneryMark;
  SignalValues values{1, 5, 1, 0, 0, 0, 0, 0, 0, 0};
  memo_segnale(state, 60600, values);
  EXPECT_EQ(state.celle[1213].tipo, cell_kind::kSignal);  // the mark gives way

  memo_segnale(state, 60600, values);
  EXPECT_EQ(state.codice_errore, error_code::kSignalCellTaken);

  // The approach marks need cells down to 8 before the signal.
  RunState fresh = model();
  EXPECT_EQ(memo_segnale(fresh, 350, values), Placement::kInModel);  // cell 8
  fresh = model();
  EXPECT_EQ(memo_segnale(fresh, 300, values), Placement::kOutsideModel);  // cell 7
  EXPECT_EQ(fresh.codice_errore, 0);
  for (const TrackCell& cell : fresh.celle) ASSERT_EQ(cell, TrackCell{});
}

TEST(MemoRallentamento, SlowdownAt20000) {
  RunState state = model();
  EXPECT_EQ(memo_rallentamento(state, {20000, 60, 1000, 7, 1, 0}), Placement::kInModel);
  EXPECT_EQ(state.codice_errore, 0);
  const TrackCell& start = state.celle[401];
  const TrackCell& end = state.celle[421];
  const TrackCell& warning = state.celle[377];
  EXPECT_EQ(start.tipo, cell_kind::kSlowdownStart);
  EXPECT_EQ(end.tipo, cell_kind::kSlowdownEnd);
  EXPECT_EQ(warning.tipo, cell_kind::kSlowdownWarning);
  for (const TrackCell* cell : {&start, &end, &warning}) {
    EXPECT_EQ(cell->dato1, 60);
    EXPECT_EQ(cell->dato2, 0);
  }
  EXPECT_EQ(start.dato3, 7);
  EXPECT_EQ(end.dato3, 7);
  EXPECT_EQ(warning.dato3, 0);
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(state.celle[376 - k].tipo, cell_kind::kSlowdownApproach);
    EXPECT_EQ(state.celle[376 - k].dato1, k + 1);
    EXPECT_EQ(state.celle[376 - k].dato2, 0);
  }
}

TEST(MemoRallentamento, SecondValueAndShortSlowdowns) {
  RunState state = model();
  memo_rallentamento(state, {20000, 60, 1000, 0, 1, 9});
  for (int cell : {401, 421, 377}) EXPECT_EQ(state.celle[cell].dato2, 9) << cell;
  for (int k = 0; k < 4; ++k) EXPECT_EQ(state.celle[376 - k].dato2, k + 1);

  // At 1500 m or closer to the start: no warning board and no approach cells.
  RunState near_start = model();
  memo_rallentamento(near_start, {1500, 30, 500, 0, 1, 0});
  int placed = 0;
  for (const TrackCell& cell : near_start.celle) placed += cell.tipo != 0;
  EXPECT_EQ(placed, 2);

  // Start and end in one cell: the start is written last.
  RunState short_one = model();
  memo_rallentamento(short_one, {30000, 30, 10, 0, 0, 0});
  EXPECT_EQ(short_one.celle[601].tipo, cell_kind::kSlowdownStart);
}

TEST(MemoRallentamento, Refusals) {
  struct Case {
    const char* name;
    int taken_cell;
    std::int32_t code;
    int cells_written;  // by the refused slowdown
  };
  const Case cases[] = {
      {"warning board", 377, error_code::kWarningBoardCellTaken, 0},
      {"start", 401, error_code::kSlowdownStartCellTaken, 0},
      {"end", 421, error_code::kSlowdownEndCellTaken, 0},
      {"approach", 374, error_code::kApproachCellTaken, 3},  // start, end and board stay
  };
  for (const Case& c : cases) {
    RunState state = model();
    state.celle[c.taken_cell].tipo = cell_kind::kSignBoard;
    memo_rallentamento(state, {20000, 60, 1000, 0, 1, 0});
    EXPECT_EQ(state.codice_errore, c.code) << c.name;
    int written = -1;  // the sign board
    for (const TrackCell& cell : state.celle) written += cell.tipo != 0;
    EXPECT_EQ(written, c.cells_written) << c.name;
  }
  RunState state = model(10000);
  EXPECT_EQ(memo_rallentamento(state, {16000, 60, 1000, 0, 0, 0}), Placement::kOutsideModel);
  EXPECT_EQ(memo_rallentamento(state, {-100, 60, 50, 0, 0, 0}), Placement::kOutsideModel);
  EXPECT_EQ(state.codice_errore, 0);
}

TEST(MemoMontagna, SpanWithMarks) {
  RunState state = model();
  std::int32_t inizio = 10000, fine = 10950, tipo = 2;
  memo_montagna(state, inizio, fine, tipo);
  inizio = 11600, fine = 12100, tipo = 11;
  memo_montagna(state, inizio, fine, tipo);
  EXPECT_EQ(tipo, 1);
  EXPECT_EQ(state.numero_montagne, 2);
  EXPECT_EQ(state.montagne_inizio[2], 11600);
  EXPECT_EQ(state.montagne_fine[2], 12100);
  for (int cell = 231; cell <= 242; ++cell) {
    const bool in_span = cell >= 232 && cell <= 241;
    EXPECT_EQ(state.celle[cell].montagna, in_span ? 1 : 0) << cell;
    const bool mark = cell == 235 || cell == 239;
    EXPECT_EQ(state.celle[cell].tipo, mark ? cell_kind::kSceneryMark : 0) << cell;
  }
}

TEST(MemoMontagna, KindsAndNeighbours) {
  struct Case {
    std::int32_t gap;  // from the previous span's end
    std::int32_t tipo;
    std::int32_t kind;
    bool marks;
  };
  const Case cases[] = {
      {1000, 12, 2, true}, {1000, 2, 2, false}, {150, 2, 3, false},
      {200, 2, 2, false},  {150, 11, 3, true},  {-100, 1, 3, false},
  };
  for (const Case& c : cases) {
    RunState state = model();
    std::int32_t inizio = 5000, fine = 6000, tipo = 1;
    memo_montagna(state, inizio, fine, tipo);
    state.celle[145].tipo = cell_kind::kSignal;  // an 8th cell: no mark there
    inizio = 6000 + c.gap, fine = inizio + 1000, tipo = c.tipo;
    memo_montagna(state, inizio, fine, tipo);
    EXPECT_EQ(tipo, c.kind) << c.gap << " " << c.tipo;
    const std::int64_t first = cell_of(inizio) - 1;
    EXPECT_EQ(state.celle[first].montagna, c.kind);
    EXPECT_EQ(state.celle[first + 3].tipo == cell_kind::kSceneryMark, c.marks);
    EXPECT_EQ(state.celle[first + 4].tipo, 0);
  }
}

TEST(MemoMontagna, EightyFirstSpanAndSpansOutsideTheModel) {
  RunState state = model(10000);
  for (int n = 0; n < 80; ++n) {
    std::int32_t inizio = n * 100, fine = n * 100 + 50, tipo = 1;
    ASSERT_EQ(memo_montagna(state, inizio, fine, tipo), Placement::kInModel);
  }
  EXPECT_EQ(state.codice_errore, 0);
  std::int32_t inizio = 9000, fine = 9050, tipo = 1;
  memo_montagna(state, inizio, fine, tipo);
  EXPECT_EQ(state.codice_errore, error_code::kTooManyScenerySpans);
  EXPECT_EQ(state.numero_montagne, 80);

  RunState other = model(10000);
  inizio = 16000, fine = 20000, tipo = 1;
  EXPECT_EQ(memo_montagna(other, inizio, fine, tipo), Placement::kOutsideModel);
  EXPECT_EQ(other.numero_montagne, 0);
  inizio = 500, fine = 500, tipo = 1;  // no cell at all: recorded all the same
  EXPECT_EQ(memo_montagna(other, inizio, fine, tipo), Placement::kInModel);
  EXPECT_EQ(other.numero_montagne, 1);
}

TEST(ProgressiveOrdina, Orders) {
  struct Row {
    std::int32_t valore1, valore2, valore3;
    bool operator==(const Row&) const = default;
  };
  struct Case {
    const char* name;
    std::array<Row, 3> before;  // rows 81, 82, 83
    std::array<Row, 3> after;
  };
  const Case cases[] = {
      {"already in order",
       {{{2550, 105000, 1}, {2050, 53950, 0}, {1550, -1500, 0}}},
       {{{2550, 105100, 1}, {2050, 53950, 0}, {1550, -1500, 0}}}},
      {"reversed",
       {{{1550, 1, 0}, {2050, 2, 0}, {2550, 3, 1}}},
       {{{2550, 103, 1}, {2050, 2, 0}, {1550, 1, 0}}}},
      {"middle largest",
       {{{100, 1, 0}, {300, 2, 0}, {200, 3, 0}}},
       {{{300, 2, 0}, {200, 3, 0}, {100, 1, 0}}}},
      {"tie of the smaller two: the later row first",
       {{{300, 1, 0}, {100, 2, 0}, {100, 3, 0}}},
       {{{300, 1, 0}, {100, 3, 0}, {100, 2, 0}}}},
      {"largest shared: no rule applies",
       {{{300, 1, 1}, {300, 2, 0}, {100, 3, 0}}},
       {{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}}},
      {"sum 0, row 82 positive",
       {{{0, 0, 0}, {0, 500, 0}, {0, -7, 0}}},
       {{{0, 500, 0}, {0, 0, 0}, {0, -7, 0}}}},
      {"sum 0, the last rule that applies wins",
       {{{50, 10, 0}, {-50, 20, 0}, {0, 30, 0}}},
       {{{0, 30, 0}, {-50, 20, 0}, {50, 10, 0}}}},
      {"sum 0 and nothing positive",
       {{{0, 0, 1}, {0, -5, 0}, {0, 0, 0}}},
       {{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}}},
  };
  for (const Case& c : cases) {
    RunState state;
    for (int i = 0; i < 3; ++i) {
      DataRow& row = state.tabella_dati[81 + i];
      row.valore1 = c.before[i].valore1;
      row.valore2 = c.before[i].valore2;
      row.valore3 = c.before[i].valore3;
    }
    progressive_ordina(state);
    for (int i = 0; i < 3; ++i) {
      const DataRow& row = state.tabella_dati[81 + i];
      EXPECT_EQ((Row{row.valore1, row.valore2, row.valore3}), c.after[i])
          << c.name << ", row " << 81 + i;
    }
  }
}

}  // namespace
}  // namespace binario
