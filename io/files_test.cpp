#include "io/files.h"

#include <regex>
#include <string>
#include <system_error>
#include <vector>

#include <gtest/gtest.h>

#include "io/native_files.h"
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
    EXPECT_TRUE(native::is_not_found(e.code())) << e.code().message();
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

// The bytes go to a new file of their own, in pieces, and reach the target only whole.
TEST(FileReplacement, TheTargetIsTheOlderFileUntilTheNewOneIsWhole) {
  TempFolder folder;
  write_file(folder.file("out.txt"), "older");
  {
    FileReplacement file(folder.file("out.txt"));
    EXPECT_TRUE(std::regex_match(file.temporary(), std::regex(".*out\\.txt\\.[0-9a-f]{8}\\.tmp")))
        << file.temporary();
    file.write("new ");
    file.write("");
    file.write("bytes");
    EXPECT_EQ(read_file(folder.file("out.txt")), "older");
    EXPECT_EQ(file_names(folder.path()).size(), 2u);
    file.commit();
  }
  EXPECT_EQ(read_file(folder.file("out.txt")), "new bytes");
  EXPECT_EQ(file_names(folder.path()), std::vector<std::string>{"out.txt"});

  // One that ends without commit() leaves the older file and no temporary.
  {
    FileReplacement file(folder.file("out.txt"));
    file.write("abandoned");
  }
  EXPECT_EQ(read_file(folder.file("out.txt")), "new bytes");
  EXPECT_EQ(file_names(folder.path()), std::vector<std::string>{"out.txt"});
}

TEST(FileReplacement, TwoAtOnceHaveTemporariesOfTheirOwn) {
  TempFolder folder;
  FileReplacement first(folder.file("out.txt"));
  FileReplacement second(folder.file("other.txt"));
  EXPECT_NE(first.temporary(), second.temporary());
  first.write("first");
  first.commit();
  second.write("second");
  second.commit();
  EXPECT_EQ(read_file(folder.file("out.txt")), "first");
  EXPECT_EQ(read_file(folder.file("other.txt")), "second");
}

// A run that was killed leaves its temporaries; the next replacement of the same file removes
// them, and nothing else.
TEST(FileReplacement, RemovesTheTemporariesAKilledRunLeft) {
  TempFolder folder;
  const std::vector<std::string> leftovers = {
      "out.txt.tmp",           // the fixed name of earlier versions
      "out.txt.0123abcd.tmp",  // a name of this one
  };
  const std::vector<std::string> kept = {
      "notes.txt.0123abcd.tmp",  // another file's
      "out.txt",                 // the target
      "out.txt.0123abcz.tmp",    // not a name the programs give
      "out.txt.123.tmp",
      "out.txt.draft.tmp",
      "out.txt.tmp.txt",
      "out.txt0123abcd.tmp",
  };
  for (const std::string& name : leftovers) write_file(folder.file(name), "left");
  for (const std::string& name : kept) write_file(folder.file(name), "kept");

  replace_file(folder.file("out.txt"), "new");

  EXPECT_EQ(file_names(folder.path()), kept);
  EXPECT_EQ(read_file(folder.file("out.txt")), "new");
  EXPECT_EQ(read_file(folder.file("out.txt.draft.tmp")), "kept");
}

TEST(NativeFiles, CreatingANewFileNeverTouchesOneThatIsThere) {
  TempFolder folder;
  write_file(folder.file("there.txt"), "kept");
  native::File file = native::kNoFile;
  const std::error_code error = native::create_new(folder.file("there.txt"), file);
  EXPECT_TRUE(native::is_already_there(error)) << error.message();
  EXPECT_EQ(file, native::kNoFile);
  EXPECT_EQ(read_file(folder.file("there.txt")), "kept");
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
