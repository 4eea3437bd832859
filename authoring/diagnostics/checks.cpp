#include "authoring/diagnostics/checks.h"

#include <algorithm>
#include <limits>
#include <map>
#include <set>

#include "authoring/diagnostics/record_kinds.h"
#include "authoring/text/text.h"
#include "reader/field_reader.h"
#include "reader/keywords.h"
#include "reader/numbers.h"
#include "reader/read_failure.h"
#include "reader/track_markers.h"

namespace binario::authoring {

namespace {

using K = RecordKind;

std::string quoted(std::string_view text) { return "'" + shown(text) + "'"; }

std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool is_number(std::string_view text) {
  try {
    FieldReader in(text);
    if (in.at_end()) return false;
    in.read_int32();
    return in.at_end();
  } catch (const ReadFailure&) {
    return false;
  }
}

// A field that reads like prose or a comment marker rather than a keyword.
bool looks_like_comment(std::string_view text) {
  const std::string_view t = trimmed(text);
  if (t.empty()) return false;
  if (std::string_view("#;/*'!%").find(t.front()) != std::string_view::npos) return true;
  return std::count(t.begin(), t.end(), ' ') >= 3;
}

// The kinds the readers would take `field` as in `section`.
std::vector<K> kinds_in(Section section, std::string_view field) {
  std::vector<K> kinds;
  for (const KindInfo& info : all_kinds()) {
    if (info.section == section && recognised_as(info.kind, field)) kinds.push_back(info.kind);
  }
  return kinds;
}

std::string article(std::string_view word) {
  return std::string_view("aeiou").find(word.front()) != std::string_view::npos ? "an" : "a";
}

class Checker {
 public:
  Checker(const Reading& reading, DescriptionFile file)
      : r_(reading), file_(file), fields_(reading.log().fields(file)) {
    at_keyword_.resize(fields_.size());
    for (std::size_t id = 0; id < r_.log().records().size(); ++id) {
      const LoggedRecord& record = r_.log().records()[id];
      if (record.file == file_) at_keyword_[record.keyword].push_back(static_cast<int>(id));
    }
    if (!r_.stand_in_line()) {
      for (const LoggedRecord& record : r_.log().records()) {
        if (record.kind == K::kLineLength && record.complete) {
          line_length_ = r_.number(record, 0);
        }
      }
    }
  }

  std::vector<Diagnostic> run(bool whole) {
    if (file_ == DescriptionFile::kLine && r_.stand_in_line()) return {};
    for (std::size_t id = 0; id < r_.log().records().size(); ++id) {
      const LoggedRecord& record = r_.log().records()[id];
      if (record.file != file_) continue;
      spread(record, static_cast<int>(id));
      if (record.complete) values(record);
    }
    keywords();
    if (!whole) return std::move(out_);
    fills(K::kGradient, "gradient", "gradients");
    fills(K::kSpeed, "line speed", "line speeds");
    fills(K::kAdhesion, "adhesion", "adhesion values");
    curves();
    scenery_kinds();
    stations();
    writes();
    repeated();
    whole_file();
    return std::move(out_);
  }

 private:
  Diagnostic& warn(std::string check, Span at, std::string message,
                   std::optional<std::int32_t> position = std::nullopt) {
    Diagnostic d;
    d.severity = Severity::kWarning;
    d.check = std::move(check);
    d.at = at;
    d.message = std::move(message);
    d.position_m = position;
    out_.push_back(std::move(d));
    return out_.back();
  }
  Diagnostic& warn_file(std::string check, std::string message) {
    Diagnostic& d = warn(std::move(check), {file_, 0, 0}, std::move(message));
    d.whole_file = true;
    return d;
  }
  Note note_at(const LoggedRecord& record, std::string message) const {
    return {r_.keyword_span(record), std::move(message)};
  }
  std::size_t line_of(std::size_t field) const { return r_.line(file_, fields_[field].span); }
  bool first_on_line(std::size_t field) const {
    return field == 0 || line_of(field - 1) < line_of(field);
  }
  std::string_view text_of(std::size_t field) const { return r_.text(file_, fields_[field].span); }
  Span span_of(std::size_t field) const { return r_.span(file_, fields_[field].span); }
  std::optional<std::int32_t> number(const LoggedRecord& record, std::size_t i) const {
    return r_.number(record, i);
  }
  std::int64_t value(const LoggedRecord& record, std::size_t i) const {
    return number(record, i).value_or(0);
  }
  std::string what(const LoggedRecord& record) const {
    return "'" + r_.keyword_shown(record) + "'";
  }
  Section section_of(std::size_t field) const {
    if (file_ == DescriptionFile::kTrain) return Section::kTrain;
    return r_.log().body_start() && field >= *r_.log().body_start() ? Section::kBody
                                                                    : Section::kGeneral;
  }
  bool modo_without_plan() const { return r_.state().modo == 0; }

  void keywords();
  void unmatched(std::size_t field);
  void spread(const LoggedRecord& record, int id);
  void values(const LoggedRecord& record);
  void on_cells(const LoggedRecord& record, std::size_t i, std::string_view rule);
  void narrowed(Span at, const std::string& what, std::int64_t value, std::int64_t low,
                std::int64_t high, std::int64_t stored, std::string_view unit = "");
  void past_line_end(const LoggedRecord& record, std::int64_t position, const std::string& what);
  void fills(K kind, const std::string& name, const std::string& plural);
  void curves();
  void scenery_kinds();
  void stations();
  void writes();
  void repeated();
  void whole_file();
  const std::vector<int>& records_of(K kind) {
    auto [it, inserted] = by_kind_.try_emplace(kind);
    if (inserted) {
      for (std::size_t id = 0; id < r_.log().records().size(); ++id) {
        const LoggedRecord& record = r_.log().records()[id];
        if (record.kind == kind && record.complete) it->second.push_back(static_cast<int>(id));
      }
    }
    return it->second;
  }

  const Reading& r_;
  const DescriptionFile file_;
  const std::vector<LoggedField>& fields_;
  std::vector<std::vector<int>> at_keyword_;  // the records that each field began
  std::optional<std::int32_t> line_length_;
  std::map<K, std::vector<int>> by_kind_;
  // Lines already explained: the rest of their fields are no news.
  std::set<std::size_t> quiet_lines_;
  std::vector<Diagnostic> out_;
};

// Fields where a keyword is expected: unknown, misplaced, prose read as a record, the last line.
void Checker::keywords() {
  std::set<std::size_t> exempt;  // the values of a curve that is no record without a plan
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    const LoggedField& field = fields_[i];
    const std::string_view text = text_of(i);
    if (field.role == FieldRole::kNeverRead) {
      const std::vector<K> kinds = kinds_in(section_of(i), text);
      if (!kinds.empty()) {
        warn("never-read", span_of(i),
             "the file's last line, " + quoted(trimmed(text)) +
                 ", is never read: the reading stops before its last field, so end the file "
                 "with a line such as '[fine]'");
      }
      continue;
    }
    if (field.role != FieldRole::kKeyword || exempt.contains(i)) continue;
    const std::vector<int>& records = at_keyword_[i];
    if (records.empty()) {
      if (modo_without_plan() && section_of(i) == Section::kBody &&
          contains_any_case(text, "curva")) {
        // Without a plan a curve is no record: its values are read as keywords.
        for (std::size_t j = i + 1; j < fields_.size() && line_of(j) == line_of(i); ++j) {
          exempt.insert(j);
        }
        continue;
      }
      unmatched(i);
      continue;
    }
    const LoggedRecord& record = r_.record(records.front());
    if (contains(text, "-")) {
      warn("comment-limit", span_of(i),
           quoted(trimmed(text)) + " is read as " + article(kind_info(record.kind).name) + " " +
               std::string(kind_info(record.kind).name) +
               " record: at most two comment lines in a row are passed over (ten in the general "
               "section), and this is one more");
    } else if (records.size() == 1 && !is_written_keyword(record.kind, text) &&
               !(record.kind == K::kCurve && text.find_first_of("123456") == std::string::npos)) {
      const std::string kind(kind_info(record.kind).name);
      warn(looks_like_comment(text) ? "comment-read-as-record" : "keyword-spelling", span_of(i),
           quoted(trimmed(text)) + " is read as " + article(kind) + " " + kind +
               " record, since it contains its keyword" +
               (looks_like_comment(text)
                    ? "; a comment line needs a '-' and no comma to be passed over"
                    : "; write it '" + std::string(kind_info(record.kind).keyword) + "'"));
    }
    if (records.size() > 1) {
      std::string kinds;
      for (std::size_t k = 0; k < records.size(); ++k) {
        kinds += (k == 0                    ? ""
                  : k + 1 == records.size() ? " and "
                                            : ", ") +
                 std::string("'") + std::string(kind_info(r_.record(records[k]).kind).keyword) +
                 "'";
      }
      warn("several-kinds", span_of(i),
           quoted(trimmed(text)) + " holds the keywords of several records and is read as each: " +
               kinds + ", one after the other");
    }
  }
}

void Checker::unmatched(std::size_t i) {
  const std::string_view text = trimmed(text_of(i));
  if (text.empty() || fields_[i].span.begin == fields_[i].span.end) return;
  if (text.front() == '[' && text.find(']') != std::string_view::npos) return;  // a heading
  if (!quiet_lines_.insert(line_of(i)).second) return;
  if (!first_on_line(i)) {
    // A field after a record's last value on the same line.
    std::size_t before = i - 1;
    const int owner = r_.log().record_of_value(file_, before);
    if (owner >= 0) {
      const LoggedRecord& record = r_.record(owner);
      const std::size_t count = record.values.size();
      warn(
          "surplus-field", span_of(i),
          quoted(text) + " follows " +
              (count == 1 ? std::string("the value") : "the " + std::to_string(count) + " values") +
              " of the " + what(record) +
              " record: it was read where the next keyword belongs, and matched none");
    } else {
      warn("surplus-field", span_of(i),
           quoted(text) +
               " stands after another field on this line where a keyword belongs, "
               "and matches none: one record a line, each with exactly its values");
    }
    return;
  }
  if (is_number(text)) {
    warn("unknown-keyword", span_of(i),
         "a number, " + quoted(text) +
             ", where a keyword belongs: is it the value of a record on the line before?");
    return;
  }
  // A keyword of another section or of the other file.
  const Section section = section_of(i);
  for (Section other : {Section::kGeneral, Section::kBody, Section::kTrain}) {
    if (other == section) continue;
    const std::vector<K> kinds = kinds_in(other, text);
    if (kinds.empty()) continue;
    const std::string kind(kind_info(kinds.front()).name);
    std::string where;
    if (other == Section::kTrain) {
      where = "a record of the train description";
    } else if (file_ == DescriptionFile::kTrain) {
      where = "a record of the line description";
    } else if (other == Section::kBody) {
      where = "a record of the body, after the first heading";
    } else {
      where = "a record of the general section, before the first heading";
    }
    warn("misplaced-record", span_of(i),
         quoted(text) + " is " + where + ": here it is not read, so this " + kind + " is lost");
    return;
  }
  std::string message = quoted(text) + " matches no keyword, so the line is passed over";
  if (const std::string_view near = nearest_keyword(text, section); !near.empty()) {
    message += "; did you mean '" + std::string(near) + "'?";
  }
  warn("unknown-keyword", span_of(i), message);
}

// A record whose values run onto the next line, and a text that took a keyword or a number.
void Checker::spread(const LoggedRecord& record, int id) {
  const std::size_t line = r_.keyword_line(record);
  const KindInfo& info = kind_info(record.kind);
  std::size_t on_line = 0;
  while (on_line < record.values.size() && r_.line(file_, r_.value(record, on_line)) == line) {
    ++on_line;
  }
  // A record a failure cut short is the error's to explain.
  const bool failed = r_.log().failure() && r_.log().failure()->record == id;
  // The lines it took values from are explained by this warning or the error.
  for (std::size_t i = on_line; i < record.values.size(); ++i) {
    quiet_lines_.insert(r_.line(file_, r_.value(record, i)));
  }
  if (on_line < record.values.size() && !failed) {
    const std::string taken(trimmed(r_.text(file_, r_.value(record, on_line))));
    const bool taken_keyword =
        !kinds_in(file_ == DescriptionFile::kTrain ? Section::kTrain : Section::kBody, taken)
             .empty() ||
        !kinds_in(Section::kGeneral, taken).empty();
    warn("record-spans-lines", r_.keyword_span(record),
         what(record) + " record has " + std::to_string(on_line) + " of its " +
             std::to_string(info.fields.size()) + " values on its line; the next line's " +
             quoted(taken) + " was read as its " + std::string(info.fields[on_line].name) +
             (taken_keyword ? ", and that line's record is lost" : ""));
    return;
  }
  // A text that took what should have been something else.
  for (std::size_t i = 0; i < record.values.size() && i < info.fields.size(); ++i) {
    if (info.fields[i].storage != Storage::kText) continue;
    const std::string text = r_.text_value(record, i);
    const std::string name(info.fields[i].name);
    if (is_number(text)) {
      warn("text-field", r_.value_span(record, i),
           "the " + std::string(info.name) + "'s " + name + " is " + quoted(text) +
               ", a number: is a value missing before it?");
    } else if (!kinds_in(Section::kTrain, text).empty() ||
               !kinds_in(Section::kBody, text).empty()) {
      if (record.kind == K::kStation && text.find(' ') != std::string::npos) continue;
      warn("text-field", r_.value_span(record, i),
           "the " + std::string(info.name) + "'s " + name + " is " + quoted(text) +
               ", which is a keyword: is the " + name + " missing?");
    }
  }
}

void Checker::narrowed(Span at, const std::string& what, std::int64_t value, std::int64_t low,
                       std::int64_t high, std::int64_t stored, std::string_view unit) {
  if (value >= low && value <= high) return;
  const std::string u = unit.empty() ? "" : " " + std::string(unit);
  warn("value-narrowed", at,
       what + " of " + std::to_string(value) + u + " does not fit: it must lie from " +
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
       "the " + std::string(info.name) + "'s " + std::string(info.fields[i].name) + " " +
           metres(p) + " is taken as " + metres(as_if) + " (cell " + std::to_string(cell) +
           "): the track keeps its objects and values in 50 m cells, rounding each position "
           "to one, ties to even",
       static_cast<std::int32_t>(as_if));
}

void Checker::past_line_end(const LoggedRecord& record, std::int64_t position,
                            const std::string& what) {
  if (!line_length_ || position <= *line_length_) return;
  warn("past-line-end", r_.keyword_span(record),
       what + " lies past the end of the line at " + metres(*line_length_) +
           ", in the 7000 m the track runs on beyond it",
       static_cast<std::int32_t>(position));
}

void Checker::values(const LoggedRecord& record) {
  auto at = [&](std::size_t i) { return r_.value_span(record, i); };
  const std::int64_t p = value(record, 0);
  const std::string name(kind_info(record.kind).name);
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
      break;
    }
    case K::kCurve:
      if (value(record, 1) <= 0) {
        warn("no-effect", at(1),
             "a curve of length " + std::to_string(value(record, 1)) + " bends nothing");
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
      past_line_end(record, p, "the maximum-speed boards at " + metres(p));
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
      break;
    }
    case K::kSignBoard:
      on_cells(record, 0, "object");
      past_line_end(record, p, "the sign board at " + metres(p));
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
      past_line_end(record, p, "the signal at " + metres(p));
      const std::int64_t sx = value(record, 1), dx = value(record, 6);
      const char* const names[] = {"10 x s1 + d1", "10 x s2 + d2", "10 x s3 + d3"};
      for (std::size_t k = 0; k < 3; ++k) {
        const std::int64_t v = value(record, 2 + k) * 10 + value(record, 7 + k);
        narrowed(at(2 + k), std::string("the signal's ") + names[k], v, -32768, 32767,
                 low_bits_i16(v));
      }
      const std::int64_t code = value(record, 5) * 10 + sx * 3 + dx;
      narrowed(at(5), "the signal's 10 x rapp + 3 x sx + dx", code, -32768, 32767,
               low_bits_i16(code));
      std::int64_t tempo = value(record, 10);
      if (tempo >= 1 && tempo <= 100) tempo = 101;
      if (sx == 2) narrowed(at(10), "the signal's tempo", tempo, 0, 255, low_bits_u8(tempo));
      const std::int64_t mark = sx * 30 + dx * 10 + 4;
      narrowed(at(1), "the signal's approach mark 30 x sx + 10 x dx + 4", mark, 0, 255,
               low_bits_u8(mark));
      break;
    }
    case K::kSlowdown: {
      on_cells(record, 0, "object");
      past_line_end(record, p, "the slowdown at " + metres(p));
      const std::int64_t end = p + value(record, 2);
      if (end % kCellLength != 0 && p % kCellLength == 0) {
        warn("not-multiple-of-50", at(2),
             "the slowdown's end, " + metres(end) + ", is taken as " +
                 metres((cell_of(end) - 1) * kCellLength) +
                 ": the track keeps objects in 50 m cells, ties to even");
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
      past_line_end(record, p, "the speed check point at " + metres(p));
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
    if (before != kNoRecord && next > s + 1 && l > 0) {
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
    past_line_end(
        record, station.valore2,
        "the station " + quoted(name) + ", whose extent ends at " + metres(station.valore2) + ",");
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
  std::set<std::pair<int, int>> told;  // (overwritten record, part) already warned of
  for (std::size_t id = 0; id < r_.log().records().size(); ++id) {
    const LoggedRecord& record = r_.log().records()[id];
    if (record.file != file_ && record.kind != K::kStation) continue;
    for (const CellWrite& write : record.writes) {
      const int earlier = write.previous_writer;
      if (earlier < 0 || earlier == static_cast<int>(id)) continue;
      const LoggedRecord& other = r_.record(earlier);
      if (!told.insert({earlier, static_cast<int>(write.part)}).second) continue;
      // Scenery fills its cells from k x 50 m; an object in cell k stands at (k - 1) x 50 m.
      const std::int64_t metre = write.part == CellPart::kScenery ? write.index * kCellLength
                                                                  : (write.index - 1) * kCellLength;
      const std::string cell = "cell " + std::to_string(write.index) + " (" + metres(metre) + ")";
      if (write.part == CellPart::kObject) {
        if (write.tipo_before == cell_kind::kNone || write.tipo_before == cell_kind::kSceneryMark) {
          continue;
        }
        if (other.file != file_) continue;
        const std::string name = r_.text_value(record, 16);
        Diagnostic& d = warn("overwritten", r_.keyword_span(other),
                             "this " + std::string(kind_info(other.kind).name) + " in " + cell +
                                 " is overwritten by the stop of the station " + quoted(name) +
                                 ": a station stop takes its cell whatever it holds, while an "
                                 "object listed after the station would have been refused");
        d.notes.push_back(note_at(record, "the station whose stop takes the cell"));
      } else if (record.file == file_) {
        const bool marks = write.part == CellPart::kApproachMark;
        Diagnostic& d = warn(
            "order-dependent", r_.keyword_span(record),
            marks ? "the approach mark this " + std::string(kind_info(record.kind).name) +
                        " sets in " + cell + " replaces the one of the " +
                        std::string(kind_info(other.kind).name) + " of " + r_.line_words(other) +
                        ": the record listed later wins"
                  : "this scenery span overlaps the span of " + r_.line_words(other) + " from " +
                        cell + ": its kind replaces the other's in the cells they share");
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
    warn_file("no-general-section",
              "the train description has no '[generale]' heading, so nothing in it was read: "
              "the route has no station, and a line speed and adhesion of 0 everywhere");
    return;
  }
  const DataRow& first_station = r_.state().tabella_dati[1];
  const bool has_station = !records_of(K::kStation).empty();
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

}  // namespace

std::vector<Diagnostic> check_reading(const Reading& reading, DescriptionFile file, bool whole) {
  return Checker(reading, file).run(whole);
}

std::vector<Diagnostic> check_encoding(const SourceText& text, DescriptionFile file) {
  std::vector<Diagnostic> out;
  const std::string& bytes = text.bytes();
  auto warn = [&](Span at, std::string message, bool whole_file = false) {
    Diagnostic d;
    d.severity = Severity::kWarning;
    d.check = "encoding";
    d.at = at;
    d.whole_file = whole_file;
    d.message = std::move(message);
    out.push_back(std::move(d));
  };
  const std::string how =
      "save the file as Windows-1252 (called 'Western European' or 'ANSI' by most editors)";
  const std::size_t nuls =
      std::count(bytes.begin(), bytes.begin() + std::min<std::size_t>(bytes.size(), 512), '\0');
  if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF") ||
      (nuls > 0 && nuls * 4 >= std::min<std::size_t>(bytes.size(), 512))) {
    warn({file, 0, 0},
         "the file is UTF-16, two bytes a character: the reader takes one byte a character and "
         "finds nothing it knows; " +
             how,
         true);
    return out;
  }
  if (bytes.starts_with("\xEF\xBB\xBF")) {
    warn({file, 0, 3},
         "the file begins with a UTF-8 byte-order mark: it is UTF-8, not the "
         "Windows-1252 the simulator reads; " +
             how);
  }
  std::size_t last_line = 0;
  for (std::size_t i = bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0; i < bytes.size(); ++i) {
    const std::size_t length = utf8_sequence(std::string_view(bytes).substr(i));
    if (length == 0) continue;
    const std::size_t line = text.line_of(i);
    if (line != last_line) {
      const std::string sequence = bytes.substr(i, length);
      warn(
          {file, i, i + length},
          "'" + sequence + "' is written in UTF-8, as the " + std::to_string(length) + " bytes " +
              [&] {
                std::string hex;
                for (char c : sequence) {
                  constexpr char kHex[] = "0123456789ABCDEF";
                  const auto b = static_cast<unsigned char>(c);
                  hex += std::string(hex.empty() ? "" : " ") + kHex[b >> 4] + kHex[b & 0xF];
                }
                return hex;
              }() +
              ": the simulator reads Windows-1252 and will show '" + shown(sequence) + "'; " + how);
      last_line = line;
    }
    i += length - 1;
  }
  return out;
}

}  // namespace binario::authoring
