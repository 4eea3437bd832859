#ifndef BINARIO_AUTHORING_DIAGNOSTICS_CHECKS_H_
#define BINARIO_AUTHORING_DIAGNOSTICS_CHECKS_H_

// The warnings: what the reading takes without a word that an author almost certainly did not
// mean. None of them changes what is compiled.

#include <vector>

#include "authoring/diagnostics/diagnostic.h"
#include "authoring/diagnostics/reading.h"
#include "authoring/text/source.h"

namespace binario::authoring {

// The warnings about the fields and records of `file` as this reading took them and, when
// `whole` (the reading went as far as it could), about the order of its records and the model
// it built from them.
std::vector<Diagnostic> check_reading(const Reading& reading, DescriptionFile file, bool whole);

// The warnings about a file's bytes: text that is not Windows-1252.
std::vector<Diagnostic> check_encoding(const SourceText& text, DescriptionFile file);

}  // namespace binario::authoring

#endif  // BINARIO_AUTHORING_DIAGNOSTICS_CHECKS_H_
