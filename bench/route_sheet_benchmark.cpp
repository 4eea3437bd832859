// The route sheet's renderer, from a compiled route in memory to the page and to the SVG, for
// this scenario and for generated lines of growing length. How long a browser takes to draw
// the page is measured by bench/route_sheet_browser.py, which asks this program for the
// description files of a long line:
//
//   route_sheet_benchmark --write-descriptions FOLDER KM
//
// writes FOLDER/Lunga_linea.txt and FOLDER/Lunga_1-.txt, a line of KM kilometres.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>

#include "authoring/route/compiled_files.h"
#include "authoring/sheet/route_sheet.h"
#include "bench/generated_line.h"
#include "compiler/memorizza_percorso.h"
#include "compiler/route_files.h"
#include "io/files.h"
#include "scenario/writers.h"

namespace binario {
namespace {

// The route the compile step makes of two descriptions, as binario view reads it.
authoring::CompiledRoute compiled(const std::string& line, const std::string& train) {
  RunState run;
  run.nome_linea = "Lunga";
  run.numero_treno = "1";
  DescriptionTexts descriptions(line, train);
  NoRouteFiles nowhere;
  memorizza_percorso(run, 1, descriptions, nowhere);
  authoring::CompiledRoute route;
  route.pianta = authoring::decode_line_plan(encode_line_plan(run.pianta));
  route.tabella_dati = authoring::decode_general_data(encode_general_data(run.tabella_dati));
  route.celle = authoring::decode_track(encode_track(run.celle));
  return route;
}

void sheet(benchmark::State& state, const authoring::CompiledRoute& route, bool svg) {
  authoring::SheetInput input;
  input.route = &route;
  input.title = "Lunga, train 1";
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::string page =
        svg ? authoring::route_sheet_svg(input) : authoring::route_sheet_html(input);
    bytes = page.size();
    benchmark::DoNotOptimize(page.data());
  }
  state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_RouteSheetScenario(benchmark::State& state) {
  const authoring::CompiledRoute route =
      compiled(table_bytes(linea_table()), table_bytes(treno_table()));
  sheet(state, route, false);
}
BENCHMARK(BM_RouteSheetScenario)->Unit(benchmark::kMillisecond);

void BM_RouteSheetGeneratedLine(benchmark::State& state) {
  const auto [line, train] = generated_line(static_cast<std::int32_t>(state.range(0)));
  sheet(state, compiled(line, train), false);
}
BENCHMARK(BM_RouteSheetGeneratedLine)->Arg(115)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_RouteSheetSvgGeneratedLine(benchmark::State& state) {
  const auto [line, train] = generated_line(static_cast<std::int32_t>(state.range(0)));
  sheet(state, compiled(line, train), true);
}
BENCHMARK(BM_RouteSheetSvgGeneratedLine)->Arg(1000)->Unit(benchmark::kMillisecond);

int write_descriptions(const char* folder, const char* km) {
  const int kilometres = std::atoi(km);
  if (kilometres < 1 || kilometres > 1000) {
    std::cerr << "route_sheet_benchmark: KM is 1 to 1000\n";
    return 2;
  }
  const auto [line, train] = generated_line(kilometres);
  try {
    std::filesystem::create_directories(folder);
    replace_file((std::filesystem::path(folder) / "Lunga_linea.txt").string(), line);
    replace_file((std::filesystem::path(folder) / "Lunga_1-.txt").string(), train);
  } catch (const std::exception& failure) {
    std::cerr << "route_sheet_benchmark: " << failure.what() << "\n";
    return 1;
  }
  return 0;
}

}  // namespace
}  // namespace binario

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--write-descriptions") == 0) {
    return binario::write_descriptions(argv[2], argv[3]);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
