#include "io/files.h"

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

}  // namespace
}  // namespace binario
