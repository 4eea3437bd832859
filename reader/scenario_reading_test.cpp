// The scenario's own description files, read back as the run reads them.

#include <cmath>
#include <variant>

#include <gtest/gtest.h>

#include "reader/reader_test_support.h"
#include "scenario/writers.h"

namespace binario {
namespace {

const testing::Reading& scenario() {
  static const testing::Reading reading =
      testing::read_descriptions(table_bytes(linea_table()), table_bytes(treno_table()));
  return reading;
}

TEST(ScenarioReading, CleanErrorStatusAndBothFilesDone) {
  EXPECT_EQ(scenario().state.codice_errore, 0);
  EXPECT_EQ(scenario().state.posizione_errore, 0);
  EXPECT_EQ(scenario().outcome.failure, "");
  EXPECT_EQ(scenario().log,
            (std::vector<std::string>{"open line", "done line", "open train", "done train"}));
}

TEST(ScenarioReading, PlanFigures) {
  const RunState& state = scenario().state;
  ASSERT_EQ(state.pianta.size(), 122001u);
  auto x = [&](int row) { return state.pianta.entry(row, 0).real; };
  auto y = [&](int row) { return state.pianta.entry(row, 1).real; };
  // The figures the line's curve table records, to the last bit.
  EXPECT_EQ(x(1000), -310.6993956629719);
  EXPECT_EQ(y(1000), 832.3180836918722);
  EXPECT_NEAR(x(1000), -310.70, 0.005);
  EXPECT_NEAR(y(1000), 832.32, 0.005);
  const double step = std::hypot(x(121998) - x(121997), y(121998) - y(121997));
  EXPECT_NEAR(step, 1.0369979369288995, 1e-9);
  EXPECT_NEAR(step, 1.037, 0.0005);
  EXPECT_EQ(state.pianta.tag(121999), PlanTag::kEmpty);
}

TEST(ScenarioReading, TheLinesObjectsInTheirCells) {
  const RunState& state = scenario().state;
  ASSERT_EQ(state.numero_celle, 2440);
  const auto& celle = state.celle;
  // The speed boards at 1950.
  EXPECT_EQ(celle[40].tipo, cell_kind::kSpeedBoards);
  EXPECT_EQ(celle[40].dato1, 2222);
  // The first sign board takes row 80, the last of the 38 row 43.
  EXPECT_EQ(celle[21].tipo, cell_kind::kSignBoard);
  EXPECT_EQ(celle[21].dato1, 80);
  EXPECT_EQ(state.tabella_dati[80].testo, "(INIZIO TRATTO )(CORRISPONDENTE)(ALLA REALTA'  )");
  EXPECT_EQ(state.tabella_dati[43].testo, "(          )(FINE LINEA)(          )");
  // The scenery span 11600 to 12100, 650 m after the previous one.
  for (int cell = 232; cell <= 241; ++cell) EXPECT_EQ(celle[cell].montagna, 1) << cell;
  EXPECT_EQ(celle[235].tipo, cell_kind::kSceneryMark);
  EXPECT_EQ(celle[239].tipo, cell_kind::kSceneryMark);
  // The signal at 60600 and the station at 62350.
  EXPECT_EQ(celle[1213].tipo, cell_kind::kSignal);
  EXPECT_EQ(celle[1205].avviso, 34);
  EXPECT_EQ(celle[1250].tipo, cell_kind::kStationStop);
  EXPECT_EQ(celle[1250].dato1, 4);
  EXPECT_EQ(celle[1246].avviso, 84);
  // The chainage references in order, the third moved on by 100.
  EXPECT_EQ(state.tabella_dati[81].valore2, 105100);
  EXPECT_EQ(state.tabella_dati[82].valore2, 53950);
  EXPECT_EQ(state.tabella_dati[83].valore2, -1500);
  // Gradients, speeds and adhesion.
  EXPECT_EQ(celle[37].pendenza, 100);
  EXPECT_EQ(celle[38].pendenza, 90);
  EXPECT_EQ(celle[254].pendenza, 80);  // -20 from 12700
  EXPECT_EQ(celle[967].velocita, 0);   // before the first speed record
  EXPECT_EQ(celle[968].velocita, 7);   // 35 km/h from 48400
  EXPECT_EQ(celle[2437].velocita, 6);  // 30 km/h to the end
  EXPECT_EQ(celle[0].aderenza, 100);
  EXPECT_EQ(celle[2438].aderenza, 0);
  // The train.
  EXPECT_EQ(state.tabella_dati[15].testo, "PORTELIA BRIGNOLE");
  EXPECT_EQ(state.tabella_dati[84].valore1, 150);
  EXPECT_EQ(state.tabella_dati[86].parola4, 59);
  EXPECT_EQ(celle[2066].dato5, 220);  // the signal at 103250
}

}  // namespace
}  // namespace binario
