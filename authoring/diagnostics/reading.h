#ifndef BINARIO_AUTHORING_DIAGNOSTICS_READING_H_
#define BINARIO_AUTHORING_DIAGNOSTICS_READING_H_

// One compile step as the diagnostics see it: the two description files as read, the model the
// step left and the log of everything it reported, with the helpers every check needs.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "authoring/diagnostics/diagnostic.h"
#include "authoring/diagnostics/reading_log.h"
#include "authoring/text/source.h"
#include "reader/track_model.h"

namespace binario::authoring {

class Reading {
 public:
  // `stand_in_line`: the line description read was a stand-in, so that the train description
  // could be read at all; nothing about the line may be concluded from this reading.
  Reading(const SourceText& line, const SourceText& train, const RunState& state,
          const ReadingLog& log, bool stand_in_line = false)
      : line_(line), train_(train), state_(state), log_(log), stand_in_line_(stand_in_line) {}

  const SourceText& source(DescriptionFile file) const {
    return file == DescriptionFile::kLine ? line_ : train_;
  }
  const RunState& state() const { return state_; }
  const ReadingLog& log() const { return log_; }
  bool stand_in_line() const { return stand_in_line_; }

  std::string_view text(DescriptionFile file, FieldSpan span) const {
    return source(file).text(span.begin, span.end);
  }
  Span span(DescriptionFile file, FieldSpan span) const { return {file, span.begin, span.end}; }
  std::size_t line(DescriptionFile file, FieldSpan span) const {
    return source(file).line_of(span.begin);
  }
  const LoggedField& field(DescriptionFile file, std::size_t index) const {
    return log_.fields(file)[index];
  }

  const LoggedRecord& record(int id) const { return log_.records()[static_cast<std::size_t>(id)]; }
  FieldSpan keyword(const LoggedRecord& record) const {
    return field(record.file, record.keyword).span;
  }
  Span keyword_span(const LoggedRecord& record) const { return span(record.file, keyword(record)); }
  std::size_t keyword_line(const LoggedRecord& record) const {
    return line(record.file, keyword(record));
  }
  // The keyword as the author wrote it, ready to quote.
  std::string keyword_shown(const LoggedRecord& record) const;
  FieldSpan value(const LoggedRecord& record, std::size_t i) const {
    return field(record.file, record.values[i]).span;
  }
  Span value_span(const LoggedRecord& record, std::size_t i) const {
    return span(record.file, value(record, i));
  }
  // Value i of the record as the reader took it, if it was read and is a number.
  std::optional<std::int32_t> number(const LoggedRecord& record, std::size_t i) const;
  // Text value i, without its quotes.
  std::string text_value(const LoggedRecord& record, std::size_t i) const;
  // "line 19", for notes that name a record of the same file.
  std::string line_words(const LoggedRecord& record) const {
    return "line " + std::to_string(keyword_line(record));
  }

 private:
  const SourceText& line_;
  const SourceText& train_;
  const RunState& state_;
  const ReadingLog& log_;
  const bool stand_in_line_;
};

// What a value field reads as, by the reader's rules: the number, 0 for an empty field,
// nothing for one that is no number.
std::optional<std::int32_t> field_number(std::string_view field);

// "8020 m", "-150 m".
std::string metres(std::int64_t m);

}  // namespace binario::authoring

#endif  // BINARIO_AUTHORING_DIAGNOSTICS_READING_H_
