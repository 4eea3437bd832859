// What the compile step recorded after the reading: the chainage records, the completion of
// the track, the stamp checks.

#include "authoring/diagnostics/explainer.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "authoring/route/route_view.h"
#include "reader/track_markers.h"

namespace binario::authoring::explanations {

void Explainer::chainage_codes() {
  for (K kind : {K::kChainageUno, K::kChainageDue, K::kChainageTre}) {
    const int id = last_of(kind);
    if (id == kNoRecord) continue;
    const LoggedRecord& record = r_.record(id);
    for (std::size_t i = 0; i < 2; ++i) {
      const std::int32_t v = number(record, i).value_or(0);
      if (v % 50 == 0) continue;
      error(e::kChainageNotMultiple, r_.value_span(record, i),
            std::string("the ") + (i == 0 ? "first" : "second") + " value of '" +
                r_.keyword_shown(record) + "', " + std::to_string(v) + ", is not a multiple of 50");
    }
  }
}

void Explainer::completion_code(const LoggedCode& code) {
  const std::int64_t cell = code.position.value_or(0) / kCellLength;
  const std::vector<LoggedRecord>& records = r_.log().records();
  // The slowdown whose start, run or closing window holds `cell`.
  auto slowdown_around = [&](std::int64_t k) -> int {
    for (auto it = slowdowns().rbegin(); it != slowdowns().rend(); ++it) {
      const int id = *it;
      const LoggedRecord& record = records[static_cast<std::size_t>(id)];
      const std::int64_t x = number(record, 0).value_or(0);
      const std::int64_t s = cell_of(x);
      const std::int64_t end = cell_of(x + number(record, 2).value_or(0));
      // A slowdown whose start took its end's cell walks to the end of the model.
      if (k >= state().numero_celle ? end <= s : k >= s && k <= end + 12) return id;
    }
    return kNoRecord;
  };
  std::vector<Note> notes;
  std::string message;
  Span at{DescriptionFile::kTrain, 0, 0};
  if (code.code == e::kNoPlaceBeforeSignal) {
    const int signal = r_.log().object_writer(cell);
    message = "no free cell for the speed check point before the signal at " +
              metres(point_metre(cell)) +
              ", which stands up to 20 cells (1000 m) before a slowdown warning board: "
              "the two cells before it are taken";
    if (signal >= 0) at = r_.keyword_span(r_.record(signal));
    for (std::int64_t c : {cell - 1, cell - 2}) occupant(c, notes);
    for (const int id : slowdowns()) {
      const LoggedRecord& record = records[static_cast<std::size_t>(id)];
      const std::int64_t x = number(record, 0).value_or(0);
      const std::int64_t warning = cell_of(x - 1200);
      if (x > 1500 && warning > cell && warning <= cell + 20) {
        notes.push_back(note_at(record, "the slowdown whose warning board, at " + metres(x - 1200) +
                                            ", stands after the signal"));
      }
    }
  } else {
    const int slowdown = slowdown_around(cell);
    if (slowdown >= 0) at = r_.keyword_span(r_.record(slowdown));
    const std::string of =
        slowdown >= 0 ? "the slowdown from " + metres(number(r_.record(slowdown), 0).value_or(0))
                      : "a slowdown";
    if (code.code == e::kNoPlaceInApproachGroup) {
      message = "no free cell for one of the approach speed check points before " + of +
                ": of each group of cells 5 to 7, 11 to 13 and 18 to 20 cells before its "
                "start, one must hold nothing or a scenery mark";
    } else if (cell >= state().numero_celle) {
      const bool backwards = slowdown >= 0 && number(r_.record(slowdown), 2).value_or(0) < 0;
      message = of + (backwards ? " has no end: its length is negative, so its end would stand "
                                  "before its start; give its length in metres, from 50 up"
                                : " has no end: its start and end fall in one cell, which keeps "
                                  "only the start; make it at least 50 m long");
    } else {
      message = "no free cell at " + metres(point_metre(cell)) + " for a speed check point of " +
                of +
                " (inside it, every 400 m, or before the first signal up to 600 m after its "
                "end): that cell and its neighbours are taken";
      for (std::int64_t c : {cell - 1, cell, cell + 1}) {
        if (c >= 0 && static_cast<std::size_t>(c) < state().celle.size() &&
            !is_free(state().celle[static_cast<std::size_t>(c)])) {
          occupant(c, notes);
        }
      }
    }
  }
  Diagnostic& d = error(code.code, at, message, static_cast<std::int32_t>(point_metre(cell)));
  d.whole_file = at.end == 0;
  d.notes = std::move(notes);
}

void Explainer::stamp_check(const std::string& errore) {
  std::vector<Note> notes;
  const std::string holder = occupant(1, notes);
  Span at{DescriptionFile::kLine, 0, 0};
  if (!notes.empty() && notes.front().at) {
    at = *notes.front().at;
    notes.erase(notes.begin());
  }
  const bool first = errore == "1250";
  Diagnostic& d = error(std::stoi(errore), at,
                        "cell 1, the first 50 m of the line, holds " + holder + " with a " +
                            (first ? "first" : "second") +
                            " value: the compile step stamps that cell, so it refused to "
                            "compile; move the object to 50 m or later");
  d.whole_file = at.end == 0;
  d.notes = std::move(notes);
  d.notes.push_back({std::nullopt, "no compiled file was written"});
}

}  // namespace binario::authoring::explanations
