#include "authoring/diagnostics/reading.h"

#include <algorithm>

#include "authoring/text/text.h"
#include "reader/field_reader.h"
#include "reader/read_failure.h"

namespace binario::authoring {

std::string Reading::keyword_shown(const LoggedRecord& record) const {
  std::string_view text = this->text(record.file, keyword(record));
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return shown(text);
}

std::optional<std::int32_t> field_number(std::string_view field) {
  // Most fields are a minus sign or none and at most nine digits, and read as that number.
  const std::size_t digits = field.starts_with('-') ? 1 : 0;
  if (field.size() > digits && field.size() - digits <= 9 &&
      std::all_of(field.begin() + digits, field.end(),
                  [](char c) { return c >= '0' && c <= '9'; })) {
    std::int32_t n = 0;
    for (char c : field.substr(digits)) n = n * 10 + (c - '0');
    return digits == 1 ? -n : n;
  }
  // The reader's own rules, on the field as it stands.
  try {
    FieldReader in(field);
    if (in.at_end()) return 0;
    return in.read_int32();
  } catch (const ReadFailure&) {
    return std::nullopt;
  }
}

std::optional<std::int32_t> Reading::number(const LoggedRecord& record, std::size_t i) const {
  if (i >= record.values.size()) return std::nullopt;
  return field_number(text(record.file, value(record, i)));
}

std::string Reading::text_value(const LoggedRecord& record, std::size_t i) const {
  if (i >= record.values.size()) return "";
  try {
    FieldReader in(text(record.file, value(record, i)));
    return in.at_end() ? "" : in.read_text();
  } catch (const ReadFailure&) {
    return std::string(text(record.file, value(record, i)));
  }
}

std::string metres(std::int64_t m) { return std::to_string(m) + " m"; }

}  // namespace binario::authoring
