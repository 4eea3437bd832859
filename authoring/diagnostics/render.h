#ifndef BINARIO_AUTHORING_DIAGNOSTICS_RENDER_H_
#define BINARIO_AUTHORING_DIAGNOSTICS_RENDER_H_

// Diagnostics as compilers print them and editors read them:
//
//   Monte_linea.txt:17:1: error: 'pendenza' record has 1 of its 2 values ... [code 25]
//      17 | pendenza,  4000
//         | ^~~~~~~~
//   Monte_linea.txt:12:1: note: ...
//
// PATH as the command line gave it, LINE and COLUMN from 1, the source line with a caret under
// the field at fault. Texts from the files are shown as their Windows-1252 characters, in UTF-8.

#include <cstddef>
#include <string>
#include <vector>

#include "authoring/diagnostics/diagnostic.h"
#include "authoring/text/source.h"

namespace binario::authoring {

// The most diagnostics of one kind shown; the rest are counted in one line.
inline constexpr std::size_t kShownOfOneKind = 20;

std::string render(const std::vector<Diagnostic>& diagnostics, const SourceText& line,
                   const SourceText& train);

// "[code 25]" for an error, "[unknown-keyword]" for a warning.
std::string tag(const Diagnostic& diagnostic);

}  // namespace binario::authoring

#endif  // BINARIO_AUTHORING_DIAGNOSTICS_RENDER_H_
