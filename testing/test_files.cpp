#include "testing/test_files.h"

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace binario::testing {

namespace {

// A file name in single quotes for the shell, with any single quote in it escaped.
std::string shell_quoted(const std::filesystem::path& path) {
  std::string quoted = "'";
  for (char c : path.string()) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

}  // namespace

TempFolder::TempFolder() {
  std::random_device entropy;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::filesystem::path candidate =
        std::filesystem::temp_directory_path() / ("binario-test-" + std::to_string(entropy()));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_file(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::vector<std::string> file_names(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

ProgramRun run_program(const std::filesystem::path& program,
                       const std::filesystem::path& working_folder,
                       const std::vector<std::string>& arguments) {
  TempFolder capture;
  const std::filesystem::path output = capture.path() / "stdout";
  const std::filesystem::path errors = capture.path() / "stderr";
  std::string command = "cd " + shell_quoted(working_folder) + " && " + shell_quoted(program);
  for (const std::string& argument : arguments) command += " " + shell_quoted(argument);
  command += " </dev/null >" + shell_quoted(output) + " 2>" + shell_quoted(errors);
  const int status = std::system(command.c_str());
  ProgramRun run;
  if (status != -1 && WIFEXITED(status)) run.exit_status = WEXITSTATUS(status);
  run.standard_output = read_file(output);
  run.standard_error = read_file(errors);
  return run;
}

}  // namespace binario::testing
