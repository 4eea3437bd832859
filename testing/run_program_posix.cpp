#include <sys/wait.h>

#include <cstdlib>

#include <gtest/gtest.h>

#include "testing/test_files.h"

namespace binario::testing {

namespace {

// A file name in single quotes for the shell, with any single quote in it escaped.
std::string shell_quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

}  // namespace

const char* const kShownWaitingText = "Attendere\n";

ProgramRun run_program(const std::filesystem::path& program,
                       const std::filesystem::path& working_folder,
                       const std::vector<std::string>& arguments) {
  TempFolder capture;
  const std::filesystem::path output = capture.path() / "stdout";
  const std::filesystem::path errors = capture.path() / "stderr";
  std::string command =
      "cd " + shell_quoted(working_folder.string()) + " && " + shell_quoted(program.string());
  for (const std::string& argument : arguments) command += " " + shell_quoted(argument);
  command +=
      " </dev/null >" + shell_quoted(output.string()) + " 2>" + shell_quoted(errors.string());
  const int status = std::system(command.c_str());
  ProgramRun run;
  if (status != -1 && WIFEXITED(status)) run.exit_status = WEXITSTATUS(status);
  run.standard_output = read_file(output);
  run.standard_error = read_file(errors);
  run.shown = run.standard_error;
  return run;
}

// Messages go to standard error: there is nothing to answer.
struct MessageAnswerer::State {};
MessageAnswerer::MessageAnswerer() : state_(nullptr) {}
MessageAnswerer::~MessageAnswerer() = default;
std::string MessageAnswerer::answered() const { return ""; }

ShownMessages::ShownMessages() { ::testing::internal::CaptureStderr(); }
std::string ShownMessages::text() { return ::testing::internal::GetCapturedStderr(); }

}  // namespace binario::testing
