#include "io/folder_lock.h"

#include <chrono>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include <gtest/gtest.h>

#include "testing/test_files.h"

namespace binario {
namespace {

using namespace std::chrono_literals;
using testing::file_names;
using testing::TempFolder;

// Two holders exclude each other, whether in one process or two: a FolderLock is the system's
// lock on an open file of its own.
TEST(FolderLock, ASecondHolderWaitsThenReportsTheFolder) {
  TempFolder folder;
  std::optional<FolderLock> first(std::in_place, folder.path().string());
  try {
    FolderLock second(folder.path().string(), 50ms);
    FAIL() << "two holders at once";
  } catch (const std::system_error& e) {
    EXPECT_EQ(e.code(), std::errc::device_or_resource_busy);
    EXPECT_EQ(std::string(e.what()).rfind("cannot lock " + folder.path().string() +
                                              ": another run has been writing there for 50 ms",
                                          0),
              0u)
        << e.what();
  }
  first.reset();
  { FolderLock second(folder.path().string(), 0ms); }
  { FolderLock third(folder.path().string(), 0ms); }
  // No file of the lock stays.
  EXPECT_TRUE(file_names(folder.path()).empty());
}

TEST(FolderLock, AFolderThatIsNotThereIsReportedAtOnce) {
  TempFolder folder;
  const std::string missing = (folder.path() / "missing").string();
  try {
    FolderLock lock(missing, 60s);
    FAIL() << "locked a folder that is not there";
  } catch (const std::system_error& e) {
    EXPECT_NE(e.code(), std::errc::device_or_resource_busy);
    EXPECT_EQ(std::string(e.what()).rfind("cannot lock " + missing + ": ", 0), 0u) << e.what();
  }
  EXPECT_TRUE(file_names(folder.path()).empty());
}

}  // namespace
}  // namespace binario
