#include "io/files.h"

#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <system_error>
#include <vector>

#include <gtest/gtest.h>

#include "testing/test_files.h"

namespace binario {
namespace {

using testing::file_names;
using testing::read_file;
using testing::TempFolder;
using testing::write_file;

TEST(ReplaceFile, CreatesTheFileWithExactlyTheBytes) {
  TempFolder folder;
  const std::string bytes("line\r\n\0\xE8\xF9\r\n", 10);
  replace_file(folder.file("out.txt"), bytes);
  EXPECT_EQ(read_file(folder.file("out.txt")), bytes);
  EXPECT_EQ(file_names(folder.path()), std::vector<std::string>{"out.txt"});
}

TEST(ReplaceFile, AnOlderLongerFileLeavesNoByteBehind) {
  TempFolder folder;
  write_file(folder.file("out.txt"), std::string(5000, 'x'));
  replace_file(folder.file("out.txt"), "short\r\n");
  EXPECT_EQ(read_file(folder.file("out.txt")), "short\r\n");

  replace_file(folder.file("out.txt"), "");
  EXPECT_EQ(read_file(folder.file("out.txt")), "");
  EXPECT_EQ(file_names(folder.path()), std::vector<std::string>{"out.txt"});
}

TEST(ReplaceFile, AFolderThatDoesNotExistIsAReportedFailure) {
  TempFolder folder;
  try {
    replace_file(folder.file("missing/out.txt"), "bytes");
    FAIL() << "no failure reported";
  } catch (const std::system_error& e) {
    EXPECT_EQ(e.code(), std::errc::no_such_file_or_directory);
    EXPECT_NE(std::string(e.what()).find("missing/out.txt"), std::string::npos) << e.what();
  }
  EXPECT_TRUE(file_names(folder.path()).empty());
}

TEST(ReplaceFile, ATargetThatCannotBeReplacedStaysAndNoTemporaryIsLeft) {
  TempFolder folder;
  std::filesystem::create_directory(folder.path() / "out.txt");
  write_file(folder.path() / "out.txt" / "inside", "kept");
  EXPECT_THROW(replace_file(folder.file("out.txt"), "bytes"), std::system_error);
  EXPECT_EQ(read_file(folder.path() / "out.txt" / "inside"), "kept");
  EXPECT_EQ(file_names(folder.path()), std::vector<std::string>{"out.txt"});
}

TEST(ReadFileIfExists, GivesTheBytesOrNothing) {
  TempFolder folder;
  const std::string bytes("a\r\n\0\xE8", 5);
  write_file(folder.file("in.txt"), bytes);
  EXPECT_EQ(read_file_if_exists(folder.file("in.txt")), bytes);
  EXPECT_EQ(read_file_if_exists(folder.file("missing.txt")), std::nullopt);
  EXPECT_THROW(read_file_if_exists(folder.path().string()), std::system_error);  // a folder
}

TEST(RemoveFile, DeletesAFileAndAcceptsOneThatIsGone) {
  TempFolder folder;
  write_file(folder.file("in.txt"), "x");
  remove_file(folder.file("in.txt"));
  remove_file(folder.file("in.txt"));
  EXPECT_TRUE(file_names(folder.path()).empty());

  std::filesystem::create_directory(folder.path() / "full");
  write_file(folder.path() / "full" / "x", "x");
  EXPECT_THROW(remove_file(folder.file("full")), std::system_error);
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
