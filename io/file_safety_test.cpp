// The folder's lock as the real programs take it, on every platform: a program started while
// another holds the folder waits for it, writes nothing meanwhile, and then ends well.

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "io/folder_lock.h"
#include "testing/scenario_folder.h"
#include "testing/test_files.h"

namespace binario {
namespace {

using testing::file_names;
using testing::kCompiledFiles;
using testing::new_set;
using testing::ScenarioFolder;
using testing::StartedProgram;
using testing::TempFolder;

TEST(RunsAtOnce, VarelboWaitsForTheFoldersLock) {
  ScenarioFolder folder;
  std::optional<FolderLock> held(std::in_place, folder.path().string());
  StartedProgram run(folder.program(), folder.path());
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  // Nothing written while the folder is held (a Windows lock file aside).
  std::vector<std::string> names = file_names(folder.path());
  std::erase(names, "binario.lock");
  EXPECT_EQ(names, std::vector<std::string>{testing::varelbo_name()});
  held.reset();
  const testing::ProgramRun ended = run.wait();
  EXPECT_EQ(ended.exit_status, 0) << ended.shown;
  EXPECT_TRUE(folder.problems_after_a_clean_run().empty())
      << testing::listed(folder.problems_after_a_clean_run());
}

TEST(RunsAtOnce, BinarioWaitsForTheFoldersLock) {
  TempFolder descriptions;
  TempFolder out;
  testing::write_file(descriptions.path() / "line.txt", new_set().at("Varelbo_linea.txt"));
  testing::write_file(descriptions.path() / "train.txt", new_set().at("Varelbo_3874-.txt"));
  std::optional<FolderLock> held(std::in_place, out.path().string());
  StartedProgram run(BINARIO_PROGRAM, descriptions.path(),
                     {"compile", "line.txt", "train.txt", "--line-name", "Varelbo",
                      "--train-number", "3874", "--out", out.path().string()});
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  std::vector<std::string> names = file_names(out.path());
  std::erase(names, "binario.lock");
  EXPECT_TRUE(names.empty()) << names.front();
  held.reset();
  const testing::ProgramRun ended = run.wait();
  EXPECT_EQ(ended.exit_status, 0) << ended.standard_error;
  EXPECT_EQ(
      file_names(out.path()),
      (std::vector<std::string>{"Varelbo_3874.dat", "Varelbo_3874.sim", "Varelbo_linea.dat"}));
  for (const std::string& name : kCompiledFiles) {
    EXPECT_TRUE(testing::read_file(out.path() / name) == new_set().at(name)) << name;
  }
}

}  // namespace
}  // namespace binario
