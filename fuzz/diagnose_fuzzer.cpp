// The diagnostics and the account of every line on a pair of descriptions, split as for the
// compile target, with the property they live by: what they compile is byte for byte what the
// compile step compiles alone, and its error status is the same. Any difference aborts.

#include <cstdlib>
#include <map>
#include <string>
#include <string_view>

#include "authoring/diagnostics/diagnose.h"
#include "authoring/diagnostics/render.h"
#include "fuzz/descriptions.h"
#include "fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace binario;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = input.find('\0');
  const std::string line(input.substr(0, split));
  const std::string train(split == std::string_view::npos ? "" : input.substr(split + 1));
  const std::int32_t modo = size > 0 && (data[size - 1] & 1) ? 0 : 1;

  const authoring::SourceText line_text("line.txt", line);
  const authoring::SourceText train_text("train.txt", train);
  RouteFilesInMemory watched;
  const authoring::Diagnosis diagnosis =
      authoring::diagnose(line_text, train_text, "Varelbo", "3874", modo, watched, true);
  authoring::render(diagnosis.diagnostics, line_text, train_text);

  RunState alone = fuzz::identity();
  fuzz::Descriptions files(line, train);
  RouteFilesInMemory output;
  memorizza_percorso(alone, modo, files, output);
  if (output.files != watched.files || alone.codice_errore != diagnosis.state.codice_errore ||
      alone.posizione_errore != diagnosis.state.posizione_errore) {
    std::abort();
  }
  return 0;
}
