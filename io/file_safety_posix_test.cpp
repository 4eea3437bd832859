// What io/ promises, checked through the real programs on POSIX: every file call of a run
// failing in turn, the program killed at any moment, and runs started at the same moment. After
// each, an output file is the older one, whole, or the new one, whole, and a later run leaves
// exactly the new set.

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "compiler/memorizza_percorso.h"
#include "reader/reader_test_support.h"
#include "testing/scenario_folder.h"
#include "testing/test_files.h"

namespace binario {
namespace {

using testing::kCompiledFiles;
using testing::kDescriptionFiles;
using testing::listed;
using testing::new_set;
using testing::ProgramRun;
using testing::read_file;
using testing::run_program;
using testing::ScenarioFolder;
using testing::StartedProgram;
using testing::TempFolder;

// One call that the fault injection library saw, from its log.
struct FileCall {
  long number = 0;
  std::string operation;
  std::string path;
  int failure = 0;  // the errno it failed with, or 0
};

std::vector<FileCall> read_calls(const std::filesystem::path& log) {
  std::vector<FileCall> calls;
  if (!std::filesystem::exists(log)) return calls;
  std::istringstream in(read_file(log));
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    FileCall call;
    std::string failed;
    fields >> call.number >> call.operation >> call.path >> failed;
    if (failed == "failed") fields >> call.failure;
    calls.push_back(call);
  }
  return calls;
}

// The environment that makes the fault injection library watch `folder`, log every call to
// `log` and, when `at` is not 0, fail (or, with `kill`, die at) the call numbered `at`.
std::vector<std::string> watching(const std::filesystem::path& folder,
                                  const std::filesystem::path& log, long at, bool kill = false) {
  std::vector<std::string> environment = {
      std::string("LD_PRELOAD=") + FAULT_INJECTION_LIBRARY,
      "BINARIO_FAULT_FOLDER=" + folder.string(),
      "BINARIO_FAULT_LOG=" + log.string(),
      "BINARIO_FAULT_AT=" + std::to_string(at),
  };
  if (kill) environment.push_back("BINARIO_FAULT_KILL=1");
  // A program built with AddressSanitizer wants its runtime first among the libraries.
  const char* asan = std::getenv("ASAN_OPTIONS");
  environment.push_back(std::string("ASAN_OPTIONS=") + (asan != nullptr ? asan : "") +
                        ":verify_asan_link_order=0");
  return environment;
}

std::string file_name(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

bool is_description(const std::string& path) {
  return std::find(kDescriptionFiles.begin(), kDescriptionFiles.end(), file_name(path)) !=
         kDescriptionFiles.end();
}

// The compiled files of a run whose train description cannot be read: the readers record code
// 25 and the compile step goes on with the line alone.
const std::map<std::string, std::string>& compiled_without_the_train() {
  static const std::map<std::string, std::string> files = [] {
    RouteFilesInMemory sink;
    testing::MemoryFiles descriptions(new_set().at("Varelbo_linea.txt"), std::nullopt);
    RunState state;
    state.nome_linea = "Varelbo";
    state.numero_treno = "3874";
    memorizza_percorso(state, 1, descriptions, sink);
    std::map<std::string, std::string> files;
    for (const auto& [file, bytes] : sink.files) {
      files[file_name(binario::file_name("", '/', "Varelbo", "3874", file))] = bytes;
    }
    return files;
  }();
  return files;
}

// Under the sanitizers a run takes some twenty times as long. There the kills and the races are
// fewer, enough to run the code that cleans up after them; the release build runs them all.
#ifdef BINARIO_SANITIZED
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

// How many runs and calls a test covered, for the test's log.
void tell(const std::string& text) {
  std::cout << "[ covered  ] " << text << std::endl;
  ::testing::Test::RecordProperty("covered", text);
}

// Every file call of a varelbo run fails in turn, the first, then the second, and so on to the
// last, in a folder that holds an older set of the eight files.
TEST(FaultInjection, VarelboReportsEveryFailedFileCallAndLosesNothing) {
  ScenarioFolder folder;
  TempFolder logs;

  // A clean run under the library gives the calls to fail.
  folder.hold_older_set();
  const ProgramRun clean = run_program(folder.program(), folder.path(), {},
                                       watching(folder.path(), logs.path() / "0", 0));
  ASSERT_EQ(clean.exit_status, 0) << clean.shown;
  ASSERT_TRUE(folder.problems_after_a_clean_run().empty())
      << listed(folder.problems_after_a_clean_run());
  const std::vector<FileCall> calls = read_calls(logs.path() / "0");
  ASSERT_GT(calls.size(), 40u);

  std::vector<std::string> problems;
  std::map<std::string, int> operations;
  for (const FileCall& call : calls) {
    folder.hold_older_set();
    const std::filesystem::path log = logs.path() / std::to_string(call.number);
    const ProgramRun run =
        run_program(folder.program(), folder.path(), {}, watching(folder.path(), log, call.number));
    const std::string what = "call " + std::to_string(call.number) + " (" + call.operation + " " +
                             file_name(call.path) + "): ";
    const std::vector<FileCall> seen = read_calls(log);
    if (seen.size() < static_cast<std::size_t>(call.number) ||
        seen[static_cast<std::size_t>(call.number) - 1].failure == 0) {
      problems.push_back(what + "the run never made it");
      continue;
    }
    const int error = seen[static_cast<std::size_t>(call.number) - 1].failure;
    ++operations[call.operation];

    // Reading a description file back is the readers' business: code 25. Letting go of the
    // folder's lock, the last call, loses nothing: the run's files are all written.
    const bool reading = is_description(call.path) && call.operation != "delete";
    const bool releasing = call.path == folder.path().string() && call.operation == "close";
    if (releasing) {
      if (run.exit_status != 0)
        problems.push_back(what + "status " + std::to_string(run.exit_status));
      for (const std::string& p : folder.problems_after_a_clean_run()) problems.push_back(what + p);
      continue;
    }
    if (reading) {
      if (run.exit_status != 3 || run.shown.find("codice_errore 25,") == std::string::npos) {
        problems.push_back(what + "status " + std::to_string(run.exit_status) + ", " + run.shown);
      }
    } else {
      const std::string report = "Errore di run-time " + std::to_string(error) + ": ";
      const std::string description = std::generic_category().message(error);
      if (run.exit_status != 2 || run.shown.find(report) == std::string::npos ||
          run.shown.find(description) == std::string::npos ||
          run.shown.find(folder.path().string()) == std::string::npos) {
        problems.push_back(what + "status " + std::to_string(run.exit_status) + ", " + run.shown);
      }
    }
    const bool train_unread = reading && file_name(call.path) == "Varelbo_3874-.txt";
    for (const std::string& p :
         folder.problems(false, train_unread ? compiled_without_the_train()
                                             : std::map<std::string, std::string>{})) {
      problems.push_back(what + p);
    }
  }
  EXPECT_TRUE(problems.empty()) << listed(problems);

  std::string covered = std::to_string(calls.size()) + " runs of varelbo, one failed call each:";
  for (const auto& [operation, count] : operations) {
    covered += " " + std::to_string(count) + " " + operation;
  }
  tell(covered);
  // Each kind of call the programs make on their files was failed at least once.
  for (const char* operation :
       {"create", "write", "sync", "close", "rename", "open", "read", "delete", "lock"}) {
    EXPECT_GT(operations[operation], 0) << operation;
  }
}

// binario compile the same way, into a folder that holds its description files and older
// compiled files: the description files never change.
TEST(FaultInjection, BinarioReportsEveryFailedFileCallAndLosesNothing) {
  ScenarioFolder folder;
  TempFolder logs;
  const std::vector<std::string> compile = {"compile",
                                            (folder.path() / "line.txt").string(),
                                            (folder.path() / "train.txt").string(),
                                            "--line-name",
                                            "Varelbo",
                                            "--train-number",
                                            "3874",
                                            "--out",
                                            folder.path().string()};
  const std::set<std::string> descriptions = {"line.txt", "train.txt"};
  auto prepare = [&] {
    folder.hold_older_set();
    for (const std::string& name : kDescriptionFiles) std::filesystem::remove(folder.path() / name);
    testing::write_file(folder.path() / "line.txt", new_set().at("Varelbo_linea.txt"));
    testing::write_file(folder.path() / "train.txt", new_set().at("Varelbo_3874-.txt"));
  };
  auto unchanged = [&] {
    return std::filesystem::exists(folder.path() / "line.txt") &&
           read_file(folder.path() / "line.txt") == new_set().at("Varelbo_linea.txt") &&
           std::filesystem::exists(folder.path() / "train.txt") &&
           read_file(folder.path() / "train.txt") == new_set().at("Varelbo_3874-.txt");
  };

  prepare();
  const ProgramRun clean = run_program(BINARIO_PROGRAM, folder.path(), compile,
                                       watching(folder.path(), logs.path() / "0", 0));
  ASSERT_EQ(clean.exit_status, 0) << clean.standard_error;
  for (const std::string& name : kCompiledFiles) {
    ASSERT_TRUE(read_file(folder.path() / name) == new_set().at(name)) << name;
  }
  const std::vector<FileCall> calls = read_calls(logs.path() / "0");
  ASSERT_GT(calls.size(), 20u);

  std::vector<std::string> problems;
  for (const FileCall& call : calls) {
    prepare();
    const std::filesystem::path log = logs.path() / std::to_string(call.number);
    const ProgramRun run = run_program(BINARIO_PROGRAM, folder.path(), compile,
                                       watching(folder.path(), log, call.number));
    const std::string what = "call " + std::to_string(call.number) + " (" + call.operation + " " +
                             file_name(call.path) + "): ";
    const std::vector<FileCall> seen = read_calls(log);
    if (seen.size() < static_cast<std::size_t>(call.number)) {
      problems.push_back(what + "the run never made it");
      continue;
    }
    const int error = seen[static_cast<std::size_t>(call.number) - 1].failure;
    const bool releasing = call.path == folder.path().string() && call.operation == "close";
    const int status = releasing ? 0 : 4;  // tools/binario/binario.h: kIoFailure
    if (run.exit_status != status ||
        (!releasing &&
         run.standard_error.find(std::generic_category().message(error)) == std::string::npos)) {
      problems.push_back(what + "status " + std::to_string(run.exit_status) + ", " +
                         run.standard_error);
    }
    if (!unchanged()) problems.push_back(what + "the description files changed");
    for (const std::string& p : folder.problems(false, {}, descriptions)) {
      problems.push_back(what + p);
    }
  }
  EXPECT_TRUE(problems.empty()) << listed(problems);
  tell(std::to_string(calls.size()) + " runs of binario compile, one failed call each");
}

// The whole run of varelbo, from its start to its end, in a median of three.
std::chrono::steady_clock::duration run_time(const ScenarioFolder& folder) {
  std::vector<std::chrono::steady_clock::duration> times;
  for (int i = 0; i < 3; ++i) {
    folder.hold_older_set();
    const auto start = std::chrono::steady_clock::now();
    run_program(folder.program(), folder.path());
    times.push_back(std::chrono::steady_clock::now() - start);
  }
  std::sort(times.begin(), times.end());
  return times[1];
}

// What a folder holds, told short: for each of the eight files o (older), n (new) or - (gone),
// then the number of temporary files.
std::string state_of(const ScenarioFolder& folder) {
  std::string state;
  int temporaries = 0;
  for (const auto& [name, bytes] : new_set()) {
    const std::filesystem::path path = folder.path() / name;
    state += !std::filesystem::exists(path) ? '-' : read_file(path) == bytes ? 'n' : 'o';
  }
  for (const std::string& name : testing::file_names(folder.path())) {
    if (name.ends_with(".tmp")) ++temporaries;
  }
  return state + " " + std::to_string(temporaries);
}

// varelbo killed with SIGKILL at 225 moments spread over its run, and right before each of its
// file calls: after each kill every file is the older one or the new one, whole; the next run
// succeeds, removes what the killed one left and leaves exactly the new set.
TEST(KilledRun, LeavesEveryFileWholeAndTheNextRunCleansUp) {
  ScenarioFolder folder;
  TempFolder logs;
  std::vector<std::string> problems;
  std::set<std::string> states;
  auto check = [&](const std::string& what) {
    for (const std::string& p : folder.problems(true)) problems.push_back(what + p);
    states.insert(state_of(folder));
    const ProgramRun next = run_program(folder.program(), folder.path());
    if (next.exit_status != 0) problems.push_back(what + "the next run failed: " + next.shown);
    for (const std::string& p : folder.problems_after_a_clean_run()) {
      problems.push_back(what + "after the next run, " + p);
    }
  };

  // Killed by the fault injection library right before each file call.
  folder.hold_older_set();
  run_program(folder.program(), folder.path(), {}, watching(folder.path(), logs.path() / "0", 0));
  const std::size_t calls = read_calls(logs.path() / "0").size();
  int kills_at_calls = 0;
  for (std::size_t at = 1; at <= calls; at += kSanitized ? 4 : 1) {
    ++kills_at_calls;
    folder.hold_older_set();
    const ProgramRun run =
        run_program(folder.program(), folder.path(), {},
                    watching(folder.path(), logs.path() / "k", static_cast<long>(at), true));
    if (run.exit_status != -1) problems.push_back("call " + std::to_string(at) + ": not killed");
    check("killed before call " + std::to_string(at) + ": ");
  }
  // Every file call moves the folder on, so the kills before them see many states.
  EXPECT_GT(states.size(), kSanitized ? 5u : 10u);

  // Killed from outside, at moments spread over the run.
  const auto whole_run = run_time(folder);
  constexpr int kMoments = kSanitized ? 22 : 225;
  for (int i = 0; i < kMoments; ++i) {
    folder.hold_older_set();
    const auto moment = whole_run * i * 9 / (kMoments * 8);  // the last ones after its end
    {
      StartedProgram run(folder.program(), folder.path());
      std::this_thread::sleep_for(moment);
      run.kill();
      run.wait();
    }
    check("killed after " +
          std::to_string(std::chrono::duration_cast<std::chrono::microseconds>(moment).count()) +
          " us: ");
  }
  EXPECT_TRUE(problems.empty()) << listed(problems);
  tell(std::to_string(kills_at_calls) + " kills before a file call, " + std::to_string(kMoments) +
       " kills from outside over a run of " +
       std::to_string(std::chrono::duration_cast<std::chrono::microseconds>(whole_run).count()) +
       " us; " + std::to_string(states.size()) + " different states of the folder");
}

// Eight runs of varelbo started at the same moment in one folder, as a double click that went
// wrong: each waits for the folder's lock, each ends well, and the folder holds one whole set.
TEST(RunsAtOnce, EightVarelbosInOneFolderAllEndWell) {
  ScenarioFolder folder;
  std::vector<std::string> problems;
  constexpr int kRounds = kSanitized ? 5 : 50;
  constexpr int kRuns = 8;
  for (int round = 0; round < kRounds; ++round) {
    folder.hold_older_set();
    std::vector<std::unique_ptr<StartedProgram>> runs;
    for (int i = 0; i < kRuns; ++i) {
      runs.push_back(std::make_unique<StartedProgram>(folder.program(), folder.path()));
    }
    const std::string what = "round " + std::to_string(round) + ": ";
    for (auto& run : runs) {
      const ProgramRun ended = run->wait();
      if (ended.exit_status != 0) {
        problems.push_back(what + "status " + std::to_string(ended.exit_status) + ", " +
                           ended.shown);
      }
    }
    for (const std::string& p : folder.problems_after_a_clean_run()) problems.push_back(what + p);
  }
  EXPECT_TRUE(problems.empty()) << listed(problems);
  tell(std::to_string(kRounds) + " rounds of " + std::to_string(kRuns) + " runs at once");
}

}  // namespace
}  // namespace binario
