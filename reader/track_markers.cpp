#include "reader/track_markers.h"

#include <array>

#include "reader/error_codes.h"
#include "reader/numbers.h"

namespace binario {

namespace {

TrackCell& cell(RunState& state, std::int64_t index) {
  return state.celle[static_cast<std::size_t>(index)];
}

bool free_cell(const RunState& state, std::int64_t index) {
  return is_free(state.celle[static_cast<std::size_t>(index)]);
}

void tell(ReadingObserver* observer, std::int64_t index, CellPart part) {
  if (observer != nullptr) observer->cell_written(index, part);
}

}  // namespace

std::int64_t cell_of(std::int64_t p) { return round_to_index(static_cast<double>(p) / 50 + 1); }

bool in_model(const RunState& state, std::int64_t index) {
  return index >= 0 && index <= state.numero_celle &&
         static_cast<std::size_t>(index) < state.celle.size();
}

void progressive_ordina(RunState& state) {
  std::array<DataRow, 3> rows = {state.tabella_dati[data_row::kChainageTre],
                                 state.tabella_dati[data_row::kChainageDue],
                                 state.tabella_dati[data_row::kChainageUno]};
  const std::int64_t a = rows[0].valore1;
  const std::int64_t b = rows[1].valore1;
  const std::int64_t c = rows[2].valore1;

  // The new order as indices into rows; none when no rule applies.
  std::array<int, 3> order{};
  bool ordered = true;
  if (a + b + c != 0) {
    if (a > b && a > c) {
      order = b > c ? std::array{0, 1, 2} : std::array{0, 2, 1};
    } else if (b > a && b > c) {
      order = a > c ? std::array{1, 0, 2} : std::array{1, 2, 0};
    } else if (c > a && c > b) {
      order = a > b ? std::array{2, 0, 1} : std::array{2, 1, 0};
    } else {
      ordered = false;  // the largest value is shared
    }
  } else {
    // Each rule that applies overrides the ones before it.
    ordered = rows[0].valore2 > 0 || rows[1].valore2 > 0 || rows[2].valore2 > 0;
    if (rows[0].valore2 > 0) order = {0, 1, 2};
    if (rows[1].valore2 > 0) order = {1, 0, 2};
    if (rows[2].valore2 > 0) order = {2, 1, 0};
  }

  for (int i = 0; i < 3; ++i) {
    DataRow& target = state.tabella_dati[data_row::kChainageTre + i];
    if (ordered) {
      const DataRow& source = rows[order[i]];
      target.valore1 = source.valore1;
      target.valore2 = source.valore2;
      target.valore3 = source.valore3;
    } else {
      target.valore1 = target.valore2 = target.valore3 = 0;
    }
  }
  // Only once all three rows stand in their new order: a sum that overflows leaves them so.
  for (int row = data_row::kChainageTre; row <= data_row::kChainageUno; ++row) {
    DataRow& target = state.tabella_dati[row];
    if (target.valore3 == 1) {
      target.valore2 = must_fit<std::int32_t>(std::int64_t{target.valore2} + 100);
    }
  }
}

Placement memo_montagna(RunState& state, std::int32_t& inizio, std::int32_t& fine,
                        std::int32_t& tipo, ReadingObserver* observer) {
  if (state.numero_montagne + 1 >= kMaxSceneryEntries) {
    state.codice_errore = error_code::kTooManyScenerySpans;
    return Placement::kInModel;
  }
  const auto first = round_to_index(inizio / 50.0);
  const auto last = round_to_index(fine / 50.0 - 1);
  if (last >= first && !(in_model(state, first) && in_model(state, last))) {
    return Placement::kOutsideModel;
  }

  bool marks = false;
  if (tipo > 10) {
    tipo -= 10;
    marks = true;
  }
  const int n = ++state.numero_montagne;
  state.montagne_inizio[n] = inizio;
  state.montagne_fine[n] = fine;
  if (n > 1 && std::int64_t{state.montagne_inizio[n]} - state.montagne_fine[n - 1] <= 150) {
    tipo = 3;
  }
  // The 4th, 8th, 12th ... cell of the span gets a mark where it is empty.
  for (std::int64_t i = first, count = 1; i <= last; ++i, ++count) {
    TrackCell& c = cell(state, i);
    c.montagna = low_bits_u8(tipo);
    tell(observer, i, CellPart::kScenery);
    if (marks && count % 4 == 0 && c.tipo == cell_kind::kNone) {
      c.tipo = cell_kind::kSceneryMark;
      tell(observer, i, CellPart::kObject);
    }
  }
  return Placement::kInModel;
}

Placement memo_indicatori_v_max(RunState& state, std::int32_t posizione, const SpeedBoardValues& v,
                                ReadingObserver* observer) {
  const std::int64_t c = cell_of(posizione);
  if (!in_model(state, c)) return Placement::kOutsideModel;
  if (!free_cell(state, c)) {
    state.codice_errore = error_code::kSpeedBoardCellTaken;
    return Placement::kInModel;
  }
  // Each speed pair becomes one code: the d speed in 5 km/h steps plus 20 x the s speed. A
  // code that does not fit fails as it is stored, leaving the fields stored before it.
  auto code = [](std::int32_t d_speed, std::int32_t s_speed) {
    return round_to<std::int16_t>(d_speed / 5.0 + s_speed * 20.0);
  };
  TrackCell& board = cell(state, c);
  board.tipo = cell_kind::kSpeedBoards;
  tell(observer, c, CellPart::kObject);
  board.dato1 = code(v.vad, v.vas);
  board.dato2 = code(v.vbd, v.vbs);
  board.dato3 = code(v.vcd, v.vcs);
  board.dato4 = low_bits_i16(std::int64_t{v.strisces} * 10 + v.strisced);
  return Placement::kInModel;
}

Placement memo_segnale(RunState& state, std::int32_t posizione, SignalValues& v,
                       ReadingObserver* observer) {
  const std::int64_t c = cell_of(posizione);
  if (!in_model(state, c) || !in_model(state, c - 8)) return Placement::kOutsideModel;
  if (!free_cell(state, c)) {
    state.codice_errore = error_code::kSignalCellTaken;
    return Placement::kInModel;
  }
  TrackCell& signal = cell(state, c);
  signal.tipo = cell_kind::kSignal;
  signal.dato4 = low_bits_i16(std::int64_t{v.rapp} * 10 + std::int64_t{v.sx} * 3 + v.dx);
  signal.dato1 = low_bits_i16(std::int64_t{v.s1} * 10 + v.d1);
  signal.dato2 = low_bits_i16(std::int64_t{v.s2} * 10 + v.d2);
  signal.dato3 = low_bits_i16(std::int64_t{v.s3} * 10 + v.d3);
  if (v.tempo >= 1 && v.tempo <= 100) v.tempo = 101;
  signal.dato5 = v.sx == 2 ? low_bits_u8(v.tempo) : 0;
  tell(observer, c, CellPart::kObject);
  for (int k = 1; k <= 4; ++k) {
    cell(state, c - 2 * k).avviso =
        low_bits_u8(std::int64_t{v.sx} * 30 + std::int64_t{v.dx} * 10 + k);
    tell(observer, c - 2 * k, CellPart::kApproachMark);
  }
  return Placement::kInModel;
}

Placement memo_rallentamento(RunState& state, const SlowdownValues& v, ReadingObserver* observer) {
  const std::int64_t s = cell_of(v.x);
  const std::int64_t e = cell_of(std::int64_t{v.x} + v.l);
  const bool board = v.x > 1500;
  const std::int64_t w = cell_of(std::int64_t{v.x} - 1200);
  const bool approach = board && v.f_ta != 0;
  const auto j = round_to_index((std::int64_t{v.x} - 1200) / 50.0);
  if (!in_model(state, s) || !in_model(state, e) || (board && !in_model(state, w)) ||
      (approach && !(in_model(state, j) && in_model(state, j - 3)))) {
    return Placement::kOutsideModel;
  }

  if (board && !free_cell(state, w)) {
    state.codice_errore = error_code::kWarningBoardCellTaken;
    return Placement::kInModel;
  }
  if (!free_cell(state, s)) {
    state.codice_errore = error_code::kSlowdownStartCellTaken;
    return Placement::kInModel;
  }
  if (!free_cell(state, e)) {
    state.codice_errore = error_code::kSlowdownEndCellTaken;
    return Placement::kInModel;
  }

  const std::int16_t speed = low_bits_i16(v.v);
  const std::int16_t second = low_bits_i16(v.d_v);
  TrackCell& end = cell(state, e);
  end.tipo = cell_kind::kSlowdownEnd;
  if (v.d_v != 0) end.dato2 = second;
  // Written after the end, so a slowdown within one cell leaves its start.
  TrackCell& start = cell(state, s);
  start.tipo = cell_kind::kSlowdownStart;
  if (v.d_v != 0) start.dato2 = second;
  if (board) {
    TrackCell& warning = cell(state, w);
    warning.tipo = cell_kind::kSlowdownWarning;
    if (v.d_v != 0) warning.dato2 = second;
    warning.dato1 = speed;
  }
  start.dato1 = end.dato1 = speed;
  start.dato3 = end.dato3 = low_bits_i16(v.f_tt);
  tell(observer, e, CellPart::kObject);
  tell(observer, s, CellPart::kObject);
  if (board) tell(observer, w, CellPart::kObject);

  if (approach) {
    for (int k = 0; k < 4; ++k) {
      if (!free_cell(state, j - k)) {
        state.codice_errore = error_code::kApproachCellTaken;
        return Placement::kInModel;
      }
    }
    for (int k = 0; k < 4; ++k) {
      TrackCell& a = cell(state, j - k);
      a.tipo = cell_kind::kSlowdownApproach;
      a.dato1 = static_cast<std::int16_t>(k + 1);
      if (v.d_v != 0) a.dato2 = static_cast<std::int16_t>(k + 1);
      tell(observer, j - k, CellPart::kObject);
    }
  }
  return Placement::kInModel;
}

}  // namespace binario
