#include "testing/scenario_folder.h"

#include <algorithm>

namespace binario::testing {

const std::vector<std::string> kDescriptionFiles = {"Varelbo_linea.txt", "Varelbo_3874-.txt"};
const std::vector<std::string> kOutputFiles = {
    "Varelbo_3874_scheda_treno.txt",
    "Varelbo_3874_rallentamenti.txt",
    "Varelbo_3874_note.txt",
    "Varelbo_linea.dat",
    "Varelbo_3874.sim",
    "Varelbo_3874.dat",
};
const std::vector<std::string> kCompiledFiles = {"Varelbo_linea.dat", "Varelbo_3874.sim",
                                                 "Varelbo_3874.dat"};

std::string varelbo_name() { return std::filesystem::path(VARELBO_PROGRAM).filename().string(); }

const std::map<std::string, std::string>& new_set() {
  static const std::map<std::string, std::string> files = [] {
    std::map<std::string, std::string> set;
    for (const std::string& name : kDescriptionFiles) {
      set[name] = read_file(std::filesystem::path(SCENARIO_TESTDATA) / name);
    }
    for (const std::string& name : kOutputFiles) {
      const bool compiled =
          std::find(kCompiledFiles.begin(), kCompiledFiles.end(), name) != kCompiledFiles.end();
      set[name] =
          read_file(std::filesystem::path(compiled ? COMPILER_TESTDATA : SCENARIO_TESTDATA) / name);
    }
    return set;
  }();
  return files;
}

const std::map<std::string, std::string>& older_set() {
  static const std::map<std::string, std::string> files = [] {
    std::map<std::string, std::string> set;
    std::size_t size = 700;
    for (const auto& [name, bytes] : new_set()) {
      set[name] = "an older " + name + " " + std::string(size, '.');
      size = size * 3 / 2;
    }
    return set;
  }();
  return files;
}

ScenarioFolder::ScenarioFolder() { std::filesystem::copy_file(VARELBO_PROGRAM, program()); }

void ScenarioFolder::hold_older_set() const {
  for (const std::string& name : file_names(path())) {
    if (name != varelbo_name()) std::filesystem::remove(path() / name);
  }
  for (const auto& [name, bytes] : older_set()) write_file(path() / name, bytes);
}

namespace {

bool is_temporary(const std::string& name) {
  return name.size() > 4 && name.compare(name.size() - 4, 4, ".tmp") == 0;
}

}  // namespace

std::vector<std::string> ScenarioFolder::problems(
    bool temporaries_allowed, const std::map<std::string, std::string>& more_allowed,
    const std::set<std::string>& also_present) const {
  std::vector<std::string> found;
  const std::vector<std::string> names = file_names(path());
  for (const std::string& name : names) {
    if (name == varelbo_name() || new_set().count(name) != 0 || also_present.count(name) != 0) {
      continue;
    }
    if (!(temporaries_allowed && is_temporary(name))) found.push_back("a file " + name);
  }
  for (const auto& [name, bytes] : new_set()) {
    const bool description = std::find(kDescriptionFiles.begin(), kDescriptionFiles.end(), name) !=
                             kDescriptionFiles.end();
    if (std::find(names.begin(), names.end(), name) == names.end()) {
      if (!description) found.push_back(name + " is missing");
      continue;
    }
    const std::string now = read_file(path() / name);
    const auto more = more_allowed.find(name);
    if (now != bytes && now != older_set().at(name) &&
        !(more != more_allowed.end() && now == more->second)) {
      found.push_back(name + " is neither the older file nor the new one (" +
                      std::to_string(now.size()) + " bytes)");
    }
  }
  return found;
}

std::vector<std::string> ScenarioFolder::problems_after_a_clean_run() const {
  std::vector<std::string> found;
  std::vector<std::string> expected = kOutputFiles;
  expected.push_back(varelbo_name());
  std::sort(expected.begin(), expected.end());
  if (file_names(path()) != expected) {
    std::string listed;
    for (const std::string& name : file_names(path())) listed += " " + name;
    found.push_back("the folder holds" + listed);
  }
  for (const std::string& name : kOutputFiles) {
    if (std::filesystem::exists(path() / name) && read_file(path() / name) != new_set().at(name)) {
      found.push_back(name + " is not the new file");
    }
  }
  return found;
}

std::string listed(const std::vector<std::string>& problems, std::size_t most) {
  std::string text;
  for (std::size_t i = 0; i < problems.size() && i < most; ++i) text += problems[i] + "\n";
  if (problems.size() > most)
    text += "... and " + std::to_string(problems.size() - most) + " more\n";
  return text;
}

}  // namespace binario::testing
