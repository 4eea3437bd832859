// The line half of memorizza_dati: the line description becomes the track cells, the plan and
// the line's rows of the scenario data table.

#include <algorithm>
#include <cstdint>
#include <optional>

#include "reader/description_reader.h"
#include "reader/error_codes.h"
#include "reader/numbers.h"
#include "reader/readers.h"
#include "reader/track_markers.h"

namespace binario {

namespace {

// Computes the plan row by row. Each step takes the previous step, (dx, dy) from row n - 2 to
// row n - 1; a curved step turns it by the curvature, unnormalised, so curves lengthen it.
// The order of the operations is part of the result: the plan must come out bit-identical.
class PlanCursor {
 public:
  explicit PlanCursor(Plan& plan) : plan_(plan) {}

  std::int32_t next_row() const { return n_; }

  // Steps while the next row is at most `last`. After each step, when the row counter has
  // passed `max_row`, it stops and gives false: the step that brought it past is taken.
  bool straight_to(std::int64_t last, std::int64_t max_row) {
    return steps(last, max_row,
                 [](double x1, double y1, double dx, double dy, double& x, double& y) {
                   x = x1 + dx;
                   y = y1 + dy;
                 });
  }
  bool curved_to(std::int64_t last, std::int64_t max_row, double kappa) {
    return steps(last, max_row,
                 [kappa](double x1, double y1, double dx, double dy, double& x, double& y) {
                   x = x1 + dx + kappa * dy;
                   y = y1 + dy - kappa * dx;
                 });
  }

 private:
  // One loop for a run of steps, the last two rows in locals, written straight into the plan's
  // room for them: the rows up to `last`, or up to `max_row`, the last row a run may reach.
  template <typename Step>
  bool steps(std::int64_t last, std::int64_t max_row, Step step) {
    const std::int64_t to = std::min(last, max_row);
    if (to < n_) return true;
    const auto count = static_cast<std::size_t>(to - n_ + 1);
    auto [xs, ys] = plan_.extend(count);
    double x1 = x1_, y1 = y1_, x2 = x2_, y2 = y2_;
    for (std::size_t i = 0; i < count; ++i) {
      double x;
      double y;
      step(x1, y1, x1 - x2, y1 - y2, x, y);
      xs[i] = x;  // row n_ + i
      ys[i] = y;
      x2 = x1;
      y2 = y1;
      x1 = x;
      y1 = y;
    }
    x1_ = x1, y1_ = y1, x2_ = x2, y2_ = y2;
    n_ = static_cast<std::int32_t>(to + 1);
    // Past max_row, the run stopped there.
    return to < max_row;
  }

  Plan& plan_;
  std::int32_t n_ = 2;
  // Rows n - 1 and n - 2; the seeds put the start at the origin heading along +y.
  double x1_ = 0, y1_ = 1, x2_ = 0, y2_ = 0;
};

// The highest plan row a curve may bring the point counter past.
constexpr std::int32_t kMaxPlanRow = 1000000;

class LineReader : DescriptionReader {
 public:
  LineReader(RunState& state, ReaderFiles& files, std::string_view bytes, ReadingObserver* observer)
      : DescriptionReader(state, files, DescriptionFile::kLine, bytes, observer),
        plan_(state.pianta) {}

  std::optional<std::int32_t> run();

 private:
  std::optional<std::int32_t> read();
  // Finds "[generale]" and reads the general section; gives the code that stops the reading,
  // or kNone.
  std::int32_t read_general_section();
  Next read_body_record();
  Next gradient();
  Next curve();
  Next scenery();
  Next speed_boards();
  Next sign_board();

  // Writes the gradient in force into cells f, f + 1, ... up to `until`.
  void fill_gradient(std::int64_t until) {
    fill_cells(f_, until, state_.numero_celle, [&](std::size_t i) {
      state_.celle[i].pendenza = low_bits_u8(std::int64_t{c_} + 100);
    });
  }
  PlanCursor plan_;
  std::int32_t r_ = data_row::kFirstSignBoard;  // the row the next sign board takes
  std::int32_t f_ = 0;                          // the next cell to take a gradient
  std::int32_t c_ = 0;                          // the gradient in force
};

std::optional<std::int32_t> LineReader::run() {
  return reporting_failures([this] { return read(); });
}

std::optional<std::int32_t> LineReader::read() {
  std::int32_t code = read_general_section();
  if (code == error_code::kNone && state_.celle.empty()) code = error_code::kNoLineLength;
  if (code != error_code::kNone) {
    stop(code);
    return std::nullopt;
  }

  progressive_ordina(state_);
  state_.numero_montagne = 0;
  if (!state_.pianta.empty()) state_.pianta.seed(0, 0, 0, 1);

  // A record beyond the model ends the body; the rest of the reading goes on.
  if (!read_records([this] { return read_body_record(); })) return std::nullopt;

  files_.done(DescriptionFile::kLine);
  // The last gradient runs on to three cells before the end of the model.
  fill_gradient(state_.numero_celle - 2);
  if (!state_.pianta.empty()) {
    plan_.straight_to(state_.lunghezza_pianta - 2, INT64_MAX);
  }
  return r_;
}

std::int32_t LineReader::read_general_section() {
  for (;;) {
    // An empty file has no "[generale]" either.
    if (in_.at_end()) return error_code::kNoGeneralSection;
    if (!read_keyword()) return error_code::kNoGeneralSection;
    if (contains_any_case(state_.riga, "[generale]")) break;
    note(FieldRole::kPassedOver);
  }
  note(FieldRole::kHeading);

  auto& table = state_.tabella_dati;
  const std::string& riga = state_.riga;
  for (;;) {
    if (in_.at_end()) return error_code::kNone;
    if (!read_keyword()) return error_code::kNone;
    // Up to ten comment fields in a row, with no test for the end between them.
    for (int skip = 0; skip < 10; ++skip) {
      if (contains(riga, "-")) {
        note(FieldRole::kComment);
        read_riga();
      }
    }
    note(FieldRole::kKeyword);

    if (contains_any_case(riga, "percorso") && contains_any_case(riga, "lunghezza")) {
      const Record record(*this, RecordKind::kLineLength);
      const std::int32_t length = read_int32();
      table[data_row::kLineAndTrain].valore2 = length;
      if (length < 0 || length > kMaxLineLength) return error_code::kLineLength;
      create_track_model(state_, length);
    }
    auto chainage = [&](RecordKind kind, int row) {
      const Record record(*this, kind);
      table[row].valore1 = read_int32();
      table[row].valore2 = read_int32();
      table[row].valore3 = read_int32();
    };
    if (contains(riga, "tre") && contains(riga, "progressiva")) {
      chainage(RecordKind::kChainageTre, data_row::kChainageTre);
    }
    if (contains(riga, "due") && contains(riga, "progressiva")) {
      chainage(RecordKind::kChainageDue, data_row::kChainageDue);
    }
    if (contains(riga, "uno") && contains(riga, "progressiva")) {
      chainage(RecordKind::kChainageUno, data_row::kChainageUno);
    }
    // Note the order of the background slots: "due" goes to valore3, "tre" to valore2.
    DataRow& backgrounds = table[data_row::kLineIdentity];
    auto background = [&](RecordKind kind, std::int32_t& slot) {
      const Record record(*this, kind);
      slot = read_int32();
    };
    if (contains(riga, "sfondo") && contains(riga, "uno")) {
      background(RecordKind::kBackgroundUno, backgrounds.valore1);
    }
    if (contains(riga, "sfondo") && contains(riga, "due")) {
      background(RecordKind::kBackgroundDue, backgrounds.valore3);
    }
    if (contains(riga, "sfondo") && contains(riga, "tre")) {
      background(RecordKind::kBackgroundTre, backgrounds.valore2);
    }
    if (contains(riga, "segnali") && contains(riga, "ripetizione")) {
      const Record record(*this, RecordKind::kSignalRepetition);
      DataRow& repetition = table[data_row::kTrainIdentity];
      repetition.valore1 = read_int32();
      repetition.valore2 = read_int32();
      // The remainder keeps the sign of the dividend: -50 passes, -30 fails.
      if (repetition.valore1 % 50 != 0) return error_code::kRepetitionFirstNotMultiple;
      if (repetition.valore2 % 50 != 0) return error_code::kRepetitionSecondNotMultiple;
      if (contains(riga, "4")) {
        repetition.valore3 = 4;
      } else if (contains(riga, "9")) {
        repetition.valore3 = 9;
      } else {
        return error_code::kRepetitionCodes;
      }
      if (repetition.valore2 == 0) repetition.valore3 = 0;
    }

    // The first heading after the general records ends the section.
    const std::size_t first = riga.find_first_not_of(" \t");
    const bool comment = first != std::string::npos && riga[first] == '-';
    if (contains(riga, "[") && contains(riga, "]") && !comment) {
      if (observer_ != nullptr) observer_->general_section_ended(in_.last_field());
      return error_code::kNone;
    }
  }
}

// The checks are not exclusive: a keyword is tested against every kind, in this order.
Next LineReader::read_body_record() {
  for (Next (LineReader::*kind)() :
       {&LineReader::gradient, &LineReader::curve, &LineReader::scenery, &LineReader::speed_boards,
        &LineReader::sign_board}) {
    const Next next = (this->*kind)();
    if (next != Next::kGoOn) return next;
  }
  return Next::kGoOn;
}

Next LineReader::gradient() {
  if (!contains_any_case(state_.riga, "pendenza")) return Next::kGoOn;
  const Record record(*this, RecordKind::kGradient);
  const std::int32_t p = read_int32();
  const std::int32_t g = read_int32();
  if (beyond(p)) return beyond_model(p);
  // The gradient in force closes at the cell before round(p / 50).
  const std::int64_t k = round_to_index(p / 50.0);
  if (k > 0) fill_gradient(k);
  c_ = g;
  return Next::kGoOn;
}

Next LineReader::curve() {
  if (state_.modo == 0 || !contains_any_case(state_.riga, "curva")) return Next::kGoOn;
  const Record record(*this, RecordKind::kCurve);
  const std::int32_t s = read_int32();
  const std::int32_t l = read_int32();
  if (beyond(s)) return beyond_model(s);

  // The class is the first of the digits 1 to 6, tried in this order, that the keyword holds.
  constexpr double kCurvature[] = {0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};
  double kappa = 0;
  for (int digit = 1; digit <= 6 && kappa == 0; ++digit) {
    if (contains(state_.riga, std::string(1, static_cast<char>('0' + digit)))) {
      kappa = kCurvature[digit - 1];
    }
  }
  if (kappa == 0) return stop(error_code::kCurve);
  if (contains_any_case(state_.riga, "s")) kappa = -kappa;  // counter-clockwise
  if (std::int64_t{s} + l > state_.lunghezza_pianta) return stop(error_code::kCurve);

  // A curve bends the rows from the current point on: one that started earlier is bent only
  // from there, one that ended earlier bends nothing.
  if (!plan_.straight_to(s, kMaxPlanRow) ||
      !plan_.curved_to(std::int64_t{s} + l, kMaxPlanRow, kappa)) {
    return stop(error_code::kCurve);
  }
  return Next::kGoOn;
}

Next LineReader::scenery() {
  if (!contains_any_case(state_.riga, "montagna")) return Next::kGoOn;
  const Record record(*this, RecordKind::kScenery);
  std::int32_t inizio = read_int32();
  std::int32_t fine = read_int32();
  std::int32_t tipo = read_int32();
  if (beyond(inizio)) return beyond_model(inizio);
  const std::int32_t position = inizio;
  if (memo_montagna(state_, inizio, fine, tipo, observer_) == Placement::kOutsideModel) {
    return beyond_model(position);
  }
  if (state_.codice_errore > 0) return stop_at(state_.codice_errore, position);
  return Next::kGoOn;
}

Next LineReader::speed_boards() {
  if (!contains_any_case(state_.riga, "indicatori_v")) return Next::kGoOn;
  const Record record(*this, RecordKind::kSpeedBoards);
  const std::int32_t posizione = read_int32();
  SpeedBoardValues values;
  for (std::int32_t* value : {&values.vas, &values.vbs, &values.vcs, &values.strisces, &values.vad,
                              &values.vbd, &values.vcd, &values.strisced}) {
    *value = read_int32();
  }
  if (beyond(posizione)) return beyond_model(posizione);
  if (memo_indicatori_v_max(state_, posizione, values, observer_) == Placement::kOutsideModel) {
    return beyond_model(posizione);
  }
  if (state_.codice_errore > 0) return stop_at(state_.codice_errore, posizione);
  return Next::kGoOn;
}

Next LineReader::sign_board() {
  if (!contains_any_case(state_.riga, "cartello") || !contains_any_case(state_.riga, "indicat")) {
    return Next::kGoOn;
  }
  const Record record(*this, RecordKind::kSignBoard);
  const std::int32_t q = read_int32();
  state_.riga = read_text();  // the board's text
  if (beyond(q)) return beyond_model(q);
  const std::int64_t i = cell_of(q);
  if (!in_model(state_, i)) return beyond_model(q);
  if (r_ < 1) return stop_at(error_code::kTooManySignBoards, q);  // rows 80 down to 1 are full
  TrackCell& cell = state_.celle[static_cast<std::size_t>(i)];
  if (!is_free(cell)) return stop_at(error_code::kSignBoardCellTaken, q);
  cell.tipo = cell_kind::kSignBoard;
  cell.dato1 = static_cast<std::int16_t>(r_);
  if (observer_ != nullptr) observer_->cell_written(i, CellPart::kObject);
  state_.tabella_dati[static_cast<std::size_t>(r_)].testo = table_text(state_.riga);
  --r_;
  return Next::kGoOn;
}

}  // namespace

std::optional<std::int32_t> read_line_description(RunState& state, ReaderFiles& files,
                                                  ReadingObserver* observer) {
  state.tabella_dati[data_row::kLineIdentity].testo = state.nome_linea;
  state.tabella_dati[data_row::kTrainIdentity].testo = state.numero_treno;
  const std::optional<std::string> bytes = files.open(DescriptionFile::kLine);
  if (!bytes) {
    state.codice_errore = error_code::kNoLineFile;
    if (observer != nullptr) observer->code_recorded(error_code::kNoLineFile, std::nullopt);
    return std::nullopt;
  }
  return LineReader(state, files, *bytes, observer).run();
}

}  // namespace binario
