// binario explain: the account of every line of a pair of description files, as an author
// reads it, and the failures of its command line.

#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "reader/reader_test_support.h"
#include "testing/test_files.h"
#include "tools/binario/binario.h"
#include "tools/binario/binario_test_support.h"

namespace binario::tool {
namespace {

using binario::testing::read_file;
using binario::testing::small_line;
using binario::testing::small_train;
using binario::testing::TempFolder;
using binario::testing::write_file;
using testing::binario;
using testing::Invocation;

// What `binario explain Varelbo_linea.txt Varelbo_3874-.txt`, run in scenario/testdata, prints
// of the scenario's own descriptions, against a golden copy.
TEST(BinarioExplain, TheScenarioAsTheGoldenFileHasIt) {
  const binario::testing::ProgramRun run = binario::testing::run_program(
      BINARIO_PROGRAM, SCENARIO_TESTDATA, {"explain", "Varelbo_linea.txt", "Varelbo_3874-.txt"});
  EXPECT_EQ(run.exit_status, kClean) << run.standard_error;
  std::string output = run.standard_output;
  std::erase(output, '\r');  // standard output is text: on Windows its lines end with CR LF
  const std::string golden = std::string(BINARIO_TESTDATA) + "/Varelbo_3874_explain.txt";
  EXPECT_TRUE(output == read_file(golden))
      << "to compare: cd scenario/testdata && ../../build/release/bin/binario explain "
         "Varelbo_linea.txt Varelbo_3874-.txt | diff - ../../tools/binario/testdata/"
         "Varelbo_3874_explain.txt";
}

struct Pair {
  TempFolder folder;
  std::string line = folder.file("Monte_linea.txt");
  std::string train = folder.file("Monte_7-.txt");
  Pair() {
    write_file(line, small_line({"pendenza,  1900,  -10", "pendenza,  2000"}));
    write_file(train, small_train({"velocita,  0,  100", "aderenza,  0,  100"}));
  }
};

TEST(BinarioExplain, TheLinesAsked) {
  Pair pair;
  const Invocation some =
      binario({"explain", pair.line, pair.train, "Monte_linea.txt:4-5", pair.train + ":1"});
  EXPECT_EQ(some.status, kClean) << some.err;
  // The lines asked, in file order, each with what it became and what is said of it.
  EXPECT_EQ(some.out.find(pair.line + ":4: pendenza,  1900,  -10\n  a gradient record, "
                                      "'pendenza'\n    position: 1900 -> "),
            0u)
      << some.out;
  for (const std::string& part : std::vector<std::string>{
           pair.line + ":5: pendenza,  2000\n",
           "    gradient: [fine], not a value the reader takes\n",
           "    later: the reading stopped before a cell took it: the cells from here on keep 0\n",
           "  error: 'pendenza' record has 1 of its 2 values; the next line's '[fine]' was read as "
           "its gradient [code 25]\n",
           pair.train + ":1: [generale]\n  never read: the reading stopped before it opened this "
                        "file\n",
           pair.train + ":1: [generale]\n"}) {
    EXPECT_NE(some.out.find(part), std::string::npos) << part << "\n" << some.out;
  }
  EXPECT_EQ(some.out.find(":2: "), std::string::npos) << some.out;

  const Invocation json = binario({"explain", pair.line, pair.train, "--json"});
  EXPECT_EQ(json.status, kClean) << json.err;
  const nlohmann::json object = nlohmann::json::parse(json.out);
  ASSERT_EQ(object["lines"].size(), 10u);  // 6 lines and 4
  const nlohmann::json& gradient = object["lines"][3];
  EXPECT_EQ(gradient["line"], 4);
  EXPECT_EQ(gradient["records"][0]["kind"], "gradient");
  EXPECT_EQ(gradient["records"][0]["fields"][1],
            (nlohmann::json{{"name", "gradient"},
                            {"written", "-10"},
                            {"read", "-10"},
                            {"stored", "pendenza 90 in no cell"}}));
  EXPECT_EQ(object["lines"][4]["diagnostics"][0]["code"], 25);
}

TEST(BinarioExplain, UsageFailures) {
  Pair pair;
  struct Case {
    const char* name;
    std::vector<std::string> arguments;
    int status;
    std::string err_contains;
  };
  const Case cases[] = {
      {"no files and no warning", {"explain"}, kUsageError, "explain: give the line description"},
      {"one file", {"explain", pair.line}, kUsageError, "explain: give the line description"},
      {"a location without a line",
       {"explain", pair.line, pair.train, "Monte_linea.txt"},
       kUsageError,
       "a location is FILE:LINE or FILE:FIRST-LAST"},
      {"a location in another file",
       {"explain", pair.line, pair.train, "Altro_linea.txt:3"},
       kUsageError,
       "'Altro_linea.txt' is neither"},
      {"a line that is no number",
       {"explain", pair.line, pair.train, "Monte_7-.txt:tre"},
       kUsageError,
       "'tre' is no line number"},
      {"line 0",
       {"explain", pair.line, pair.train, "Monte_7-.txt:0"},
       kUsageError,
       "'0' is no line number"},
      {"a range the wrong way round",
       {"explain", pair.line, pair.train, "Monte_7-.txt:3-2"},
       kUsageError,
       "'3-2' is no line number"},
      {"a line past the end",
       {"explain", pair.line, pair.train, "Monte_7-.txt:99"},
       kUsageError,
       "has 4 lines, not 99"},
      {"a warning and files",
       {"explain", pair.line, pair.train, "--warning", "no-effect"},
       kUsageError,
       "--warning NAME explains a warning and takes no files"},
      {"a file that is not there",
       {"explain", pair.line, pair.folder.file("none-.txt")},
       kIoFailure,
       "none-.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Invocation run = binario(c.arguments);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_NE(run.err.find(c.err_contains), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
  }
}

}  // namespace
}  // namespace binario::tool
