#ifndef BINARIO_AUTHORING_DIAGNOSTICS_EXPLAINER_H_
#define BINARIO_AUTHORING_DIAGNOSTICS_EXPLAINER_H_

// The explainer of the codes one compile step recorded, shared by the files that explain them
// by family: the general section's and the line's records (errors_records.cpp), the stations
// (errors_stations.cpp), the fields the reader could not read (errors_fields.cpp), and what the
// compile step's completion and stamps recorded (errors_completion.cpp).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "authoring/diagnostics/diagnostic.h"
#include "authoring/diagnostics/errors.h"
#include "authoring/diagnostics/reading.h"
#include "authoring/diagnostics/record_kinds.h"
#include "reader/error_codes.h"

namespace binario::authoring::explanations {

using K = RecordKind;
namespace e = error_code;

// A point object's kind in words, with its article: "a signal", "maximum-speed boards".
std::string object_words(std::uint8_t tipo);

// What kind of value a field is, to say what a word taken in its place became.
std::string field_words(RecordKind kind, std::size_t i);

// The lowest and highest value a field of `storage` takes.
std::pair<std::int64_t, std::int64_t> range_of(Storage storage);

// The errors of one reading: each code it recorded at the record that caused it.
class Explainer {
 public:
  Explainer(const Reading& reading, bool real) : r_(reading), real_(real) {}

  Explained run(const std::string& errore);

 private:
  const RunState& state() const { return r_.state(); }
  Diagnostic& error(std::int32_t code, Span at, std::string message,
                    std::optional<std::int32_t> position = std::nullopt) {
    Diagnostic d;
    d.severity = Severity::kError;
    d.code = code;
    d.at = at;
    d.message = std::move(message);
    d.position_m = position;
    out_.errors.push_back(std::move(d));
    return out_.errors.back();
  }
  Note note_at(const LoggedRecord& record, std::string message) const {
    return {r_.keyword_span(record), std::move(message)};
  }
  // The record's own lines: from its keyword to its last value read.
  Lines lines_of(const LoggedRecord& record) const {
    std::size_t last = r_.keyword_line(record);
    for (std::size_t i = 0; i < record.values.size(); ++i) {
      last = std::max(last, r_.line(record.file, r_.value(record, i)));
    }
    return {record.file, r_.keyword_line(record), last};
  }
  // The reading stopped at this error; `read_on` passes over what stopped it.
  void stopped(Diagnostic& d, std::optional<Lines> read_on) {
    if (out_.stopped_at) return;
    out_.stopped_at = d.at;
    out_.read_on = read_on;
    if (!real_) return;
    std::string what = "the reading stopped here: the compiled files hold only what came before";
    if (d.at.file == DescriptionFile::kLine) what += "; the train description was not read";
    if (out_.no_model) {
      what =
          "the reading stopped here, with no track built: no compiled file was written, and "
          "the train description was not read";
    }
    d.notes.push_back({std::nullopt, what});
  }
  // What stands in `cell`, in words, with a note at the record that put it there.
  std::string occupant(std::int64_t cell, std::vector<Note>& notes) const;
  std::optional<std::int32_t> number(const LoggedRecord& record, std::size_t i) const {
    return r_.number(record, i);
  }
  std::string name_of(const LoggedRecord& record) const {
    return std::string(kind_info(record.kind).name);
  }

  // The general section's and the line's records (errors_records.cpp).
  void general_code(const LoggedCode& code);
  void record_code(const LoggedCode& code, const LoggedRecord& record, int id);
  void cell_taken(const LoggedCode& code, const LoggedRecord& record, std::int64_t cell,
                  std::string what);
  void beyond_model(const LoggedCode& code, const LoggedRecord& record);

  // The stations (errors_stations.cpp).
  void station_code(const LoggedCode& code, const LoggedRecord& record, int id);

  // A field that could not be read (errors_fields.cpp).
  void read_failure(const LoggedFailure& failure);

  // The compile step after the reading (errors_completion.cpp).
  void chainage_codes();
  void completion_code(const LoggedCode& code);
  void stamp_check(const std::string& errore);

  // The record of `kind` before record `id`, or kNoRecord.
  int previous(int id, RecordKind kind) const {
    for (int i = id - 1; i >= 0; --i) {
      if (r_.record(i).kind == kind) return i;
    }
    return kNoRecord;
  }
  // The general section's codes are recorded once its record is read: the record they concern.
  int general_record(std::int32_t code) const {
    if (code == e::kLineLength) return last_of(K::kLineLength);
    if (code == e::kRepetitionFirstNotMultiple || code == e::kRepetitionSecondNotMultiple ||
        code == e::kRepetitionCodes) {
      return last_of(K::kSignalRepetition);
    }
    return kNoRecord;
  }
  int last_of(RecordKind kind) const {
    return previous(static_cast<int>(r_.log().records().size()), kind);
  }
  // The slowdowns read whole, in the order read; found once.
  const std::vector<int>& slowdowns() const {
    if (!slowdowns_) {
      slowdowns_.emplace();
      for (std::size_t id = 0; id < r_.log().records().size(); ++id) {
        const LoggedRecord& record = r_.log().records()[id];
        if (record.kind == K::kSlowdown && record.complete) {
          slowdowns_->push_back(static_cast<int>(id));
        }
      }
    }
    return *slowdowns_;
  }

  const Reading& r_;
  const bool real_;
  Explained out_;
  // The line description's record that set a code 15 the train reader then stopped at.
  int line_beyond_ = kNoRecord;
  mutable std::optional<std::vector<int>> slowdowns_;
};

}  // namespace binario::authoring::explanations

#endif  // BINARIO_AUTHORING_DIAGNOSTICS_EXPLAINER_H_
