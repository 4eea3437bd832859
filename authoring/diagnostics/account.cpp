#include "authoring/diagnostics/account.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>

#include "authoring/diagnostics/record_kinds.h"
#include "authoring/route/route_names.h"
#include "authoring/route/route_view.h"
#include "authoring/text/text.h"
#include "reader/numbers.h"
#include "reader/track_model.h"

namespace binario::authoring {

namespace {

using K = RecordKind;

std::string num(std::int64_t v) { return std::to_string(v); }

// The values a record stores as they are, each in one field of a row of the data table.
struct RowStore {
  K kind;
  std::size_t value;
  int row;
  std::string_view field;
};
constexpr RowStore kRowStores[] = {
    {K::kLineLength, 0, 84, "valore2"},
    {K::kBackgroundUno, 0, 85, "valore1"},
    {K::kBackgroundDue, 0, 85, "valore3"},
    {K::kBackgroundTre, 0, 85, "valore2"},
    {K::kSignalRepetition, 0, 86, "valore1"},
    {K::kSignalRepetition, 1, 86, "valore2"},
    {K::kBrakedMass, 0, 84, "valore1"},
    {K::kCars, 0, 84, "valore3"},
    {K::kClock, 0, 86, "parola3"},
    {K::kClock, 1, 86, "parola4"},
    {K::kClock, 2, 86, "parola5"},
    {K::kSand, 0, 86, "parola1"},
};

std::string cell_words(std::int64_t cell) {
  return "cell " + num(cell) + " (" + num(point_metre(cell)) + " m)";
}

// Cells of a run of gradient, speed, adhesion or scenery, each covering the 50 m from its index
// times 50: "cells 38 to 51 (1900 to 2600 m)".
std::string run_cells(std::int64_t first, std::int64_t last) {
  return (first == last ? "cell " + num(first) : "cells " + num(first) + " to " + num(last)) +
         " (" + num(first * kCellLength) + " to " + num((last + 1) * kCellLength) + " m)";
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' ||
                           text.back() == '\n')) {
    text.remove_suffix(1);
  }
  return text;
}

// The cells a fill (gradient, line speed, adhesion) gave each record's value: the run of
// `first` to `last`, none when first > last.
struct Run {
  std::int64_t first = 0;
  std::int64_t last = -1;
};

class Builder {
 public:
  explicit Builder(const Reading& reading)
      : reading_(reading), log_(reading.log()), state_(reading.state()) {
    prepare();
  }

  std::vector<LineAccount> build();

 private:
  void prepare();
  void fill_runs(K kind, bool completed, bool speed_stop);
  bool line_completed() const;
  bool train_completed() const;

  RecordAccount record_account(int id);
  void general(const LoggedRecord& r, int id, RecordAccount& a);
  void body(const LoggedRecord& r, int id, RecordAccount& a);
  void train(const LoggedRecord& r, int id, RecordAccount& a);
  void signal(const LoggedRecord& r, int id, RecordAccount& a);
  void slowdown(const LoggedRecord& r, int id, RecordAccount& a);
  void station(const LoggedRecord& r, int id, RecordAccount& a);
  // Field i went into `field` of row `row`.
  void in_row(RecordAccount& a, std::size_t i, int row, std::string_view field);
  void object_later(int id, RecordAccount& a);
  std::string line_of(int id) const {
    const LoggedRecord& r = reading_.record(id);
    return "'" + reading_.keyword_shown(r) + "' at line " + num(reading_.keyword_line(r));
  }
  std::int64_t value(const LoggedRecord& r, std::size_t i) const {
    return reading_.number(r, i).value_or(0);
  }
  std::string field_sentence(DescriptionFile file, std::size_t index) const;
  // Why the value of the fill record `id` is in force in no cell.
  std::string no_cell_words(K kind, int id, const std::string& what) const {
    for (std::size_t j = static_cast<std::size_t>(id) + 1; j < log_.records().size(); ++j) {
      if (log_.records()[j].kind == kind && log_.records()[j].complete) {
        return "the next " + what + " takes over at once, and this one is in force in no cell";
      }
    }
    return "the reading stopped before a cell took it: the cells from here on keep 0";
  }
  // The first complete record of `kind`, or kNoRecord.
  int first_of(K kind) const {
    for (std::size_t j = 0; j < log_.records().size(); ++j) {
      if (log_.records()[j].kind == kind && log_.records()[j].complete) return static_cast<int>(j);
    }
    return kNoRecord;
  }

  const Reading& reading_;
  const ReadingLog& log_;
  const RunState& state_;
  // The field that ended the general section: a heading, or a keyword that holds '[' and ']'.
  std::optional<std::size_t> general_end_;
  std::map<int, Run> runs_;  // gradient, line speed and adhesion records: the cells of each
  std::map<K, Run> before_first_;
  std::map<int, std::pair<std::int64_t, std::int64_t>> bends_;  // curve: plan rows bent
  std::map<int, int> curve_before_;    // curve that bends nothing: the curve that passed it
  std::map<int, int> rows_;            // sign board or station: its table row
  std::map<int, int> previous_span_;   // scenery span: the span before it
  std::map<int, int> board_of_row_;    // table row: the sign board that wrote its text
  std::map<int, int> station_of_row_;  // table row: the station that wrote it
};

// A code recorded within a record stops the reading, and the fill that completes the file's
// cells with it, unless it is 15, which only ends the file. Codes the compile step records after
// the reading (outside any record) stop nothing of it.
bool stops_reading(const LoggedCode& c, DescriptionFile file) {
  return c.file == file && c.record != kNoRecord && c.code != 15;
}

bool Builder::line_completed() const {
  if (log_.failure() && log_.failure()->file == DescriptionFile::kLine) return false;
  for (const LoggedCode& c : log_.codes()) {
    if (stops_reading(c, DescriptionFile::kLine)) return false;
  }
  return log_.was_opened(DescriptionFile::kLine);
}

bool Builder::train_completed() const {
  if (!line_completed() || log_.failure()) return false;
  for (const LoggedCode& c : log_.codes()) {
    if (stops_reading(c, DescriptionFile::kTrain)) return false;
  }
  return log_.was_opened(DescriptionFile::kTrain);
}

void Builder::fill_runs(K kind, bool completed, bool speed_stop) {
  const std::int64_t cells = state_.numero_celle;
  if (state_.celle.empty()) return;  // no track: nothing was filled
  std::int64_t f = 0;
  int owner = kNoRecord;
  auto close = [&](std::int64_t begin) {
    const Run run{begin, f - 1};
    if (owner == kNoRecord) {
      before_first_[kind] = run;
    } else {
      runs_[owner] = run;
    }
  };
  const auto& records = log_.records();
  for (std::size_t id = 0; id < records.size(); ++id) {
    const LoggedRecord& r = records[id];
    if (r.kind != kind || !r.complete) continue;
    const std::int64_t k = round_to_index(static_cast<double>(value(r, 0)) / 50.0);
    const std::int64_t begin = f;
    if (k > 0) {
      do {
        if (speed_stop && f >= cells) break;
        ++f;
      } while (f < k);
    }
    close(begin);
    owner = static_cast<int>(id);
  }
  const std::int64_t begin = f;
  if (completed) {
    do ++f;
    while (f < cells - 2);
  }
  close(begin);
}

void Builder::prepare() {
  if (auto end = log_.body_start()) {
    // The section ends on the keyword field; a record's values may have been read after it.
    while (*end > 0 && log_.fields(DescriptionFile::kLine)[*end].role == FieldRole::kValue) --*end;
    general_end_ = end;
  }
  fill_runs(K::kGradient, line_completed(), false);
  fill_runs(K::kSpeed, train_completed(), true);
  fill_runs(K::kAdhesion, train_completed(), false);

  std::int64_t n = 2;
  int last_curve = kNoRecord;
  int sign_row = 80;
  int station_row = 1;
  int last_span = kNoRecord;
  const auto& records = log_.records();
  for (std::size_t i = 0; i < records.size(); ++i) {
    const LoggedRecord& r = records[i];
    const int id = static_cast<int>(i);
    switch (r.kind) {
      case K::kCurve: {
        if (r.values.size() < 2) break;
        const std::int64_t s = value(r, 0);
        const std::int64_t end = s + value(r, 1);
        const std::int64_t from = std::max(n, s + 1);
        if (end >= from) {
          bends_[id] = {from, std::min<std::int64_t>(end, kMaxLineLength)};
        } else if (last_curve != kNoRecord) {
          curve_before_[id] = last_curve;
        }
        n = std::max(n, end + 1);
        last_curve = id;
        break;
      }
      case K::kSignBoard:
        if (r.values.size() < 2) break;
        rows_[id] = sign_row;
        board_of_row_[sign_row] = id;
        --sign_row;
        break;
      case K::kStation:
        rows_[id] = station_row;
        station_of_row_[station_row] = id;
        if (r.complete) ++station_row;
        break;
      case K::kScenery:
        previous_span_[id] = last_span;
        if (r.complete) last_span = id;
        break;
      default:
        break;
    }
  }
}

std::string Builder::field_sentence(DescriptionFile file, std::size_t index) const {
  const LoggedField& field = reading_.field(file, index);
  const std::string_view text = trimmed(reading_.text(file, field.span));
  const std::string shown_text = quoted(text);
  switch (field.role) {
    case FieldRole::kPassedOver:
      return text.empty() ? "blank, above the '[generale]' heading"
                          : shown_text + " is above the '[generale]' heading: passed over";
    case FieldRole::kHeading:
      return file == DescriptionFile::kLine ? shown_text + ": the general section begins"
                                            : shown_text + ": the reading of records begins";
    case FieldRole::kComment:
      return shown_text + " holds '-' where a keyword is expected: a comment, passed over";
    case FieldRole::kNeverRead:
      return shown_text +
             " is the file's last field, where a keyword is expected: it is never read";
    case FieldRole::kValue: {
      const int id = log_.record_of_value(file, index);
      if (id == kNoRecord) return shown_text + ": a value";
      const LoggedRecord& r = reading_.record(id);
      std::size_t i = 0;
      while (i < r.values.size() && r.values[i] != index) ++i;
      const auto fields = kind_info(r.kind).fields;
      const std::string name = i < fields.size() ? std::string(fields[i].name) : "value";
      return shown_text + " is the " + name + " of the " + std::string(kind_info(r.kind).name) +
             " at line " + num(reading_.keyword_line(r)) + ", read on this line";
    }
    case FieldRole::kKeyword:
      break;
  }
  const bool ends_general = file == DescriptionFile::kLine && general_end_ == index;
  std::string what;
  if (text.empty()) {
    what = "blank";
  } else if (text.find('[') != std::string_view::npos && text.find(']') != std::string_view::npos) {
    what = "the heading " + shown_text + " matches no keyword";
  } else {
    what = shown_text + " matches no keyword: passed over";
  }
  if (ends_general) what += "; it ends the general section, and the body begins";
  return what;
}

void Builder::in_row(RecordAccount& a, std::size_t i, int row, std::string_view field) {
  if (i >= a.fields.size() || a.fields[i].read.empty()) return;
  const std::string key = num(row) + " " + std::string(field);
  const DataRow& stored = state_.tabella_dati[static_cast<std::size_t>(row)];
  a.fields[i].stored = "row " + key + " = " + num(row_field(stored, field));
}

void Builder::object_later(int id, RecordAccount& a) {
  const LoggedRecord& r = reading_.record(id);
  std::set<std::int64_t> told;
  for (const CellWrite& w : r.writes) {
    if (told.contains(w.index * 4 + static_cast<int>(w.part))) continue;
    const int now = log_.writer(w.index, w.part);
    if (now == id) continue;
    told.insert(w.index * 4 + static_cast<int>(w.part));
    const std::string part = r.kind == K::kScenery && w.part == CellPart::kObject
                                 ? "its scenery mark in "
                             : w.part == CellPart::kObject       ? "its object in "
                             : w.part == CellPart::kApproachMark ? "its approach mark in "
                                                                 : "its scenery in ";
    if (now == kCompletion) {
      a.later.push_back(part + cell_words(w.index) + " was replaced by the compile step");
    } else if (now >= 0) {
      a.later.push_back(part + cell_words(w.index) + " was replaced by the " +
                        std::string(kind_info(reading_.record(now).kind).name) + " " +
                        line_of(now));
    }
  }
}

void Builder::general(const LoggedRecord& r, int id, RecordAccount& a) {
  switch (r.kind) {
    case K::kLineLength: {
      if (!r.complete) break;
      bool last = true;
      for (std::size_t j = static_cast<std::size_t>(id) + 1; j < log_.records().size(); ++j) {
        if (log_.records()[j].kind == K::kLineLength && log_.records()[j].complete) {
          a.later.push_back("the line length " + line_of(static_cast<int>(j)) +
                            " made the track anew, and everything stored before it is gone");
          last = false;
          break;
        }
      }
      if (last) {
        std::string made = "a track of " + num(state_.lunghezza_pianta) + " m, " +
                           num(value(r, 0)) + " m of line and " + num(kRunOut) +
                           " m of run-off: cells 0 to " + num(state_.numero_celle);
        if (!state_.pianta.empty()) {
          made += ", and a plan of rows 0 to " + num(state_.pianta.size() - 1);
        }
        a.made.push_back(made);
      }
      break;
    }
    case K::kChainageTre:
    case K::kChainageDue:
    case K::kChainageUno: {
      const int row = r.kind == K::kChainageTre ? 81 : r.kind == K::kChainageDue ? 82 : 83;
      static constexpr std::string_view kFields[] = {"valore1", "valore2", "valore3"};
      for (std::size_t i = 0; i < 3 && i < a.fields.size(); ++i) {
        if (!a.fields[i].read.empty()) {
          a.fields[i].stored = "row " + num(row) + " " + std::string(kFields[i]);
        }
      }
      if (!r.complete) break;
      const std::int64_t v1 = value(r, 0), v2 = value(r, 1), v3 = value(r, 2);
      for (int now = 81; now <= 83; ++now) {
        const DataRow& d = state_.tabella_dati[static_cast<std::size_t>(now)];
        const bool raised = v3 == 1 && d.valore2 == v2 + 100;
        if (d.valore1 != v1 || d.valore3 != v3 || (d.valore2 != v2 && !raised)) continue;
        std::string made = "put in order by the first values, largest first: row " + num(now);
        if (now == row) made = "the order by the first values keeps it in row " + num(now);
        if (raised) {
          made += "; its flag is 1, so its second value is raised by 100 to " + num(d.valore2);
        }
        a.made.push_back(made);
        return;
      }
      a.made.push_back(
          "the ordering of the chainage references dropped it: rows 81 to 83 do not hold it "
          "(see the warning chainage-dropped)");
      break;
    }
    case K::kSignalRepetition: {
      if (!r.complete) break;
      const std::string keyword = reading_.keyword_shown(r);
      const char digit = keyword.find('4') != std::string::npos   ? '4'
                         : keyword.find('9') != std::string::npos ? '9'
                                                                  : '0';
      if (value(r, 1) == 0) {
        a.made.push_back("row 86 valore3 = 0 codes: the second value is 0, which clears them");
      } else {
        a.made.push_back("row 86 valore3 = " + std::string(1, digit) + " codes, from the '" +
                         std::string(1, digit) + "' of the keyword");
      }
      break;
    }
    default:
      break;
  }
}

std::string run_words(const Run& run) {
  return run.first > run.last ? "no cell" : run_cells(run.first, run.last);
}

void Builder::body(const LoggedRecord& r, int id, RecordAccount& a) {
  switch (r.kind) {
    case K::kGradient: {
      if (!r.complete) break;
      const std::int64_t p = value(r, 0), g = value(r, 1);
      const std::int64_t k = round_to_index(static_cast<double>(p) / 50.0);
      a.fields[0].stored = k > 0 ? "the gradient before it is in force to cell " + num(k - 1)
                                 : "cell 0: the gradient is in force from the start";
      const Run run = runs_.count(id) ? runs_.at(id) : Run{};
      const std::uint8_t stored = low_bits_u8(g + 100);
      std::string words = "pendenza " + num(stored);
      if (stored != g + 100) words += " (the low 8 bits of " + num(g + 100) + ")";
      a.fields[1].stored = words + " in " + run_words(run);
      if (run.first > run.last) a.later.push_back(no_cell_words(r.kind, id, "gradient"));
      if (id == first_of(K::kGradient)) {
        const Run& before = before_first_[K::kGradient];
        if (before.first <= before.last) {
          a.made.push_back("level track, pendenza 100, in " + run_words(before) +
                           ", before the first gradient");
        }
      }
      break;
    }
    case K::kCurve: {
      if (!r.complete) break;
      const std::string keyword = reading_.keyword_shown(r);
      static constexpr double kCurvature[] = {0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};
      static constexpr int kRadius[] = {10000, 5000, 2500, 1000, 500, 333};
      int curve_class = 0;
      for (char d = '1'; d <= '6' && curve_class == 0; ++d) {
        if (keyword.find(d) != std::string::npos) curve_class = d - '0';
      }
      if (curve_class == 0) break;
      const bool left = keyword.find_first_of("sS") != std::string::npos;
      std::ostringstream curvature;
      curvature << kCurvature[curve_class - 1];
      const auto bend = bends_.find(id);
      a.fields[0].stored = "plan row " + num(value(r, 0) + 1) + " on";
      a.fields[1].stored = "to plan row " + num(value(r, 0) + value(r, 1));
      a.made.push_back(
          "class " + num(curve_class) + " (the keyword's '" + num(curve_class) + "'), to the " +
          (left ? "left (the keyword holds an 's')" : "right (the keyword holds no 's')") + ": " +
          curvature.str() + " a metre, a radius of about " + num(kRadius[curve_class - 1]) + " m");
      if (bend != bends_.end()) {
        a.made.push_back("it bends plan rows " + num(bend->second.first) + " to " +
                         num(bend->second.second));
      } else {
        const auto before = curve_before_.find(id);
        if (value(r, 0) + value(r, 1) < 2) {
          a.made.push_back("it bends nothing: it ends at " + num(value(r, 0) + value(r, 1)) +
                           " m, before the line begins");
        } else
          a.made.push_back(
              "it bends nothing: it ends at " + num(value(r, 0) + value(r, 1)) +
              " m, where the plan is already drawn" +
              (before != curve_before_.end() ? ", by the curve " + line_of(before->second) : ""));
      }
      break;
    }
    case K::kScenery: {
      if (!r.complete) break;
      std::int64_t first = -1, last = -1;
      std::vector<std::int64_t> marks;
      for (const CellWrite& w : r.writes) {
        if (w.part == CellPart::kScenery) {
          if (first < 0) first = w.index;
          last = w.index;
        } else if (w.part == CellPart::kObject) {
          marks.push_back(w.index);
        }
      }
      a.fields[0].stored = first >= 0 ? "from cell " + num(first) : "no cell";
      a.fields[1].stored =
          first >= 0 ? "to cell " + num(last) : "no cell: it ends before it starts";
      const std::int64_t t = value(r, 2);
      std::int64_t kind = t > 10 ? t - 10 : t;
      std::string why;
      if (t > 10) why = ", the kind less 10, which asks for scenery marks";
      const int previous = previous_span_.count(id) ? previous_span_.at(id) : kNoRecord;
      if (previous != kNoRecord && value(r, 0) - value(reading_.record(previous), 1) <= 150) {
        kind = 3;
        why =
            ", because it starts no more than 150 m after the end of the span " + line_of(previous);
      }
      a.fields[2].stored = "scenery kind " + num(low_bits_u8(kind)) + why;
      if (first >= 0)
        a.made.push_back("scenery kind " + num(low_bits_u8(kind)) + " in " +
                         run_cells(first, last));
      if (!marks.empty()) {
        std::string list;
        for (std::int64_t m : marks) list += (list.empty() ? "" : ", ") + num(m);
        a.made.push_back("scenery marks in cells " + list);
      }
      object_later(id, a);
      break;
    }
    case K::kSpeedBoards: {
      if (!r.complete || r.writes.empty()) break;
      const std::int64_t c = r.writes[0].index;
      a.fields[0].stored = cell_words(c) + ", maximum-speed boards";
      auto code = [&](std::size_t s, std::size_t d) {
        return num(round_to_index(static_cast<double>(value(r, d)) / 5.0 +
                                  static_cast<double>(value(r, s)) * 20.0));
      };
      const char* data[] = {"dato1", "dato2", "dato3"};
      for (std::size_t j = 0; j < 3; ++j) {
        const std::string words = std::string(data[j]) + " = " + code(1 + j, 5 + j) + " (" +
                                  std::string(kind_info(r.kind).fields[5 + j].name) + " / 5 + " +
                                  std::string(kind_info(r.kind).fields[1 + j].name) +
                                  " x 20, rounded)";
        a.fields[1 + j].stored = words;
        a.fields[5 + j].stored = words;
      }
      const std::string strisce =
          "dato4 = " + num(value(r, 4) * 10 + value(r, 8)) + " (strisces x 10 + strisced)";
      a.fields[4].stored = strisce;
      a.fields[8].stored = strisce;
      object_later(id, a);
      break;
    }
    case K::kSignBoard: {
      if (r.values.size() < 2) break;
      const int row = rows_.at(id);
      if (!r.writes.empty()) {
        a.fields[0].stored =
            cell_words(r.writes[0].index) + ", a sign board naming row " + num(row);
      }
      if (r.complete) {
        a.fields[1].stored = "row " + num(row) + " testo";
        const auto station = station_of_row_.find(row);
        if (station != station_of_row_.end()) {
          a.later.push_back("row " + num(row) + " was overwritten by the station " +
                            line_of(station->second) + ": the board now shows its name");
        }
      }
      object_later(id, a);
      break;
    }
    default:
      break;
  }
}

void Builder::train(const LoggedRecord& r, int id, RecordAccount& a) {
  switch (r.kind) {
    case K::kSpeed:
    case K::kAdhesion: {
      if (!r.complete) break;
      const bool speed = r.kind == K::kSpeed;
      const std::int64_t p = value(r, 0), v = value(r, 1);
      const std::int64_t k = round_to_index(static_cast<double>(p) / 50.0);
      const std::string what = speed ? "line speed" : "adhesion";
      a.fields[0].stored = k > 0 ? "the " + what + " before it is in force to cell " + num(k - 1)
                                 : "cell 0: in force from the start";
      const Run run = runs_.count(id) ? runs_.at(id) : Run{};
      std::string words;
      if (speed) {
        const std::int64_t step = round_to_index(static_cast<double>(v) / 5.0);
        words = "velocita " + num(step) + " (" + num(step * 5) + " km/h" +
                (step * 5 != v ? ", to the nearest 5 km/h" : "") + ")";
      } else {
        const std::uint8_t stored = low_bits_u8(v);
        words =
            "aderenza " + num(stored) + (stored != v ? " (the low 8 bits of " + num(v) + ")" : "");
      }
      a.fields[1].stored = words + " in " + run_words(run);
      const Run& before = before_first_[r.kind];
      if (id == first_of(r.kind) && before.first <= before.last) {
        const TrackCell& cell = state_.celle[static_cast<std::size_t>(before.first)];
        a.made.push_back(
            "the cells before it, " + run_words(before) + ", hold " +
            (speed ? "velocita " + num(cell.velocita) : "aderenza " + num(cell.aderenza)) +
            ": no record gives the " + what + " there");
      }
      if (run.first > run.last) a.later.push_back(no_cell_words(r.kind, id, what));
      break;
    }
    case K::kSignal:
      signal(r, id, a);
      break;
    case K::kSlowdown:
      slowdown(r, id, a);
      break;
    case K::kSpeedCheck: {
      if (!r.complete || r.writes.empty()) break;
      const std::int64_t c = r.writes[0].index;
      const std::int64_t w = value(r, 1);
      a.fields[0].stored = cell_words(c) + ", round(position / 50)";
      if (w > 0) {
        const std::int16_t stored = low_bits_i16(w);
        a.fields[1].stored = "a speed check point with dato1 = " + num(stored) +
                             (stored != w ? " (the low 16 bits of " + num(w) + ")" : "");
        const TrackCell& cell = state_.celle[static_cast<std::size_t>(c)];
        if (log_.writer(c, CellPart::kObject) == kCompletion &&
            cell.tipo == cell_kind::kSpeedCheck && cell.dato1 != stored) {
          a.later.push_back("the compile step lowered its value to " + num(cell.dato1) +
                            ", as it is near a signal before a slowdown warning board");
        }
      } else {
        a.fields[1].stored = "a speed check point without a value: the value is 0 or less";
      }
      object_later(id, a);
      break;
    }
    case K::kStation:
      station(r, id, a);
      break;
    default:
      break;
  }
}

void Builder::signal(const LoggedRecord& r, int id, RecordAccount& a) {
  if (!r.complete || r.writes.empty()) return;
  std::int64_t c = -1;
  std::vector<std::string> marks;
  for (const CellWrite& w : r.writes) {
    if (w.part == CellPart::kObject) c = w.index;
  }
  if (c < 0) return;
  const auto v = [&](std::size_t i) { return value(r, i); };
  a.fields[0].stored = cell_words(c) + ", a signal";
  const std::string dato4 =
      "dato4 = " + num(v(5) * 10 + v(1) * 3 + v(6)) + " (rapp x 10 + sx x 3 + dx)";
  a.fields[1].stored = dato4;
  a.fields[5].stored = dato4;
  a.fields[6].stored = dato4;
  for (std::size_t j = 0; j < 3; ++j) {
    const std::string words = "dato" + num(j + 1) + " = " + num(v(2 + j) * 10 + v(7 + j)) + " (s" +
                              num(j + 1) + " x 10 + d" + num(j + 1) + ")";
    a.fields[2 + j].stored = words;
    a.fields[7 + j].stored = words;
  }
  const std::int64_t tempo = v(10);
  const std::int64_t kept = tempo >= 1 && tempo <= 100 ? 101 : tempo;
  if (v(1) == 2) {
    a.fields[10].stored = "dato5 = " + num(low_bits_u8(kept)) +
                          (kept != tempo ? ", raised from " + num(tempo) + " to 101"
                                         : (low_bits_u8(kept) != kept ? " (the low 8 bits)" : ""));
  } else {
    a.fields[10].stored = "not stored: the time value is kept only when sx is 2; dato5 = 0";
  }
  for (const CellWrite& w : r.writes) {
    if (w.part != CellPart::kApproachMark) continue;
    marks.push_back(num(state_.celle[static_cast<std::size_t>(w.index)].avviso) + " in cell " +
                    num(w.index));
  }
  if (!marks.empty()) {
    std::string list;
    for (const std::string& m : marks) list += (list.empty() ? "" : ", ") + m;
    a.made.push_back("approach marks " + list);
  }
  object_later(id, a);
}

void Builder::slowdown(const LoggedRecord& r, int id, RecordAccount& a) {
  if (!r.complete) return;
  std::int64_t start = -1, end = -1, warning = -1;
  std::vector<std::int64_t> approach;
  for (const CellWrite& w : r.writes) {
    if (w.part != CellPart::kObject) continue;
    switch (w.tipo_after) {
      case cell_kind::kSlowdownEnd:
        end = w.index;
        break;
      case cell_kind::kSlowdownStart:
        start = w.index;
        if (end < 0) end = w.index;
        break;
      case cell_kind::kSlowdownWarning:
        warning = w.index;
        break;
      case cell_kind::kSlowdownApproach:
        approach.push_back(w.index);
        break;
      default:
        break;
    }
  }
  const std::int64_t x = value(r, 0), l = value(r, 2);
  if (start >= 0) a.fields[0].stored = "the start in " + cell_words(start);
  a.fields[1].stored =
      "dato1 of the start, the end" + std::string(warning >= 0 ? " and the warning board" : "");
  if (end >= 0) {
    a.fields[2].stored = "the end in " + cell_words(end) +
                         (end == start ? ", the start's own cell, which keeps the start"
                          : l < 0      ? ", before the start"
                                       : "");
  }
  a.fields[3].stored = "dato3 of the start and the end";
  if (value(r, 4) == 0) {
    a.fields[4].stored = "0: no approach cells";
  } else if (x <= 1500) {
    a.fields[4].stored =
        "not used: a slowdown starting at 1500 m or less has no warning board "
        "and no approach cells";
  } else if (!approach.empty()) {
    a.fields[4].stored = "approach cells " + num(approach.front()) + " to " + num(approach.back());
  }
  a.fields[5].stored = value(r, 5) == 0 ? "0: none" : "dato2 of every cell it places";
  if (warning >= 0) {
    a.made.push_back("the warning board in " + cell_words(warning) + ", 1200 m before the start");
  }
  object_later(id, a);
}

void Builder::station(const LoggedRecord& r, int id, RecordAccount& a) {
  const int row = rows_.at(id);
  const DataRow& d = state_.tabella_dati[static_cast<std::size_t>(row)];
  const std::string at = "row " + num(row) + " ";
  struct Stored {
    std::size_t field;
    std::string_view name;
  };
  static constexpr Stored kStored[] = {{0, "valore3"},  {1, "classe"},   {3, "marca"},
                                       {4, "ottetto4"}, {5, "ottetto3"}, {6, "parola1"},
                                       {7, "parola2"},  {8, "ottetto1"}, {9, "parola3"},
                                       {10, "parola4"}, {11, "parola5"}, {12, "ottetto2"}};
  for (const Stored& s : kStored) {
    if (s.field >= a.fields.size() || a.fields[s.field].read.empty()) continue;
    a.fields[s.field].stored = at + std::string(s.name) + " = " + num(row_field(d, s.name));
  }
  if (!r.complete) return;
  const std::int64_t type = value(r, 1), length = value(r, 2);
  const bool short_platform = type == 5 || type == 6;
  const bool long_platform = type == 7 || type == 8;
  if (short_platform || long_platform) {
    a.fields[5].stored += ", cleared for a station of type " + num(type);
  } else if (row == 1 && value(r, 5) != 0) {
    a.fields[5].stored += ", cleared for the first station, after adding 50 m to its extent";
  }
  if (row == 1 && value(r, 4) != 0) {
    a.fields[4].stored += ", cleared for the first station";
  } else if (length < 600 && value(r, 4) != 0) {
    a.fields[4].stored += ", cleared for a length under 600 m";
  }
  a.fields[2].stored = "the extent, row " + num(row) + " valore1 = " + num(d.valore1) +
                       " to valore2 = " + num(d.valore2);
  const std::string seconds = at + "valore4 = " + num(d.valore4) + " s";
  a.fields[13].stored = seconds;
  a.fields[14].stored = seconds;
  a.fields[15].stored = seconds;
  a.fields[16].stored = at + "testo";
  std::vector<std::string> marks;
  for (const CellWrite& w : r.writes) {
    if (w.part == CellPart::kObject) {
      a.made.push_back("the station stop in " + cell_words(w.index) + ", naming row " + num(row));
    } else if (w.part == CellPart::kApproachMark) {
      marks.push_back(num(state_.celle[static_cast<std::size_t>(w.index)].avviso) + " in cell " +
                      num(w.index));
    }
  }
  if (type >= 25) a.made.push_back("no station stop and no approach marks: its type is 25 or more");
  if (!marks.empty()) {
    std::string list;
    for (const std::string& m : marks) list += (list.empty() ? "" : ", ") + m;
    a.made.push_back("approach marks " + list);
  }
  const auto board = board_of_row_.find(row);
  if (board != board_of_row_.end()) {
    a.made.push_back("row " + num(row) + " held the text of the sign board " +
                     line_of(board->second) + ", which it overwrites: that board now shows " +
                     "this station's name");
  }
  object_later(id, a);
}

RecordAccount Builder::record_account(int id) {
  const LoggedRecord& r = reading_.record(id);
  const KindInfo& info = kind_info(r.kind);
  RecordAccount a;
  a.record = id;
  a.kind = std::string(info.name);
  a.keyword = reading_.keyword_shown(r);
  a.complete = r.complete;
  for (std::size_t i = 0; i < info.fields.size(); ++i) {
    FieldAccount f;
    f.name = std::string(info.fields[i].name);
    const auto& failure = log_.failure();
    if (i == r.values.size() && failure && failure->record == id) {
      // The field whose reading failed.
      f.written = shown(trimmed(reading_.text(r.file, failure->last)));
    } else if (i < r.values.size()) {
      f.written = shown(trimmed(reading_.text(r.file, reading_.value(r, i))));
      if (info.fields[i].storage == Storage::kText) {
        f.read = shown(reading_.text_value(r, i));
      } else if (const auto n = reading_.number(r, i)) {
        f.read = num(*n);
      }
    }
    a.fields.push_back(std::move(f));
  }
  for (const RowStore& store : kRowStores) {
    if (store.kind == r.kind) in_row(a, store.value, store.row, store.field);
  }
  if (info.section == Section::kGeneral) {
    general(r, id, a);
  } else if (info.section == Section::kBody) {
    body(r, id, a);
  } else {
    train(r, id, a);
  }
  // Whatever a later record of the same kind overwrote of a row.
  if (info.section != Section::kBody && r.kind != K::kStation && r.kind != K::kSpeed &&
      r.kind != K::kAdhesion && r.kind != K::kSignal && r.kind != K::kSlowdown &&
      r.kind != K::kSpeedCheck && r.kind != K::kLineLength && r.complete) {
    for (std::size_t j = static_cast<std::size_t>(id) + 1; j < log_.records().size(); ++j) {
      if (log_.records()[j].kind == r.kind && log_.records()[j].complete) {
        a.later.push_back("what it stored was overwritten by the " + a.kind + " " +
                          line_of(static_cast<int>(j)));
        break;
      }
    }
  }
  return a;
}

std::vector<LineAccount> Builder::build() {
  std::vector<LineAccount> all;
  for (DescriptionFile file : {DescriptionFile::kLine, DescriptionFile::kTrain}) {
    const SourceText& source = reading_.source(file);
    const std::size_t first = all.size();
    for (std::size_t line = 1; line <= source.line_count(); ++line) {
      LineAccount account;
      account.file = file;
      account.line = line;
      all.push_back(std::move(account));
    }
    if (source.line_count() == 0) continue;
    std::vector<bool> seen(source.line_count() + 1, false);
    std::map<std::size_t, std::vector<int>> begun;  // keyword field: the records it begins
    for (std::size_t id = 0; id < log_.records().size(); ++id) {
      const LoggedRecord& r = log_.records()[id];
      if (r.file == file) begun[r.keyword].push_back(static_cast<int>(id));
    }
    const std::vector<LoggedField>& fields = log_.fields(file);
    for (std::size_t i = 0; i < fields.size(); ++i) {
      const std::size_t line = source.line_of(fields[i].span.begin);
      LineAccount& account = all[first + line - 1];
      seen[line] = true;
      const auto records = begun.find(i);
      if (records != begun.end()) {
        for (int id : records->second) account.records.push_back(record_account(id));
        if (file == DescriptionFile::kLine && general_end_ == i) {
          account.fields.push_back(quoted(trimmed(reading_.text(file, fields[i].span))) +
                                   " holds '[' and ']': it ends the general section, and the "
                                   "body begins");
        }
        continue;
      }
      if (fields[i].role == FieldRole::kValue) {
        const int id = log_.record_of_value(file, i);
        if (id != kNoRecord && reading_.keyword_line(reading_.record(id)) == line) continue;
      }
      account.fields.push_back(field_sentence(file, i));
    }
    const std::size_t last_read = fields.empty() ? 0 : source.line_of(fields.back().span.begin);
    for (std::size_t line = 1; line <= source.line_count(); ++line) {
      if (seen[line]) continue;
      LineAccount& account = all[first + line - 1];
      if (!log_.was_opened(file)) {
        account.fields.push_back("never read: the reading stopped before it opened this file");
      } else if (line > last_read) {
        account.fields.push_back("never read: the reading stopped at line " + num(last_read));
      } else {
        account.fields.push_back("never read: a text that the field before it took in");
      }
    }
  }
  return all;
}

}  // namespace

std::vector<LineAccount> account_of(const Reading& reading) { return Builder(reading).build(); }

}  // namespace binario::authoring
