#ifndef BINARIO_TESTING_SCENARIO_FOLDER_H_
#define BINARIO_TESTING_SCENARIO_FOLDER_H_

// A folder holding a copy of varelbo and the scenario's eight files, for the tests that fail,
// kill or race the real programs and then look at what they left.

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "testing/test_files.h"

namespace binario::testing {

// The file names, by what becomes of them in a run.
extern const std::vector<std::string> kDescriptionFiles;  // written, read back, deleted
extern const std::vector<std::string> kOutputFiles;       // the six a run leaves
extern const std::vector<std::string> kCompiledFiles;     // the three compiled route files

// The program's file name: varelbo, or varelbo.exe.
std::string varelbo_name();

// The bytes of each of the eight files a clean run writes (the golden copies).
const std::map<std::string, std::string>& new_set();

// A set of the eight files as an older run of another scenario might have left them: every one
// different from the new one.
const std::map<std::string, std::string>& older_set();

class ScenarioFolder {
 public:
  // An empty folder with a copy of varelbo.
  ScenarioFolder();

  const std::filesystem::path& path() const { return folder_.path(); }
  std::filesystem::path program() const { return folder_.path() / varelbo_name(); }

  // Removes every file but the program and writes the older set.
  void hold_older_set() const;

  // What is wrong with the folder after a run that may have failed or been killed: each file of
  // the eight is either absent (a description file only) or one of `allowed` (the older file or
  // the new one; one of `more_allowed` too, where given), whole; any other file is named, unless
  // it is a temporary file and `temporaries_allowed`. Empty when all is well.
  std::vector<std::string> problems(bool temporaries_allowed,
                                    const std::map<std::string, std::string>& more_allowed = {},
                                    const std::set<std::string>& also_present = {}) const;

  // What is wrong with the folder after a clean run: it must hold the program and exactly the
  // six new files.
  std::vector<std::string> problems_after_a_clean_run() const;

 private:
  TempFolder folder_;
};

// The problems, one a line, for a test's report.
std::string listed(const std::vector<std::string>& problems, std::size_t most = 20);

}  // namespace binario::testing

#endif  // BINARIO_TESTING_SCENARIO_FOLDER_H_
