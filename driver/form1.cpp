#include "driver/form1.h"

#include <optional>
#include <system_error>

#include "compiler/memorizza_percorso.h"
#include "compiler/route_files_in_folder.h"
#include "driver/exit_status.h"
#include "driver/platform.h"
#include "io/files.h"
#include "reader/memorizza_dati.h"
#include "reader/read_failure.h"
#include "scenario/writers.h"

namespace binario {

namespace {

// The scenario this program carries.
constexpr std::string_view kNomeLinea = "Varelbo";
constexpr std::string_view kNumeroTreno = "3874";

// The description files next to the executable. The readers get their bytes, and each file is
// deleted once the readers are done with it.
class FolderDescriptionFiles final : public DescriptionFiles {
 public:
  explicit FolderDescriptionFiles(const Form1& form) : form_(form) {}

  std::optional<std::string> open(DescriptionFile file) override {
    try {
      return read_file_if_exists(name(file));
    } catch (const std::system_error& failure) {
      throw ReadFailure(failure.what());
    }
  }

  void done(DescriptionFile file) override { remove_file(name(file)); }

 private:
  std::string name(DescriptionFile file) const {
    return form_.nome_file(file == DescriptionFile::kLine ? ScenarioFile::kLineDescription
                                                          : ScenarioFile::kTrainDescription);
  }

  const Form1& form_;
};

}  // namespace

int Form1::Form_Load() {
  state_.nome_linea = kNomeLinea;
  state_.numero_treno = kNumeroTreno;

  // Painted before the long work starts, and never again.
  platform::show_waiting_window("Form1", "Attendere");

  // One run at a time writes the folder: a run started at the same moment waits here, with the
  // window showing, until this one has ended.
  folder_lock_.emplace(platform::executable_folder());

  dati_linea(nome_file(ScenarioFile::kLineDescription));
  dati_treno(nome_file(ScenarioFile::kTrainDescription));
  dati_note(nome_file(ScenarioFile::kNotes));
  dati_rallentamenti(nome_file(ScenarioFile::kSlowdownOrder));
  dati_scheda(nome_file(ScenarioFile::kTrainSheet));

  FolderDescriptionFiles descriptions(*this);
  RouteFilesInFolder route_files([this](ScenarioFile file) { return nome_file(file); });
  const CompileOutcome outcome = memorizza_percorso(state_, 1, descriptions, route_files);
  if (!outcome.errore.empty()) errore(outcome.errore);

  return end_status(state_);
}

void Form1::errore(std::string_view a) {
  folder_lock_.reset();  // end_process() leaves it to the system, which on Windows keeps its file
  platform::show_message(errore_message(a));
  platform::end_process(kExitErrore);
}

std::string Form1::nome_file(ScenarioFile file) const {
  return file_name(platform::executable_folder(), platform::path_separator(), state_.nome_linea,
                   state_.numero_treno, file);
}

std::string errore_message(std::string_view a) { return " Errore n. " + std::string(a); }

int end_status(const RunState& state) {
  if (state.codice_errore == 0) return kExitOk;
  platform::report_error_status(state.codice_errore, state.posizione_errore);
  return kExitErrorStatus;
}

}  // namespace binario
