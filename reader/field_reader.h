#ifndef BINARIO_READER_FIELD_READER_H_
#define BINARIO_READER_FIELD_READER_H_

// Reads a description file field by field, as the readers take it.
//
// - A field ends at a comma or at a line end (CR LF, LF or CR); leading blanks are skipped.
// - A text field runs to the comma or the line end and keeps any blanks before it. Enclosed
//   in double quotes it may hold commas; the quotes are not part of the text, and only blanks
//   may stand between the closing quote and the field's end.
// - A numeric field also ends at a blank: "8   59   30" is three fields. Blanks after a number
//   belong to the separator, so "  0    ,0" is two fields. An empty numeric field reads as 0.
//   A number is a decimal integer with an optional minus sign that fits 32 bits.
// - The reader is "at the end" when nothing follows the last field read; reading beyond that,
//   a number that is not one and an unterminated quote are ReadFailures.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "reader/numbers.h"
#include "reader/observer.h"

namespace binario {

class FieldReader {
 public:
  explicit FieldReader(std::string_view bytes) : bytes_(bytes) {}

  // True when no data follows the last field read.
  bool at_end() const { return position_ >= bytes_.size(); }

  std::string read_text();
  std::int32_t read_int32();

  // A number that must fit T (a narrower field), else a ReadFailure.
  template <typename T>
  T read_int() {
    return must_fit<T>(read_int32());
  }

  // Where the field read last stands, also when reading it failed.
  FieldSpan last_field() const { return last_; }

 private:
  bool at_field_end() const;
  void skip_blanks();
  // Consumes what ends the field just read: blanks, then a comma or a line end.
  void skip_separator();
  // "line 12, column 5": where the reader stands, for the reports of failures.
  std::string where(std::size_t position) const;

  std::string_view bytes_;
  std::size_t position_ = 0;
  FieldSpan last_;
};

// Whether a byte counts as a blank between fields: a space or a tab.
constexpr bool is_blank(char c) { return c == ' ' || c == '\t'; }

}  // namespace binario

#endif  // BINARIO_READER_FIELD_READER_H_
