#ifndef BINARIO_AUTHORING_DIAGNOSTICS_CHECKER_H_
#define BINARIO_AUTHORING_DIAGNOSTICS_CHECKER_H_

// The warnings' checker, shared by the files that hold its checks by what they look at: the
// fields and records as read (checks_records.cpp), the values of each record
// (checks_values.cpp), the order of the records and what one does to another
// (checks_order.cpp), and the file and the model as a whole (checks_model.cpp).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "authoring/diagnostics/diagnostic.h"
#include "authoring/diagnostics/reading.h"
#include "authoring/diagnostics/record_kinds.h"

namespace binario::authoring::checks {

using K = RecordKind;

// `text` without the blanks and tabs around it.
std::string_view trimmed(std::string_view text);

// Whether `text` reads as a whole number, as the readers read one.
bool is_number(std::string_view text);

// A field that reads like prose or a comment marker rather than a keyword.
bool looks_like_comment(std::string_view text);

// The kinds the readers would take `field` as in `section`.
std::vector<K> kinds_in(Section section, std::string_view field);

// The warnings about one description file, as one reading took it.
class Checker {
 public:
  Checker(const Reading& reading, DescriptionFile file);

  std::vector<Diagnostic> run(bool whole) {
    if (file_ == DescriptionFile::kLine && r_.stand_in_line()) return {};
    for (std::size_t id = 0; id < r_.log().records().size(); ++id) {
      const LoggedRecord& record = r_.log().records()[id];
      if (record.file != file_) continue;
      spread(record, static_cast<int>(id));
      if (record.complete) values(record);
    }
    keywords();
    outside_sections();
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
    completed();
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
  std::size_t line_of(std::size_t field) const { return lines_[field]; }
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
  std::span<const int> records_begun_at(std::size_t field) const {
    return std::span<const int>(keyword_records_)
        .subspan(keyword_start_[field], keyword_start_[field + 1] - keyword_start_[field]);
  }
  // Marks `line` explained; false when it was already.
  bool quieten(std::size_t line) {
    if (quiet_[line]) return false;
    quiet_[line] = true;
    return true;
  }

  // The fields and records as read (checks_records.cpp).
  void keywords();
  void unmatched(std::size_t field);
  void keyword_variant(std::size_t field, const LoggedRecord& record);
  void spread(const LoggedRecord& record, int id);

  // The values of each record (checks_values.cpp).
  void values(const LoggedRecord& record);
  // A time of day, `what` ("the clock time"), whose hours, minutes and seconds are values
  // `hours` to `hours` + 2 of `record`: minutes or seconds past 59, or hours below 0.
  void clock_time(const LoggedRecord& record, std::size_t hours, const std::string& what);
  void on_cells(const LoggedRecord& record, std::size_t i, std::string_view rule);
  void narrowed(Span at, std::string_view what, std::int64_t value, std::int64_t low,
                std::int64_t high, std::int64_t stored, std::string_view unit = "");
  // `what()` ("the sign board at 2500 m") `verb`s ("lie") past the end of the line when
  // `position` does; the words are made only then.
  void past_line_end(const LoggedRecord& record, std::int64_t position,
                     const std::function<std::string()>& what, std::string_view verb = "lie");

  // The order of the records, and what one does to another (checks_order.cpp).
  void fills(K kind, const std::string& name, const std::string& plural);
  void curves();
  void scenery_kinds();
  void stations();
  void writes();
  void repeated();

  // The file and the model as a whole (checks_model.cpp).
  void whole_file();
  void outside_sections();
  void completed();

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
  // The records that each field began: keyword_records_ from keyword_start_[field] to
  // keyword_start_[field + 1].
  std::vector<std::size_t> keyword_start_;
  std::vector<int> keyword_records_;
  std::optional<std::int32_t> line_length_;
  std::vector<bool> with_code_;  // for each record, whether a code was recorded while it was read
  // Whether a slowdown's end was looked for to the end of the track and never found: the error
  // of that code tells of it.
  bool end_never_found_ = false;
  std::map<K, std::vector<int>> by_kind_;
  std::vector<std::size_t> lines_;  // of each field
  // Lines already explained: the rest of their fields are no news.
  std::vector<bool> quiet_;
  std::vector<Diagnostic> out_;
};

}  // namespace binario::authoring::checks

#endif  // BINARIO_AUTHORING_DIAGNOSTICS_CHECKER_H_
