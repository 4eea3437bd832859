#ifndef BINARIO_AUTHORING_DIAGNOSTICS_RECORD_KINDS_H_
#define BINARIO_AUTHORING_DIAGNOSTICS_RECORD_KINDS_H_

// What an author writes for each kind of record: its keyword, its fields in order with their
// units and ranges, and the words the diagnostics use for them.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "authoring/text/source.h"
#include "reader/memorizza_dati.h"
#include "reader/observer.h"

namespace binario::authoring {

// How the reading stores a value field.
enum class Storage {
  kInt32,  // a 32-bit integer, as written
  kInt16,  // must fit a signed 16-bit field, or the reading fails
  kUint8,  // must fit an unsigned 8-bit field, or the reading fails
  kText,   // a text
};

struct FieldInfo {
  std::string_view name;  // in words: "position", "gradient"
  std::string_view unit;  // "m", "km/h", "" for none
  Storage storage = Storage::kInt32;
};

enum class Section { kGeneral, kBody, kTrain };

struct KindInfo {
  RecordKind kind;
  DescriptionFile file;
  Section section;
  std::string_view keyword;  // as an author writes it
  std::string_view name;     // in words: "gradient", "station"
  std::span<const FieldInfo> fields;
};

const KindInfo& kind_info(RecordKind kind);

// Every kind, in the order the readers test them.
std::span<const KindInfo> all_kinds();

// Whether the readers take `field`, where a keyword is expected, as a record of `kind`: the words
// they look for, as substrings.
bool recognised_as(RecordKind kind, std::string_view field);
// The same, with `field_lowered` as lowered(field) gives it, made once for all the kinds.
bool recognised_as(RecordKind kind, std::string_view field, std::string_view field_lowered);

// `text` with its letters lowered as the readers lower them to compare keywords.
std::string lowered(std::string_view text);

// Whether `field`, without its surrounding blanks and whatever its letter case, is the keyword
// of `kind` as an author writes it ("curvas4" for a curve, "progressiva chilometrica uno" ...).
bool is_written_keyword(RecordKind kind, std::string_view field);

// The edit distance of two texts, a swap of two neighbours counting as one edit.
std::size_t edit_distance(std::string_view a, std::string_view b);
// The same when it is at most `bound`, else bound + 1; in time of the shorter text's length
// times the bound.
std::size_t edit_distance_within(std::string_view a, std::string_view b, std::size_t bound);

// The keyword an author most likely meant by `field`, one or two typing mistakes away from
// one of `section`'s keywords; empty when none is that near.
std::string_view nearest_keyword(std::string_view field, Section section);

// The first line of `text` that looks like the heading '[generale]' without being one the
// reader finds, "[ generale ]", "[general]": its text's offsets, from its first character that
// is not blank to its last. Nothing when there is none.
std::optional<std::pair<std::size_t, std::size_t>> near_general_heading(const SourceText& text);

// What the author is told of such a line: why the reader found no heading in it.
std::string near_heading_words(std::string_view line);

}  // namespace binario::authoring

#endif  // BINARIO_AUTHORING_DIAGNOSTICS_RECORD_KINDS_H_
