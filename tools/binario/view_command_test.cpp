// binario view, run as an author runs it. What the page shows in a browser is tested by
// view_browser_test.py, in headless Chromium.

#include <algorithm>
#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "reader/reader_test_support.h"
#include "testing/test_files.h"
#include "tools/binario/binario.h"
#include "tools/binario/binario_test_support.h"

namespace binario::tool {
namespace {

using testing::binario;
using testing::Invocation;
using testing::kSeparator;

using binario::testing::file_names;
using binario::testing::read_file;
using binario::testing::small_line;
using binario::testing::small_train;
using binario::testing::TempFolder;
using binario::testing::write_file;

const std::string kScenario = SCENARIO_TESTDATA;
const std::string kCompiled = COMPILER_TESTDATA;

std::vector<std::string> varelbo(const std::string& output, std::vector<std::string> more = {}) {
  std::vector<std::string> arguments = {"view",
                                        kScenario + kSeparator + "Varelbo_linea.txt",
                                        kScenario + kSeparator + "Varelbo_3874-.txt",
                                        "--line-name",
                                        "Varelbo",
                                        "--train-number",
                                        "3874",
                                        "-o",
                                        output};
  arguments.insert(arguments.end(), more.begin(), more.end());
  return arguments;
}

// The page from the descriptions, the SVG, and the page from the compiled files, each written
// whole over what was there.
TEST(BinarioView, WritesThePageOrTheSvg) {
  TempFolder folder;
  const std::string page = folder.file("route.html");
  write_file(page, "an older page");
  const Invocation html = binario(varelbo(page));
  EXPECT_EQ(html.status, kClean) << html.err;
  EXPECT_EQ(html.out, page + "\n");
  EXPECT_EQ(html.err, "");
  const std::string written = read_file(page);
  EXPECT_TRUE(written.starts_with("<!DOCTYPE html>\n<html lang=\"en\">")) << written.substr(0, 40);
  EXPECT_TRUE(written.ends_with("</html>\n"));
  EXPECT_NE(written.find("<title>Varelbo, train 3874 \xE2\x80\x94 route sheet</title>"),
            std::string::npos);
  EXPECT_NE(written.find("Varelbo_linea.txt:55:11: warning: the curve from 32500 m"),
            std::string::npos);
  // Nothing fetched: no script, style, font or image from anywhere else, and no address but
  // the SVG namespace's name.
  for (const char* outside : {"src=", "href=", "@import", "fetch("}) {
    EXPECT_EQ(written.find(outside), std::string::npos) << outside;
  }
  for (std::size_t at = written.find("url("); at != std::string::npos;
       at = written.find("url(", at + 1)) {
    EXPECT_EQ(written[at + 4], '#') << written.substr(at, 20);  // a part of the page itself
  }
  std::size_t addresses = 0;
  std::size_t namespaces = 0;
  for (std::size_t at = written.find("http"); at != std::string::npos;
       at = written.find("http", at + 1)) {
    ++addresses;
    namespaces += written.compare(at, 26, "http://www.w3.org/2000/svg") == 0 ? 1 : 0;
  }
  EXPECT_EQ(addresses, namespaces);

  const std::string svg = folder.file("route.svg");
  const Invocation drawing = binario(varelbo(svg, {"--svg"}));
  EXPECT_EQ(drawing.status, kClean) << drawing.err;
  const std::string drawn = read_file(svg);
  EXPECT_TRUE(drawn.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns="));
  EXPECT_TRUE(drawn.ends_with("</svg>\n"));
  EXPECT_EQ(drawn.find("<script"), std::string::npos);

  const std::string compiled = folder.file("compiled.html");
  const Invocation from_files = binario({"view", "--route", kCompiled, "--line-name", "Varelbo",
                                         "--train-number", "3874", "--output", compiled});
  EXPECT_EQ(from_files.status, kClean) << from_files.err;
  EXPECT_NE(read_file(compiled).find("Not checked: the route was read from its compiled files"),
            std::string::npos);
  EXPECT_EQ(file_names(folder.path()),
            (std::vector<std::string>{"compiled.html", "route.html", "route.svg"}));
}

// The page and the SVG of the scenario's own route, as an author gets them, against golden
// copies: what `binario view Varelbo_linea.txt Varelbo_3874-.txt --line-name Varelbo
// --train-number 3874 -o PAGE` (and `--svg`) writes, run in scenario/testdata.
TEST(BinarioView, TheScenarioAsTheGoldenFilesHaveIt) {
  TempFolder folder;
  const std::filesystem::path testdata = BINARIO_TESTDATA;
  for (const auto& [golden, more] :
       {std::pair{"Varelbo_3874_sheet.html", ""}, std::pair{"Varelbo_3874_sheet.svg", "--svg"}}) {
    std::vector<std::string> arguments = {"view",
                                          "Varelbo_linea.txt",
                                          "Varelbo_3874-.txt",
                                          "--line-name",
                                          "Varelbo",
                                          "--train-number",
                                          "3874",
                                          "-o",
                                          folder.file(golden)};
    if (*more) arguments.push_back(more);
    const binario::testing::ProgramRun run =
        binario::testing::run_program(BINARIO_PROGRAM, kScenario, arguments);
    EXPECT_EQ(run.exit_status, kClean) << run.standard_error;
    EXPECT_TRUE(read_file(folder.file(golden)) == read_file(testdata / golden))
        << "to compare: cd scenario/testdata && ../../build/release/bin/binario view "
           "Varelbo_linea.txt Varelbo_3874-.txt --line-name Varelbo --train-number 3874"
        << (*more ? " " : "") << more << " -o /tmp/" << golden << " && diff /tmp/" << golden
        << " ../../tools/binario/testdata/" << golden;
  }
}

TEST(BinarioView, OutcomesAndFailures) {
  TempFolder folder;
  const std::string line = folder.file("line.txt");
  const std::string train = folder.file("train.txt");
  const std::string page = folder.file("page.html");
  const std::vector<std::string> names = {"--line-name", "L", "--train-number", "1"};
  auto view = [&](std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "view");
    arguments.insert(arguments.end(), names.begin(), names.end());
    return binario(arguments);
  };
  write_file(line, small_line());

  // A recorded error: the sheet shows what was compiled, and the error.
  write_file(train, small_train({"stazione,  5000, 12,  400,  0, 0, 0,  0,0,0,  0,0,0,  0,  9, "
                                 "0, 0, A",
                                 "stazione,  5500, 28,  200,  0, 0, 0,  0,0,0,  0,0,0,  0,  9, "
                                 "0, 0, B"}));
  Invocation run = view({line, train, "-o", page});
  EXPECT_EQ(run.status, kRecordedError);
  EXPECT_EQ(run.err, "binario: " + train +
                         ":3:12: error: the station 'B' at 5500 m begins at 5400 m, less than "
                         "350 m after the end of the previous station [code 22]\n");
  EXPECT_NE(read_file(page).find("[code 22]"), std::string::npos);

  // A stamp check that fails compiles nothing, and nothing is written.
  std::filesystem::remove(page);
  write_file(line, small_line({"cartello_indicatore,  0,   (A)"}));
  run = view({line, train, "-o", page});
  EXPECT_EQ(run.status, kStampFailure);
  EXPECT_NE(run.err.find(":4:1: error: cell 1, the first 50 m of the line, holds a sign board"),
            std::string::npos)
      << run.err;

  // Files that cannot be read or written.
  run = view({folder.file("none.txt"), train, "-o", page});
  EXPECT_EQ(run.status, kIoFailure);
  EXPECT_NE(run.err.find("none.txt"), std::string::npos) << run.err;
  run = view({"--route", folder.file("nowhere"), "-o", page});
  EXPECT_EQ(run.status, kIoFailure);
  EXPECT_NE(run.err.find("no compiled route file in"), std::string::npos) << run.err;
  write_file(line, small_line());
  write_file(train, small_train());
  run = view({line, train, "-o", folder.file("missing/page.html")});
  EXPECT_EQ(run.status, kIoFailure);
  EXPECT_NE(run.err.find("missing"), std::string::npos) << run.err;
  EXPECT_EQ(file_names(folder.path()), (std::vector<std::string>{"line.txt", "train.txt"}));

  // Usage: one route, named, and where to write it.
  for (const std::vector<std::string>& wrong : {std::vector<std::string>{"-o", page},
                                                {line, train, "--route", kCompiled, "-o", page},
                                                {line, "-o", page},
                                                {line, train}}) {
    EXPECT_EQ(view(wrong).status, kUsageError);
  }
  EXPECT_EQ(binario({"view", line, train, "-o", page}).status, kUsageError);
  EXPECT_FALSE(std::filesystem::exists(page));

  // The sheet never takes the place of a file it is made from.
  const std::string before = read_file(train);
  run = view({line, train, "-o", train});
  EXPECT_EQ(run.status, kUsageError);
  EXPECT_EQ(run.err, "binario: error: view: " + train + " is " + train +
                         ", a file the sheet is made from; name another output file\n");
  EXPECT_EQ(read_file(train), before);
  ASSERT_EQ(binario({"compile", line, train, "--line-name", "L", "--train-number", "1", "--out",
                     folder.file("compiled")})
                .status,
            kClean);
  const std::string track = folder.file("compiled") + kSeparator + "L_1.dat";
  const std::string compiled = read_file(track);
  EXPECT_EQ(view({"--route", folder.file("compiled"), "-o", track}).status, kUsageError);
  EXPECT_EQ(read_file(track), compiled);
}

// With --json, one object for every outcome: the sheet written and what check tells of the
// descriptions, or the failure.
TEST(BinarioView, PrintsOneJsonObject) {
  TempFolder folder;
  const std::string line = folder.file("line.txt");
  const std::string train = folder.file("train.txt");
  const std::string page = folder.file("page.html");
  write_file(line, small_line());
  write_file(train, small_train({"stazione,  5000, 12,  400,  0, 0, 0,  0,0,0,  0,0,0,  0,  9, "
                                 "0, 0, A",
                                 "stazione,  5500, 28,  200,  0, 0, 0,  0,0,0,  0,0,0,  0,  9, "
                                 "0, 0, B"}));
  auto view = [&](std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "view");
    for (const char* more : {"--line-name", "L", "--train-number", "1", "--json"}) {
      arguments.push_back(more);
    }
    const Invocation run = binario(arguments);
    EXPECT_EQ(run.err, "");
    return std::pair(run.status, nlohmann::json::parse(run.out));
  };

  auto [status, report] = view({line, train, "-o", page});
  EXPECT_EQ(status, kRecordedError);
  EXPECT_EQ(report["codice_errore"], 22);
  EXPECT_EQ(report["files"], nlohmann::json::array({page}));
  const auto error = std::find_if(report["diagnostics"].begin(), report["diagnostics"].end(),
                                  [](const nlohmann::json& d) { return d["code"] == 22; });
  ASSERT_NE(error, report["diagnostics"].end()) << report.dump();
  EXPECT_EQ((*error)["file"], train);
  EXPECT_EQ((*error)["line"], 3);

  const std::string compiled = folder.file("compiled");
  write_file(train, small_train());
  ASSERT_EQ(binario({"compile", line, train, "--line-name", "L", "--train-number", "1", "--out",
                     compiled})
                .status,
            kClean);
  std::tie(status, report) = view({"--route", compiled, "-o", page});
  EXPECT_EQ(status, kClean);
  EXPECT_EQ(report["codice_errore"], nullptr);
  EXPECT_EQ(report["files"], nlohmann::json::array({page}));
  EXPECT_EQ(report["diagnostics"], nlohmann::json::array());

  const std::vector<std::pair<std::vector<std::string>, int>> failures = {
      {{"-o", page}, kUsageError},
      {{line, train, "-o", train}, kUsageError},
      {{"--route", folder.file("nowhere"), "-o", page}, kIoFailure},
      {{line, train, "-o", folder.file("missing/page.html")}, kIoFailure}};
  for (const auto& [arguments, expected] : failures) {
    std::tie(status, report) = view(arguments);
    EXPECT_EQ(status, expected) << arguments[0];
    EXPECT_EQ(report["files"], nlohmann::json::array());
    ASSERT_EQ(report["diagnostics"].size(), 1u);
    EXPECT_EQ(report["diagnostics"][0]["code"], expected == kUsageError ? "usage" : "io");
  }
}

// The program itself, in a folder of its own, as an author runs it.
TEST(BinarioView, RunsAsAProgram) {
  TempFolder folder;
  write_file(folder.file("Monte_linea.txt"), small_line({"curvas4, 1000, 500"}));
  write_file(folder.file("Monte_7-.txt"), small_train());
  const binario::testing::ProgramRun run =
      binario::testing::run_program(BINARIO_PROGRAM, folder.path(),
                                    {"view", "Monte_linea.txt", "Monte_7-.txt", "--line-name",
                                     "Monte", "--train-number", "7", "-o", "Monte.html"});
  EXPECT_EQ(run.exit_status, kClean) << run.standard_error;
  std::string output = run.standard_output;
  std::erase(output, '\r');
  EXPECT_EQ(output, "Monte.html\n");
  EXPECT_NE(read_file(folder.path() / "Monte.html").find("id=\"plan-track\""), std::string::npos);
}

}  // namespace
}  // namespace binario::tool
