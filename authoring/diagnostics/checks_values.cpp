// Each record's values: narrowed or rounded to what the model stores, placed on the cells,
// past the line's end.

#include "authoring/diagnostics/checker.h"

#include <algorithm>
#include <string>

#include "authoring/diagnostics/record_kinds.h"
#include "authoring/text/english.h"
#include "authoring/text/text.h"
#include "reader/error_codes.h"
#include "reader/numbers.h"
#include "reader/track_markers.h"

namespace binario::authoring::checks {

namespace {

// a / b rounded down, for b > 0.
std::int64_t floor_div(std::int64_t a, std::int64_t b) {
  return a >= 0 ? a / b : -((-a + b - 1) / b);
}

}  // namespace

void Checker::narrowed(Span at, std::string_view what, std::int64_t value, std::int64_t low,
                       std::int64_t high, std::int64_t stored, std::string_view unit) {
  if (value >= low && value <= high) return;
  const std::string u = unit.empty() ? "" : " " + std::string(unit);
  warn("value-narrowed", at,
       std::string(what) + " of " + std::to_string(value) + u + " does not fit: it must lie from " +
           std::to_string(low) + " to " + std::to_string(high) + u + ", and the track stores " +
           std::to_string(stored) + u);
}

// A position that falls between cells: where the object really lands.
void Checker::on_cells(const LoggedRecord& record, std::size_t i, std::string_view rule) {
  const std::int64_t p = value(record, i);
  if (p % kCellLength == 0) return;
  std::int64_t cell = 0;
  std::int64_t as_if = 0;
  if (rule == "object") {
    cell = cell_of(p);
    as_if = (cell - 1) * kCellLength;
  } else {
    cell = round_to_index(static_cast<double>(p) / kCellLength);
    as_if = cell * kCellLength;
  }
  const KindInfo& info = kind_info(record.kind);
  warn("not-multiple-of-50", r_.value_span(record, i),
       "the " + possessive(info.name) + " " + std::string(info.fields[i].name) + " " + metres(p) +
           " is taken as " + metres(as_if) + " (cell " + std::to_string(cell) +
           "): the track keeps its objects and values in 50 m cells, rounding each position "
           "to one, ties to even",
       static_cast<std::int32_t>(as_if));
}

void Checker::past_line_end(const LoggedRecord& record, std::int64_t position,
                            const std::function<std::string()>& what, std::string_view verb) {
  if (!line_length_ || position <= *line_length_) return;
  // A record the reading stopped at, past the model's end, is its error's to explain.
  const auto id = static_cast<std::size_t>(&record - r_.log().records().data());
  if (with_code_[id]) return;
  // The cells end where the line's own cells, rounded to 50 m, and the run-out's end.
  const std::int64_t track_end = std::int64_t{r_.state().numero_celle} * kCellLength;
  warn("past-line-end", r_.keyword_span(record),
       what() + " " + std::string(verb) + (kind_info(record.kind).name.ends_with('s') ? "" : "s") +
           " past the end of the line at " + metres(*line_length_) + ", in the " +
           metres(track_end - *line_length_) + " the track runs on beyond it, to " +
           metres(track_end),
       static_cast<std::int32_t>(position));
}

void Checker::clock_time(const LoggedRecord& record, std::size_t hours, const std::string& what) {
  const std::int64_t h = value(record, hours);
  const std::int64_t m = value(record, hours + 1);
  const std::int64_t sec = value(record, hours + 2);
  const char* wrong = m < 0 || m > 59 ? "minutes" : sec < 0 || sec > 59 ? "seconds" : nullptr;
  if (h < 0) wrong = "hours";
  if (wrong == nullptr) return;
  const std::size_t at = std::string_view(wrong) == "hours"     ? hours
                         : std::string_view(wrong) == "minutes" ? hours + 1
                                                                : hours + 2;
  const std::int64_t total = h * 3600 + m * 60 + sec;
  std::string message = what + " " + std::to_string(h) + ":" + std::to_string(m) + ":" +
                        std::to_string(sec) + " has " + std::to_string(value(record, at)) + " " +
                        wrong + ", where " + wrong + " run from 0 to " +
                        (std::string_view(wrong) == "hours" ? "23" : "59");
  if (record.kind == K::kStation && total >= 0) {
    message += ": it is kept as " + std::to_string(total / 3600) + ":" +
               (total / 60 % 60 < 10 ? "0" : "") + std::to_string(total / 60 % 60) + ":" +
               (total % 60 < 10 ? "0" : "") + std::to_string(total % 60) + ", " +
               std::to_string(total) + " s from midnight";
  } else {
    message += ": it is stored as written, which no clock shows";
  }
  warn("time-out-of-range", r_.value_span(record, at), message);
}

void Checker::values(const LoggedRecord& record) {
  auto at = [&](std::size_t i) { return r_.value_span(record, i); };
  const std::int64_t p = value(record, 0);
  const std::string name(kind_info(record.kind).name);
  // An empty number reads as 0: for a place or a length, most often a value left out.
  const auto fields = kind_info(record.kind).fields;
  for (std::size_t i = 0; i < fields.size() && i < record.values.size(); ++i) {
    if (fields[i].unit != "m") continue;
    if (!trimmed(r_.text(record.file, r_.value(record, i))).empty()) continue;
    warn("empty-field", at(i),
         "the " + std::string(fields[i].name) + " of " + what(record) +
             " is empty: an empty number reads as 0, so its " + std::string(fields[i].name) +
             " is 0 m; write the value");
  }
  switch (record.kind) {
    case K::kLineLength: {
      if (p % kCellLength != 0) {
        const std::int64_t cells = round_to_index((p + kRunOut) / 50.0);
        warn("not-multiple-of-50", at(0),
             "a line length of " + metres(p) +
                 " is not a multiple of 50: the track's cells end at " +
                 metres(cells * kCellLength) + ", while its plan runs to " + metres(p + kRunOut));
      }
      break;
    }
    case K::kChainageTre:
    case K::kChainageDue:
    case K::kChainageUno: {
      const std::int64_t flag = value(record, 2);
      if (flag != 0 && flag != 1) {
        warn("flag-value", at(2),
             "the flag of " + what(record) + " is " + std::to_string(flag) +
                 ": only 1 adds 100 to its second value, so write 0 or 1");
      }
      break;
    }
    case K::kGradient: {
      on_cells(record, 0, "fill");
      const std::int64_t g = value(record, 1);
      narrowed(at(1), "a gradient", g, -100, 155, std::int64_t{low_bits_u8(g + 100)} - 100,
               "\xE2\x80\xB0");
      past_line_end(record, p, [&] { return "the gradient from " + metres(p); });
      break;
    }
    case K::kCurve:
      if (value(record, 1) <= 0) {
        warn("no-effect", at(1),
             "a curve of length " + std::to_string(value(record, 1)) + " bends nothing");
      } else if (p + value(record, 1) < 2) {
        // The plan's first rows are its fixed start; a curve bends the rows after them.
        warn("no-effect", at(0),
             "the curve from " + metres(p) + " to " + metres(p + value(record, 1)) +
                 " ends before the line begins at 0 m: it bends nothing");
      } else {
        past_line_end(
            record, p + value(record, 1),
            [&] { return "the curve from " + metres(p) + " to " + metres(p + value(record, 1)); },
            "run");
      }
      break;
    case K::kScenery: {
      on_cells(record, 0, "fill");
      const std::int64_t end = value(record, 1);
      if (end % kCellLength != 0) {
        const std::int64_t last = round_to_index(end / 50.0 - 1);
        warn("not-multiple-of-50", at(1),
             "the scenery span's end " + metres(end) + " is taken as " +
                 metres((last + 1) * kCellLength) +
                 ": the track keeps its scenery in 50 m cells, ties to even");
      }
      if (round_to_index(end / 50.0 - 1) < round_to_index(p / 50.0)) {
        warn("no-effect", r_.keyword_span(record),
             "the scenery span from " + metres(p) + " to " + metres(end) +
                 " covers no whole cell: it changes no part of the track");
      }
      const std::int64_t kind = value(record, 2) > 10 ? value(record, 2) - 10 : value(record, 2);
      narrowed(at(2), "a scenery kind", kind, 0, 255, low_bits_u8(kind));
      break;
    }
    case K::kSpeedBoards: {
      on_cells(record, 0, "object");
      past_line_end(record, p, [&] { return "the maximum-speed boards at " + metres(p); });
      for (std::size_t i = 5; i <= 7; ++i) {
        if (value(record, i) % 5 != 0) {
          warn("value-rounded", at(i),
               "the d-side speed " + std::to_string(value(record, i)) +
                   " km/h is not a multiple of 5: the boards keep it in 5 km/h steps, rounded");
        }
      }
      narrowed(at(4), "the stripes 10 x strisces + strisced",
               value(record, 4) * 10 + value(record, 8), -32768, 32767,
               low_bits_i16(value(record, 4) * 10 + value(record, 8)));
      if (const std::int64_t d = value(record, 8); d < 0 || d > 9) {
        const std::int64_t v = value(record, 4) * 10 + d;
        warn("digit-overflow", at(8),
             "the boards' strisced of " + std::to_string(d) +
                 " is no single digit: dato4 = strisces x 10 + strisced = " + std::to_string(v) +
                 ", which reads as strisces " + std::to_string(floor_div(v, 10)) +
                 " and strisced " + std::to_string(v - 10 * floor_div(v, 10)));
      }
      break;
    }
    case K::kSignalRepetition: {
      // A second value of 0 records no codes, whatever the keyword says.
      const std::string keyword = r_.keyword_shown(record);
      const char codes = keyword.find('4') != std::string::npos   ? '4'
                         : keyword.find('9') != std::string::npos ? '9'
                                                                  : '\0';
      // A first value off the 50 m steps is refused (code 3) before the codes are recorded.
      if (p != 0 && p % kCellLength == 0 && value(record, 1) == 0 && codes != '\0') {
        warn("value-cleared", at(1),
             std::string("the second value is 0, so the signal repetition records 0 codes, not "
                         "the ") +
                 codes + " of its keyword");
      }
      break;
    }
    case K::kClock:
      clock_time(record, 0, "the clock time");
      break;
    case K::kStation: {
      const std::vector<int>& stations = records_of(K::kStation);
      const bool first = !stations.empty() && &r_.record(stations.front()) == &record;
      const std::int64_t type = value(record, 1);
      const std::int64_t length = value(record, 2);
      const std::string station = " of the station " + quoted(r_.text_value(record, 16));
      if (const std::int64_t o3 = value(record, 5); o3 != 0) {
        if (type >= 5 && type <= 8) {
          warn("value-cleared", at(5),
               "the ottetto3" + station + ", " + std::to_string(o3) +
                   ", is stored as 0: a station of type " + std::to_string(type) +
                   " keeps no ottetto3");
        } else if (first) {
          warn("value-cleared", at(5),
               "the ottetto3" + station + ", " + std::to_string(o3) +
                   ", is stored as 0, as for every first station; its extent still ends 50 m "
                   "further for it");
        }
      }
      if (const std::int64_t o4 = value(record, 4); o4 != 0 && (first || length < 600)) {
        warn("value-cleared", at(4),
             "the ottetto4" + station + ", " + std::to_string(o4) + ", is stored as 0" +
                 (first ? std::string(", as for every first station")
                        : ": a station shorter than 600 m keeps no ottetto4"));
      }
      clock_time(record, 13, "the time" + station);
      break;
    }
    case K::kSignBoard:
      on_cells(record, 0, "object");
      past_line_end(record, p, [&] { return "the sign board at " + metres(p); });
      break;
    case K::kSpeed: {
      on_cells(record, 0, "fill");
      const std::int64_t v = value(record, 1);
      if (v % 5 != 0 && v >= -2 && v <= 1277) {
        warn("value-rounded", at(1),
             "a speed of " + std::to_string(v) + " km/h is kept as " +
                 std::to_string(5 * round_to_index(v / 5.0)) +
                 " km/h: the track keeps line speeds in 5 km/h steps, ties to even");
      }
      break;
    }
    case K::kAdhesion: {
      on_cells(record, 0, "fill");
      const std::int64_t a = value(record, 1);
      narrowed(at(1), "an adhesion", a, 0, 255, low_bits_u8(a));
      break;
    }
    case K::kSignal: {
      on_cells(record, 0, "object");
      past_line_end(record, p, [&] { return "the signal at " + metres(p); });
      const std::int64_t sx = value(record, 1), dx = value(record, 6);
      const char* const names[] = {"the signal's 10 x s1 + d1", "the signal's 10 x s2 + d2",
                                   "the signal's 10 x s3 + d3"};
      for (std::size_t k = 0; k < 3; ++k) {
        const std::int64_t v = value(record, 2 + k) * 10 + value(record, 7 + k);
        narrowed(at(2 + k), names[k], v, -32768, 32767, low_bits_i16(v));
      }
      const std::int64_t code = value(record, 5) * 10 + sx * 3 + dx;
      narrowed(at(5), "the signal's 10 x rapp + 3 x sx + dx", code, -32768, 32767,
               low_bits_i16(code));
      // Each datum packs two values as tens and units: a unit past 9 carries into the tens, and
      // the cell then reads as another signal's.
      for (std::size_t k = 0; k < 3; ++k) {
        const std::int64_t d = value(record, 7 + k);
        if (d >= 0 && d <= 9) continue;
        const std::int64_t v = value(record, 2 + k) * 10 + d;
        warn("digit-overflow", at(7 + k),
             "the signal's d" + std::to_string(k + 1) + " of " + std::to_string(d) +
                 " is no single digit: dato" + std::to_string(k + 1) + " = s" +
                 std::to_string(k + 1) + " x 10 + d" + std::to_string(k + 1) + " = " +
                 std::to_string(v) + ", which reads as s" + std::to_string(k + 1) + " " +
                 std::to_string(floor_div(v, 10)) + " and d" + std::to_string(k + 1) + " " +
                 std::to_string(v - 10 * floor_div(v, 10)));
      }
      if (dx < 0 || dx > 2) {
        warn("digit-overflow", at(6),
             "the signal's dx of " + std::to_string(dx) +
                 " lies outside 0 to 2: its code 3 x sx + "
                 "dx = " +
                 std::to_string(sx * 3 + dx) + " is that of a signal with sx " +
                 std::to_string(floor_div(sx * 3 + dx, 3)) + " and dx " +
                 std::to_string(sx * 3 + dx - 3 * floor_div(sx * 3 + dx, 3)));
      } else if (sx * 3 + dx < 0 || sx * 3 + dx > 9) {
        warn("digit-overflow", at(1),
             "the signal's code 3 x sx + dx = " + std::to_string(sx * 3 + dx) +
                 " is no single digit: it carries into rapp, the tens of dato4");
      }
      const std::int64_t given = value(record, 10);
      std::int64_t tempo = given;
      if (tempo >= 1 && tempo <= 100) tempo = 101;
      if (sx != 2 && given != 0) {
        warn("no-effect", at(10),
             "the signal's tempo " + std::to_string(given) +
                 " is not stored: only a signal whose "
                 "sx is 2 keeps its tempo, and this one's sx is " +
                 std::to_string(sx));
      } else if (sx == 2 && tempo != given) {
        warn("value-raised", at(10),
             "the signal's tempo " + std::to_string(given) +
                 " is stored as 101: the track keeps "
                 "every tempo from 1 to 100 as 101");
      }
      if (sx == 2) narrowed(at(10), "the signal's tempo", tempo, 0, 255, low_bits_u8(tempo));
      const std::int64_t mark = sx * 30 + dx * 10 + 4;
      narrowed(at(1), "the signal's approach mark 30 x sx + 10 x dx + 4", mark, 0, 255,
               low_bits_u8(mark));
      break;
    }
    case K::kSlowdown: {
      on_cells(record, 0, "object");
      past_line_end(record, p, [&] { return "the slowdown at " + metres(p); });
      const std::int64_t end = p + value(record, 2);
      if (end % kCellLength != 0 && p % kCellLength == 0) {
        warn("not-multiple-of-50", at(2),
             "the slowdown's end, " + metres(end) + ", is taken as " +
                 metres((cell_of(end) - 1) * kCellLength) +
                 ": the track keeps objects in 50 m cells, ties to even");
      }
      // The end is written first and the start after it, in the cells the positions fall in:
      // an end that falls before the start, or in its cell, is no end the compile step finds.
      // Where no end was found at all, the error the compile step recorded tells of it.
      if (const std::int64_t first = cell_of(p), last = cell_of(end);
          last <= first && !end_never_found_) {
        warn("slowdown-without-end", at(2),
             "the slowdown from " + metres(p) + ", " + std::to_string(value(record, 2)) +
                 " m long, " +
                 (last < first ? "ends at " + metres(end) + ", before it starts"
                               : "ends in the 50 m cell it starts in (cell " +
                                     std::to_string(first) + "), which its start takes") +
                 ": the compile step looks for its end from its start on, and takes the next "
                 "slowdown's end, or runs to the end of the track" +
                 (value(record, 1) < 110 ? ", placing speed checks every 400 m on the way" : ""),
             static_cast<std::int32_t>(p));
      }
      // The warning board takes the cell of start - 1200 m, the approach cells end at
      // round((start - 1200) / 50): side by side only when the start is a multiple of 50.
      if (p > 1500 && value(record, 4) != 0 && p % kCellLength != 0) {
        const std::int64_t board = cell_of(p - 1200);
        const std::int64_t approach = round_to_index(static_cast<double>(p - 1200) / kCellLength);
        if (approach != board - 1) {
          const std::string cells = "its approach cells, " + std::to_string(approach - 3) + " to " +
                                    std::to_string(approach) + ", ";
          warn("approach-gap", at(0),
               "the slowdown's start " + metres(p) + " is no multiple of 50 m, so " +
                   (approach < board
                        ? cells + "leave cell " + std::to_string(board - 1) +
                              " empty before its warning board in cell " + std::to_string(board) +
                              "; from a start on a multiple of 50 m they lie right before it"
                        : cells + "take the cell of its warning board, " + std::to_string(board) +
                              ", and are refused (code 20)"),
               static_cast<std::int32_t>(p));
        }
      }
      if (p <= 1500) {
        warn("no-warning-board", r_.keyword_span(record),
             "the slowdown at " + metres(p) +
                 " starts within 1500 m of the line's start, so it gets no warning board" +
                 (value(record, 4) != 0 ? " and none of the approach cells its f_ta asks for" : ""),
             static_cast<std::int32_t>(p));
      }
      narrowed(at(1), "a slowdown speed", value(record, 1), -32768, 32767,
               low_bits_i16(value(record, 1)));
      narrowed(at(3), "the slowdown's f_tt", value(record, 3), -32768, 32767,
               low_bits_i16(value(record, 3)));
      narrowed(at(5), "the slowdown's d_v", value(record, 5), -32768, 32767,
               low_bits_i16(value(record, 5)));
      break;
    }
    case K::kSpeedCheck: {
      const std::int64_t c = round_to_index(p / 50.0);
      if (p % kCellLength != 0) {
        warn("not-multiple-of-50", at(0),
             "the speed check point's position " + metres(p) + " is taken as " +
                 metres(c * kCellLength) + " (cell " + std::to_string(c) +
                 "): the track keeps its objects in 50 m cells, ties to even",
             static_cast<std::int32_t>(c * kCellLength));
      }
      past_line_end(record, p, [&] { return "the speed check point at " + metres(p); });
      // A value of 0 or less makes a point without value; a positive one keeps its low 16 bits.
      if (value(record, 1) > 0) {
        narrowed(at(1), "a speed check value", value(record, 1), 1, 32767,
                 low_bits_i16(value(record, 1)));
      }
      break;
    }
    default:
      break;
  }
}

}  // namespace binario::authoring::checks
