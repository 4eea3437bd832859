// The fields and records as the reading took them: keywords unknown or out of place, prose
// read as a record, a record spread over lines, fields left over or taken as text.

#include "authoring/diagnostics/checker.h"

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "authoring/diagnostics/record_kinds.h"
#include "authoring/text/english.h"
#include "authoring/text/text.h"
#include "reader/keywords.h"

namespace binario::authoring::checks {

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
    const std::span<const int> records = records_begun_at(i);
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
    } else if (records.size() == 1 && !is_written_keyword(record.kind, text)) {
      keyword_variant(i, record);
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

namespace {

// The word of `text` that holds byte `at`: "destra" for the 's' of "curva destra 4".
std::string_view word_at(std::string_view text, std::size_t at) {
  const std::size_t before = text.find_last_of(" \t", at);
  const std::size_t begin = before == std::string_view::npos ? 0 : before + 1;
  const std::size_t end = std::min(text.find_first_of(" \t", at), text.size());
  return text.substr(begin, end - begin);
}

// Where a line begins with a dash that is not the hyphen a comment line needs: what to tell
// the author, "" when it does not.
std::string dash_hint(std::string_view text) {
  static constexpr std::pair<std::string_view, std::string_view> kDashes[] = {
      {"\x96", "an en dash"},
      {"\x97", "an em dash"},
      {"\xE2\x80\x93", "an en dash"},
      {"\xE2\x80\x94", "an em dash"}};
  for (const auto& [dash, name] : kDashes) {
    if (text.starts_with(dash)) {
      return "; it begins with " + quoted(dash) + ", " + std::string(name) +
             ", not the hyphen '-' that makes a line a comment";
    }
  }
  return "";
}

// Where quotes stand in the fields, which an author may take to keep a comma inside a text:
// what to tell the author, "" when none does.
std::string quote_hint(std::string_view a, std::string_view b) {
  for (std::string_view quote :
       {"\"", "\x93", "\x94", "\xE2\x80\x9C", "\xE2\x80\x9D", "\xAB", "\xBB"}) {
    if (a.find(quote) != std::string_view::npos || b.find(quote) != std::string_view::npos) {
      return "; quotes do not keep a comma inside a text: the comma ends the field all the same";
    }
  }
  return "";
}

}  // namespace

// A keyword written otherwise than the record's own, read as that record all the same: what
// was read from it, and why.
void Checker::keyword_variant(std::size_t i, const LoggedRecord& record) {
  const std::string_view text = trimmed(text_of(i));
  const std::string kind(kind_info(record.kind).name);
  if (record.kind == K::kCurve) {
    // The class is the first of the digits 1 to 6, tried in that order, that the keyword holds;
    // an 's' anywhere in it, of either case, turns the curve left.
    std::size_t digit = std::string_view::npos;
    for (char d = '1'; d <= '6' && digit == std::string_view::npos; ++d) digit = text.find(d);
    if (digit == std::string_view::npos) return;  // no class: the reading's error says so
    const std::size_t s = text.find_first_of("sS");
    const std::string class_digit(1, text[digit]);
    const std::string read =
        std::string("curva") + (s == std::string_view::npos ? "d" : "s") + class_digit;
    auto in_word = [&](std::size_t at) {
      const std::string_view word = word_at(text, at);
      return word.size() > 1 ? " (in " + quoted(word) + ")" : std::string();
    };
    const std::string why =
        "its class is the first of the digits 1 to 6, tried in that order, that the keyword "
        "holds: " +
        class_digit + in_word(digit) + "; and " +
        (s == std::string_view::npos ? "it turns right, since no 's' stands in it"
                                     : "it turns left, since an 's' stands in it" + in_word(s));
    std::string meant(text.substr(0, std::min<std::size_t>(text.size(), 7)));
    for (char& c : meant) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (is_written_keyword(K::kCurve, meant) && meant != read) {
      warn("keyword-spelling", span_of(i),
           quoted(text) + " is read as " + quoted(read) + ", not as " + quoted(meant) + ": " + why +
               "; write " + quoted(meant) + " alone");
    } else if (meant == read) {
      warn("keyword-spelling", span_of(i),
           quoted(text) + " is read as " + quoted(read) + ": " + why +
               ", and the rest changes nothing; write " + quoted(read) + " alone");
    } else {
      warn("keyword-spelling", span_of(i),
           quoted(text) + " is read as " + quoted(read) + ", a curve of class " + class_digit +
               " to the " + (s == std::string_view::npos ? "right" : "left") + ": " + why +
               "; write 'curvas" + class_digit + "' for a curve to the left, 'curvad" +
               class_digit + "' for one to the right");
    }
    return;
  }
  if (record.kind == K::kSignalRepetition) {
    // Four codes when the keyword holds a 4, else nine when it holds a 9; neither is an error.
    const char codes = text.find('4') != std::string_view::npos   ? '4'
                       : text.find('9') != std::string_view::npos ? '9'
                                                                  : '\0';
    if (codes == '\0') return;  // the reading's error says so
    const std::string written = std::string("ripetizione segnali ") + codes + " codici";
    warn("keyword-spelling", span_of(i),
         quoted(text) + " is read as " + quoted(written) + ", since it holds 'ripetizione', " +
             "'segnali' and a " + codes + "; write it " + quoted(written));
    return;
  }
  // A field after others on its line is no comment line: a text or a value out of place.
  if (!first_on_line(i)) {
    warn("keyword-spelling", span_of(i),
         quoted(text) + " is read as " + article(kind) + " " + kind +
             " record, since it contains its keyword; it follows other fields on its line, where "
             "the record before it ended: is it a text with a comma, which needs double quotes "
             "around it, or a record of the other file?");
    return;
  }
  const std::string dash = dash_hint(text);
  const bool comment = !dash.empty() || looks_like_comment(text);
  warn(comment ? "comment-read-as-record" : "keyword-spelling", span_of(i),
       quoted(text) + " is read as " + article(kind) + " " + kind +
           " record, since it contains its keyword" +
           (comment ? "; a comment line needs a '-' and no comma to be passed over" + dash
                    : "; write it '" + std::string(kind_info(record.kind).keyword) + "'") +
           (kind_info(record.kind).section == Section::kGeneral &&
                    text.find('[') != std::string_view::npos &&
                    text.find(']') != std::string_view::npos && !text.starts_with('-')
                ? "; its '[' and ']' end the general section too, so the general records "
                  "below it are not read"
                : ""));
}

void Checker::unmatched(std::size_t i) {
  const std::string_view text = trimmed(text_of(i));
  if (text.empty() || fields_[i].span.begin == fields_[i].span.end) return;
  if (text.front() == '[' && text.find(']') != std::string_view::npos) return;  // a heading
  if (!quieten(line_of(i))) return;
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
              " record: it was read where the next keyword belongs, and matched none" +
              quote_hint(text_of(i), text_of(before)));
    } else {
      warn("surplus-field", span_of(i),
           quoted(text) +
               " stands after another field on this line where a keyword belongs, "
               "and matches none: one record a line, each with exactly its values" +
               quote_hint(text_of(i), text_of(before)));
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
      // The section ends at the first field that holds '[' and ']', a keyword's too.
      if (auto end = r_.log().body_start()) {
        // The keyword whose values were read last, when a record's keyword ended it.
        while (*end > 0 && r_.field(file_, *end).role == FieldRole::kValue) --*end;
        const FieldSpan span = r_.field(file_, *end).span;
        const std::string_view ended = trimmed(r_.text(file_, span));
        if (!ended.starts_with('[')) {
          where = "a record of the general section, which ended at line " +
                  std::to_string(r_.line(file_, span)) + ", at " + quoted(ended) +
                  ", since it holds '[' and ']'";
        }
      }
    }
    warn("misplaced-record", span_of(i),
         quoted(text) + " is " + where + ": here it is not read, so this " + kind + " is lost");
    return;
  }
  std::string message =
      quoted(text) + " matches no keyword, so the line is passed over" + dash_hint(text);
  if (const std::string_view near = nearest_keyword(text, section); !near.empty()) {
    message += "; did you mean '" + std::string(near) + "'?";
  }
  warn("unknown-keyword", span_of(i), message);
}

// A record whose values run onto the next line, and a text that took a keyword or a number.
void Checker::spread(const LoggedRecord& record, int id) {
  const std::size_t line = line_of(record.keyword);
  const KindInfo& info = kind_info(record.kind);
  std::size_t on_line = 0;
  while (on_line < record.values.size() && line_of(record.values[on_line]) == line) {
    ++on_line;
  }
  // A record a failure cut short is the error's to explain.
  const bool failed = r_.log().failure() && r_.log().failure()->record == id;
  // The lines it took values from are explained by this warning or the error.
  for (std::size_t i = on_line; i < record.values.size(); ++i) {
    quieten(line_of(record.values[i]));
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
           "the " + possessive(info.name) + " " + name + " is " + quoted(text) +
               ", a number: is a value missing before it?");
    } else if (!kinds_in(Section::kTrain, text).empty() ||
               !kinds_in(Section::kBody, text).empty()) {
      // A station's name of several words, or a board's text in its brackets, says what it
      // says: a keyword among its words is the author's meaning, not a field gone astray.
      if (record.kind == K::kStation && text.find(' ') != std::string::npos) continue;
      if (record.kind == K::kSignBoard && trimmed(text).starts_with("(")) continue;
      warn("text-field", r_.value_span(record, i),
           "the " + possessive(info.name) + " " + name + " is " + quoted(text) +
               ", which is a keyword: is the " + name + " missing?");
    }
  }
}

}  // namespace binario::authoring::checks
