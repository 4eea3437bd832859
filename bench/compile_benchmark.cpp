// The compile step, from description bytes in memory to the encoded route files, for this
// scenario and for generated lines of growing length.

#include <benchmark/benchmark.h>

#include <string>

#include "bench/generated_line.h"
#include "compiler/memorizza_percorso.h"
#include "scenario/writers.h"

namespace binario {
namespace {

// Encodes the files, as the compile step must, and keeps only their sizes.
class CountingSink final : public RouteFileSink {
 public:
  void begin(ScenarioFile) override {}
  void write(std::string_view bytes) override { bytes_ += bytes.size(); }
  void finish() override {}
  std::size_t bytes_ = 0;
};

void compile(benchmark::State& state, const std::string& line, const std::string& train) {
  std::size_t bytes = 0;
  for (auto _ : state) {
    RunState run;
    run.nome_linea = "Varelbo";
    run.numero_treno = "3874";
    DescriptionTexts descriptions(line, train);
    CountingSink sink;
    memorizza_percorso(run, 1, descriptions, sink);
    if (run.codice_errore != 0) {
      state.SkipWithError(("the compile step recorded error " + std::to_string(run.codice_errore) +
                           " at " + std::to_string(run.posizione_errore))
                              .c_str());
    }
    bytes = sink.bytes_;
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
}

void BM_CompileScenario(benchmark::State& state) {
  const std::string line = table_bytes(linea_table());
  const std::string train = table_bytes(treno_table());
  compile(state, line, train);
}
BENCHMARK(BM_CompileScenario)->Unit(benchmark::kMillisecond);

void BM_CompileGeneratedLine(benchmark::State& state) {
  const auto [line, train] = generated_line(static_cast<std::int32_t>(state.range(0)));
  compile(state, line, train);
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_CompileGeneratedLine)
    ->Arg(115)
    ->Arg(250)
    ->Arg(500)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace
}  // namespace binario

BENCHMARK_MAIN();
