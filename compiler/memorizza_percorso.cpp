#include "compiler/memorizza_percorso.h"

#include "compiler/competition_codes.h"
#include "compiler/route_files.h"
#include "reader/error_codes.h"
#include "reader/observer.h"

namespace binario {

namespace {

// The completion pass. Cells past numero_celle count as occupied, never as a signal or a
// slowdown end.
class Completion {
 public:
  Completion(RunState& state, ReadingObserver* observer)
      : state_(state), observer_(observer), last_(state.numero_celle) {}

  void run() {
    for (std::int32_t i = 1; i <= last_ - 2; ++i) {
      if (kind(i) == cell_kind::kSlowdownWarning) signal_markers(i);
      if (kind(i) == cell_kind::kSlowdownStart) slowdown(i);
    }
  }

 private:
  // How far back from a warning board signals get a marker, and the lowest cell looked at.
  static constexpr std::int32_t kSignalWindow = 20;
  static constexpr std::int32_t kLowestSignalCell = 3;
  // A slowdown slower than this gets a run of markers inside it, one every kRunSpacing cells.
  static constexpr std::int16_t kRunThreshold = 110;
  static constexpr std::int32_t kRunSpacing = 8;
  // How far after a slowdown's end a signal gets a closing marker.
  static constexpr std::int32_t kClosingWindow = 12;

  std::uint8_t kind(std::int32_t i) const {
    return i <= last_ ? state_.celle[static_cast<std::size_t>(i)].tipo : cell_kind::kNone;
  }
  bool free(std::int32_t i) const {
    return i <= last_ && is_free(state_.celle[static_cast<std::size_t>(i)]);
  }
  void place(std::int32_t i) {
    TrackCell& cell = state_.celle[static_cast<std::size_t>(i)];
    cell.tipo = cell_kind::kSpeedCheck;
    cell.dato1 = kMarkerSpeed;
    if (observer_ != nullptr) observer_->cell_written(i, CellPart::kObject);
  }
  void record(std::int32_t code, std::int32_t cell) {
    state_.codice_errore = code;
    state_.posizione_errore = cell * kCellLength;
    if (observer_ != nullptr) observer_->code_recorded(code, state_.posizione_errore);
  }
  // Places a marker at the first free cell of `candidates`; false when all are occupied.
  bool place_first_free(std::initializer_list<std::int32_t> candidates) {
    for (std::int32_t c : candidates) {
      if (free(c)) {
        place(c);
        return true;
      }
    }
    return false;
  }

  // A warning board at i: every signal up to 20 cells before it gets a marker right before it,
  // or has the speed check point there capped at the marker speed.
  void signal_markers(std::int32_t i) {
    for (std::int32_t d = 1; d <= kSignalWindow && i - d >= kLowestSignalCell; ++d) {
      const std::int32_t s = i - d;
      if (kind(s) != cell_kind::kSignal) continue;
      if (place_first_free({s - 1, s - 2})) continue;
      bool capped = false;
      for (std::int32_t c : {s - 1, s - 2}) {
        if (!capped && kind(c) == cell_kind::kSpeedCheck) {
          std::int16_t& value = state_.celle[static_cast<std::size_t>(c)].dato1;
          value = minimo(kMarkerSpeed, value);
          if (observer_ != nullptr) observer_->cell_written(c, CellPart::kObject);
          capped = true;
        }
      }
      if (!capped) record(error_code::kNoPlaceBeforeSignal, s);
    }
  }

  // A slowdown starting at i.
  void slowdown(std::int32_t i) {
    // Three approach markers, each in the first free cell of its group.
    constexpr std::int32_t kGroups[3][3] = {{5, 6, 7}, {11, 12, 13}, {18, 19, 20}};
    for (const auto& group : kGroups) {
      if (i <= group[2]) continue;
      if (!place_first_free({i - group[0], i - group[1], i - group[2]})) {
        record(error_code::kNoPlaceInApproachGroup, i);
      }
    }

    // Walk to the slowdown's end, placing a run of markers when the slowdown is slow.
    const bool run = state_.celle[static_cast<std::size_t>(i)].dato1 < kRunThreshold;
    std::int32_t k = i;
    std::int32_t n = 0;
    for (;;) {
      ++k;
      ++n;
      if (run && n == kRunSpacing) {
        // n is set so that the next marker falls 8 cells after this one, wherever it went.
        if (free(k)) {
          place(k);
          n = 0;
        } else if (free(k - 1)) {
          place(k - 1);
          n = 1;
        } else if (free(k + 1)) {
          place(k + 1);
          n = -1;
        } else {
          record(error_code::kNoPlaceForRunMarker, k);  // n passes 8: no more run markers
        }
      }
      if (kind(k) == cell_kind::kSlowdownEnd) break;
      if (k >= last_) {
        record(error_code::kNoPlaceForRunMarker, last_);  // a start without an end
        return;
      }
    }

    // A closing marker before the first signal up to 12 cells after the end.
    const std::int32_t bound = k + kClosingWindow;
    for (std::int32_t s = k; s <= bound && s <= last_; ++s) {
      if (kind(s) != cell_kind::kSignal) continue;
      if (!place_first_free({s - 1, s - 2})) record(error_code::kNoPlaceForRunMarker, k);
      return;
    }
  }

  RunState& state_;
  ReadingObserver* const observer_;
  const std::int32_t last_;
};

}  // namespace

void complete_track(RunState& state, ReadingObserver* observer) {
  Completion(state, observer).run();
}

CompileOutcome memorizza_percorso(RunState& state, std::int32_t j, DescriptionFiles& descriptions,
                                  RouteFileSink& output, ReadingObserver* observer) {
  state.modo = j;
  state.codice_errore = error_code::kNone;
  state.tabella_dati.fill(DataRow{});

  CompileOutcome outcome;
  outcome.read_failure = memorizza_dati(state, descriptions, observer).failure;
  if (state.celle.empty()) return outcome;  // no model to complete or write

  complete_track(state, observer);

  DataRow& identity = state.tabella_dati[data_row::kLineIdentity];
  TrackCell& first = state.celle[1];
  if (identity.parola1 != 0 || first.dato1 != 0) {
    outcome.errore = "1250";
    return outcome;
  }
  identity.parola1 = kTableStamp;
  first.dato1 = kTrackStamp;
  if (identity.valore4 != 0 || first.dato2 != 0) {
    outcome.errore = "1251";
    return outcome;
  }
  identity.valore4 = codice_gara_st(state);
  first.dato2 = static_cast<std::int16_t>(codice_gara_og(state));  // at most 6375

  if (state.modo != 0 && !state.pianta.empty()) {
    output.begin(ScenarioFile::kLinePlan);
    encode_line_plan(state.pianta, [&](std::string_view piece) { output.write(piece); });
    output.finish();
  }
  output.begin(ScenarioFile::kGeneralData);
  output.write(encode_general_data(state.tabella_dati));
  output.finish();
  output.begin(ScenarioFile::kTrack);
  output.write(encode_track(state.celle));
  output.finish();
  return outcome;
}

}  // namespace binario
