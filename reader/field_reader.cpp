#include "reader/field_reader.h"

#include <algorithm>
#include <limits>

namespace binario {

namespace {

constexpr bool is_line_end(char c) { return c == '\r' || c == '\n'; }

}  // namespace

bool FieldReader::at_field_end() const {
  return at_end() || bytes_[position_] == ',' || is_line_end(bytes_[position_]);
}

void FieldReader::skip_blanks() {
  while (!at_end() && is_blank(bytes_[position_])) ++position_;
}

void FieldReader::skip_separator() {
  skip_blanks();
  if (at_end()) return;
  const char c = bytes_[position_];
  if (c == ',') {
    ++position_;
  } else if (c == '\r') {
    ++position_;
    if (!at_end() && bytes_[position_] == '\n') ++position_;
  } else if (c == '\n') {
    ++position_;
  }
  // Anything else starts the next field: numbers may be separated by blanks alone.
}

std::string FieldReader::where(std::size_t position) const {
  const std::string_view before = bytes_.substr(0, position);
  const std::size_t line =
      1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
  const std::size_t line_start = before.find_last_of('\n');
  const std::size_t column =
      position - (line_start == std::string_view::npos ? 0 : line_start + 1) + 1;
  return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

std::string FieldReader::read_text() {
  last_ = {position_, position_};
  if (at_end()) throw ReadFailure("a field is missing at the end of the file");
  skip_blanks();
  last_ = {position_, position_};
  std::string text;
  if (!at_end() && bytes_[position_] == '"') {
    const std::size_t opening = position_++;
    while (!at_end() && bytes_[position_] != '"' && !is_line_end(bytes_[position_])) {
      text += bytes_[position_++];
    }
    if (at_end() || bytes_[position_] != '"') {
      last_.end = position_;
      throw ReadFailure(where(opening) + ": the quoted text has no closing quote");
    }
    ++position_;
    last_.end = position_;
    skip_blanks();
    if (!at_field_end()) {
      last_.end = position_;
      throw ReadFailure(where(position_) + ": text after the closing quote");
    }
  } else {
    while (!at_field_end()) text += bytes_[position_++];
    last_.end = position_;
  }
  skip_separator();
  return text;
}

std::int32_t FieldReader::read_int32() {
  last_ = {position_, position_};
  if (at_end()) throw ReadFailure("a number is missing at the end of the file");
  skip_blanks();
  const std::size_t start = position_;
  while (!at_field_end() && !is_blank(bytes_[position_])) ++position_;
  last_ = {start, position_};
  const std::string_view digits = bytes_.substr(start, position_ - start);
  skip_separator();
  if (digits.empty()) return 0;

  const bool negative = digits.front() == '-';
  const std::string_view magnitude = negative ? digits.substr(1) : digits;
  std::int64_t value = 0;
  bool valid = !magnitude.empty();
  for (char c : magnitude) {
    if (c < '0' || c > '9') {
      valid = false;
      break;
    }
    value = value * 10 + (c - '0');
    if (value > std::int64_t{1} << 31) {
      valid = false;  // too large for 32 bits whatever the sign
      break;
    }
  }
  if (valid) value = negative ? -value : value;
  if (!valid || value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max()) {
    throw ReadFailure(where(start) + ": \"" + std::string(digits) +
                      "\" is not a number of 32 bits");
  }
  return static_cast<std::int32_t>(value);
}

}  // namespace binario
