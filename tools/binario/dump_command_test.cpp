// binario dump and binario diff, run as an author runs them.

#include <bit>
#include <cmath>
#include <filesystem>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "authoring/route/compiled_files.h"
#include "authoring/route/route_names.h"
#include "authoring/text/text.h"
#include "compiler/route_files.h"
#include "reader/reader_test_support.h"
#include "testing/test_files.h"
#include "tools/binario/binario.h"
#include "tools/binario/binario_test_support.h"

namespace binario::tool {
namespace {

using testing::binario;
using testing::Invocation;
using testing::kSeparator;

using binario::testing::read_file;
using binario::testing::small_line;
using binario::testing::small_train;
using binario::testing::TempFolder;
using binario::testing::write_file;
using nlohmann::json;

const std::string kCompiled = COMPILER_TESTDATA;

std::string replace_all(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
    text.replace(at, from.size(), to);
  }
  return text;
}

std::vector<std::string> varelbo(std::vector<std::string> more = {}) {
  std::vector<std::string> arguments = {"dump",    kCompiled,        "--line-name",
                                        "Varelbo", "--train-number", "3874"};
  arguments.insert(arguments.end(), more.begin(), more.end());
  return arguments;
}

// The golden file holds what `binario dump compiler/testdata --line-name Varelbo
// --train-number 3874` prints from the repository's root.
TEST(BinarioDump, TheScenarioAsTheGoldenFileHasIt) {
  const Invocation run = binario(varelbo());
  EXPECT_EQ(run.status, kClean);
  EXPECT_EQ(run.err, "");
  const std::string shown = replace_all(run.out, kCompiled + kSeparator, "compiler/testdata/");
  const std::string golden =
      read_file(std::filesystem::path(BINARIO_TESTDATA) / "Varelbo_3874_dump.txt");
  EXPECT_TRUE(shown == golden) << "to compare: build/release/bin/binario dump compiler/testdata "
                                  "--line-name Varelbo --train-number 3874 | diff - "
                                  "tools/binario/testdata/Varelbo_3874_dump.txt";
}

// --from compiles in memory what binario compile would write, and writes nothing.
TEST(BinarioDump, FromTheDescriptionsAsFromTheirCompiledFiles) {
  TempFolder folder;
  const std::filesystem::path descriptions = SCENARIO_TESTDATA;
  const std::string line = folder.file("line.txt");
  const std::string train = folder.file("train.txt");
  write_file(line, read_file(descriptions / "Varelbo_linea.txt"));
  write_file(train, read_file(descriptions / "Varelbo_3874-.txt"));
  const Invocation from = binario({"dump", "--from", line, train, "--line-name", "Varelbo",
                                   "--train-number", "3874", "--json"});
  const Invocation files = binario(varelbo({"--json"}));
  ASSERT_EQ(from.status, kClean) << from.err;
  json a = json::parse(from.out);
  json b = json::parse(files.out);
  EXPECT_EQ(a["files"]["track"]["name"], "Varelbo_3874.dat, compiled in memory");
  a.erase("files");
  b.erase("files");
  // Compiled from the descriptions, each cell also cites the records behind it, and the dump
  // holds the descriptions' diagnostics: the scenario's one curve out of order.
  ASSERT_EQ(a["diagnostics"].size(), 1u);
  EXPECT_EQ(a["diagnostics"][0]["code"], "curve-overlap");
  a.erase("diagnostics");
  for (json* dump : {&a, &b}) {
    for (json& cell : (*dump)["celle"]) cell.erase("notes");
  }
  EXPECT_TRUE(a == b);
  EXPECT_EQ(binario::testing::file_names(folder.path()),
            (std::vector<std::string>{"line.txt", "train.txt"}));
}

// The JSON holds everything: the model rebuilt from it encodes into the golden files.
TEST(BinarioDump, JsonIsLossless) {
  const Invocation run = binario(varelbo({"--json"}));
  ASSERT_EQ(run.status, kClean);
  const json dump = json::parse(run.out);

  std::vector<TrackCell> celle;
  for (const json& c : dump["celle"]) {
    celle.push_back({c["tipo"], c["dato1"], c["dato2"], c["dato3"], c["dato4"], c["dato5"],
                     c["avviso"], c["montagna"], c["velocita"], c["pendenza"], c["aderenza"]});
  }
  std::array<DataRow, data_row::kCount> table{};
  for (const json& r : dump["tabella_dati"]) {
    DataRow& row = table[r["row"].get<std::size_t>()];
    row = {r["classe"],   r["valore1"],  r["valore2"],  r["valore3"], r["marca"],   "",
           r["parola1"],  r["parola2"],  r["parola3"],  r["parola4"], r["parola5"], r["ottetto1"],
           r["ottetto2"], r["ottetto3"], r["ottetto4"], r["valore4"]};
    row.testo = authoring::utf8_to_windows_1252(r["testo"].get<std::string>()).value();
  }
  // The plan's entries as the JSON gives them, with their tags: seeds, doubles, empty rows.
  const json& plan = dump["pianta"];
  Plan pianta(plan["x"].size());
  for (std::size_t r = 0; r < plan["x"].size(); ++r) {
    const json& x = plan["x"][r];
    const json& y = plan["y"][r];
    if (r == 1 && x[0] == 2) {
      pianta.seed(plan["x"][0][1], plan["y"][0][1], x[1], y[1]);
    } else if (x[0] == 5) {
      pianta.push_back(x[1].get<double>(), y[1].get<double>());
    }
  }
  EXPECT_TRUE(encode_track(celle) == read_file(kCompiled + "/Varelbo_3874.dat"));
  EXPECT_TRUE(encode_general_data(table) == read_file(kCompiled + "/Varelbo_3874.sim"));
  EXPECT_TRUE(encode_line_plan(pianta) == read_file(kCompiled + "/Varelbo_linea.dat"));
  EXPECT_EQ(dump["celle"][1]["kind"], "nothing");
  EXPECT_EQ(dump["tabella_dati"][85]["purpose"],
            "backgrounds, line name, table stamp, st "
            "competition code");
  EXPECT_EQ(plan["summary"]["curves"].size(), 149u);
}

// Doubles that JSON has no number for keep their bits.
TEST(BinarioDump, JsonKeepsTheBitsOfDoublesThatAreNotFinite) {
  TempFolder folder;
  Plan pianta(authoring::plan_row_count(0));
  pianta.seed(0, 0, 0, 1);
  pianta.push_back(std::bit_cast<double>(std::uint64_t{0x7FF8000000000001}), 2);
  pianta.push_back(0, -std::numeric_limits<double>::infinity());
  pianta.push_back(0, -0.0);
  for (std::size_t r = 5; r < pianta.size() - 2; ++r) pianta.push_back(0.0, double(r));
  write_file(folder.file("plan.dat"), encode_line_plan(pianta));
  const Invocation run =
      binario({"dump", "--plan", folder.file("plan.dat"), "--json", "--metres", "0-4"});
  ASSERT_EQ(run.status, kClean) << run.err;
  const json plan = json::parse(run.out)["pianta"];
  EXPECT_EQ(plan["x"], json::parse(R"([[2,0],[2,0],[5,"0x7ff8000000000001"],[5,0.0],[5,0.0]])"));
  EXPECT_EQ(plan["y"][3], json::parse(R"([5,"0xfff0000000000000"])"));
  EXPECT_TRUE(std::signbit(plan["y"][4][1].get<double>()));
}

// The headings of the cells a dump shows: "cell 1449", ...
std::vector<std::string> cells_shown(const std::string& dump) {
  std::vector<std::string> cells;
  std::istringstream lines(dump);
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with("cell ")) cells.push_back(line.substr(0, line.find(',')));
  }
  return cells;
}

TEST(BinarioDump, NarrowedToCellsOrMetres) {
  const Invocation cells = binario(varelbo({"--cells", "1449-1459"}));
  ASSERT_EQ(cells.status, kClean);
  EXPECT_EQ(cells_shown(cells.out),
            (std::vector<std::string>{"cell 1449", "cell 1455", "cell 1456", "cell 1457",
                                      "cell 1458", "cell 1459"}));
  EXPECT_NE(cells.out.find("    part shown         cells 1449 to 1459, metres 72400 to 72900\n"),
            std::string::npos);
  // Runs over the cells asked for, from k x 50 to (k + 1) x 50.
  EXPECT_NE(cells.out.find("        72450    73000      1449-1459        22  110 km/h\n"),
            std::string::npos)
      << cells.out;
  // The station in it, not the others; the rows about the whole route.
  EXPECT_NE(cells.out.find("row 6, station \"ROSSIGLIONE\""), std::string::npos);
  EXPECT_EQ(cells.out.find("row 5, station"), std::string::npos);
  EXPECT_EQ(cells.out.find("row 7, station"), std::string::npos);
  EXPECT_NE(cells.out.find("row 84, "), std::string::npos);
  EXPECT_NE(cells.out.find("    rows shown      72400 to 72900: 0 16-bit seeds, 501 computed"),
            std::string::npos);

  // Metres 72400 to 72900 hold the objects of cells 1449 to 1459 and the runs of cells 1448 to
  // 1458, clipped to the metres.
  const Invocation metres = binario(varelbo({"--metres", "72400-72900"}));
  ASSERT_EQ(metres.status, kClean);
  EXPECT_EQ(cells_shown(metres.out), cells_shown(cells.out));
  EXPECT_NE(metres.out.find("        72400    72900      1448-1458        22  110 km/h\n"),
            std::string::npos)
      << metres.out;

  const json narrowed = json::parse(binario(varelbo({"--json", "--cells", "10-20"})).out);
  ASSERT_EQ(narrowed["celle"].size(), 11u);
  EXPECT_EQ(narrowed["celle"][0]["index"], 10);
  EXPECT_EQ(narrowed["celle"][0]["metre"], 450);
  EXPECT_EQ(narrowed["pianta"]["first_row"], 450);
  EXPECT_EQ(narrowed["pianta"]["x"].size(), 501u);
  EXPECT_EQ(narrowed["tabella_dati"].size(), 6u);  // no station or board there; rows 81 to 86

  // Past the end of the route: nothing of the track or the plan.
  const Invocation past = binario(varelbo({"--metres", "200000-300000"}));
  EXPECT_EQ(past.status, kClean);
  EXPECT_TRUE(cells_shown(past.out).empty());
  EXPECT_NE(past.out.find("    (no row in the part shown)\n"), std::string::npos);
}

TEST(BinarioDump, BrokenFilesUnreadableFilesAndUsage) {
  TempFolder folder;
  const std::string here = folder.path().string();
  const std::string track = read_file(kCompiled + "/Varelbo_3874.dat");
  write_file(folder.file("Cut_1.dat"), track.substr(0, 1000));
  write_file(folder.file("Long_1.sim"), read_file(kCompiled + "/Varelbo_3874.sim") + "x");
  std::filesystem::create_directory(folder.file("Folder_1.dat"));
  struct Case {
    const char* name;
    std::vector<std::string> arguments;
    int status;
    std::string err;
  };
  const std::string cut = here + kSeparator + "Cut_1.dat";
  const Case cases[] = {
      {"a track file cut short",
       {"dump", here, "--line-name", "Cut", "--train-number", "1"},
       kIoFailure,
       "binario: error: " + cut +
           ": not a compiled track file: byte 990: expected a whole cell of 15 bytes, found the "
           "file ending after 10 bytes\n"},
      {"bytes after the data table",
       {"dump", "--data", folder.file("Long_1.sim")},
       kIoFailure,
       "binario: error: " + folder.file("Long_1.sim") +
           ": not a compiled general data file: byte 4491: expected the end of the file after "
           "row 86, found 1 more byte\n"},
      {"no route in the folder",
       {"dump", here, "--line-name", "None", "--train-number", "1"},
       kIoFailure,
       "binario: error: no compiled route file in " + here + " (looked for " + here + kSeparator +
           "None_linea.dat, " + here + kSeparator + "None_1.sim, " + here + kSeparator +
           "None_1.dat)\n"},
      {"a file named that is not there",
       {"dump", "--track", folder.file("none.dat")},
       kIoFailure,
       "binario: error: cannot read " + folder.file("none.dat") + ": No such file or directory\n"},
      {"a folder where the track file should be",
       {"dump", here, "--line-name", "Folder", "--train-number", "1"},
       kIoFailure,
       ""},
      {"no route named", {"dump"}, kUsageError, ""},
      {"two routes named", {"dump", here, "--track", cut}, kUsageError, ""},
      {"a folder without the names", {"dump", here}, kUsageError, ""},
      {"cells and metres", varelbo({"--cells", "1-2", "--metres", "1-2"}), kUsageError, ""},
      {"cells backwards", varelbo({"--cells", "20-10"}), kUsageError, ""},
      {"metres that are no numbers", varelbo({"--metres", "a-b"}), kUsageError, ""},
      {"--from with one file", {"dump", "--from", cut}, kUsageError, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Invocation run = binario(c.arguments);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out, "");
    if (!c.err.empty()) {
      EXPECT_EQ(run.err, c.err);
    } else {
      EXPECT_NE(run.err, "");
    }
    // With --json, the same failure is one object on standard output.
    std::vector<std::string> json_arguments = c.arguments;
    json_arguments.push_back("--json");
    const Invocation as_json = binario(json_arguments);
    EXPECT_EQ(as_json.status, c.status);
    EXPECT_EQ(as_json.err, "");
    const json report = json::parse(as_json.out);
    EXPECT_EQ(report["diagnostics"][0]["code"], c.status == kUsageError ? "usage" : "io");
  }
}

TEST(BinarioDump, FromDescriptionsWithAnError) {
  TempFolder folder;
  const std::string line = folder.file("line.txt");
  const std::string train = folder.file("train.txt");
  write_file(train, small_train({"stazione,  5000, 12,  400,  0, 0, 0,  0,0,0,  0,0,0,  0,  9, "
                                 "0, 0, A",
                                 "stazione,  5500, 28,  200,  0, 0, 0,  0,0,0,  0,0,0,  0,  9, "
                                 "0, 0, B"}));
  write_file(line, small_line());
  const std::vector<std::string> from = {"dump", "--from",         line, train, "--line-name",
                                         "L",    "--train-number", "1"};
  const Invocation recorded = binario(from);
  EXPECT_EQ(recorded.status, kRecordedError);
  EXPECT_EQ(recorded.err, "binario: " + train +
                              ":3:12: error: the station 'B' at 5500 m begins at 5400 m, less "
                              "than 350 m after the end of the previous station [code 22]\n");
  EXPECT_NE(recorded.out.find("row 2, station \"B\""), std::string::npos);

  write_file(line, small_line({"cartello_indicatore,  0,   (A)"}));
  const Invocation stamp = binario(from);
  EXPECT_EQ(stamp.status, kStampFailure);
  EXPECT_EQ(stamp.out, "");
  EXPECT_NE(stamp.err.find(":4:1: error: cell 1, the first 50 m of the line, holds a sign board"),
            std::string::npos)
      << stamp.err;
}

// Two small routes that differ in known ways: a longer curve, a gradient, a station's time, a
// signal moved by 500 m.
struct TwoRoutes {
  TempFolder folder;
  std::vector<std::string> a =
      write("a", {"curvas4,  1000,  300", "pendenza,  2000,  -12"}, "9, 0, 0", 8000);
  std::vector<std::string> b =
      write("b", {"curvas4,  1000,  350", "pendenza,  2000,  -10"}, "9, 5, 0", 8500);

  std::vector<std::string> write(const std::string& side, const std::vector<std::string>& body,
                                 const std::string& time, int signal) {
    const std::string line = folder.file(side + "_line.txt");
    const std::string train = folder.file(side + "_train.txt");
    write_file(line, small_line(body));
    write_file(train, small_train(
                          {"velocita, 0, 100",
                           "stazione, 5000, 12, 400, 0,0,0, 0,0,0, 0,0,0, 0, " + time + ", ALFA",
                           "segnale, " + std::to_string(signal) + ", 1, 5, 1, 0, 0, 0, 0,0,0, 0"}));
    return {line, train};
  }
  std::vector<std::string> diff(std::vector<std::string> more = {}) const {
    std::vector<std::string> arguments = {
        "diff", "--from", a[0], a[1], b[0], b[1], "--line-name", "L", "--train-number", "1"};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
  }
};

TEST(BinarioDiff, TwoRoutesThatDifferInKnownWays) {
  TwoRoutes routes;
  const Invocation run = binario(routes.diff());
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "");
  const std::string a = routes.a[0] + " and " + routes.a[1];
  const std::string b = routes.b[0] + " and " + routes.b[1];
  EXPECT_EQ(run.out, "a: " + a + "\nb: " + b + "\n" + R"(cell 153, metre 7600: no object (removed)
    avviso: 34 (signal approach 4: 400 m before the signal in cell 161, signal code 3)
cell 155, metre 7700: no object (removed)
    avviso: 33 (signal approach 3: 300 m before the signal in cell 161, signal code 3)
cell 157, metre 7800: no object (removed)
    avviso: 32 (signal approach 2: 200 m before the signal in cell 161, signal code 3)
cell 159, metre 7900: no object (removed)
    avviso: 31 (signal approach 1: 100 m before the signal in cell 161, signal code 3)
cell 161, metre 8000: signal (removed)
    tipo: 1 (signal)
    dato1: 50 (s1 5, d1 0)
    dato2: 10 (s2 1, d2 0)
    dato4: 3 (rapp 0, signal code 3)
cell 163, metre 8100: no object (added)
    avviso: 34 (signal approach 4: 400 m before the signal in cell 171, signal code 3)
cell 165, metre 8200: no object (added)
    avviso: 33 (signal approach 3: 300 m before the signal in cell 171, signal code 3)
cell 167, metre 8300: no object (added)
    avviso: 32 (signal approach 2: 200 m before the signal in cell 171, signal code 3)
cell 169, metre 8400: no object (added)
    avviso: 31 (signal approach 1: 100 m before the signal in cell 171, signal code 3)
cell 171, metre 8500: signal (added)
    tipo: 1 (signal)
    dato1: 50 (s1 5, d1 0)
    dato2: 10 (s2 1, d2 0)
    dato4: 3 (rapp 0, signal code 3)
gradient, metres 2000 to 16900 (cells 40-337): pendenza 88 (-12 per mille) -> 90 (-10 per mille)
row 1, station "ALFA"
    valore4: 32400 (9:00:00) -> 32700 (9:05:00)
line plan: 17001 rows in a, 17001 in b; they part at row 1301 (0.001 m apart); the largest distance is 783.721 m, at row 16998
)");

  // Narrowed to the signals' cells: the rest is not compared.
  const Invocation part = binario(routes.diff({"--cells", "160-170"}));
  EXPECT_EQ(part.status, 1);
  EXPECT_EQ(cells_shown(part.out),
            (std::vector<std::string>{"cell 161", "cell 163", "cell 165", "cell 167", "cell 169"}));
  EXPECT_EQ(part.out.find("row 1, station"), std::string::npos);
  EXPECT_EQ(binario(routes.diff({"--metres", "9000-10000"})).status, 1);  // the plans still part
  EXPECT_EQ(binario(routes.diff({"--metres", "0-1300"})).status, kClean);
}

TEST(BinarioDiff, TheSameRoutesAndFilesOnOneSideOnly) {
  TwoRoutes routes;
  const Invocation same = binario({"diff", "--from", routes.a[0], routes.a[1], routes.a[0],
                                   routes.a[1], "--line-name", "L", "--train-number", "1"});
  EXPECT_EQ(same.status, kClean);
  EXPECT_EQ(same.out, "");

  // A folder compiled without the plan against the descriptions compiled with it.
  const std::string compiled = routes.folder.file("compiled");
  std::filesystem::create_directory(compiled);
  ASSERT_EQ(binario({"compile", routes.a[0], routes.a[1], "--line-name", "L", "--train-number", "1",
                     "--out", compiled, "--no-plan"})
                .status,
            kClean);
  const Invocation one_side = binario({"diff", compiled, "--from", routes.a[0], routes.a[1],
                                       "--line-name", "L", "--train-number", "1"});
  EXPECT_EQ(one_side.status, 1);
  EXPECT_EQ(one_side.out, "a: " + compiled + "\nb: " + routes.a[0] + " and " + routes.a[1] +
                              "\nline plan file: only in b\n");
  const json report = json::parse(binario({"diff", compiled, "--from", routes.a[0], routes.a[1],
                                           "--line-name", "L", "--train-number", "1", "--json"})
                                      .out);
  EXPECT_EQ(report["equal"], false);
  EXPECT_EQ(report["files"][0],
            (json{{"file", "line plan file"}, {"in_a", false}, {"in_b", true}}));
  EXPECT_EQ(report["cells"]["changes"].size(), 0u);

  const Invocation usage = binario({"diff", compiled, "--line-name", "L", "--train-number", "1"});
  EXPECT_EQ(usage.status, kUsageError);
  const Invocation broken = binario(
      {"diff", compiled, routes.folder.file("none"), "--line-name", "L", "--train-number", "1"});
  EXPECT_EQ(broken.status, kIoFailure);
}

TEST(BinarioDiff, Json) {
  TwoRoutes routes;
  const Invocation run = binario(routes.diff({"--json"}));
  EXPECT_EQ(run.status, 1);
  const json report = json::parse(run.out);
  EXPECT_EQ(report["equal"], false);
  EXPECT_EQ(report["cells"]["a"], 341);
  EXPECT_EQ(report["cells"]["changes"].size(), 10u);
  EXPECT_EQ(report["cells"]["changes"][4],
            json::parse(R"({"index":161,"metre":8000,"change":"removed","kind_a":"signal",
                "kind_b":"nothing","fields":{"tipo":[1,null],"dato1":[50,null],"dato2":[10,null],
                "dato4":[3,null]}})"));
  EXPECT_EQ(report["runs"], json::parse(R"([{"field":"pendenza","from_metre":2000,
                "to_metre":16900,"first_cell":40,"last_cell":337,"a":88,"b":90}])"));
  EXPECT_EQ(report["rows"], json::parse(R"([{"row":1,"purpose_a":"station",
                "purpose_b":"station","fields":{"valore4":[32400,32700]}}])"));
  EXPECT_EQ(report["pianta"]["first_row"], 1301);
  EXPECT_EQ(report["pianta"]["largest_row"], 16998);
  // The keys stand in a fixed order.
  EXPECT_EQ(run.out.substr(0, 14), "{\"equal\":false");
}

// The program itself, in a folder of compiled routes.
TEST(BinarioDiff, RunsAsAProgram) {
  TwoRoutes routes;
  for (const char* side : {"a", "b"}) {
    const auto& files = std::string(side) == "a" ? routes.a : routes.b;
    std::filesystem::create_directory(routes.folder.file(side));
    ASSERT_EQ(binario({"compile", files[0], files[1], "--line-name", "L", "--train-number", "1",
                       "--out", routes.folder.file(side)})
                  .status,
              kClean);
  }
  const binario::testing::ProgramRun differ =
      binario::testing::run_program(BINARIO_PROGRAM, routes.folder.path(),
                                    {"diff", "a", "b", "--line-name", "L", "--train-number", "1"});
  EXPECT_EQ(differ.exit_status, 1);
  EXPECT_NE(differ.standard_output.find("cell 161, metre 8000: signal (removed)"),
            std::string::npos)
      << differ.standard_output;
  const binario::testing::ProgramRun same =
      binario::testing::run_program(BINARIO_PROGRAM, routes.folder.path(),
                                    {"diff", "a", "a", "--line-name", "L", "--train-number", "1"});
  EXPECT_EQ(same.exit_status, 0);
  EXPECT_EQ(same.standard_output, "");
  const binario::testing::ProgramRun dump = binario::testing::run_program(
      BINARIO_PROGRAM, routes.folder.path(),
      {"dump", "a", "--line-name", "L", "--train-number", "1", "--cells", "161-161"});
  EXPECT_EQ(dump.exit_status, 0);
  EXPECT_NE(dump.standard_output.find("cell 161, metre 8000: signal"), std::string::npos);
}

}  // namespace
}  // namespace binario::tool
