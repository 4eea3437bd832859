// Every error the reading records: its code, its position, and which files the reading was
// done with on the way out.

#include "reader/memorizza_dati.h"

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "reader/error_codes.h"
#include "reader/reader_test_support.h"

namespace binario {
namespace {

using testing::lines;
using testing::small_line;
using testing::small_train;

// `count` sign boards 100 m apart from 1000 m on.
std::vector<std::string> sign_boards(int count) {
  std::vector<std::string> boards;
  for (int i = 0; i < count; ++i) {
    boards.push_back("cartello_indicatore,  " + std::to_string(1000 + 100 * i) + ",   (X)");
  }
  return boards;
}

std::vector<std::string> scenery_spans(int count) {
  std::vector<std::string> spans;
  for (int i = 0; i < count; ++i) {
    spans.push_back("montagna,   " + std::to_string(100 * i) + ",  " +
                    std::to_string(100 * i + 50) + ",  1");
  }
  return spans;
}

const std::vector<std::string> kLineOnly = {"open line", "done line"};
const std::vector<std::string> kBoth = {"open line", "done line", "open train", "done train"};
const std::vector<std::string> kFailureInLine = {"open line", "done line", "done train"};

const char* const kStation = "stazione,  5000, 12,  400,  0, 0, 0,  0,0,0,  0,0,0,  0,  9, 0, 0, A";

TEST(MemorizzaDati, ErrorCodes) {
  struct Case {
    const char* name;
    std::optional<std::string> line;
    std::optional<std::string> train;
    std::int32_t code;
    std::int32_t position;  // 0: none recorded
    std::vector<std::string> log;
    // What a failure leaves in the model: the fields stored before the failing one.
    void (*leaves)(const RunState&) = nullptr;
  };
  const Case cases[] = {
      // The line description.
      {"no line file", std::nullopt, small_train(), 101, 0, {"open line"}},
      {"only [generale]", lines({"[generale]"}), small_train(), 102, 0, kLineOnly},
      {"empty line file", "", small_train(), 102, 0, kLineOnly},
      {"no [generale]", lines({"lunghezza percorso, 100", "[fine]"}), small_train(), 102, 0,
       kLineOnly},
      {"line too long", lines({"[generale]", "lunghezza percorso, 1000001", "[fine]"}),
       small_train(), 1, 0, kLineOnly},
      {"negative length", lines({"[generale]", "lunghezza percorso, -1", "[fine]"}), small_train(),
       1, 0, kLineOnly},
      {"no line length", lines({"[generale]", "sfondo uno, 5", "[curve]", "[fine]"}), small_train(),
       104, 0, kLineOnly},
      {"repetition, first value",
       lines({"[generale]", "lunghezza percorso, 100", "ripetizione segnali 4 codici, -30, 0",
              "[fine]"}),
       small_train(), 3, 0, kLineOnly},
      {"repetition, second value",
       lines({"[generale]", "lunghezza percorso, 100", "ripetizione segnali 4 codici, 50, 20",
              "[fine]"}),
       small_train(), 4, 0, kLineOnly},
      {"repetition, codes",
       lines({"[generale]", "lunghezza percorso, 100", "ripetizione segnali, 50, 50", "[fine]"}),
       small_train(), 5, 0, kLineOnly},
      {"curve class", small_line({"curvas7,  500,  100"}), small_train(), 103, 0, kLineOnly},
      {"curve past the plan", small_line({"curvas4,  16800,  300"}), small_train(), 103, 0,
       kLineOnly},
      {"plan counter past 1000000",
       lines({"[generale]", "lunghezza percorso, 1000000", "[curve]", "curvas4,  999950,  100",
              "[fine]"}),
       small_train(), 103, 0, kLineOnly},
      {"sign board on a taken cell",
       small_line({"cartello_indicatore,  1000,   (A)", "cartello_indicatore,  1010,   (B)"}),
       small_train(), 6, 1010, kLineOnly},
      {"81st sign board", small_line(sign_boards(81)), small_train(), 26, 9000, kLineOnly},
      {"81st scenery span", small_line(scenery_spans(81)), small_train(), 27, 8000, kLineOnly},
      {"speed board on a taken cell",
       small_line({"cartello_indicatore,  1000,   (A)",
                   "indicatori_vmax,  1000,  1,  1,  1,  0,  1,  1,  1,  0"}),
       small_train(), 21, 1000, kLineOnly},
      {"gradient beyond the model", small_line({"pendenza,  16950,  2"}), small_train(), 15, 16950,
       kBoth},
      {"sign board before the model", small_line({"cartello_indicatore,  -100,   (A)"}),
       small_train(), 15, -100, kBoth},
      {"scenery past the model", small_line({"montagna,   16000,  20000,  1"}), small_train(), 15,
       16000, kBoth},
      {"not a number", small_line({"pendenza,  1o00,  2"}), small_train(), 25, 0, kFailureInLine},
      {"record cut off by the end",
       lines({"[generale]", "lunghezza percorso, 100", "[curve]", "pendenza,  1000"}),
       small_train(), 25, 0, kFailureInLine},
      {"comment skipping past the end", lines({"[generale]", "lunghezza percorso, 100", "-", "-"}),
       small_train(), 25, 0, kFailureInLine},
      {"a sign board text past 65535 bytes",
       small_line({"cartello_indicatore,  1000,   " + std::string(65536, 'x')}), small_train(), 25,
       0, kFailureInLine},
      {"speed code past 16 bits",
       small_line({"indicatori_vmax,  1950,  1,  2000,  0,  0,  0,  0,  0,  0"}), small_train(), 25,
       0, kFailureInLine,
       [](const RunState& state) {
         // The board and its first code stand; the second code (40000) failed.
         const TrackCell& board = state.celle[40];
         EXPECT_EQ(board.tipo, 6);
         EXPECT_EQ(board.dato1, 20);
         EXPECT_EQ(board.dato2, 0);
         EXPECT_EQ(board.dato3, 0);
       }},
      {"chainage sum past 32 bits",
       lines({"[generale]", "lunghezza percorso, 10000",
              "progressiva chilometrica tre, 300, 2147483600, 1",
              "progressiva chilometrica due, 100, 0, 0", "progressiva chilometrica uno, 200, 0, 0",
              "[curve]", "[fine]"}),
       small_train(), 25, 0, kFailureInLine,
       [](const RunState& state) {
         // All three rows were put in order before the sum of row 81 failed.
         auto row = [&](int i) {
           const DataRow& r = state.tabella_dati[i];
           return std::vector<std::int32_t>{r.valore1, r.valore2, r.valore3};
         };
         EXPECT_EQ(row(81), (std::vector<std::int32_t>{300, 2147483600, 1}));
         EXPECT_EQ(row(82), (std::vector<std::int32_t>{200, 0, 0}));
         EXPECT_EQ(row(83), (std::vector<std::int32_t>{100, 0, 0}));
       }},

      // The train description.
      {"no train file",
       small_line(),
       std::nullopt,
       25,
       0,
       {"open line", "done line", "open train", "done train"}},
      {"speed check on a taken cell", small_line(),
       small_train({"segnale,  950,  1, 5, 1, 0, 0, 0, 0, 0, 0, 0", "abbattimento,  1000,  70"}), 7,
       1000, kBoth},
      {"station position", small_line(),
       small_train({"stazione,  5025, 12,  400,  0, 0, 0,  0,0,0,  0,0,0,  0,  9, 0, 0, A"}), 8,
       5025, kBoth},
      {"station length", small_line(),
       small_train({"stazione,  5000, 12,  450,  0, 0, 0,  0,0,0,  0,0,0,  0,  9, 0, 0, A"}), 9,
       5000, kBoth},
      {"too many stations", small_line(sign_boards(79)), small_train({kStation}), 10, 0, kBoth},
      {"stations too close", small_line(),
       small_train(
           {kStation, "stazione,  5500, 28,  200,  0, 0, 0,  0,0,0,  0,0,0,  0,  9, 0, 0, B"}),
       22, 5500, kBoth},
      {"station stop too early", small_line(),
       small_train({"stazione,  50, 12,  100,  0, 0, 0,  0,0,0,  0,0,0,  0,  9, 0, 0, A"}), 24, 0,
       kBoth},
      {"station beyond the model", small_line(),
       small_train({"stazione,  16250, 12,  100,  0, 0, 0,  0,0,0,  0,0,0,  0,  9, 0, 0, A"}), 15,
       16250, kBoth},
      {"station stop past the model", small_line(),
       small_train({"stazione,  16000, 7,  2000,  0, 0, 0,  0,0,0,  0,0,0,  0,  9, 0, 0, A"}), 15,
       16000, kBoth},
      {"signal on a taken cell", small_line(),
       small_train({"segnale,  1000,  1, 5, 1, 0, 0, 0, 0, 0, 0, 0",
                    "segnale,  1010,  1, 5, 1, 0, 0, 0, 0, 0, 0, 0"}),
       16, 1010, kBoth},
      {"signal too near the start", small_line(),
       small_train({"segnale,  300,  1, 5, 1, 0, 0, 0, 0, 0, 0, 0"}), 15, 300, kBoth},
      {"slowdown warning board", small_line({"cartello_indicatore,  3800,   (A)"}),
       small_train({"rallentamento,  5000,  60,  500,  0,  0,  0"}), 17, 5000, kBoth},
      {"slowdown start", small_line({"cartello_indicatore,  5000,   (A)"}),
       small_train({"rallentamento,  5000,  60,  500,  0,  0,  0"}), 18, 5000, kBoth},
      {"slowdown end", small_line({"cartello_indicatore,  5500,   (A)"}),
       small_train({"rallentamento,  5000,  60,  500,  0,  0,  0"}), 19, 5000, kBoth},
      {"slowdown approach", small_line({"cartello_indicatore,  3700,   (A)"}),
       small_train({"rallentamento,  5000,  60,  500,  0,  1,  0"}), 20, 5000, kBoth},
      {"slowdown end past the model", small_line(),
       small_train({"rallentamento,  5000,  60,  50000,  0,  0,  0"}), 15, 5000, kBoth},
      {"speed beyond the model", small_line(), small_train({"velocita,  16950,  60"}), 15, 16950,
       kBoth},
      {"speed past the 5 km/h steps", small_line(),
       small_train({"velocita,  0,  1280", "velocita,  1000,  60"}), 25, 0, kBoth},
      {"clock past 16 bits", small_line(), small_train({"orologio,  8  59  40000"}), 25, 0, kBoth},
      {"a station name past 65535 bytes", small_line(),
       small_train({std::string(kStation) + std::string(65536, 'x')}), 25, 0, kBoth},
      {"station name cut off", small_line(),
       "[generale]\r\nstazione,  5000, 12,  400,  0, 0, 0,  0,0,0,  0,0,0,  0,  9, 0, 0", 25, 0,
       kBoth},
      {"chainage",
       lines({"[generale]", "lunghezza percorso, 10000", "progressiva chilometrica uno, 1525, 0, 0",
              "[fine]"}),
       small_train(), 2, 0, kBoth},
      {"chainage replaces 15, keeping its position",
       lines({"[generale]", "lunghezza percorso, 10000", "progressiva chilometrica uno, 0, 30, 0",
              "[curve]", "pendenza, 16950, 0", "[fine]"}),
       small_train(), 2, 16950, kBoth},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const testing::Reading reading = testing::read_descriptions(c.line, c.train);
    EXPECT_EQ(reading.state.codice_errore, c.code);
    EXPECT_EQ(reading.state.posizione_errore, c.position);
    EXPECT_EQ(reading.log, c.log);
    if (c.leaves != nullptr) c.leaves(reading.state);
  }
}

}  // namespace
}  // namespace binario
