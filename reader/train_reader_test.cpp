// The train half of the reading, through memorizza_dati, on small train descriptions.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "reader/error_codes.h"
#include "reader/reader_test_support.h"

namespace binario {
namespace {

using testing::read_descriptions;
using testing::small_line;
using testing::small_train;

RunState read_train(const std::vector<std::string>& records) {
  return read_descriptions(small_line(), small_train(records)).state;
}

TEST(TrainReader, GeneralValues) {
  const RunState state = read_train({
      "numero vetture,    3",
      "PERCENTUALE MASSA FRENATA,    150",
      "massa,    99",  // "massa" without "frenata" is no record; its value is no keyword
      "sabbia,    300",
      "orologio,    8               59            30 ",
  });
  EXPECT_EQ(state.codice_errore, 0);
  EXPECT_EQ(state.tabella_dati[84].valore1, 150);
  EXPECT_EQ(state.tabella_dati[84].valore3, 3);
  EXPECT_EQ(state.tabella_dati[86].parola1, 300);
  EXPECT_EQ(state.tabella_dati[86].parola3, 8);
  EXPECT_EQ(state.tabella_dati[86].parola4, 59);
  EXPECT_EQ(state.tabella_dati[86].parola5, 30);
}

TEST(TrainReader, SpeedAndAdhesionFills) {
  const RunState state = read_train({
      "velocita,  0,  35", "aderenza,  0,  100", "velocita,  5000,  112",
      "aderenza,  1000,  300",  // low 8 bits: 44
      "velocita,  6000,  113",
      "velocita,  5000,  50",  // out of order: one more cell with the value in force
  });
  EXPECT_EQ(state.codice_errore, 0);
  EXPECT_EQ(state.celle[0].velocita, 7);     // 35 / 5
  EXPECT_EQ(state.celle[99].velocita, 7);    // up to the cell before round(5000 / 50)
  EXPECT_EQ(state.celle[100].velocita, 22);  // 112 / 5 = 22.4
  EXPECT_EQ(state.celle[119].velocita, 22);
  EXPECT_EQ(state.celle[120].velocita, 23);  // 113 / 5 = 22.6
  EXPECT_EQ(state.celle[121].velocita, 10);  // 50, in force to the end
  EXPECT_EQ(state.celle[337].velocita, 10);
  EXPECT_EQ(state.celle[338].velocita, 0);  // the last three cells are never filled
  EXPECT_EQ(state.celle[19].aderenza, 100);
  EXPECT_EQ(state.celle[20].aderenza, 44);
  EXPECT_EQ(state.celle[337].aderenza, 44);
  EXPECT_EQ(state.celle[338].aderenza, 0);
}

TEST(TrainReader, BeforeTheFirstRecordsSpeedAndAdhesionAreZero) {
  const RunState state =
      read_descriptions(
          small_line({"indicatori_vmax,  1950,  110,  130,  160,  7,  110,  130,  160,  0"}),
          small_train({"velocita,  1000,  60", "aderenza,  500,  100"}))
          .state;
  EXPECT_EQ(state.celle[19].velocita, 0);
  EXPECT_EQ(state.celle[20].velocita, 12);
  EXPECT_EQ(state.celle[9].aderenza, 0);
  EXPECT_EQ(state.celle[10].aderenza, 100);
}

TEST(TrainReader, StationAt62350) {
  const RunState state =
      read_descriptions(
          testing::lines({"[generale]", "lunghezza percorso, 115000", "[fine]"}),
          small_train({
              "stazione,   49500,  2,  500,  1, 7, 9,  4,1,0,  2,1,1,    1,   9, 0, 0, ORIGINE",
              "stazione,   62350, 12,  400,  0, 0, 0,  1,1,0,  3,4,1,   15,   9,15, 0, MOLARE",
          }))
          .state;
  EXPECT_EQ(state.codice_errore, 0);
  const DataRow& first = state.tabella_dati[1];
  EXPECT_EQ(first.ottetto3, 0);  // cleared for the first station
  EXPECT_EQ(first.ottetto4, 0);
  const DataRow& row = state.tabella_dati[2];
  EXPECT_EQ(row.valore3, 62350);
  EXPECT_EQ(row.classe, 12);
  EXPECT_EQ(row.valore1, 62150);
  EXPECT_EQ(row.valore2, 62550);
  EXPECT_EQ(row.parola1, 1);
  EXPECT_EQ(row.parola2, 1);
  EXPECT_EQ(row.ottetto1, 0);
  EXPECT_EQ(row.parola3, 3);
  EXPECT_EQ(row.parola4, 4);
  EXPECT_EQ(row.parola5, 1);
  EXPECT_EQ(row.ottetto2, 15);
  EXPECT_EQ(row.valore4, 9 * 3600 + 15 * 60);
  EXPECT_EQ(row.testo, "MOLARE");
  for (const auto& [cell, avviso] : {std::pair{1249, 81}, {1248, 82}, {1247, 83}, {1246, 84}}) {
    EXPECT_EQ(state.celle[cell].avviso, avviso) << cell;
  }
  EXPECT_EQ(state.celle[1250].tipo, cell_kind::kStationStop);
  EXPECT_EQ(state.celle[1250].dato1, 2);
}

TEST(TrainReader, StationTypes) {
  struct Case {
    int type;
    std::int32_t ottetto3;
    std::int32_t valore1;
    std::int32_t valore2;
    bool stop;
    bool marks;
  };
  const Case cases[] = {
      {12, 0, 4600, 5400, true, true},   {12, 1, 4600, 5450, true, true},
      {5, 1, 4200, 5150, true, false},   {6, 0, 4200, 5150, true, false},
      {7, 1, 4200, 5800, true, true},    {28, 0, 4600, 5400, false, false},
      {25, 1, 4600, 5450, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    const RunState state = read_train({
        "stazione,  1000,  2,  400,  0, 0, 0,  0,0,0,  0,0,0,  0,  9, 0, 0, PRIMA",
        "stazione,  5000, " + std::to_string(c.type) + ",  800,  0, 1, " +
            std::to_string(c.ottetto3) + ",  0,0,0,  0,0,0,  0,  9, 5, 0, SECONDA - BIVIO",
    });
    EXPECT_EQ(state.codice_errore, 0);
    const DataRow& row = state.tabella_dati[2];
    EXPECT_EQ(row.valore1, c.valore1);
    EXPECT_EQ(row.valore2, c.valore2);
    EXPECT_EQ(row.ottetto4, 1);  // kept from 600 m on
    EXPECT_EQ(row.testo, "SECONDA - BIVIO");
    const std::int64_t stop = c.valore2 / 50 - 1;
    EXPECT_EQ(state.celle[stop].tipo == cell_kind::kStationStop, c.stop);
    EXPECT_EQ(state.celle[stop - 1].avviso == 81, c.marks);
  }
}

TEST(TrainReader, AStationStopTakesItsCellWhateverStoodThere) {
  const RunState state = read_train({
      "segnale,   5350,   1, 5, 1,  0, 0,    0,  0,0,0, 0",  // cell 108
      "stazione,  5000, 12,  400,  0, 0, 0,  0,0,0,  0,0,0,  0,  9, 0, 0, STAZIONE",
  });
  EXPECT_EQ(state.codice_errore, 0);
  EXPECT_EQ(state.celle[103].tipo, cell_kind::kStationStop);
  EXPECT_EQ(state.celle[108].tipo, cell_kind::kSignal);
}

TEST(TrainReader, SpeedCheckPoints) {
  const RunState state = read_train({
      "abbattimento,  1000,  70000",  // low 16 bits
      "Abbattimento,  2025,  0",
  });
  EXPECT_EQ(state.celle[20].tipo, cell_kind::kSpeedCheck);
  EXPECT_EQ(state.celle[20].dato1, 70000 - 65536);
  EXPECT_EQ(state.celle[40].tipo, cell_kind::kSpeedCheckWithoutValue);  // round(40.5) = 40
}

TEST(TrainReader, TheFileFrameOfRecords) {
  // Before "[generale]" nothing counts, and without it no record is read at all.
  EXPECT_EQ(read_descriptions(small_line(), testing::lines({"sabbia, 5", "[fine]"}))
                .state.tabella_dati[86]
                .parola1,
            0);
  EXPECT_EQ(read_descriptions(small_line(), "sabbia, 5\r\n").state.codice_errore, 0);
  // The last field is never a record: a keyword that ends the file is lost.
  const RunState lost = read_descriptions(small_line(), "[generale]\r\nsabbia, 5\r\nsabbia").state;
  EXPECT_EQ(lost.codice_errore, 0);
  EXPECT_EQ(lost.tabella_dati[86].parola1, 5);
  // Up to two fields with "-" are dropped where a keyword is expected; headings mean nothing.
  const RunState skipped = read_train({"[stazioni]", "- uno -", "- due -", "sabbia, 7"});
  EXPECT_EQ(skipped.tabella_dati[86].parola1, 7);
}

}  // namespace
}  // namespace binario
