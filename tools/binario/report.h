#ifndef BINARIO_TOOLS_BINARIO_REPORT_H_
#define BINARIO_TOOLS_BINARIO_REPORT_H_

// What binario prints about an outcome: diagnostics in words on standard error and the files
// written on standard output, or one JSON object on standard output.
//
// The JSON object, for every outcome:
//   {"codice_errore": 22 or null, "posizione_errore": 56850 or null, "errore": "1250" or null,
//    "files": ["compiled/Monte_linea.dat", ...],
//    "diagnostics": [{"severity": "error" | "warning" | "note",
//                     "code": 22 (an error's code) or "unknown-keyword" (a warning's name),
//                     "file": "Monte_linea.txt" or null, "line": 17 or null,
//                     "column": 1 or null, "message": "...", "position_m": 8000 or null,
//                     "notes": [{"file", "line", "column", "message"}]}]}
// codice_errore and posizione_errore are the model's after the compile step; they are null
// when there was none (usage and file failures).

#include <ostream>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "authoring/diagnostics/diagnose.h"
#include "authoring/text/source.h"

namespace binario::tool {

struct Report {
  const authoring::Diagnosis* diagnosis = nullptr;  // none for a usage or file failure
  const authoring::SourceText* line = nullptr;
  const authoring::SourceText* train = nullptr;
  std::vector<std::string> files;  // the compiled files written
  // Lines outside the diagnostics: a usage or file failure, a note about the output folder.
  std::vector<authoring::Diagnostic> extra;
};

void print_text(const Report& report, std::ostream& out, std::ostream& err);
void print_json(const Report& report, std::ostream& out);

// A failure that is no diagnostic of the files: `code` "usage", "io" or "compile".
authoring::Diagnostic failure(const std::string& code, const std::string& message);

// Reports a failure of a command as print_text or print_json would, and gives `status`.
int report_failure(bool json, int status, const std::string& message, std::ostream& out,
                   std::ostream& err);

// The diagnostics of `report`, as the JSON object's "diagnostics".
nlohmann::ordered_json diagnostics_json(const Report& report);

}  // namespace binario::tool

#endif  // BINARIO_TOOLS_BINARIO_REPORT_H_
