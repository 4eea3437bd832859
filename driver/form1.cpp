#include "driver/form1.h"

#include "driver/exit_status.h"
#include "driver/platform.h"
#include "scenario/writers.h"

namespace binario {

namespace {

// The scenario this program carries.
constexpr std::string_view kNomeLinea = "Varelbo";
constexpr std::string_view kNumeroTreno = "3874";

}  // namespace

int Form1::Form_Load() {
  state_.nome_linea = kNomeLinea;
  state_.numero_treno = kNumeroTreno;

  // Painted before the long work starts, and never again.
  platform::show_waiting_window("Form1", "Attendere");

  dati_linea(nome_file(ScenarioFile::kLineDescription));
  dati_treno(nome_file(ScenarioFile::kTrainDescription));
  dati_note(nome_file(ScenarioFile::kNotes));
  dati_rallentamenti(nome_file(ScenarioFile::kSlowdownOrder));
  dati_scheda(nome_file(ScenarioFile::kTrainSheet));

  // The compile step takes its place here.

  return end_status(state_);
}

void Form1::errore(std::string_view a) {
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
