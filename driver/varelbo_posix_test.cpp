// varelbo against failures of the system that POSIX lets a test stage: a full disk, a file size
// limit, a folder it may not write.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
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
using testing::write_file;

const std::string kProgram = std::filesystem::path(VARELBO_PROGRAM).filename().string();

// The run ends with the report of a failure to write the line plan file, its older copy whole
// and no temporary file left.
void expect_failed_at_the_plan(const testing::ProgramRun& run, const std::filesystem::path& home,
                               const std::string& description) {
  EXPECT_EQ(run.exit_status, kExitFailure);
  const std::string plan = (home / "Varelbo_linea.dat").string();
  EXPECT_NE(run.shown.find("Errore di run-time "), std::string::npos) << run.shown;
  EXPECT_NE(run.shown.find("cannot write " + plan + ": " + description), std::string::npos)
      << run.shown;
  EXPECT_EQ(read_file(plan), "an older plan");
  // The text files were written before; the two other compiled files come after the plan.
  EXPECT_EQ(file_names(home), (std::vector<std::string>{
                                  "Varelbo_3874_note.txt", "Varelbo_3874_rallentamenti.txt",
                                  "Varelbo_3874_scheda_treno.txt", "Varelbo_linea.dat", kProgram}));
}

// A small file system mounted on a folder for as long as the object lives.
class SmallFileSystem {
 public:
  SmallFileSystem(const std::filesystem::path& folder, std::uintmax_t bytes) : folder_(folder) {
    const std::string command = "mount -t tmpfs -o size=" + std::to_string(bytes) + " tmpfs '" +
                                folder.string() + "' 2>/dev/null";
    mounted_ = geteuid() == 0 && std::system(command.c_str()) == 0;
  }
  ~SmallFileSystem() {
    if (mounted_) std::system(("umount '" + folder_.string() + "'").c_str());
  }
  bool mounted() const { return mounted_; }

 private:
  std::filesystem::path folder_;
  bool mounted_ = false;
};

TEST(VarelboPosix, AFullDiskEndsTheRunWithTheReport) {
  TempFolder home;
  // Room for the program, the text files and little else: the 2.4 MB plan does not fit.
  const SmallFileSystem disk(home.path(), std::filesystem::file_size(VARELBO_PROGRAM) + 512 * 1024);
  if (!disk.mounted()) GTEST_SKIP() << "cannot mount a file system here (it needs root)";
  std::filesystem::copy_file(VARELBO_PROGRAM, home.path() / kProgram);
  write_file(home.path() / "Varelbo_linea.dat", "an older plan");

  const testing::ProgramRun run = run_program(home.path() / kProgram, home.path());

  expect_failed_at_the_plan(run, home.path(), "No space left on device");
}

TEST(VarelboPosix, AWriteStoppedHalfWayEndsTheRunWithTheReport) {
  TempFolder home;
  std::filesystem::copy_file(VARELBO_PROGRAM, home.path() / kProgram);
  write_file(home.path() / "Varelbo_linea.dat", "an older plan");

  // A file size limit of 1 MB stops the plan's write half-way, as a full disk would.
  const testing::ProgramRun run = run_program(
      "/bin/sh", home.path(),
      {"-c", "trap '' XFSZ; ulimit -f 1024; exec \"$0\"", (home.path() / kProgram).string()});

  expect_failed_at_the_plan(run, home.path(), "File too large");
}

TEST(VarelboPosix, AFolderItMayNotWriteStopsTheFirstWriter) {
  TempFolder home;
  std::filesystem::copy_file(VARELBO_PROGRAM, home.path() / kProgram);
  std::vector<std::string> arguments;
  std::filesystem::path program = home.path() / kProgram;
  if (geteuid() == 0) {
    // Root writes anywhere: the program runs as nobody, in a folder that belongs to root.
    arguments = {"--reuid=65534", "--regid=65534", "--clear-groups", program.string()};
    program = "/usr/bin/setpriv";
  } else {
    std::filesystem::permissions(home.path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
  }

  const testing::ProgramRun run = run_program(program, home.path(), arguments);

  std::filesystem::permissions(home.path(), std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
  EXPECT_EQ(run.exit_status, kExitFailure);
  // The temporary file's name: the target's, eight hexadecimal digits and ".tmp".
  const std::regex report("cannot create " + (home.path() / "Varelbo_linea\\.txt").string() +
                          "\\.[0-9a-f]{8}\\.tmp: Permission denied");
  EXPECT_TRUE(std::regex_search(run.shown, report)) << run.shown;
  EXPECT_EQ(file_names(home.path()), std::vector<std::string>{kProgram});
}

}  // namespace
}  // namespace binario
