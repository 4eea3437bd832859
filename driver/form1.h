#ifndef BINARIO_DRIVER_FORM1_H_
#define BINARIO_DRIVER_FORM1_H_

#include <optional>
#include <string>
#include <string_view>

#include "io/folder_lock.h"
#include "reader/track_model.h"
#include "scenario/file_names.h"

namespace binario {

// The program's one window and the owner of the run state. Its load handler is the whole run.
class Form1 {
 public:
  // Runs the fixed sequence, from naming the scenario to the end of the run, and gives the
  // process's exit status. Failures of the system are not caught here.
  int Form_Load();

  // Lets go of the folder's lock, shows " Errore n. " followed by `a` in the error box, then
  // ends the program with kExitErrore. Never returns.
  [[noreturn]] void errore(std::string_view a);

  // The full name of one of the scenario's files, built afresh from the executable's folder.
  std::string nome_file(ScenarioFile file) const;

  RunState& state() { return state_; }

 private:
  RunState state_;
  // Held from before the first file is written to the end of the run.
  std::optional<FolderLock> folder_lock_;
};

// The text of the error box for the error number `a`.
std::string errore_message(std::string_view a);

// The exit status of a run that ended normally with this error status; a code, when there is
// one, is made known first.
int end_status(const RunState& state);

}  // namespace binario

#endif  // BINARIO_DRIVER_FORM1_H_
