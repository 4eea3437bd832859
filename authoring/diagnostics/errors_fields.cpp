// A field the reader could not read (code 25): what it found, what the record wanted there,
// and what the author may have meant.

#include "authoring/diagnostics/explainer.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string>

#include "authoring/diagnostics/record_kinds.h"
#include "authoring/text/english.h"
#include "authoring/text/text.h"
#include "reader/field_reader.h"
#include "reader/numbers.h"
#include "reader/read_failure.h"

namespace binario::authoring::explanations {

void Explainer::read_failure(const LoggedFailure& failure) {
  const std::string last(r_.text(failure.file, failure.last));
  const Span at = r_.span(failure.file, failure.last);
  auto parses = [&] {
    try {
      FieldReader in(last);
      if (!in.at_end()) in.read_int32();
      return true;
    } catch (const ReadFailure&) {
      return false;
    }
  };
  const bool missing = failure.what.find("missing at the end") != std::string::npos;
  const bool quote = failure.what.find("quote") != std::string::npos;

  if (failure.record == kNoRecord) {
    // Failures outside a record: the general section's comments, the order of the chainage
    // references, the speed that fills the last cells.
    if (failure.file == DescriptionFile::kLine && missing) {
      Diagnostic& d = error(e::kReadFailure, at,
                            "the file ends within a run of comment lines in the general "
                            "section; end it with a line such as '[fine]'");
      stopped(d, std::nullopt);
      return;
    }
    if (failure.file == DescriptionFile::kLine) {
      for (K kind : {K::kChainageTre, K::kChainageDue, K::kChainageUno}) {
        const int id = last_of(kind);
        if (id == kNoRecord) continue;
        const LoggedRecord& record = r_.record(id);
        const std::int64_t second = number(record, 1).value_or(0);
        if (number(record, 2) == 1 && second + 100 > std::numeric_limits<std::int32_t>::max()) {
          Diagnostic& d =
              error(e::kReadFailure, r_.value_span(record, 1),
                    "the chainage reference's second value, " + std::to_string(second) +
                        ", with the 100 its flag 1 adds, does not fit 32 bits (at most " +
                        std::to_string(std::numeric_limits<std::int32_t>::max()) + ")");
          stopped(d, lines_of(record));
          return;
        }
      }
    }
    if (failure.file == DescriptionFile::kTrain) {
      if (const int id = last_of(K::kSpeed); id != kNoRecord) {
        const LoggedRecord& record = r_.record(id);
        Diagnostic& d = error(e::kReadFailure, r_.value_span(record, 1),
                              "a speed of " + std::to_string(number(record, 1).value_or(0)) +
                                  " km/h does not fit: it must lie from -2 to 1277 km/h");
        stopped(d, lines_of(record));
        return;
      }
    }
    Diagnostic& d = error(e::kReadFailure, at, "the reading failed: " + failure.what);
    stopped(d, std::nullopt);
    return;
  }

  const LoggedRecord& record = r_.record(failure.record);
  const KindInfo& info = kind_info(record.kind);
  const std::string keyword = r_.keyword_shown(record);
  const std::size_t n = record.values.size();
  const std::size_t total = info.fields.size();
  const std::size_t keyword_line = r_.keyword_line(record);
  // A field that only contains a keyword, a text or a heading read as one, is named as such.
  const std::string counted = std::to_string(n) + " of its " + std::to_string(total) + " values";
  const std::string of_values =
      is_written_keyword(record.kind, keyword)
          ? "'" + keyword + "' record has " + counted
          : "'" + keyword + "' is read as " + with_article(name_of(record)) +
                " record, since it contains its keyword, and has " + counted;
  if (missing) {
    Diagnostic& d =
        error(e::kReadFailure, r_.keyword_span(record), "the file ends inside this " + of_values);
    stopped(d, lines_of(record));
    return;
  }
  if (quote) {
    Diagnostic& d = error(e::kReadFailure, at,
                          failure.what.find("no closing") != std::string::npos
                              ? "the quoted text has no closing quote on its line"
                              : "only blanks may follow a closing quote before the comma");
    stopped(d, lines_of(record));
    return;
  }
  // A text longer than the data table holds; it may well not read as a number either.
  if (failure.what.find("65535") != std::string::npos) {
    Diagnostic& d =
        error(e::kReadFailure, at,
              "the " + possessive(name_of(record)) + " " + field_words(record.kind, n - 1) +
                  " is " + std::to_string(r_.text_value(record, n - 1).size()) +
                  " bytes long: the data table holds at most 65535");
    stopped(d, lines_of(record));
    return;
  }
  if (!parses()) {
    // A word where a number belongs: on a later line, the record is short.
    const std::size_t failing_line = r_.line(failure.file, failure.last);
    if (failing_line > keyword_line) {
      Diagnostic& d = error(e::kReadFailure, r_.keyword_span(record),
                            of_values + "; the next line's " + quoted(last) + " was read as its " +
                                field_words(record.kind, n));
      Lines lines = lines_of(record);
      lines.last = std::max(lines.first, failing_line - 1);
      stopped(d, lines);
      return;
    }
    const bool digits = !last.empty() && last.find_first_not_of("-0123456789") == std::string::npos;
    Diagnostic& d = error(
        e::kReadFailure, at,
        digits
            ? quoted(last) + " does not fit 32 bits: " + with_article(field_words(record.kind, n)) +
                  " must lie from -2147483648 to 2147483647"
            : quoted(last) + " is not a number: the " + field_words(record.kind, n) + " of " +
                  article(keyword) + " '" + keyword + "' record is a whole number" +
                  (info.fields.size() > n && info.fields[n].unit == "m" ? " of metres"
                                                                        : std::string()));
    stopped(d, lines_of(record));
    return;
  }

  if (record.kind == K::kSpeed && n == total) {
    // The speed in force fails as it fills the cells up to this record: it is the previous
    // record's speed.
    const int before = previous(failure.record, K::kSpeed);
    if (before != kNoRecord) {
      const LoggedRecord& culprit = r_.record(before);
      Diagnostic& d = error(e::kReadFailure, r_.value_span(culprit, 1),
                            "a speed of " + std::to_string(number(culprit, 1).value_or(0)) +
                                " km/h does not fit: it must lie from -2 to 1277 km/h");
      d.notes.push_back(note_at(record, "the failure came as this '" + keyword +
                                            "' filled the cells before it with that speed"));
      stopped(d, lines_of(culprit));
      return;
    }
  }
  if (record.kind == K::kSpeedBoards && n == total) {
    static const char* const kPairs[] = {"first", "second", "third"};
    for (std::size_t pair = 0; pair < 3; ++pair) {
      const std::int64_t s = number(record, 1 + pair).value_or(0);
      const std::int64_t d = number(record, 5 + pair).value_or(0);
      const double code = d / 5.0 + s * 20.0;
      if (round_half_even(code) < std::numeric_limits<std::int16_t>::min() ||
          round_half_even(code) > std::numeric_limits<std::int16_t>::max()) {
        Diagnostic& diagnostic =
            error(e::kReadFailure, r_.value_span(record, 1 + pair),
                  std::string("the ") + kPairs[pair] + " speed code of the boards, 20 x " +
                      std::to_string(s) + " + " + std::to_string(d) + " / 5, does not fit: " +
                      "it must lie from -32768 to 32767 (an s-side speed of at most 1638 km/h)");
        stopped(diagnostic, lines_of(record));
        return;
      }
    }
  }
  if (record.kind == K::kStation && n == 16) {
    const std::int64_t seconds =
        (std::int64_t{number(record, 13).value_or(0)} * 60 + number(record, 14).value_or(0)) * 60 +
        number(record, 15).value_or(0);
    Diagnostic& d =
        error(e::kReadFailure, r_.value_span(record, 13),
              "the station's time, " + std::to_string(seconds) + " seconds, does not fit 32 bits");
    stopped(d, lines_of(record));
    return;
  }
  if (record.kind == K::kStation && n == total) {
    Diagnostic& d = error(e::kReadFailure, r_.value_span(record, 2),
                          "the station's extent, its position and length, does not fit 32 bits");
    stopped(d, lines_of(record));
    return;
  }
  if (n > 0 && n <= total) {
    const auto [low, high] = range_of(info.fields[n - 1].storage);
    Diagnostic& d =
        error(e::kReadFailure, r_.value_span(record, n - 1),
              "the " + possessive(name_of(record)) + " " + field_words(record.kind, n - 1) + ", " +
                  shown(last) + ", does not fit: it must lie from " + std::to_string(low) + " to " +
                  std::to_string(high));
    stopped(d, lines_of(record));
    return;
  }
  Diagnostic& d = error(e::kReadFailure, at, "the reading failed: " + failure.what);
  stopped(d, lines_of(record));
}

}  // namespace binario::authoring::explanations
