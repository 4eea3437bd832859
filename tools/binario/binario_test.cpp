#include "tools/binario/binario.h"
#include "tools/binario/binario_test_support.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "compiler/memorizza_percorso.h"
#include "io/files.h"
#include "reader/reader_test_support.h"
#include "testing/test_files.h"
#include "tools/binario/console.h"

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

// A text as it stands inside a JSON string.
std::string json_escaped(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    if (c == '\\' || c == '"') escaped += '\\';
    escaped += c;
  }
  return escaped;
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
  // Its one curve out of order, on purpose.
  EXPECT_EQ(run.err.substr(run.err.rfind("binario:")), "binario: 0 errors and 1 warning\n");
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

// A train description that gives the route a station, a speed and an adhesion everywhere.
std::string clean_train(const std::vector<std::string>& records = {}) {
  std::vector<std::string> all = {
      "velocita,  0,  100", "aderenza,  0,  100",
      "stazione,  1000, 12,  400,  0, 0, 0,  0,0,0,  0,0,0,  0,  9, 0, 0, A"};
  all.insert(all.end(), records.begin(), records.end());
  return small_train(all);
}

// The first line of each diagnostic on standard error, without the folder.
std::vector<std::string> first_lines(const std::string& err, const std::string& folder) {
  std::vector<std::string> lines;
  std::istringstream in(err);
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line.front() == ' ') continue;
    if (line.starts_with(folder)) line.erase(0, folder.size());
    lines.push_back(line);
  }
  return lines;
}

// What each outcome returns, writes and says: the files written, one "wrote" line each, and
// the diagnostics on standard error.
TEST(Binario, Outcomes) {
  const std::string too_close =
      clean_train({"stazione,  1500, 28,  200,  0, 0, 0,  0,0,0,  0,0,0,  0,  9, 0, 0, B"});
  const std::string rounded = clean_train({"velocita,  3000,  112"});
  const std::vector<std::string> all = {"Linea_linea.dat", "Linea_12.sim", "Linea_12.dat"};
  struct Case {
    const char* name;
    std::string line;
    std::string train;
    std::vector<std::string> more;
    int status;
    std::vector<std::string> written;
    std::vector<std::string> told;
  };
  const Case cases[] = {
      {"clean", small_line(), clean_train(), {}, kClean, all, {}},
      {"a warning",
       small_line(),
       rounded,
       {},
       kClean,
       all,
       {"train.txt:5:19: warning: a speed of 112 km/h is kept as 110 km/h: the track keeps line "
        "speeds in 5 km/h steps, ties to even [value-rounded]",
        "binario: 0 errors and 1 warning"}},
      {"a warning, strict",
       small_line(),
       rounded,
       {"--strict"},
       kRecordedError,
       all,
       {"train.txt:5:19: warning: a speed of 112 km/h is kept as 110 km/h: the track keeps line "
        "speeds in 5 km/h steps, ties to even [value-rounded]",
        "binario: 0 errors and 1 warning"}},
      {"an error: the files are written all the same",
       small_line(),
       too_close,
       {},
       kRecordedError,
       all,
       {"train.txt:5:12: error: the station 'B' at 1500 m begins at 1400 m, less than 350 m after "
        "the end of the previous station [code 22]",
        "train.txt:4:1: note: the previous station, 'A', ends at 1200 m",
        "note: the reading stopped here: the compiled files hold only what came before",
        "binario: 1 error and 0 warnings"}},
      {"an error with no track: nothing is written",
       "[fine]\r\n",
       clean_train(),
       {},
       kRecordedError,
       {},
       {"line.txt: error: the line description has no '[generale]' heading, so nothing in it was "
        "read [code 102]",
        "note: the reading stopped here, with no track built: no compiled file was written, and "
        "the train description was not read",
        "binario: 1 error and 0 warnings"}},
      {"a stamp check",
       small_line({"cartello_indicatore,  0,   (A)"}),
       clean_train(),
       {},
       kStampFailure,
       {},
       {"line.txt:4:1: error: cell 1, the first 50 m of the line, holds a sign board with a first "
        "value: the compile step stamps that cell, so it refused to compile; move the object to "
        "50 m or later [code 1250]",
        "note: no compiled file was written", "binario: 1 error and 0 warnings"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const char* command : {"compile", "check"}) {
      SCOPED_TRACE(command);
      Descriptions files(c.line, c.train);
      std::vector<std::string> arguments = files.compile(c.more);
      arguments[0] = command;
      if (arguments[0] == "check") arguments.erase(arguments.begin() + 7, arguments.begin() + 9);
      const Invocation run = binario(arguments);
      EXPECT_EQ(run.status, c.status);
      EXPECT_EQ(first_lines(run.err, files.folder.path().string() + kSeparator), c.told);
      std::string wrote;
      std::vector<std::string> expected_files = {"line.txt", "train.txt"};
      if (arguments[0] == "compile") {
        for (const std::string& name : c.written) {
          wrote += "wrote " + files.out(name) + "\n";
          expected_files.push_back(name);
        }
      }
      EXPECT_EQ(run.out, wrote);
      std::sort(expected_files.begin(), expected_files.end());
      EXPECT_EQ(file_names(files.folder.path()), expected_files);
    }
  }
}

// The JSON object has the same keys, in the same order, for every outcome.
void expect_schema(const nlohmann::ordered_json& report) {
  std::vector<std::string> keys;
  for (const auto& [key, value] : report.items()) keys.push_back(key);
  EXPECT_EQ(keys, (std::vector<std::string>{"codice_errore", "posizione_errore", "errore", "files",
                                            "diagnostics"}));
  EXPECT_TRUE(report["codice_errore"].is_number_integer() || report["codice_errore"].is_null());
  EXPECT_TRUE(report["posizione_errore"].is_number_integer() ||
              report["posizione_errore"].is_null());
  EXPECT_TRUE(report["errore"].is_string() || report["errore"].is_null());
  ASSERT_TRUE(report["files"].is_array());
  for (const auto& file : report["files"]) EXPECT_TRUE(file.is_string());
  ASSERT_TRUE(report["diagnostics"].is_array());
  for (const auto& d : report["diagnostics"]) {
    std::vector<std::string> fields;
    for (const auto& [key, value] : d.items()) fields.push_back(key);
    EXPECT_EQ(fields, (std::vector<std::string>{"severity", "code", "file", "line", "column",
                                                "message", "position_m", "notes", "explain"}));
    const std::string severity = d["severity"];
    EXPECT_TRUE(severity == "error" || severity == "warning" || severity == "note") << severity;
    EXPECT_TRUE(d["code"].is_number_integer() || d["code"].is_string());
    EXPECT_TRUE(d["file"].is_string() || d["file"].is_null());
    EXPECT_TRUE(d["line"].is_number_integer() || d["line"].is_null());
    EXPECT_TRUE(d["column"].is_number_integer() || d["column"].is_null());
    EXPECT_TRUE(d["message"].is_string());
    EXPECT_TRUE(d["position_m"].is_number_integer() || d["position_m"].is_null());
    EXPECT_EQ(d["explain"], severity == "warning" ? nlohmann::json("binario explain --warning " +
                                                                   d["code"].get<std::string>())
                                                  : nlohmann::json());
    ASSERT_TRUE(d["notes"].is_array());
    for (const auto& note : d["notes"]) {
      std::vector<std::string> note_fields;
      for (const auto& [key, value] : note.items()) note_fields.push_back(key);
      EXPECT_EQ(note_fields, (std::vector<std::string>{"file", "line", "column", "message"}));
    }
  }
}

TEST(Binario, JsonForEveryOutcome) {
  Descriptions files(small_line({"pendenza,  4000", "pendenza,  5000,  2"}),
                     clean_train({"velocita,  3000,  112"}));
  const std::string folder = files.folder.path().string();
  struct Case {
    const char* name;
    std::vector<std::string> arguments;
    int status;
    nlohmann::json expected;  // what the object must hold, besides its schema
  };
  const Case cases[] = {
      {"errors and warnings",
       files.compile({"--json"}),
       kRecordedError,
       {{"codice_errore", 25}, {"diagnostics_codes", {25, "value-rounded"}}}},
      {"check",
       {"check", files.line, files.train, "--json"},
       kRecordedError,
       {{"codice_errore", 25}, {"files", nlohmann::json::array()}}},
      {"a usage failure",
       {"compile", "--json"},
       kUsageError,
       {{"codice_errore", nullptr}, {"diagnostics_codes", {"usage"}}}},
      {"an unknown command",
       {"frobnicate", "--json"},
       kUsageError,
       {{"diagnostics_codes", {"usage"}}}},
      {"a file failure",
       {"check", folder + "/none.txt", files.train, "--json"},
       kIoFailure,
       {{"codice_errore", nullptr}, {"diagnostics_codes", {"io"}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Invocation run = binario(c.arguments);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.err, "");
    const nlohmann::ordered_json report = nlohmann::ordered_json::parse(run.out);
    expect_schema(report);
    for (const auto& [key, value] : c.expected.items()) {
      if (key == "diagnostics_codes") {
        nlohmann::json codes = nlohmann::json::array();
        for (const auto& d : report["diagnostics"]) codes.push_back(nlohmann::json(d["code"]));
        EXPECT_EQ(codes, value);
      } else {
        EXPECT_EQ(nlohmann::json(report[key]), value) << key;
      }
    }
  }
}

// The whole text of the diagnostics for a pair of descriptions with many problems, as an author
// sees it, against a golden copy.
TEST(Binario, ManyProblemsInOneRun) {
  const std::filesystem::path testdata = BINARIO_TESTDATA;
  const binario::testing::ProgramRun run = binario::testing::run_program(
      BINARIO_PROGRAM, testdata, {"check", "Monte_linea.txt", "Monte_7-.txt"});
  EXPECT_EQ(run.exit_status, kRecordedError);
  std::string err = run.standard_error;
  std::erase(err, '\r');
  EXPECT_EQ(err, read_file(testdata / "Monte_check.txt"));
  EXPECT_EQ(run.standard_output, "");
}

// The names are stored as every text of the compiled files is, one Windows-1252 byte a
// character, and the competition codes are computed from those bytes: the files are those the
// compile step makes from the Windows-1252 names. The files on disk keep the names as given.
TEST(Binario, NamesAreStoredInWindows1252) {
  Descriptions files(small_line(), clean_train());
  const std::string folder = files.folder.path().string();
  // As the system's command line gives them: UTF-8 on POSIX, the ANSI code page on Windows.
  const std::string line_name = utf8_as_argument("Citt\xC3\xA0");
  const std::string train_number = utf8_as_argument("7\xC2\xAA");
  const Invocation run = binario({"compile", files.line, files.train, "--line-name", line_name,
                                  "--train-number", train_number, "--out", folder});
  EXPECT_EQ(run.status, kClean) << run.err;
  // Joined by hand and read through binario's own helper, which takes names as binario does.
  const std::string line_plan = folder + kSeparator + line_name + "_linea.dat";
  const std::string general_data = folder + kSeparator + line_name + "_" + train_number + ".sim";
  const std::string track = folder + kSeparator + line_name + "_" + train_number + ".dat";
  EXPECT_EQ(run.out, "wrote " + line_plan + "\nwrote " + general_data + "\nwrote " + track + "\n");
  const std::map<ScenarioFile, std::string> written = {
      {ScenarioFile::kLinePlan, read_file_if_exists(line_plan).value_or("")},
      {ScenarioFile::kGeneralData, read_file_if_exists(general_data).value_or("")},
      {ScenarioFile::kTrack, read_file_if_exists(track).value_or("")}};

  RunState state;
  state.nome_linea = "Citt\xE0";
  state.numero_treno = "7\xAA";
  DescriptionTexts descriptions(read_file(files.line), read_file(files.train));
  RouteFilesInMemory expected;
  memorizza_percorso(state, 1, descriptions, expected);
  ASSERT_EQ(state.codice_errore, 0);
  EXPECT_TRUE(written == expected.files);
  const std::string& data = written.at(ScenarioFile::kGeneralData);
  EXPECT_NE(data.find("Citt\xE0"), std::string::npos);
  EXPECT_EQ(data.find("\xC3\xA0"), std::string::npos);
}

// A name the compiled files cannot hold is a usage error that names its character, and so is
// an argument that is not UTF-8 where arguments are; each where the system's command line can
// give it at all.
TEST(Binario, NamesWindows1252CannotHold) {
  Descriptions files(small_line(), clean_train());
  struct Case {
    const char* name;
    std::string line_name;  // UTF-8, or the bytes as they stand
    bool utf8;
    std::string err;
  };
  const Case cases[] = {
      {"a character Windows-1252 has not",
       "\xD0\x96"
       "d",
       true,
       "--line-name: holds '\xD0\x96', a character the compiled files cannot hold: they keep "
       "every text in Windows-1252, one byte a character\n"},
      {"a name that is not UTF-8", "L\xAA", false,
       "--line-name: is not UTF-8 text: byte 2, 0xAA, begins no UTF-8 character; give the name "
       "as UTF-8\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string argument = c.utf8 ? utf8_as_argument(c.line_name) : c.line_name;
    const bool given =
        c.utf8 ? argument_as_utf8(argument) == c.line_name : argument_as_utf8(argument) == argument;
    if (!given) continue;
    const Invocation run =
        binario({"check", files.line, files.train, "--line-name", argument, "--train-number", "1"});
    EXPECT_EQ(run.status, kUsageError);
    EXPECT_TRUE(run.err.starts_with(c.err)) << run.err;
  }
}

// The long explanation of a warning, by the name check ends it with; a name that is none gets
// the nearest, and the list.
TEST(Binario, ExplainsAWarning) {
  const Invocation run = binario({"explain", "--warning", "curve-overlap"});
  EXPECT_EQ(run.status, kClean) << run.err;
  EXPECT_TRUE(run.out.starts_with("## curve-overlap\n")) << run.out.substr(0, 80);
  for (const char* part :
       {"**What it means.**", "**Why it matters.**", "**Example.**", "**Instead.**"}) {
    EXPECT_NE(run.out.find(part), std::string::npos) << part;
  }
  EXPECT_EQ(run.out.find("\n## "), std::string::npos);  // that section only

  const Invocation json = binario({"explain", "--warning", "curve-overlap", "--json"});
  EXPECT_EQ(json.status, kClean);
  const nlohmann::json object = nlohmann::json::parse(json.out);
  EXPECT_EQ(object["warning"], "curve-overlap");
  EXPECT_EQ(object["explanation"].get<std::string>() + "\n", run.out);

  const Invocation misspelt = binario({"explain", "--warning", "curve-overlpa"});
  EXPECT_EQ(misspelt.status, kUsageError);
  EXPECT_NE(misspelt.err.find("explain: no warning is named 'curve-overlpa'; did you mean "
                              "'curve-overlap'? The warnings are unknown-keyword, "),
            std::string::npos)
      << misspelt.err;
  EXPECT_EQ(binario({"explain"}).status, kUsageError);
  const Invocation long_name = binario({"explain", "--warning", std::string(100000, 'x')});
  EXPECT_EQ(long_name.status, kUsageError);
  EXPECT_LT(long_name.err.size(), 200u) << long_name.err.substr(0, 200);
}

TEST(Binario, UsageAndFileFailures) {
  Descriptions files(small_line(), clean_train());
  const std::string folder = files.folder.path().string();
  write_file(files.folder.path() / "taken", "");
  struct Case {
    const char* name;
    std::vector<std::string> arguments;
    int status;
    std::string err_contains;
  };
  const Case cases[] = {
      {"no command", {}, kUsageError, "A subcommand is required"},
      {"an unknown command",
       {"frobnicate", "x"},
       kUsageError,
       "binario: unknown command 'frobnicate'; the commands are compile, check, new, dump, diff"},
      {"no train number",
       {"compile", files.line, files.train, "--line-name", "L"},
       kUsageError,
       "--train-number is required"},
      {"an empty name",
       {"compile", files.line, files.train, "--line-name", "", "--train-number", "1"},
       kUsageError,
       "must not be empty"},
      {"a name that is a path",
       {"compile", files.line, files.train, "--line-name", "../L", "--train-number", "1"},
       kUsageError,
       "must not contain '/'"},
      {"an unknown option", files.compile({"--fast"}), kUsageError, "--fast"},
      // A path that begins with '/' is a path on every platform, never an option.
      {"a missing description",
       {"compile", "/no/such/line.txt", files.train, "--line-name", "L", "--train-number", "1"},
       kIoFailure,
       "binario: error: cannot read /no/such/line.txt: No such file or directory"},
      {"an output folder that cannot be made",
       {"compile", files.line, files.train, "--line-name", "L", "--train-number", "1", "--out",
        folder + "/taken/compiled"},
       kIoFailure,
       "binario: error: cannot create the folder " + folder + "/taken/compiled"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Invocation run = binario(c.arguments);
    EXPECT_EQ(run.status, c.status);
    EXPECT_NE(run.err.find(c.err_contains), std::string::npos) << run.err;
  }
  EXPECT_EQ(file_names(files.folder.path()),
            (std::vector<std::string>{"line.txt", "taken", "train.txt"}));
}

// The output folder is made when missing, and names are joined to it with one separator.
TEST(Binario, OutputFolder) {
  Descriptions files(small_line(), clean_train());
  const std::string out = files.folder.file("compiled") + kSeparator;
  auto compile = [&](std::vector<std::string> more) {
    std::vector<std::string> arguments = {"compile",     files.line,       files.train,
                                          "--line-name", "Linea",          "--out",
                                          out,           "--train-number", "12"};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return binario(arguments);
  };
  const Invocation first = compile({});
  EXPECT_EQ(first.status, kClean);
  EXPECT_EQ(first.out.substr(0, first.out.find('\n')), "wrote " + out + "Linea_linea.dat");
  EXPECT_EQ(file_names(out),
            (std::vector<std::string>{"Linea_12.dat", "Linea_12.sim", "Linea_linea.dat"}));
  // Without a plan, an older plan file of the same name stays, and the author is told.
  const Invocation second = compile({"--no-plan"});
  EXPECT_EQ(second.status, kClean);
  EXPECT_EQ(second.err, "binario: note: " + out +
                            "Linea_linea.dat, a line plan file of an earlier compile, was left "
                            "as it was: --no-plan writes none\n");
}

// The starting point binario new writes reads without a single diagnostic, and compiles; it
// never replaces an author's files.
TEST(Binario, NewWritesAStartThatChecksClean) {
  TempFolder folder;
  const std::string out = folder.file("nuova");
  const Invocation made = binario({"new", "Nuova", "--train-number", "7", "--out", out});
  EXPECT_EQ(made.status, kClean);
  EXPECT_EQ(made.out, "wrote " + out + kSeparator + "Nuova_linea.txt\nwrote " + out + kSeparator +
                          "Nuova_7-.txt\n");
  const std::string line = out + kSeparator + "Nuova_linea.txt";
  const std::string train = out + kSeparator + "Nuova_7-.txt";
  const Invocation checked = binario({"check", line, train, "--strict", "--json"});
  EXPECT_EQ(checked.status, kClean) << checked.out;
  EXPECT_EQ(nlohmann::json::parse(checked.out)["diagnostics"], nlohmann::json::array());
  const Invocation compiled = binario({"compile", line, train, "--line-name", "Nuova",
                                       "--train-number", "7", "--out", out, "--strict"});
  EXPECT_EQ(compiled.status, kClean) << compiled.err;

  const std::string before = read_file(line);
  write_file(line, "mine");
  const Invocation again = binario({"new", "Nuova", "--train-number", "7", "--out", out});
  EXPECT_EQ(again.status, kIoFailure);
  EXPECT_NE(again.err.find("binario new never replaces a file"), std::string::npos) << again.err;
  EXPECT_EQ(read_file(line), "mine");
  EXPECT_NE(before, "mine");
}

TEST(Binario, Version) {
  const Invocation run = binario({"--version"});
  EXPECT_EQ(run.status, kClean);
  EXPECT_EQ(run.out, std::string("binario ") + BINARIO_VERSION + "\n");
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
  Descriptions files(small_line(), clean_train());
  const binario::testing::ProgramRun run = binario::testing::run_program(
      BINARIO_PROGRAM, files.folder.path(),
      {"compile", "line.txt", "train.txt", "--line-name", "L", "--train-number", "1", "--json"});
  EXPECT_EQ(run.exit_status, kClean);
  // Standard output is text: on Windows its lines end with CR LF.
  std::string output = run.standard_output;
  std::erase(output, '\r');
  const std::string here = json_escaped("." + kSeparator);
  EXPECT_EQ(output, R"({"codice_errore":0,"posizione_errore":0,"errore":null,"files":[")" + here +
                        R"(L_linea.dat",")" + here + R"(L_1.sim",")" + here +
                        R"(L_1.dat"],"diagnostics":[]})" + "\n");
  EXPECT_EQ(run.standard_error, "");
}

}  // namespace
}  // namespace binario::tool
