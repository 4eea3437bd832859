// The compile step, from description bytes in memory to the encoded route files, for this
// scenario and for generated lines of growing length.

#include <benchmark/benchmark.h>

#include <string>

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

// A line of `km` kilometres with a curve, a gradient change and a signal every kilometre, a
// station every 10 km, and a scenery span and a sign board every 20 km (up to the tables
// limits).
std::pair<std::string, std::string> generated_line(std::int32_t km) {
  const std::int32_t length = km * 1000;
  std::string line = "[generale]\r\nlunghezza percorso, " + std::to_string(length) + "\r\n";
  std::string curves = "[curve]\r\n", gradients = "[pendenze]\r\n", scenery = "[montagne]\r\n";
  std::string boards = "[indicazioni]\r\n";
  std::string train = "[generale]\r\naderenza, 0, 100\r\nvelocita, 0, 100\r\n";
  std::string signals, stations;
  int station = 0;
  for (std::int32_t p = 1000; p + 1000 < length; p += 1000) {
    curves += std::string(p % 2000 ? "curvas" : "curvad") + std::to_string(1 + p / 1000 % 6) +
              ", " + std::to_string(p) + ", 400\r\n";
    gradients +=
        "pendenza, " + std::to_string(p) + ", " + std::to_string(p / 1000 % 25 - 12) + "\r\n";
    if (p % 20000 == 10000) {  // the span tables hold 80 spans
      scenery +=
          "montagna, " + std::to_string(p + 500) + ", " + std::to_string(p + 3000) + ", 11\r\n";
    }
    if (p % 20000 == 0 && station < 40) {
      boards += "cartello_indicatore, " + std::to_string(p + 250) + ", (BOARD)\r\n";
    }
    if (p % 10000 == 5000 && station < 40) {
      ++station;
      stations += "stazione, " + std::to_string(p) +
                  ", 12, 400, 0,0,0, 0,0,0, 0,0,0, 15, 9,0,0, STAZIONE\r\n";
    } else if (p % 1000 == 0 && p % 10000 != 5000) {
      signals += "segnale, " + std::to_string(p + 550) + ", 1, 5, 1, 0, 0, 0, 0,0,0, 0\r\n";
    }
  }
  line += curves + gradients + scenery + boards + "[fine]\r\n";
  train += stations + signals + "[fine]\r\n";
  return {line, train};
}

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
