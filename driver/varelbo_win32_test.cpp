// varelbo on Windows, where a read-only file cannot be replaced.

#include <windows.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "driver/exit_status.h"
#include "testing/test_files.h"

namespace binario {
namespace {

TEST(VarelboWin32, AReadOnlyTargetEndsTheRunWithTheReportAndLeavesItWhole) {
  testing::TempFolder home;
  const std::filesystem::path program = home.path() / "varelbo.exe";
  std::filesystem::copy_file(VARELBO_PROGRAM, program);
  const std::filesystem::path notes = home.path() / "Varelbo_3874_note.txt";
  testing::write_file(notes, "older notes");
  SetFileAttributesW(notes.wstring().c_str(), FILE_ATTRIBUTE_READONLY);

  const testing::ProgramRun run = testing::run_program(program, home.path());

  EXPECT_EQ(run.exit_status, kExitFailure);
  EXPECT_NE(run.shown.find("Errore di run-time"), std::string::npos) << run.shown;
  EXPECT_NE(run.shown.find(notes.string()), std::string::npos) << run.shown;
  EXPECT_EQ(testing::read_file(notes), "older notes");
  // The writers before it finished; nothing after it ran, and no temporary file is left.
  EXPECT_EQ(testing::file_names(home.path()),
            (std::vector<std::string>{"Varelbo_3874-.txt", "Varelbo_3874_note.txt",
                                      "Varelbo_linea.txt", "varelbo.exe"}));
  SetFileAttributesW(notes.wstring().c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace binario
