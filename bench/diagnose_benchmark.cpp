// The diagnosis binario check makes against the compile step alone, on the same descriptions:
// this scenario; a line description of 20,000 misspelt records; a train description of 19,000
// signals, each with its cells and approach marks to account for; and a pair whose 150 speed
// check points all take one cell, so that the diagnosis reads the descriptions on past each of
// them, as often as it ever does.

#include <benchmark/benchmark.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <string>
#include <utility>

#include "authoring/diagnostics/diagnose.h"
#include "compiler/memorizza_percorso.h"
#include "scenario/writers.h"

namespace binario {
namespace {

using Descriptions = std::pair<std::string, std::string>;

std::pair<std::string, std::string> scenario() {
  return {table_bytes(linea_table()), table_bytes(treno_table())};
}

std::string line_head(int km) {
  return "[generale]\r\nlunghezza percorso, " + std::to_string(km * 1000) + "\r\n[pendenze]\r\n";
}

const std::string kTrainHead = "[generale]\r\naderenza, 0, 100\r\nvelocita, 0, 100\r\n";

// A line of 100 km whose gradients are all misspelt, one a line, and a train on it.
Descriptions misspelt(int records) {
  std::string line = line_head(100);
  for (int i = 0; i < records; ++i) {
    line +=
        "pendenzza, " + std::to_string(i % 2000 * 50) + ", " + std::to_string(i % 25 - 12) + "\r\n";
  }
  line += "[fine]\r\n";
  const std::string train =
      kTrainHead + "stazione, 1000, 12, 400, 0,0,0, 0,0,0, 0,0,0, 15, 9,0,0, ALFA\r\n[fine]\r\n";
  return {line, train};
}

// A line of 1000 km and a signal every 50 m of it from 1550 m, each 50 m past its cell's start.
Descriptions signals(int records) {
  std::string train = kTrainHead;
  for (int i = 0; i < records; ++i) {
    train += "segnale, " + std::to_string(1550 + i * 50) + ", 1, 5, 1, 0, 0, 0, 0,0,0, 0\r\n";
  }
  return {line_head(1000) + "[fine]\r\n", train + "[fine]\r\n"};
}

// A line of 1000 km with a gradient every 50 m, and a train whose line speeds follow it, then
// `stops` speed check points in one cell: the reading stops at the second, and at each after it
// once the one before is passed over.
Descriptions stops(int records, int stops) {
  std::string line = line_head(1000);
  std::string train = kTrainHead;
  for (int i = 0; i < records; ++i) {
    line += "pendenza, " + std::to_string(i * 50) + ", " + std::to_string(i % 25 - 12) + "\r\n";
    train +=
        "velocita, " + std::to_string(i * 50) + ", " + std::to_string(100 + i % 5 * 5) + "\r\n";
  }
  for (int i = 0; i < stops; ++i) train += "abbattimento, 5000, 30\r\n";
  return {line + "[fine]\r\n", train + "[fine]\r\n"};
}

void compile(benchmark::State& state, const Descriptions& files) {
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

void diagnose(benchmark::State& state, const Descriptions& files) {
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
void BM_CompileSignals(benchmark::State& state) { compile(state, signals(19000)); }
void BM_DiagnoseSignals(benchmark::State& state) { diagnose(state, signals(19000)); }
void BM_CompileStops(benchmark::State& state) { compile(state, stops(20000, 150)); }
void BM_DiagnoseStops(benchmark::State& state) { diagnose(state, stops(20000, 150)); }
BENCHMARK(BM_CompileScenario)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DiagnoseScenario)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompileMisspelt)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DiagnoseMisspelt)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompileSignals)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DiagnoseSignals)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompileStops)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DiagnoseStops)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace binario

int main(int argc, char** argv) {
#if defined(__GLIBC__)
  // Both loops free what they allocate each iteration. By default glibc hands the top of its heap
  // back to the system once it passes a threshold that it moves as it goes, so that one loop may
  // pay for the same pages again in every iteration (faulting them in, zeroed) and the other not,
  // by the accident of what else stays allocated above them. Keeping the freed memory measures
  // the work of both, and nothing of the system's paging.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
#endif
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
