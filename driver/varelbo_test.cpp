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
using testing::read_file;
using testing::run_program;
using testing::TempFolder;

// The driver documents stay; the two description files are read back and deleted.
const std::vector<std::string> kDocuments = {
    "Varelbo_3874_note.txt",
    "Varelbo_3874_rallentamenti.txt",
    "Varelbo_3874_scheda_treno.txt",
};

// A folder holding a copy of varelbo, as a user would install it.
struct Installed {
  TempFolder home;
  std::filesystem::path program = home.path() / "varelbo";
  Installed() { std::filesystem::copy_file(VARELBO_PROGRAM, program); }
};

TEST(Varelbo, WritesItsFilesNextToItselfReplacingOlderOnes) {
  Installed varelbo;
  TempFolder elsewhere;
  for (const std::string& name : kDocuments) {
    testing::write_file(varelbo.home.path() / name, std::string(30000, 'x'));
  }

  const testing::ProgramRun run = run_program(varelbo.program, elsewhere.path());

  EXPECT_EQ(run.exit_status, kExitOk);
  EXPECT_EQ(run.standard_error, "Attendere\n");
  std::vector<std::string> expected = kDocuments;
  expected.push_back("varelbo");
  EXPECT_EQ(file_names(varelbo.home.path()), expected);
  for (const std::string& name : kDocuments) {
    EXPECT_EQ(read_file(varelbo.home.path() / name),
              read_file(std::filesystem::path(SCENARIO_TESTDATA) / name))
        << name;
  }
  EXPECT_TRUE(file_names(elsewhere.path()).empty());
}

// The first writer cannot replace its file (a folder stands in its place): the run ends with
// the report of the failure and writes nothing else.
TEST(Varelbo, AFailingWriterEndsTheRunWithItsReport) {
  Installed varelbo;
  std::filesystem::create_directory(varelbo.home.path() / "Varelbo_linea.txt");

  const testing::ProgramRun run = run_program(varelbo.program, varelbo.home.path());

  EXPECT_EQ(run.exit_status, kExitFailure);
  EXPECT_EQ(run.standard_error, "Attendere\nErrore di run-time 21: cannot write " +
                                    (varelbo.home.path() / "Varelbo_linea.txt").string() +
                                    ": Is a directory\n");
  EXPECT_EQ(file_names(varelbo.home.path()),
            (std::vector<std::string>{"Varelbo_linea.txt", "varelbo"}));
}

}  // namespace
}  // namespace binario
