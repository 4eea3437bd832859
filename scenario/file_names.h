#ifndef BINARIO_SCENARIO_FILE_NAMES_H_
#define BINARIO_SCENARIO_FILE_NAMES_H_

#include <string>
#include <string_view>

namespace binario {

// Every file a scenario is written to or read from.
enum class ScenarioFile {
  kLineDescription,   // Varelbo_linea.txt
  kTrainDescription,  // Varelbo_3874-.txt
  kTrainSheet,        // Varelbo_3874_scheda_treno.txt
  kSlowdownOrder,     // Varelbo_3874_rallentamenti.txt
  kNotes,             // Varelbo_3874_note.txt
  kLinePlan,          // Varelbo_linea.dat
  kGeneralData,       // Varelbo_3874.sim
  kTrack,             // Varelbo_3874.dat
};

// The full name of a scenario's file: the folder, the separator, nome_linea and the file's own
// tail, joined as they are. The simulator finds its files by these names: never change them.
std::string file_name(std::string_view folder, char separator, std::string_view nome_linea,
                      std::string_view numero_treno, ScenarioFile file);

}  // namespace binario

#endif  // BINARIO_SCENARIO_FILE_NAMES_H_
