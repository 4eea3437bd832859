#ifndef BINARIO_AUTHORING_DIAGNOSTICS_DIAGNOSE_H_
#define BINARIO_AUTHORING_DIAGNOSTICS_DIAGNOSE_H_

// Every problem of a pair of description files in one run. The compile step runs once for
// real, and what it recorded and wrote is the outcome; where its reading stopped at an error,
// further readings pass over the record at fault and go on, so that the problems after it are
// found as well. Those readings write nothing.

#include <cstdint>
#include <string>
#include <vector>

#include "authoring/diagnostics/account.h"
#include "authoring/diagnostics/diagnostic.h"
#include "authoring/diagnostics/provenance.h"
#include "authoring/text/source.h"
#include "compiler/memorizza_percorso.h"
#include "reader/track_model.h"

namespace binario::authoring {

struct Diagnosis {
  RunState state;  // as the compile step left it: what the compiled files hold
  CompileOutcome outcome;
  // Errors first found by a further reading say so in a note. Sorted by file and place.
  std::vector<Diagnostic> diagnostics;
  // Where each part of each cell came from.
  CellSources sources;
  // What the compile step's reading made of every line; empty unless asked for.
  std::vector<LineAccount> account;
};

// Compiles `line` and `train` for the scenario named `nome_linea`, `numero_treno`, writing the
// compiled files to `output`, and finds every problem; with `with_account`, gives the account
// of every line as well.
Diagnosis diagnose(const SourceText& line, const SourceText& train, const std::string& nome_linea,
                   const std::string& numero_treno, std::int32_t modo, RouteFileSink& output,
                   bool with_account = false);

}  // namespace binario::authoring

#endif  // BINARIO_AUTHORING_DIAGNOSTICS_DIAGNOSE_H_
