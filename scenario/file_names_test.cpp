#include "scenario/file_names.h"

#include <gtest/gtest.h>

namespace binario {
namespace {

TEST(FileName, EveryFileOfTheScenario) {
  struct Case {
    ScenarioFile file;
    const char* name;
  };
  const Case cases[] = {
      {ScenarioFile::kLineDescription, "C:\\Giochi\\Treni\\Varelbo_linea.txt"},
      {ScenarioFile::kTrainDescription, "C:\\Giochi\\Treni\\Varelbo_3874-.txt"},
      {ScenarioFile::kTrainSheet, "C:\\Giochi\\Treni\\Varelbo_3874_scheda_treno.txt"},
      {ScenarioFile::kSlowdownOrder, "C:\\Giochi\\Treni\\Varelbo_3874_rallentamenti.txt"},
      {ScenarioFile::kNotes, "C:\\Giochi\\Treni\\Varelbo_3874_note.txt"},
      {ScenarioFile::kLinePlan, "C:\\Giochi\\Treni\\Varelbo_linea.dat"},
      {ScenarioFile::kGeneralData, "C:\\Giochi\\Treni\\Varelbo_3874.sim"},
      {ScenarioFile::kTrack, "C:\\Giochi\\Treni\\Varelbo_3874.dat"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(file_name("C:\\Giochi\\Treni", '\\', "Varelbo", "3874", c.file), c.name);
  }
}

TEST(FileName, JoinsThePartsAsTheyAre) {
  EXPECT_EQ(file_name("/srv/linee x", '/', "Linea Due", "12", ScenarioFile::kTrainDescription),
            "/srv/linee x/Linea Due_12-.txt");
  EXPECT_EQ(file_name("", '/', "", "", ScenarioFile::kGeneralData), "/_.sim");
}

}  // namespace
}  // namespace binario
