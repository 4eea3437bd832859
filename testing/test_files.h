#ifndef BINARIO_TESTING_TEST_FILES_H_
#define BINARIO_TESTING_TEST_FILES_H_

// Helpers for tests that look at real files and run the real programs, as a user would.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace binario::testing {

// A new, empty folder under the system's temporary folder, removed with all it holds when the
// object goes.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The full name of a file in the folder.
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// The whole content of a file, as bytes.
std::string read_file(const std::filesystem::path& path);

// Writes bytes as the whole content of a file.
void write_file(const std::filesystem::path& path, const std::string& bytes);

// The names of the files in a folder, sorted.
std::vector<std::string> file_names(const std::filesystem::path& folder);

struct ProgramRun {
  int exit_status = -1;  // -1 when the program did not exit by itself
  std::string standard_output;
  std::string standard_error;
  // The texts the program showed its user, each followed by a line end: on POSIX what it wrote
  // to standard error; on Windows the texts of its message boxes, each answered with OK.
  std::string shown;
};

// A program started with `arguments`, with `working_folder` as its current folder and with
// `environment` ("NAME=value" each; POSIX only) set in this process's own, and not yet ended.
class StartedProgram {
 public:
  StartedProgram(const std::filesystem::path& program, const std::filesystem::path& working_folder,
                 const std::vector<std::string>& arguments = {},
                 const std::vector<std::string>& environment = {});
  // Kills the program if it still runs, and waits for it.
  ~StartedProgram();
  StartedProgram(const StartedProgram&) = delete;
  StartedProgram& operator=(const StartedProgram&) = delete;

  // Ends the program at once, as a crash or a user's kill would: SIGKILL, TerminateProcess.
  void kill();

  // Waits for the program to end, answering its message boxes on Windows, and gives what it
  // did. Call once.
  ProgramRun wait();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// Runs a program as StartedProgram does and waits for it to end.
ProgramRun run_program(const std::filesystem::path& program,
                       const std::filesystem::path& working_folder,
                       const std::vector<std::string>& arguments = {},
                       const std::vector<std::string>& environment = {});

// What varelbo shows of its waiting window among the texts above: its label on POSIX, where it
// goes to standard error; nothing on Windows, where it stays in the window.
extern const char* const kShownWaitingText;

// While it exists, answers with OK every message box this process shows, as a user would, and
// writes its text to standard error. On POSIX, where messages go to standard error in the first
// place, it does nothing.
class MessageAnswerer {
 public:
  MessageAnswerer();
  ~MessageAnswerer();
  MessageAnswerer(const MessageAnswerer&) = delete;
  MessageAnswerer& operator=(const MessageAnswerer&) = delete;

  // The texts answered so far, each followed by a line end.
  std::string answered() const;

 private:
  struct State;
  State* state_;
};

// The texts the code under test shows its user while this object exists, each followed by a
// line end (on POSIX: standard error, captured).
class ShownMessages {
 public:
  ShownMessages();
  // Stops capturing; call once.
  std::string text();

 private:
  MessageAnswerer answerer_;
};

}  // namespace binario::testing

#endif  // BINARIO_TESTING_TEST_FILES_H_
