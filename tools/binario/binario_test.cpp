#include "tools/binario/binario.h"

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "reader/reader_test_support.h"
#include "testing/test_files.h"

namespace binario::tool {
namespace {

using binario::testing::file_names;
using binario::testing::read_file;
using binario::testing::small_line;
using binario::testing::small_train;
using binario::testing::TempFolder;
using binario::testing::write_file;

// What binario puts between a folder and a file name.
const std::string kSeparator(1, static_cast<char>(std::filesystem::path::preferred_separator));

// A text as it stands inside a JSON string.
std::string json_escaped(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    if (c == '\\' || c == '"') escaped += '\\';
    escaped += c;
  }
  return escaped;
}

struct Invocation {
  int status;
  std::string out;
  std::string err;
};

Invocation binario(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "binario");
  std::vector<const char*> argv;
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  std::ostringstream out;
  std::ostringstream err;
  const int status = run(static_cast<int>(argv.size()), argv.data(), out, err);
  return {status, out.str(), err.str()};
}

// A folder with a pair of description files, and the command that compiles them into it.
struct Descriptions {
  TempFolder folder;
  std::string line = folder.file("line.txt");
  std::string train = folder.file("train.txt");
  Descriptions(const std::string& line_bytes, const std::string& train_bytes) {
    write_file(line, line_bytes);
    write_file(train, train_bytes);
  }
  std::vector<std::string> compile(std::vector<std::string> more = {}) const {
    std::vector<std::string> arguments = {"compile",     line,    train,
                                          "--line-name", "Linea", "--train-number",
                                          "12",          "--out", folder.path().string()};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
  }
  std::string out(const std::string& name) const { return folder.file(name); }
};

TEST(Binario, CompilesTheScenarioExactlyAsVarelboDoes) {
  const std::filesystem::path golden = SCENARIO_TESTDATA;
  Descriptions files(read_file(golden / "Varelbo_linea.txt"),
                     read_file(golden / "Varelbo_3874-.txt"));
  const Invocation run = binario({"compile", files.line, files.train, "--line-name", "Varelbo",
                                  "--train-number", "3874", "--out", files.folder.path().string()});
  EXPECT_EQ(run.status, kClean);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, "wrote " + files.out("Varelbo_linea.dat") + "\nwrote " +
                         files.out("Varelbo_3874.sim") + "\nwrote " +
                         files.out("Varelbo_3874.dat") + "\n");
  for (const char* name : {"Varelbo_linea.dat", "Varelbo_3874.sim", "Varelbo_3874.dat"}) {
    EXPECT_TRUE(read_file(files.out(name)) ==
                read_file(std::filesystem::path(COMPILER_TESTDATA) / name))
        << name;
  }
  // The descriptions are left as they were.
  EXPECT_EQ(read_file(files.line), read_file(golden / "Varelbo_linea.txt"));
  EXPECT_EQ(read_file(files.train), read_file(golden / "Varelbo_3874-.txt"));
}

TEST(Binario, NoPlan) {
  Descriptions files(small_line({"curvas4,  100,  100"}), small_train());
  const Invocation run = binario(files.compile({"--no-plan"}));
  EXPECT_EQ(run.status, kClean);
  EXPECT_EQ(file_names(files.folder.path()),
            (std::vector<std::string>{"Linea_12.dat", "Linea_12.sim", "line.txt", "train.txt"}));
}

TEST(Binario, Outcomes) {
  const std::string too_close =
      small_train({"stazione,  5000, 12,  400,  0, 0, 0,  0,0,0,  0,0,0,  0,  9, 0, 0, A",
                   "stazione,  5500, 28,  200,  0, 0, 0,  0,0,0,  0,0,0,  0,  9, 0, 0, B"});
  struct Case {
    const char* name;
    std::string line;
    std::string train;
    std::vector<std::string> more;
    int status;
    std::string err;
    std::string json = {};  // with --json, when given
  };
  const Case cases[] = {
      {"an error with a position",
       small_line(),
       too_close,
       {},
       kRecordedError,
       "binario: error 22 at 5500 m: the station begins less than 350 m after the end of the "
       "previous one\n"},
      {"the same as JSON",
       small_line(),
       too_close,
       {"--json"},
       kRecordedError,
       "",
       R"({"codice_errore":22,"posizione_errore":5500,"errore":null,"files":["@Linea_linea.dat","@Linea_12.sim","@Linea_12.dat"]})"},
      {"an error without a position",
       "[generale]\r\n",
       small_train(),
       {},
       kRecordedError,
       "binario: error 102: the line description has no [generale] heading before its last "
       "line\n"},
      {"a read failure",
       small_line({"pendenza,  1x,  2"}),
       small_train(),
       {},
       kRecordedError,
       "binario: error 25: a description file could not be read (line description, line 4, "
       "column 12: \"1x\" is not a number of 32 bits)\n"},
      {"a stamp check",
       small_line({"cartello_indicatore,  0,   (A)"}),
       small_train(),
       {},
       kStampFailure,
       "binario: error 1250: the stamp slots are already in use: an object in cell 1, at the "
       "very start of the line, carries a first value; no compiled file was written\n"},
      {"a stamp check as JSON",
       small_line({"cartello_indicatore,  0,   (A)"}),
       small_train(),
       {"--json"},
       kStampFailure,
       "",
       R"({"codice_errore":0,"posizione_errore":0,"errore":"1250","files":[]})"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Descriptions files(c.line, c.train);
    const Invocation run = binario(files.compile(c.more));
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.err, c.err);
    if (!c.json.empty()) {
      std::string expected = c.json;
      for (std::size_t at; (at = expected.find('@')) != std::string::npos;) {
        expected.replace(at, 1, json_escaped(files.folder.path().string() + kSeparator));
      }
      EXPECT_EQ(run.out, expected + "\n");
    }
  }
}

TEST(Binario, UsageAndFileFailures) {
  Descriptions files(small_line(), small_train());
  const std::string folder = files.folder.path().string();
  struct Case {
    const char* name;
    std::vector<std::string> arguments;
    int status;
    std::string err_contains;
  };
  const Case cases[] = {
      {"no command", {}, kUsageError, "A subcommand is required"},
      {"no train number",
       {"compile", files.line, files.train, "--line-name", "L"},
       kUsageError,
       "--train-number is required"},
      {"a name that is a path",
       {"compile", files.line, files.train, "--line-name", "../L", "--train-number", "1"},
       kUsageError,
       "must not contain '/'"},
      {"an unknown option", files.compile({"--fast"}), kUsageError, "--fast"},
      {"a missing description",
       {"compile", folder + "/none.txt", files.train, "--line-name", "L", "--train-number", "1"},
       kIoFailure,
       "binario: cannot read " + folder + "/none.txt: No such file or directory"},
      {"a missing output folder",
       {"compile", files.line, files.train, "--line-name", "L", "--train-number", "1", "--out",
        folder + "/none"},
       kIoFailure,
       "binario: cannot lock " + folder + "/none: "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Invocation run = binario(c.arguments);
    EXPECT_EQ(run.status, c.status);
    EXPECT_NE(run.err.find(c.err_contains), std::string::npos) << run.err;
  }
  EXPECT_EQ(file_names(files.folder.path()), (std::vector<std::string>{"line.txt", "train.txt"}));
}

// Description files as authors may hand them over: compiled or refused with a code, never a
// crash, and left exactly as they were.
TEST(Binario, DescriptionFilesInAnyShape) {
  const std::filesystem::path golden = SCENARIO_TESTDATA;
  const std::string line = read_file(golden / "Varelbo_linea.txt");
  const std::string train = read_file(golden / "Varelbo_3874-.txt");
  auto with_line_ends = [](std::string text, const std::string& end) {
    for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += end.size()) {
      text.replace(at, 2, end);
    }
    return text;
  };
  const std::string long_line(10 * 1024 * 1024, 'x');
  struct Case {
    const char* name;
    std::string line;
    std::string train;
    int status;
    std::int32_t code;
  };
  const Case cases[] = {
      {"empty line description", "", train, kRecordedError, 102},
      {"empty train description", small_line(), "", kClean, 0},
      {"cut off inside a record", line.substr(0, line.find("curvas3")) + "curvas3,  1300", train,
       kRecordedError, 25},
      {"CR only", with_line_ends(line, "\r"), with_line_ends(train, "\r"), kClean, 0},
      {"LF only", with_line_ends(line, "\n"), with_line_ends(train, "\n"), kClean, 0},
      {"byte-order marks", "\xEF\xBB\xBF" + line, "\xEF\xBB\xBF" + train, kClean, 0},
      {"NUL in a number",
       small_line({std::string("pendenza, 10\0"
                               "00, 2",
                               18)}),
       small_train(), kRecordedError, 25},
      {"NUL in a text", small_line(), small_train({std::string("sabbia\0, 5", 10)}), kClean, 0},
      {"10 MB keyword", small_line({long_line}), small_train(), kClean, 0},
      {"10 MB sign board text", small_line({"cartello_indicatore, 1000, " + long_line}),
       small_train(), kRecordedError, 25},
      {"10 MB station name", small_line(),
       small_train({"stazione, 5000, 12, 400, 0,0,0, 0,0,0, 0,0,0, 0, 9,0,0, " + long_line}),
       kRecordedError, 25},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Descriptions files(c.line, c.train);
    const Invocation run = binario(files.compile({"--json"}));
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out.rfind("{\"codice_errore\":" + std::to_string(c.code) + ",", 0), 0u)
        << run.out;
    EXPECT_TRUE(read_file(files.line) == c.line);
    EXPECT_TRUE(read_file(files.train) == c.train);
  }
}

TEST(Binario, HelpListsTheExitStatuses) {
  const Invocation run = binario({"compile", "--help"});
  EXPECT_EQ(run.status, kClean);
  EXPECT_NE(run.out.find("--line-name"), std::string::npos);
  EXPECT_NE(run.out.find("2  a stamp check failed"), std::string::npos) << run.out;
}

// The program itself, as an author runs it.
TEST(Binario, RunsAsAProgram) {
  Descriptions files(small_line(), small_train());
  const binario::testing::ProgramRun run = binario::testing::run_program(
      BINARIO_PROGRAM, files.folder.path(),
      {"compile", "line.txt", "train.txt", "--line-name", "L", "--train-number", "1", "--json"});
  EXPECT_EQ(run.exit_status, kClean);
  // Standard output is text: on Windows its lines end with CR LF.
  std::string output = run.standard_output;
  std::erase(output, '\r');
  const std::string here = json_escaped("." + kSeparator);
  EXPECT_EQ(output, R"({"codice_errore":0,"posizione_errore":0,"errore":null,"files":[")" + here +
                        R"(L_linea.dat",")" + here + R"(L_1.sim",")" + here + R"(L_1.dat"]})" +
                        "\n");
  EXPECT_EQ(run.standard_error, "");
}

}  // namespace
}  // namespace binario::tool
