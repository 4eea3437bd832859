#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include <gtest/gtest.h>

#include "io/files.h"
#include "io/native_files.h"
#include "testing/test_files.h"

namespace binario {
namespace {

using testing::file_names;
using testing::read_file;
using testing::TempFolder;
using testing::write_file;

// Links planted at the temporary names, old and new, are removed as leftovers, never written
// through.
TEST(ReplaceFile, NeverWritesThroughALinkAtATemporaryName) {
  TempFolder folder;
  write_file(folder.file("victim.txt"), "kept");
  std::filesystem::create_symlink(folder.path() / "victim.txt", folder.path() / "out.txt.tmp");
  std::filesystem::create_symlink(folder.path() / "victim.txt",
                                  folder.path() / "out.txt.00000000.tmp");
  replace_file(folder.file("out.txt"), "new");
  EXPECT_EQ(read_file(folder.file("victim.txt")), "kept");
  EXPECT_EQ(read_file(folder.file("out.txt")), "new");
  EXPECT_EQ(file_names(folder.path()), (std::vector<std::string>{"out.txt", "victim.txt"}));
}

// The exclusive creation refuses a link, even one to nothing, which a plain creation would
// follow and create the file it points to.
TEST(NativeFiles, CreatingANewFileNeverFollowsALink) {
  TempFolder folder;
  write_file(folder.file("victim.txt"), "kept");
  std::filesystem::create_symlink(folder.path() / "victim.txt", folder.path() / "link");
  std::filesystem::create_symlink(folder.path() / "made.txt", folder.path() / "dangling");
  for (const char* name : {"link", "dangling"}) {
    native::File file = native::kNoFile;
    EXPECT_TRUE(native::is_already_there(native::create_new(folder.file(name), file))) << name;
  }
  EXPECT_EQ(read_file(folder.file("victim.txt")), "kept");
  EXPECT_EQ(file_names(folder.path()),
            (std::vector<std::string>{"dangling", "link", "victim.txt"}));
}

// Replaces `path` under a file size limit of 4096 bytes with 100000 bytes, as a full disk would
// stop it half-way; exits with 0 when the failure is reported as the one it is.
[[noreturn]] void replace_beyond_the_size_limit(const std::string& path) {
  std::signal(SIGXFSZ, SIG_IGN);
  const rlimit limit{4096, 4096};
  setrlimit(RLIMIT_FSIZE, &limit);
  int status = 1;
  try {
    replace_file(path, std::string(100000, 'n'));
  } catch (const std::system_error& e) {
    if (e.code() == std::errc::file_too_large) status = 0;
  }
  std::exit(status);
}

// A write that fails half-way must leave the older file whole and no temporary behind. The
// limit is set in a child process, which alone gets it.
TEST(ReplaceFileDeathTest, AWriteFailingHalfWayLeavesTheOlderFileWhole) {
  TempFolder folder;
  const std::string older(3000, 'o');
  write_file(folder.file("out.txt"), older);
  EXPECT_EXIT(replace_beyond_the_size_limit(folder.file("out.txt")), ::testing::ExitedWithCode(0),
              "");
  EXPECT_EQ(read_file(folder.file("out.txt")), older);
  EXPECT_EQ(file_names(folder.path()), std::vector<std::string>{"out.txt"});
}

}  // namespace
}  // namespace binario
