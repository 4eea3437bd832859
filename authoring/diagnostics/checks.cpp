#include "authoring/diagnostics/checks.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include "authoring/diagnostics/checker.h"
#include "authoring/diagnostics/record_kinds.h"
#include "authoring/text/text.h"
#include "reader/error_codes.h"
#include "reader/field_reader.h"
#include "reader/read_failure.h"

namespace binario::authoring {

namespace checks {

std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool is_number(std::string_view text) {
  // A field whose first character past its blanks is neither a digit, a minus sign nor its end
  // is no number: the reader's failure on it, an exception, is not worth its cost.
  if (const std::size_t first = text.find_first_not_of(" \t"); first != std::string_view::npos) {
    const char c = text[first];
    if (c != '-' && (c < '0' || c > '9') && c != ',' && c != '\r' && c != '\n') return false;
  }
  try {
    FieldReader in(text);
    if (in.at_end()) return false;
    in.read_int32();
    return in.at_end();
  } catch (const ReadFailure&) {
    return false;
  }
}

bool looks_like_comment(std::string_view text) {
  const std::string_view t = trimmed(text);
  if (t.empty()) return false;
  if (std::string_view("#;/*'!%").find(t.front()) != std::string_view::npos) return true;
  return std::count(t.begin(), t.end(), ' ') >= 3;
}

Checker::Checker(const Reading& reading, DescriptionFile file)
    : r_(reading), file_(file), fields_(reading.log().fields(file)) {
  // The line of each field, found once: the fields come in the order of the file.
  const SourceText& source = r_.source(file_);
  lines_.reserve(fields_.size());
  std::size_t line = 1;
  for (const LoggedField& field : fields_) {
    const std::size_t at = field.span.begin;
    if (at < source.line_begin(line)) line = source.line_of(at);
    while (line < source.line_count() && source.line_begin(line + 1) <= at) ++line;
    lines_.push_back(line);
  }
  quiet_.assign(source.line_count() + 1, false);
  const std::vector<LoggedRecord>& records = r_.log().records();
  keyword_start_.assign(fields_.size() + 1, 0);
  for (const LoggedRecord& record : records) {
    if (record.file == file_) ++keyword_start_[record.keyword + 1];
  }
  std::partial_sum(keyword_start_.begin(), keyword_start_.end(), keyword_start_.begin());
  keyword_records_.resize(keyword_start_.back());
  std::vector<std::size_t> next(keyword_start_.begin(), keyword_start_.end() - 1);
  for (std::size_t id = 0; id < records.size(); ++id) {
    if (records[id].file != file_) continue;
    keyword_records_[next[records[id].keyword]++] = static_cast<int>(id);
  }
  with_code_.assign(records.size(), false);
  for (const LoggedCode& code : r_.log().codes()) {
    if (code.record >= 0) with_code_[static_cast<std::size_t>(code.record)] = true;
    end_never_found_ =
        end_never_found_ || (code.code == error_code::kNoPlaceForRunMarker &&
                             code.position.value_or(0) / kCellLength >= r_.state().numero_celle);
  }
  if (!r_.stand_in_line()) {
    for (const LoggedRecord& record : records) {
      if (record.kind == K::kLineLength && record.complete) line_length_ = r_.number(record, 0);
    }
  }
}

std::vector<K> kinds_in(Section section, std::string_view field) {
  std::vector<K> kinds;
  const std::string lower = lowered(field);
  for (const KindInfo& info : all_kinds()) {
    if (info.section == section && recognised_as(info.kind, field, lower)) {
      kinds.push_back(info.kind);
    }
  }
  return kinds;
}

}  // namespace checks

std::vector<Diagnostic> check_reading(const Reading& reading, DescriptionFile file, bool whole) {
  return checks::Checker(reading, file).run(whole);
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
  std::size_t last_undefined_line = 0;
  for (std::size_t i = bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0; i < bytes.size(); ++i) {
    // ASCII and no NUL has nothing to tell: passed over eight bytes at a time where it can be.
    while (i + 8 <= bytes.size()) {
      std::uint64_t eight;
      std::memcpy(&eight, bytes.data() + i, 8);
      constexpr std::uint64_t kLow = 0x0101010101010101, kHigh = 0x8080808080808080;
      if (((eight | ((eight - kLow) & ~eight)) & kHigh) != 0) break;  // a byte past 0x7F, or a 0
      i += 8;
    }
    if (i == bytes.size()) break;
    if (const auto c = static_cast<unsigned char>(bytes[i]); c != 0 && c < 0x80) continue;
    const std::size_t length = utf8_sequence(std::string_view(bytes).substr(i));
    if (length == 0) {
      // A NUL, or one of the five bytes Windows-1252 defines no character for, goes into the
      // compiled files as it is: once a line.
      const auto byte = static_cast<unsigned char>(bytes[i]);
      const bool undefined =
          byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
      if ((byte == 0 || undefined) && text.line_of(i) != last_undefined_line) {
        last_undefined_line = text.line_of(i);
        warn({file, i, i + 1},
             std::string(byte == 0 ? "a NUL byte" : "the byte " + shown(bytes.substr(i, 1))) +
                 " stands here, which is no Windows-1252 character: the reader takes it as it "
                 "is, and a text that holds it goes into the compiled files with it; delete it");
      }
      continue;
    }
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
