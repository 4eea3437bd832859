#ifndef BINARIO_AUTHORING_DIAGNOSTICS_ERRORS_H_
#define BINARIO_AUTHORING_DIAGNOSTICS_ERRORS_H_

// The codes one compile step recorded, each as an error at the record that caused it, in the
// author's words, and how to read on past the record that stopped the reading.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "authoring/diagnostics/diagnostic.h"
#include "authoring/diagnostics/reading.h"

namespace binario::authoring {

// Lines `first` to `last` of one file.
struct Lines {
  DescriptionFile file;
  std::size_t first;
  std::size_t last;
};

struct Explained {
  std::vector<Diagnostic> errors;
  // The record at which the reading stopped, if it stopped before the end of both files.
  std::optional<Span> stopped_at;
  // The lines that, passed over, let a further reading go on past that record; none when
  // nothing further can be read.
  std::optional<Lines> read_on;
  // The line description gave no track model to read the train description against.
  bool no_model = false;
};

// `errore`: "1250" or "1251" when a stamp check failed, else empty. `real`: this is the reading
// whose outcome was compiled, and its errors say so where the reading stopped.
Explained explain_codes(const Reading& reading, const std::string& errore, bool real);

}  // namespace binario::authoring

#endif  // BINARIO_AUTHORING_DIAGNOSTICS_ERRORS_H_
