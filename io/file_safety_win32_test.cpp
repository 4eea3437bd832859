// The folder's lock and the temporary files on Windows, through varelbo.exe: runs started
// together, and a run killed while it holds the lock.

#include <windows.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "testing/scenario_folder.h"
#include "testing/test_files.h"

namespace binario {
namespace {

using testing::listed;
using testing::ScenarioFolder;
using testing::StartedProgram;

TEST(RunsAtOnceWin32, VarelbosStartedTogetherAllEndWell) {
  ScenarioFolder folder;
  std::vector<std::string> problems;
  for (int round = 0; round < 10; ++round) {
    folder.hold_older_set();
    std::vector<std::unique_ptr<StartedProgram>> runs;
    for (int i = 0; i < 8; ++i) {
      runs.push_back(std::make_unique<StartedProgram>(folder.program(), folder.path()));
    }
    for (auto& run : runs) {
      const testing::ProgramRun ended = run->wait();
      if (ended.exit_status != 0) {
        problems.push_back("status " + std::to_string(ended.exit_status) + ", " + ended.shown);
      }
    }
    for (const std::string& p : folder.problems_after_a_clean_run()) problems.push_back(p);
  }
  EXPECT_TRUE(problems.empty()) << listed(problems);
}

// TerminateProcess as soon as the run has its lock file: the system lets go of the lock, and
// the next run takes it, writes its files and leaves neither the lock file nor a temporary.
TEST(KilledRunWin32, TheNextRunTakesTheLockAndCleansUp) {
  ScenarioFolder folder;
  std::vector<std::string> problems;
  for (const DWORD delay : {0, 5, 10, 20, 40, 80}) {
    folder.hold_older_set();
    {
      StartedProgram run(folder.program(), folder.path());
      for (int i = 0; i < 500 && !std::filesystem::exists(folder.path() / "binario.lock"); ++i) {
        Sleep(2);
      }
      Sleep(delay);
      run.kill();
      run.wait();
    }
    for (const std::string& p : folder.problems(true, {}, {"binario.lock"})) problems.push_back(p);
    const testing::ProgramRun next = testing::run_program(folder.program(), folder.path());
    if (next.exit_status != 0) problems.push_back("the next run: " + next.shown);
    for (const std::string& p : folder.problems_after_a_clean_run()) problems.push_back(p);
  }
  EXPECT_TRUE(problems.empty()) << listed(problems);
}

}  // namespace
}  // namespace binario
