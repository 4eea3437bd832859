#include <windows.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "testing/test_files.h"

namespace binario::testing {

namespace {

// The standard Windows rules for one argument of a command line: quoted, with quotes and the
// backslashes before them escaped.
std::wstring quoted(const std::wstring& argument) {
  std::wstring result = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
    } else {
      if (c == L'"') result.append(backslashes + 1, L'\\');
      backslashes = 0;
    }
    result += c;
  }
  result.append(backslashes, L'\\');
  return result + L"\"";
}

std::wstring wide(const std::string& bytes) { return std::filesystem::path(bytes).wstring(); }

struct Search {
  DWORD process;
  HWND found;
};

// A visible message box (dialog class "#32770") of the given process.
HWND find_message_box(DWORD process) {
  Search search{process, nullptr};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* search = reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        char name[16] = {};
        GetClassNameA(window, name, sizeof name);
        if (owner == search->process && IsWindowVisible(window) && std::string(name) == "#32770") {
          search->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A message box's text and a line end.
std::string text_of(HWND box) {
  char text[4096] = {};
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the message's static control
  return std::string(text) + "\n";
}

void press_ok(HWND box) { SendMessageA(box, WM_COMMAND, IDOK, 0); }

HANDLE inheritable_file(const std::filesystem::path& path) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return CreateFileW(path.wstring().c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

const char* const kShownWaitingText = "";

struct StartedProgram::State {
  TempFolder capture;
  HANDLE output = INVALID_HANDLE_VALUE;
  HANDLE errors = INVALID_HANDLE_VALUE;
  PROCESS_INFORMATION process{};
  bool started = false;
};

StartedProgram::StartedProgram(const std::filesystem::path& program,
                               const std::filesystem::path& working_folder,
                               const std::vector<std::string>& arguments,
                               const std::vector<std::string>& environment)
    : state_(new State) {
  if (!environment.empty()) throw std::invalid_argument("no environment on Windows");
  state_->output = inheritable_file(state_->capture.path() / "stdout");
  state_->errors = inheritable_file(state_->capture.path() / "stderr");
  std::wstring command = quoted(program.wstring());
  for (const std::string& argument : arguments) command += L" " + quoted(wide(argument));

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = state_->output;
  startup.hStdError = state_->errors;
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                      working_folder.wstring().c_str(), &startup, &state_->process)) {
    const DWORD error = GetLastError();
    CloseHandle(state_->output);
    CloseHandle(state_->errors);
    state_->output = state_->errors = INVALID_HANDLE_VALUE;
    throw std::system_error(static_cast<int>(error), std::system_category(),
                            "cannot start " + program.string());
  }
  state_->started = true;
}

StartedProgram::~StartedProgram() {
  if (state_->started) {
    kill();
    static_cast<void>(wait());
  }
  if (state_->output != INVALID_HANDLE_VALUE) CloseHandle(state_->output);
  if (state_->errors != INVALID_HANDLE_VALUE) CloseHandle(state_->errors);
}

void StartedProgram::kill() {
  if (state_->started) TerminateProcess(state_->process.hProcess, 137);
}

ProgramRun StartedProgram::wait() {
  ProgramRun run;
  if (state_->started) {
    // Answer every message box it shows, as a user would, until it ends.
    while (WaitForSingleObject(state_->process.hProcess, 20) == WAIT_TIMEOUT) {
      if (HWND box = find_message_box(state_->process.dwProcessId)) {
        run.shown += text_of(box);
        press_ok(box);
      }
    }
    DWORD status = 0;
    GetExitCodeProcess(state_->process.hProcess, &status);
    run.exit_status = static_cast<int>(status);
    CloseHandle(state_->process.hThread);
    CloseHandle(state_->process.hProcess);
    state_->started = false;
  }
  CloseHandle(state_->output);
  CloseHandle(state_->errors);
  state_->output = state_->errors = INVALID_HANDLE_VALUE;
  run.standard_output = read_file(state_->capture.path() / "stdout");
  run.standard_error = read_file(state_->capture.path() / "stderr");
  return run;
}

ProgramRun run_program(const std::filesystem::path& program,
                       const std::filesystem::path& working_folder,
                       const std::vector<std::string>& arguments,
                       const std::vector<std::string>& environment) {
  return StartedProgram(program, working_folder, arguments, environment).wait();
}

struct MessageAnswerer::State {
  std::atomic<bool> stop{false};
  mutable std::mutex mutex;
  std::string answered;
  std::thread thread;
};

MessageAnswerer::MessageAnswerer() : state_(new State) {
  state_->thread = std::thread([state = state_] {
    while (!state->stop) {
      if (HWND box = find_message_box(GetCurrentProcessId())) {
        // Written before OK is pressed: the program may end as soon as the box closes.
        const std::string text = text_of(box);
        std::fputs(text.c_str(), stderr);
        std::fflush(stderr);
        {
          std::lock_guard<std::mutex> lock(state->mutex);
          state->answered += text;
        }
        press_ok(box);
      }
      Sleep(20);
    }
  });
}

MessageAnswerer::~MessageAnswerer() {
  state_->stop = true;
  state_->thread.join();
  delete state_;
}

std::string MessageAnswerer::answered() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->answered;
}

ShownMessages::ShownMessages() = default;
std::string ShownMessages::text() { return answerer_.answered(); }

}  // namespace binario::testing
