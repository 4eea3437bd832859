// The order of the records and what one does to another: fills out of order, curves that
// overlap, scenery kinds, station times, objects written over others, records repeated.

#include "authoring/diagnostics/checker.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "authoring/diagnostics/record_kinds.h"
#include "authoring/text/text.h"
#include "reader/numbers.h"

namespace binario::authoring::checks {

// Gradients, speeds and adhesion fill the cells from one record's position to the next's; a
// record at or before the cell the fill has reached holds the previous value back to one cell.
void Checker::fills(K kind, const std::string& name, const std::string& plural) {
  const std::vector<int>& ids = records_of(kind);
  std::int64_t fill = 0;  // the next cell to fill
  int before = kNoRecord;
  for (int id : ids) {
    const LoggedRecord& record = r_.record(id);
    if (record.file != file_) return;
    const std::int64_t p = value(record, 0);
    const std::int64_t k = round_to_index(p / 50.0);
    const std::int64_t reached = fill;
    // The cells the value in force takes before this one: at least one, when there is a fill.
    const std::int64_t held = k > 0 ? std::max<std::int64_t>(1, k - reached) : 0;
    if (k > 0) fill = std::max(fill + 1, k);
    if (before != kNoRecord && k <= reached) {
      const LoggedRecord& previous = r_.record(before);
      const std::int64_t previous_p = value(previous, 0);
      const std::string where = p < previous_p
                                    ? "comes after the one at " + metres(previous_p) + " (" +
                                          r_.line_words(previous) + "): " + plural +
                                          " must come in increasing order of position"
                                    : "falls in the same 50 m cell as the one at " +
                                          metres(previous_p) + " (" + r_.line_words(previous) + ")";
      Diagnostic& d =
          warn("out-of-order", r_.value_span(record, 0),
               "this " + name + " at " + metres(p) + " " + where + "; it takes effect only from " +
                   metres(fill * kCellLength) + ", and the one before " +
                   (held == 0 ? "is replaced before it fills any cell" : "holds for one cell only"),
               static_cast<std::int32_t>(fill * kCellLength));
      d.notes.push_back(note_at(previous, "the " + name + " before it"));
    }
    before = id;
  }
}

// Curves bend the plan from the point it has reached: one that starts before the end of the
// previous one loses its first metres, or all of them.
void Checker::curves() {
  if (file_ != DescriptionFile::kLine) return;
  std::int64_t next = 2;  // the next row of the plan
  int before = kNoRecord;
  for (int id : records_of(K::kCurve)) {
    const LoggedRecord& record = r_.record(id);
    const std::int64_t s = value(record, 0);
    const std::int64_t l = value(record, 1);
    // A curve that ends before the line begins has a warning of its own.
    if (before != kNoRecord && next > s + 1 && l > 0 && s + l >= 2) {
      const LoggedRecord& previous = r_.record(before);
      const std::int64_t reached = next - 1;
      const std::string of = "the curve from " + metres(s) + ", " + metres(l) + " long,";
      Diagnostic& d =
          warn("curve-overlap", r_.value_span(record, 0),
               s + l <= reached
                   ? of + " lies within the stretch the curve before it (" +
                         r_.line_words(previous) + ") bends, which runs to " + metres(reached) +
                         ": it bends nothing, and the plan is as if it were not there"
                   : of + " starts before the curve before it (" + r_.line_words(previous) +
                         ") ends at " + metres(reached) + ": its first " + metres(reached - s) +
                         " are lost, and it bends the plan only from there to " + metres(s + l),
               static_cast<std::int32_t>(s));
      d.notes.push_back(note_at(previous, "the curve before it"));
    }
    next = std::max(next, s + l + 1);
    before = id;
  }
}

// A scenery span that starts at most 150 m after the previous one ends takes kind 3.
void Checker::scenery_kinds() {
  if (file_ != DescriptionFile::kLine) return;
  int before = kNoRecord;
  for (int id : records_of(K::kScenery)) {
    const LoggedRecord& record = r_.record(id);
    if (before != kNoRecord) {
      const LoggedRecord& previous = r_.record(before);
      std::int64_t kind = value(record, 2);
      if (kind > 10) kind -= 10;
      const std::int64_t gap = value(record, 0) - value(previous, 1);
      if (gap <= 150 && kind != 3) {
        Diagnostic& d = warn(
            "order-dependent", r_.value_span(record, 2),
            "this scenery span gets kind 3, not its own " + std::to_string(kind) + ": it starts " +
                (gap < 0 ? "before the end of" : std::to_string(gap) + " m after the end of") +
                " the span before it, and a span within 150 m of the previous one always takes "
                "kind 3");
        d.notes.push_back(note_at(previous, "the span before it"));
      }
    }
    before = id;
  }
}

void Checker::stations() {
  if (file_ != DescriptionFile::kTrain) return;
  int before = kNoRecord;
  std::int64_t before_time = 0;
  int row = 1;
  for (int id : records_of(K::kStation)) {
    const LoggedRecord& record = r_.record(id);
    const DataRow& station =
        r_.state()
            .tabella_dati[static_cast<std::size_t>(std::min(row++, data_row::kFirstSignBoard))];
    const std::string name = r_.text_value(record, 16);
    past_line_end(record, station.valore2, [&] {
      return "the station " + quoted(name) + ", whose extent ends at " + metres(station.valore2) +
             ",";
    });
    const std::int64_t time = (value(record, 13) * 60 + value(record, 14)) * 60 + value(record, 15);
    if (time == 0) continue;  // no time given
    if (before != kNoRecord && time < before_time) {
      const LoggedRecord& previous = r_.record(before);
      auto clock = [](std::int64_t t) {
        auto two = [](std::int64_t v) { return (v < 10 ? "0" : "") + std::to_string(v); };
        return std::to_string(t / 3600) + ":" + two(t / 60 % 60) + ":" + two(t % 60);
      };
      Diagnostic& d = warn("time-backwards", r_.value_span(record, 13),
                           "the station " + quoted(name) + " has the time " + clock(time) +
                               ", earlier than the " + clock(before_time) +
                               " of the station before it: the timetable goes backwards "
                               "(unless the train runs past midnight)");
      d.notes.push_back(note_at(previous, "the station before it"));
    }
    before = id;
    before_time = time;
  }
}

// What one record wrote over another's: an object under a station stop, approach marks,
// scenery kinds.
void Checker::writes() {
  constexpr std::size_t kParts = 3;
  // For each record and part, whether a write over it was warned of already.
  std::vector<bool> told(r_.log().records().size() * kParts);
  for (std::size_t id = 0; id < r_.log().records().size(); ++id) {
    const LoggedRecord& record = r_.log().records()[id];
    if (record.file != file_ && record.kind != K::kStation) continue;
    for (const CellWrite& write : record.writes) {
      const int earlier = write.previous_writer;
      if (earlier < 0 || earlier == static_cast<int>(id)) continue;
      const LoggedRecord& other = r_.record(earlier);
      const std::size_t overwritten =
          static_cast<std::size_t>(earlier) * kParts + static_cast<std::size_t>(write.part);
      if (told[overwritten]) continue;
      told[overwritten] = true;
      // Scenery fills its cells from k x 50 m; an object in cell k stands at (k - 1) x 50 m.
      const std::int64_t metre = write.part == CellPart::kScenery ? write.index * kCellLength
                                                                  : (write.index - 1) * kCellLength;
      if (write.part == CellPart::kObject) {
        if (write.tipo_before == cell_kind::kNone || write.tipo_before == cell_kind::kSceneryMark) {
          continue;
        }
        if (other.file != file_) continue;
        const std::string name = r_.text_value(record, 16);
        Diagnostic& d = warn(
            "overwritten", r_.keyword_span(other),
            joined({"this ", kind_info(other.kind).name, " in cell ", write.index, " (", metre,
                    " m) is overwritten by the stop of the station ", quoted(name),
                    ": a station stop takes its cell whatever it holds, while an object listed "
                    "after the station would have been refused"}));
        d.notes.push_back(note_at(record, "the station whose stop takes the cell"));
      } else if (record.file == file_) {
        const bool marks = write.part == CellPart::kApproachMark;
        Diagnostic& d = warn(
            "order-dependent", r_.keyword_span(record),
            marks ? joined({"the approach mark this ", kind_info(record.kind).name,
                            " sets in cell ", write.index, " (", metre,
                            " m) replaces the one of the ", kind_info(other.kind).name, " of line ",
                            r_.keyword_line(other), ": the record listed later wins"})
                  : joined({"this scenery span overlaps the span of line ", r_.keyword_line(other),
                            " from cell ", write.index, " (", metre,
                            " m): its kind replaces the other's in the cells they share"}));
        d.notes.push_back(
            note_at(other, marks ? "the record whose mark is replaced" : "the span it overlaps"));
      }
    }
  }
}

// A value of the general section or of the train given twice: the later one holds.
void Checker::repeated() {
  for (const KindInfo& info : all_kinds()) {
    if (info.file != file_) continue;
    const bool single = info.section == Section::kGeneral || info.kind == K::kBrakedMass ||
                        info.kind == K::kCars || info.kind == K::kClock || info.kind == K::kSand;
    if (!single) continue;
    const std::vector<int>& ids = records_of(info.kind);
    for (std::size_t n = 1; n < ids.size(); ++n) {
      const LoggedRecord& first = r_.record(ids[n - 1]);
      Diagnostic& d =
          warn("repeated-record", r_.keyword_span(r_.record(ids[n])),
               info.kind == K::kLineLength
                   ? "a second 'lunghezza percorso' record: the track is built from its length, "
                     "not from that of " +
                         r_.line_words(first)
                   : "a second " + what(first) + " record: its values replace those of " +
                         r_.line_words(first));
      d.notes.push_back(note_at(first, "the first one"));
    }
  }
}

}  // namespace binario::authoring::checks
