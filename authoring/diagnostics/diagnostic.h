#ifndef BINARIO_AUTHORING_DIAGNOSTICS_DIAGNOSTIC_H_
#define BINARIO_AUTHORING_DIAGNOSTICS_DIAGNOSTIC_H_

// What an author is told: an error or a warning at a place in a description file, with notes
// that may point elsewhere.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "reader/memorizza_dati.h"

namespace binario::authoring {

enum class Severity { kError, kWarning, kNote };

// "error", "warning" or "note".
constexpr const char* severity_word(Severity severity) {
  return severity == Severity::kError     ? "error"
         : severity == Severity::kWarning ? "warning"
                                          : "note";
}

// Bytes `begin` to `end` of one of the two description files; an empty span points at `begin`.
struct Span {
  DescriptionFile file = DescriptionFile::kLine;
  std::size_t begin = 0;
  std::size_t end = 0;
};

struct Note {
  std::optional<Span> at;  // none: the note belongs to the diagnostic's own place
  std::string message;
};

struct Diagnostic {
  Severity severity = Severity::kWarning;
  // Errors: the code the reading or the compile step records (25, 1250 ...). Warnings: 0.
  std::int32_t code = 0;
  // Warnings: what kind of mistake it is, one word with dashes ("unknown-keyword").
  std::string check;
  // The place at fault, a field or a whole line. A file-wide problem has a span of the whole
  // file's start and `whole_file` set.
  Span at;
  bool whole_file = false;
  std::string message;
  std::optional<std::int32_t> position_m;  // the route position the problem concerns
  std::vector<Note> notes;
};

}  // namespace binario::authoring

#endif  // BINARIO_AUTHORING_DIAGNOSTICS_DIAGNOSTIC_H_
