// The file and the finished model as a whole: an empty file, no general section, records
// missing, cells that no record reaches.

#include "authoring/diagnostics/checker.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "authoring/diagnostics/record_kinds.h"
#include "authoring/text/text.h"
#include "compiler/memorizza_percorso.h"
#include "reader/keywords.h"
#include "reader/numbers.h"

namespace binario::authoring::checks {

void Checker::whole_file() {
  if (file_ != DescriptionFile::kTrain || !r_.log().was_opened(file_)) return;
  const SourceText& source = r_.source(file_);
  if (source.bytes().find_first_not_of(" \t\r\n") == std::string::npos) {
    warn_file("empty-file",
              "the train description is empty: the route has no station, and a "
              "line speed and adhesion of 0 everywhere");
    return;
  }
  const bool heading = std::any_of(fields_.begin(), fields_.end(), [](const LoggedField& f) {
    return f.role == FieldRole::kHeading;
  });
  if (!heading) {
    const std::string consequence =
        "the route has no station, and a line speed and adhesion of 0 everywhere";
    if (const auto near = near_general_heading(source)) {
      warn("no-general-section", {file_, near->first, near->second},
           near_heading_words(source.text(near->first, near->second)) +
               ", and found none, so nothing in the train description was read: " + consequence);
    } else {
      warn_file("no-general-section",
                "the train description has no '[generale]' heading, so nothing in it was read: " +
                    consequence);
    }
    return;
  }
  const DataRow& first_station = r_.state().tabella_dati[1];
  // A station that stopped the reading is no missing one: its error tells of it.
  const bool has_station = std::any_of(r_.log().records().begin(), r_.log().records().end(),
                                       [](const LoggedRecord& r) { return r.kind == K::kStation; });
  if (!has_station) {
    warn_file("missing-records",
              "the train description has no 'stazione' record: the route has no station");
  }
  struct Needed {
    K kind;
    const char* words;  // "line speed"
    const char* with_article;
  };
  for (const Needed needed : {Needed{K::kSpeed, "line speed", "a line speed"},
                              Needed{K::kAdhesion, "adhesion", "an adhesion"}}) {
    const std::vector<int>& ids = records_of(needed.kind);
    const std::string keyword(kind_info(needed.kind).keyword);
    const std::string words = needed.with_article;
    if (ids.empty()) {
      warn_file("missing-records", "the train description has no '" + keyword +
                                       "' record: every cell has " + words + " of 0");
      continue;
    }
    const LoggedRecord& record = r_.record(ids.front());
    const std::int64_t p = value(record, 0);
    const std::int64_t from = round_to_index(p / 50.0);
    // Cells before the first record get 0; that matters where the train runs.
    const std::int64_t train_from = has_station ? first_station.valore1 / kCellLength : 0;
    if (from > std::max<std::int64_t>(train_from, 0)) {
      warn("zero-before-first", r_.keyword_span(record),
           "no " + std::string(needed.words) + " is set before this first '" + keyword + "' at " +
               metres(p) + ": the cells before it get " + words + " of 0" +
               (has_station
                    ? ", and the train's first station begins at " + metres(first_station.valore1)
                    : std::string()) +
               "; start with '" + keyword + ", 0, ...'",
           static_cast<std::int32_t>(p));
    }
  }
}

// Records where the reader does not look for them, or looks where the author thinks it does not:
// above the '[generale]' heading, which is passed over, and after '[fine]', which ends nothing.
void Checker::outside_sections() {
  const Section first_section =
      file_ == DescriptionFile::kTrain ? Section::kTrain : Section::kGeneral;
  // Without a heading everything is passed over, and no-general-section says so.
  const bool heading = std::any_of(fields_.begin(), fields_.end(), [](const LoggedField& f) {
    return f.role == FieldRole::kHeading;
  });
  for (std::size_t i = 0; i < fields_.size() && heading; ++i) {
    if (fields_[i].role != FieldRole::kPassedOver || !first_on_line(i) ||
        trimmed(text_of(i)).starts_with("-")) {
      continue;
    }
    const std::vector<K> kinds = kinds_in(first_section, text_of(i));
    if (kinds.empty() || !quieten(line_of(i))) continue;
    warn("before-heading", span_of(i),
         quoted(trimmed(text_of(i))) +
             " stands above the '[generale]' heading, where the reader "
             "looks for nothing but that heading: this " +
             std::string(kind_info(kinds.front()).name) +
             " is passed over; move it below the heading");
  }
  std::optional<std::size_t> fine;
  for (std::size_t i = 0; i < fields_.size() && !fine; ++i) {
    if (fields_[i].role == FieldRole::kKeyword && text_of(i).find('[') != std::string_view::npos &&
        contains_any_case(trimmed(text_of(i)), "[fine]")) {
      fine = i;
    }
  }
  if (!fine) return;
  for (const LoggedRecord& record : r_.log().records()) {
    if (record.file != file_ || record.keyword < *fine) continue;
    warn("after-fine", r_.keyword_span(record),
         what(record) +
             " stands after '[fine]' and is read all the same: '[fine]' ends no reading, the end "
             "of the file does; move the record above it, or make the line a comment")
        .notes.push_back({span_of(*fine), "'[fine]' is here"});
  }
}

// What the compile step's completion of the track changed of what a record stored, and values
// that no train on the finished route would meet.
void Checker::completed() {
  const std::vector<TrackCell>& celle = r_.state().celle;
  int fastest = 0;  // km/h, the highest line speed of the route
  for (const TrackCell& cell : celle) fastest = std::max(fastest, 5 * int{cell.velocita});
  for (int id : records_of(K::kSlowdown)) {
    const LoggedRecord& record = r_.record(id);
    const std::int64_t speed = value(record, 1);
    // Far above: more than twice the fastest line speed. Past 16 bits value-narrowed tells.
    if (record.file != file_ || fastest == 0 || speed <= 2 * fastest || speed > 32767) continue;
    warn("implausible-speed", r_.value_span(record, 1),
         "a slowdown speed of " + std::to_string(speed) +
             " km/h, more than twice the fastest line speed of the route (" +
             std::to_string(fastest) +
             " km/h): a slowdown lowers the speed, so this one asks nothing of the driver; is a "
             "digit too many?",
         static_cast<std::int32_t>(value(record, 0)));
  }
  // A speed of 0 or less lets no train run on: a digit left out, most often.
  for (K kind : {K::kSpeed, K::kSlowdown}) {
    for (int id : records_of(kind)) {
      const LoggedRecord& record = r_.record(id);
      const std::int64_t speed = value(record, 1);
      if (record.file != file_ || speed > 0 || speed < -2) continue;
      warn("implausible-speed", r_.value_span(record, 1),
           std::string(kind == K::kSpeed ? "a line speed" : "a slowdown speed") + " of " +
               std::to_string(speed) + " km/h from " + metres(value(record, 0)) +
               ": no train may run on there; is a digit missing?",
           static_cast<std::int32_t>(value(record, 0)));
    }
  }
  // The chainage references are put in order by their first values; where the largest is
  // shared, or the first values add up to 0 with no second value above 0, no order applies and
  // every reference is dropped.
  if (file_ == DescriptionFile::kLine) {
    std::vector<int> given;
    std::int64_t sum = 0;
    for (K kind : {K::kChainageTre, K::kChainageDue, K::kChainageUno}) {
      const std::vector<int>& ids = records_of(kind);
      if (ids.empty()) continue;
      given.push_back(ids.back());
      sum += value(r_.record(ids.back()), 0);
    }
    const auto& table = r_.state().tabella_dati;
    const bool dropped =
        std::all_of(table.begin() + data_row::kChainageTre,
                    table.begin() + data_row::kChainageUno + 1, [](const DataRow& row) {
                      return row.valore1 == 0 && row.valore2 == 0 && row.valore3 == 0;
                    });
    const bool meant = std::any_of(given.begin(), given.end(), [&](int id) {
      return value(r_.record(id), 0) != 0 || value(r_.record(id), 1) != 0;
    });
    for (int id : dropped&& meant ? given : std::vector<int>{}) {
      warn("chainage-dropped", r_.keyword_span(r_.record(id)),
           what(r_.record(id)) + " is dropped with every other chainage reference: " +
               (sum != 0 ? "their largest first value is shared, so no order puts them in place"
                         : "their first values add up to 0 and none has a second value above 0, "
                           "so no rule puts them in order") +
               ", and all their values become 0; give each reference a first value of its own");
    }
  }
  for (int id : records_of(K::kSpeedCheck)) {
    const LoggedRecord& record = r_.record(id);
    if (record.file != file_) continue;
    const std::int64_t given = value(record, 1);
    const std::int64_t cell = round_to_index(static_cast<double>(value(record, 0)) / kCellLength);
    if (given <= kMarkerSpeed || cell < 0 || cell >= static_cast<std::int64_t>(celle.size())) {
      continue;
    }
    const TrackCell& now = celle[static_cast<std::size_t>(cell)];
    if (now.tipo != cell_kind::kSpeedCheck || now.dato1 != kMarkerSpeed) continue;
    warn("lowered-by-compile", r_.value_span(record, 1),
         "the speed check value " + std::to_string(given) + " is lowered to " +
             std::to_string(kMarkerSpeed) +
             " by the compile step: the point stands right before a signal that a slowdown's "
             "warning board follows within 1000 m, and there the compile step keeps every speed "
             "check at " +
             std::to_string(kMarkerSpeed) + " at the most",
         static_cast<std::int32_t>(cell * kCellLength));
  }
}

}  // namespace binario::authoring::checks
