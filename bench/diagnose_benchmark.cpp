// The diagnosis binario check makes against the compile step alone, on the same descriptions:
// this scenario, and a pair whose line description holds 20,000 misspelt records.

#include <benchmark/benchmark.h>

#include <string>
#include <utility>

#include "authoring/diagnostics/diagnose.h"
#include "compiler/memorizza_percorso.h"
#include "scenario/writers.h"

namespace binario {
namespace {

std::pair<std::string, std::string> scenario() {
  return {table_bytes(linea_table()), table_bytes(treno_table())};
}

// A line of 100 km whose gradients are all misspelt, one a line, and a train on it.
std::pair<std::string, std::string> misspelt(int records) {
  std::string line = "[generale]\r\nlunghezza percorso, 100000\r\n[pendenze]\r\n";
  for (int i = 0; i < records; ++i) {
    line +=
        "pendenzza, " + std::to_string(i % 2000 * 50) + ", " + std::to_string(i % 25 - 12) + "\r\n";
  }
  line += "[fine]\r\n";
  const std::string train =
      "[generale]\r\naderenza, 0, 100\r\nvelocita, 0, 100\r\n"
      "stazione, 1000, 12, 400, 0,0,0, 0,0,0, 0,0,0, 15, 9,0,0, ALFA\r\n[fine]\r\n";
  return {line, train};
}

void compile(benchmark::State& state, const std::pair<std::string, std::string>& files) {
  for (auto _ : state) {
    RunState run;
    run.nome_linea = "Varelbo";
    run.numero_treno = "3874";
    DescriptionTexts descriptions(files.first, files.second);
    NoRouteFiles sink;
    memorizza_percorso(run, 1, descriptions, sink);
    benchmark::DoNotOptimize(run.codice_errore);
  }
}

void diagnose(benchmark::State& state, const std::pair<std::string, std::string>& files) {
  const authoring::SourceText line("Varelbo_linea.txt", files.first);
  const authoring::SourceText train("Varelbo_3874-.txt", files.second);
  for (auto _ : state) {
    NoRouteFiles sink;
    const authoring::Diagnosis diagnosis =
        authoring::diagnose(line, train, "Varelbo", "3874", 1, sink);
    benchmark::DoNotOptimize(diagnosis.diagnostics.size());
  }
}

void BM_CompileScenario(benchmark::State& state) { compile(state, scenario()); }
void BM_DiagnoseScenario(benchmark::State& state) { diagnose(state, scenario()); }
void BM_CompileMisspelt(benchmark::State& state) { compile(state, misspelt(20000)); }
void BM_DiagnoseMisspelt(benchmark::State& state) { diagnose(state, misspelt(20000)); }
BENCHMARK(BM_CompileScenario)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DiagnoseScenario)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompileMisspelt)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DiagnoseMisspelt)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace binario

BENCHMARK_MAIN();
