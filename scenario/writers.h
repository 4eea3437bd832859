#ifndef BINARIO_SCENARIO_WRITERS_H_
#define BINARIO_SCENARIO_WRITERS_H_

// The five writers of the scenario's text files, in the order the run calls them. Each replaces
// the file it is given whole with its own table of lines; failures of the system are thrown as
// std::system_error.

#include <string>

#include "scenario/table_of_lines.h"

namespace binario {

// The line description: length, chainage, backgrounds, curves, gradients, scenery and boards.
void dati_linea(const std::string& file_name);
// The train description: make-up, clock, adhesion, speeds, stations, signals.
void dati_treno(const std::string& file_name);
// The scenario author's notes for the driver.
void dati_note(const std::string& file_name);
// The driver's slowdown order.
void dati_rallentamenti(const std::string& file_name);
// The driver's train sheet: the timetable card.
void dati_scheda(const std::string& file_name);

// The writers' tables, for whoever needs the content itself.
TableOfLines linea_table();
TableOfLines treno_table();
TableOfLines note_table();
TableOfLines rallentamenti_table();
TableOfLines scheda_table();

}  // namespace binario

#endif  // BINARIO_SCENARIO_WRITERS_H_
