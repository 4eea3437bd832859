#include "scenario/file_names.h"

namespace binario {

namespace {

std::string tail(ScenarioFile file, std::string_view numero_treno) {
  const std::string treno = "_" + std::string(numero_treno);
  switch (file) {
    case ScenarioFile::kLineDescription:
      return "_linea.txt";
    case ScenarioFile::kTrainDescription:
      return treno + "-.txt";
    case ScenarioFile::kTrainSheet:
      return treno + "_scheda_treno.txt";
    case ScenarioFile::kSlowdownOrder:
      return treno + "_rallentamenti.txt";
    case ScenarioFile::kNotes:
      return treno + "_note.txt";
    case ScenarioFile::kLinePlan:
      return "_linea.dat";
    case ScenarioFile::kGeneralData:
      return treno + ".sim";
    case ScenarioFile::kTrack:
      return treno + ".dat";
  }
  return {};
}

}  // namespace

std::string file_name(std::string_view folder, char separator, std::string_view nome_linea,
                      std::string_view numero_treno, ScenarioFile file) {
  std::string name(folder);
  name += separator;
  name += nome_linea;
  name += tail(file, numero_treno);
  return name;
}

}  // namespace binario
