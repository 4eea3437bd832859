#include "compiler/memorizza_percorso.h"

#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "reader/error_codes.h"
#include "reader/observer.h"
#include "reader/reader_test_support.h"

namespace binario {
namespace {

using testing::small_line;
using testing::small_train;

struct Cell {
  std::int32_t index;
  std::uint8_t tipo;
  std::int16_t dato1 = 0;
};

constexpr std::uint8_t kTaken = cell_kind::kSignBoard;
constexpr std::uint8_t kSignal = cell_kind::kSignal;
constexpr std::uint8_t kWarning = cell_kind::kSlowdownWarning;
constexpr std::uint8_t kStart = cell_kind::kSlowdownStart;
constexpr std::uint8_t kEnd = cell_kind::kSlowdownEnd;
constexpr std::uint8_t kCheck = cell_kind::kSpeedCheck;
constexpr std::uint8_t kMark = cell_kind::kSceneryMark;

TEST(Minimo, TheSmallerOrTheFirstOnATie) {
  EXPECT_EQ(minimo(180, 100), 100);
  EXPECT_EQ(minimo(180, 200), 180);
  EXPECT_EQ(minimo(180, 180), 180);
}

TEST(CompleteTrack, Cases) {
  struct Case {
    const char* name;
    std::vector<Cell> cells;
    std::set<std::int32_t> markers;  // the cells that end up holding a new 180 marker
    std::int32_t code = 0;
    std::int32_t position = 0;
    std::map<std::int32_t, std::int16_t> values = {};  // dato1 of given cells afterwards
  };
  const Case cases[] = {
      // Signal markers before a warning board.
      {"signal before a warning board", {{90, kSignal}, {100, kWarning}}, {89}},
      {"two signals in the window", {{81, kSignal}, {95, kSignal}, {101, kWarning}}, {80, 94}},
      {"21 cells back is outside the window", {{79, kSignal}, {100, kWarning}}, {}},
      {"the cell before taken", {{90, kSignal}, {89, kTaken}, {100, kWarning}}, {88}},
      {"a scenery mark gives way", {{90, kSignal}, {89, kMark}, {100, kWarning}}, {89}},
      {"a speed check of 100 stays",
       {{90, kSignal}, {89, kCheck, 100}, {88, kTaken}, {100, kWarning}},
       {},
       0,
       0,
       {{89, 100}}},
      {"a speed check of 200 becomes 180",
       {{90, kSignal}, {89, kCheck, 200}, {88, kTaken}, {100, kWarning}},
       {},
       0,
       0,
       {{89, 180}}},
      {"only the nearer speed check is capped",
       {{90, kSignal}, {89, kCheck, 200}, {88, kCheck, 300}, {100, kWarning}},
       {},
       0,
       0,
       {{89, 180}, {88, 300}}},
      {"a speed check two before",
       {{90, kSignal}, {89, kTaken}, {88, kCheck, 250}, {100, kWarning}},
       {},
       0,
       0,
       {{88, 180}}},
      {"no place before the signal",
       {{90, kSignal}, {89, kTaken}, {88, kTaken}, {100, kWarning}},
       {},
       11,
       4500},
      {"signals below cell 3 are not looked at", {{2, kSignal}, {10, kWarning}}, {}},
      {"a signal at cell 3 is", {{3, kSignal}, {10, kWarning}}, {2}},

      // Approach markers before a slowdown start (speed 110: no run).
      {"start at cell 7", {{7, kStart, 110}, {9, kEnd}}, {}},
      {"start at cell 8", {{8, kStart, 110}, {10, kEnd}}, {3}},
      {"start at cell 14", {{14, kStart, 110}, {16, kEnd}}, {9, 3}},
      {"start at cell 21", {{21, kStart, 110}, {23, kEnd}}, {16, 10, 3}},
      {"the first group's third cell",
       {{100, kStart, 110}, {102, kEnd}, {95, kTaken}, {94, kTaken}},
       {93, 89, 82}},
      {"a full group, and the others still tried",
       {{100, kStart, 110}, {102, kEnd}, {95, kTaken}, {94, kTaken}, {93, kTaken}},
       {89, 82},
       12,
       5000},

      // The run inside a slowdown below 110.
      {"a run every 8 cells", {{100, kStart, 109}, {120, kEnd}}, {95, 89, 82, 108, 116}},
      {"the run keeps its spacing from the cell before",
       {{100, kStart, 60}, {120, kEnd}, {108, kTaken}},
       {95, 89, 82, 107, 115}},
      {"and from the cell after",
       {{100, kStart, 60}, {120, kEnd}, {108, kTaken}, {107, kTaken}},
       {95, 89, 82, 109, 117}},
      {"no place for a run marker",
       {{100, kStart, 60}, {120, kEnd}, {107, kTaken}, {108, kTaken}, {109, kTaken}},
       {95, 89, 82},
       13,
       5400},

      // The closing marker after the end.
      {"a signal 12 cells after the end",
       {{100, kStart, 110}, {102, kEnd}, {114, kSignal}},
       {95, 89, 82, 113}},
      {"a signal 13 cells after", {{100, kStart, 110}, {102, kEnd}, {115, kSignal}}, {95, 89, 82}},
      {"no place before the closing signal",
       {{100, kStart, 110}, {102, kEnd}, {110, kSignal}, {109, kTaken}, {108, kTaken}},
       {95, 89, 82},
       13,
       5100},
      {"a start without an end",
       {{300, kStart, 60}, {339, kSignal}},
       {295, 289, 282, 308, 316, 324, 332, 340},
       13,
       17000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RunState state;
    create_track_model(state, 10000);  // cells 0 to 340
    std::set<std::int32_t> before;
    for (const Cell& cell : c.cells) {
      state.celle[cell.index].tipo = cell.tipo;
      state.celle[cell.index].dato1 = cell.dato1;
      before.insert(cell.index);
    }
    complete_track(state);
    std::set<std::int32_t> markers;
    for (std::int32_t i = 0; i <= state.numero_celle; ++i) {
      const TrackCell& cell = state.celle[i];
      if (cell.tipo == kCheck && cell.dato1 == kMarkerSpeed &&
          (!before.count(i) || c.values.count(i) == 0)) {
        markers.insert(i);
      }
    }
    EXPECT_EQ(markers, c.markers);
    EXPECT_EQ(state.codice_errore, c.code);
    EXPECT_EQ(state.posizione_errore, c.position);
    for (const auto& [index, value] : c.values) EXPECT_EQ(state.celle[index].dato1, value);
  }
}

using MemoryRouteFiles = RouteFilesInMemory;

struct Compiled {
  RunState state;
  CompileOutcome outcome;
  std::map<ScenarioFile, std::string> files;
  std::vector<std::string> log;
};

Compiled compile(std::optional<std::string> line, std::optional<std::string> train,
                 std::int32_t modo = 1) {
  Compiled compiled;
  compiled.state.nome_linea = "Varelbo";
  compiled.state.numero_treno = "3874";
  testing::MemoryFiles descriptions(std::move(line), std::move(train));
  MemoryRouteFiles output;
  compiled.outcome = memorizza_percorso(compiled.state, modo, descriptions, output);
  compiled.files = output.files;
  compiled.log = descriptions.log;
  return compiled;
}

TEST(MemorizzaPercorso, StampsCodesAndFiles) {
  const Compiled compiled = compile(small_line(), small_train());
  EXPECT_EQ(compiled.outcome.errore, "");
  EXPECT_EQ(compiled.state.codice_errore, 0);
  EXPECT_EQ(compiled.state.celle[1].dato1, 5121);
  EXPECT_EQ(compiled.state.celle[1].dato2, 2529);
  EXPECT_EQ(compiled.state.tabella_dati[85].parola1, 610);
  EXPECT_EQ(compiled.state.tabella_dati[85].valore4, 35607);
  ASSERT_EQ(compiled.files.size(), 3u);
  // 17000 plan rows: 2 seeds of 4 bytes, 16997 doubles of 10, 2 empty entries of 2, per column.
  EXPECT_EQ(compiled.files.at(ScenarioFile::kLinePlan).size(), 2u * (2 * 4 + 16997 * 10 + 2 * 2));
  EXPECT_EQ(compiled.files.at(ScenarioFile::kGeneralData).size(), 2958u + 7 + 4);
  EXPECT_EQ(compiled.files.at(ScenarioFile::kTrack).size(), 341u * 15);
}

TEST(MemorizzaPercorso, StartsFromACleanTableAndErrorStatus) {
  Compiled compiled;
  compiled.state.nome_linea = "Varelbo";
  compiled.state.numero_treno = "3874";
  compiled.state.codice_errore = 13;
  compiled.state.tabella_dati[85].parola1 = 610;
  compiled.state.tabella_dati[20].testo = "old";
  testing::MemoryFiles descriptions(small_line(), small_train());
  MemoryRouteFiles output;
  EXPECT_EQ(memorizza_percorso(compiled.state, 1, descriptions, output).errore, "");
  EXPECT_EQ(compiled.state.codice_errore, 0);
  EXPECT_EQ(compiled.state.tabella_dati[20].testo, "");
}

TEST(MemorizzaPercorso, WithoutPlanNoLinePlanFile) {
  const Compiled compiled = compile(small_line(), small_train(), 0);
  EXPECT_EQ(compiled.files.count(ScenarioFile::kLinePlan), 0u);
  EXPECT_EQ(compiled.files.size(), 2u);
}

TEST(MemorizzaPercorso, ARecordedErrorStillWritesTheFiles) {
  const Compiled compiled =
      compile(small_line(), small_train({"rallentamento,  5000,  60,  500,  0,  0,  0",
                                         "segnale,  5500,  1, 5, 1, 0, 0, 0, 0, 0, 0, 0"}));
  EXPECT_EQ(compiled.state.codice_errore, 16);
  EXPECT_EQ(compiled.files.size(), 3u);
}

TEST(MemorizzaPercorso, StampChecksStopWithoutWriting) {
  struct Case {
    const char* name;
    std::string line;
    const char* errore;
  };
  const Case cases[] = {
      {"a board at the very start", small_line({"cartello_indicatore,  0,   (A)"}), "1250"},
      {"speed boards with only a second code",
       small_line({"indicatori_vmax,  0,  0,  60,  0,  0,  0,  60,  0,  0"}), "1251"},
  };
  for (const Case& c : cases) {
    const Compiled compiled = compile(c.line, small_train());
    EXPECT_EQ(compiled.outcome.errore, c.errore) << c.name;
    EXPECT_TRUE(compiled.files.empty()) << c.name;
  }
}

TEST(MemorizzaPercorso, WithoutAModelNothingIsWritten) {
  const Compiled compiled = compile(std::nullopt, small_train());
  EXPECT_EQ(compiled.state.codice_errore, error_code::kNoLineFile);
  EXPECT_EQ(compiled.outcome.errore, "");
  EXPECT_TRUE(compiled.files.empty());
}

TEST(MemorizzaPercorso, AReadFailureIsDescribed) {
  const Compiled compiled = compile(small_line({"pendenza,  1x,  2"}), small_train());
  EXPECT_EQ(compiled.state.codice_errore, error_code::kReadFailure);
  EXPECT_EQ(compiled.outcome.read_failure,
            "line description, line 4, column 12: \"1x\" is not a number of 32 bits");
  EXPECT_EQ(compiled.files.size(), 3u);  // the model exists: the files are written all the same
}

// The completion pass tells its observer of every marker it places and every code it records,
// and a watched compile step ends in the same model as one that nobody watches.
TEST(MemorizzaPercorso, TheCompletionTellsItsObserver) {
  struct Completion final : ReadingObserver {
    int records_open = 0;
    std::vector<std::string> events;  // what happened outside any record
    void record_begin(DescriptionFile, RecordKind) override { ++records_open; }
    void record_end(DescriptionFile) override { --records_open; }
    void cell_written(std::int64_t index, CellPart) override {
      if (records_open == 0) events.push_back("cell " + std::to_string(index));
    }
    void code_recorded(std::int32_t code, std::optional<std::int32_t> position) override {
      events.push_back("code " + std::to_string(code) + " at " + std::to_string(*position));
    }
  };
  // A slowdown at 6000 m (start cell 121) whose first approach group (cells 116, 115, 114) is
  // taken by sign boards.
  const std::string line =
      small_line({"cartello_indicatore,  5750,  (A)", "cartello_indicatore,  5700,  (B)",
                  "cartello_indicatore,  5650,  (C)"});
  const std::string train = small_train({"rallentamento,  6000,  60,  500,  0,  0,  0"});
  Completion observer;
  Compiled watched;
  watched.state.nome_linea = "Varelbo";
  watched.state.numero_treno = "3874";
  testing::MemoryFiles descriptions(line, train);
  MemoryRouteFiles output;
  memorizza_percorso(watched.state, 1, descriptions, output, &observer);
  const Compiled alone = compile(line, train);

  // The approach groups from cell 121 back, then the run inside the slowdown.
  EXPECT_EQ(observer.events,
            (std::vector<std::string>{"code 12 at 6050", "cell 110", "cell 103", "cell 129"}));
  EXPECT_TRUE(watched.state.celle == alone.state.celle);
  EXPECT_TRUE(watched.state.tabella_dati == alone.state.tabella_dati);
  EXPECT_TRUE(output.files == alone.files);
}

}  // namespace
}  // namespace binario
