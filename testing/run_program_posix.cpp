#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

#include <gtest/gtest.h>

#include "testing/test_files.h"

namespace binario::testing {

const char* const kShownWaitingText = "Attendere\n";

struct StartedProgram::State {
  TempFolder capture;
  pid_t pid = -1;
};

StartedProgram::StartedProgram(const std::filesystem::path& program,
                               const std::filesystem::path& working_folder,
                               const std::vector<std::string>& arguments,
                               const std::vector<std::string>& environment)
    : state_(new State) {
  // Everything the child needs is made before fork(): after it, only calls that are safe there.
  const std::string program_name = program.string();
  const std::string folder = working_folder.string();
  const std::string output = (state_->capture.path() / "stdout").string();
  const std::string errors = (state_->capture.path() / "stderr").string();
  std::vector<std::string> argument_strings = {program_name};
  argument_strings.insert(argument_strings.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& argument : argument_strings) argv.push_back(argument.data());
  argv.push_back(nullptr);
  // This process's environment, less the variables that `environment` sets anew.
  auto name_of = [](const std::string& variable) { return variable.substr(0, variable.find('=')); };
  std::vector<std::string> environment_strings = environment;
  for (char** variable = environ; *variable != nullptr; ++variable) {
    const std::string name = name_of(*variable);
    if (std::none_of(environment.begin(), environment.end(),
                     [&](const std::string& set) { return name_of(set) == name; })) {
      environment_strings.emplace_back(*variable);
    }
  }
  std::vector<char*> envp;
  for (std::string& variable : environment_strings) envp.push_back(variable.data());
  envp.push_back(nullptr);
  // There even when the program is killed before it opens them.
  write_file(output, "");
  write_file(errors, "");

  state_->pid = fork();
  if (state_->pid < 0) throw std::runtime_error("cannot start " + program_name);
  if (state_->pid == 0) {
    const int in = open("/dev/null", O_RDONLY);
    const int out = open(output.c_str(), O_WRONLY);
    const int err = open(errors.c_str(), O_WRONLY);
    if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 ||
        chdir(folder.c_str()) != 0) {
      _exit(127);
    }
    execve(program_name.c_str(), argv.data(), envp.data());
    _exit(127);
  }
}

StartedProgram::~StartedProgram() {
  if (state_->pid > 0) {
    kill();
    static_cast<void>(wait());
  }
}

void StartedProgram::kill() {
  if (state_->pid > 0) ::kill(state_->pid, SIGKILL);
}

ProgramRun StartedProgram::wait() {
  ProgramRun run;
  int status = 0;
  while (waitpid(state_->pid, &status, 0) < 0) {
    if (errno != EINTR) throw std::runtime_error("cannot wait for a program");
  }
  state_->pid = -1;
  if (WIFEXITED(status)) run.exit_status = WEXITSTATUS(status);
  run.standard_output = read_file(state_->capture.path() / "stdout");
  run.standard_error = read_file(state_->capture.path() / "stderr");
  run.shown = run.standard_error;
  return run;
}

ProgramRun run_program(const std::filesystem::path& program,
                       const std::filesystem::path& working_folder,
                       const std::vector<std::string>& arguments,
                       const std::vector<std::string>& environment) {
  return StartedProgram(program, working_folder, arguments, environment).wait();
}

// Messages go to standard error: there is nothing to answer.
struct MessageAnswerer::State {};
MessageAnswerer::MessageAnswerer() : state_(nullptr) {}
MessageAnswerer::~MessageAnswerer() = default;
std::string MessageAnswerer::answered() const { return ""; }

ShownMessages::ShownMessages() { ::testing::internal::CaptureStderr(); }
std::string ShownMessages::text() { return ::testing::internal::GetCapturedStderr(); }

}  // namespace binario::testing
