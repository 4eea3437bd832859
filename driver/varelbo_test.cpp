// varelbo as a user runs it: copied into a folder of its own and started from another one.

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "driver/exit_status.h"
#include "testing/test_files.h"

namespace binario {
namespace {

using testing::file_names;
using testing::run_program;
using testing::TempFolder;

TEST(Varelbo, RunsFromAnyFolderShowsItsWaitingTextAndEndsCleanly) {
  TempFolder home;
  TempFolder elsewhere;
  const std::filesystem::path program = home.path() / "varelbo";
  std::filesystem::copy_file(VARELBO_PROGRAM, program);

  const testing::ProgramRun run = run_program(program, elsewhere.path());

  EXPECT_EQ(run.exit_status, kExitOk);
  EXPECT_EQ(run.standard_error, "Attendere\n");
  EXPECT_EQ(file_names(home.path()), std::vector<std::string>{"varelbo"});
  EXPECT_TRUE(file_names(elsewhere.path()).empty());
}

}  // namespace
}  // namespace binario
