// varelbo as a user runs it: copied into a folder of its own and started from another one.

#include <algorithm>
#include <cstdint>
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

// The driver documents and the compiled route files stay; the two description files are read
// back and deleted.
const std::vector<std::string> kDocuments = {
    "Varelbo_3874_note.txt",
    "Varelbo_3874_rallentamenti.txt",
    "Varelbo_3874_scheda_treno.txt",
};
const std::vector<std::string> kCompiled = {
    "Varelbo_3874.dat",
    "Varelbo_3874.sim",
    "Varelbo_linea.dat",
};

std::int32_t le(const std::string& bytes, std::size_t offset, int width) {
  std::uint32_t value = 0;
  for (int i = width - 1; i >= 0; --i) {
    value = value << 8 | static_cast<unsigned char>(bytes[offset + i]);
  }
  return width == 2 ? static_cast<std::int16_t>(value) : static_cast<std::int32_t>(value);
}

// The program's file name: varelbo, or varelbo.exe.
const std::string kProgram = std::filesystem::path(VARELBO_PROGRAM).filename().string();

// A folder holding a copy of varelbo, as a user would install it.
struct Installed {
  TempFolder home;
  std::filesystem::path program = home.path() / kProgram;
  Installed() { std::filesystem::copy_file(VARELBO_PROGRAM, program); }
};

TEST(Varelbo, WritesItsFilesNextToItselfReplacingOlderOnes) {
  Installed varelbo;
  TempFolder elsewhere;
  for (const std::string& name : kDocuments) {
    testing::write_file(varelbo.home.path() / name, std::string(30000, 'x'));
  }
  testing::write_file(varelbo.home.path() / "Varelbo_3874.dat", std::string(50000, 'x'));

  const testing::ProgramRun run = run_program(varelbo.program, elsewhere.path());

  EXPECT_EQ(run.exit_status, kExitOk);
  EXPECT_EQ(run.shown, testing::kShownWaitingText);
  std::vector<std::string> expected = kCompiled;
  expected.insert(expected.end(), kDocuments.begin(), kDocuments.end());
  expected.push_back(kProgram);
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(file_names(varelbo.home.path()), expected);
  for (const std::string& name : kDocuments) {
    EXPECT_EQ(read_file(varelbo.home.path() / name),
              read_file(std::filesystem::path(SCENARIO_TESTDATA) / name))
        << name;
  }
  for (const std::string& name : kCompiled) {
    EXPECT_TRUE(read_file(varelbo.home.path() / name) ==
                read_file(std::filesystem::path(COMPILER_TESTDATA) / name))
        << name << " differs from its golden copy";
  }
  EXPECT_TRUE(file_names(elsewhere.path()).empty());
}

TEST(Varelbo, CompiledFilesCarryTheirSizesStampsAndCodes) {
  Installed varelbo;
  ASSERT_EQ(run_program(varelbo.program, varelbo.home.path()).exit_status, kExitOk);

  EXPECT_EQ(read_file(varelbo.home.path() / "Varelbo_linea.dat").size(), 2439964u);

  const std::string track = read_file(varelbo.home.path() / "Varelbo_3874.dat");
  ASSERT_EQ(track.size(), 36615u);
  EXPECT_EQ(le(track, 15 + 1, 2), 5121);  // cell 1: the stamp and the og code of "3874varelbo"
  EXPECT_EQ(le(track, 15 + 3, 2), 2529);

  // The general data file: 87 records of 34 bytes and their texts.
  const std::string data = read_file(varelbo.home.path() / "Varelbo_3874.sim");
  std::size_t offset = 0;
  std::size_t texts = 0;
  for (int row = 0; row < 87; ++row) {
    ASSERT_LE(offset + 34, data.size());
    const auto length =
        static_cast<std::size_t>(static_cast<std::uint16_t>(le(data, offset + 14, 2)));
    const std::string text = data.substr(offset + 16, length);
    texts += length;
    const std::size_t after_text = offset + 16 + length;
    if (row == 85) {
      EXPECT_EQ(text, "Varelbo");
      EXPECT_EQ(le(data, after_text, 2), 610);
      EXPECT_EQ(le(data, after_text + 14, 4), 35607);
    }
    if (row == 86) {
      EXPECT_EQ(text, "3874");
    }
    offset = after_text + 18;
  }
  EXPECT_EQ(offset, data.size());
  EXPECT_EQ(data.size(), 2958 + texts);
}

// The first writer cannot replace its file (a folder stands in its place): the run ends with
// the report of the failure and writes nothing else.
TEST(Varelbo, AFailingWriterEndsTheRunWithItsReport) {
  Installed varelbo;
  std::filesystem::create_directory(varelbo.home.path() / "Varelbo_linea.txt");

  const testing::ProgramRun run = run_program(varelbo.program, varelbo.home.path());

  EXPECT_EQ(run.exit_status, kExitFailure);
  const std::string report = std::string(testing::kShownWaitingText) + "Errore di run-time ";
  EXPECT_EQ(run.shown.rfind(report, 0), 0u) << run.shown;
  const std::string target = (varelbo.home.path() / "Varelbo_linea.txt").string();
  EXPECT_NE(run.shown.find("cannot write " + target), std::string::npos) << run.shown;
  EXPECT_EQ(file_names(varelbo.home.path()),
            (std::vector<std::string>{"Varelbo_linea.txt", kProgram}));
}

}  // namespace
}  // namespace binario
