// What an author is told about small broken descriptions: every diagnostic, at its file, line
// and column, in one run, and never a byte of the compiled files changed by the telling.

#include "authoring/diagnostics/diagnose.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "authoring/diagnostics/explanations.h"
#include "authoring/diagnostics/provenance.h"
#include "authoring/diagnostics/render.h"
#include "reader/reader_test_support.h"
#include "testing/test_files.h"

namespace binario::authoring {
namespace {

using binario::testing::lines;
using binario::testing::small_line;
using binario::testing::small_train;

using MemoryRouteFiles = RouteFilesInMemory;

struct Told {
  Diagnosis diagnosis;
  std::vector<std::string> lines;  // the first line of each diagnostic and of each note
  std::map<ScenarioFile, std::string> files;
};

Told diagnose_texts(const std::string& line, const std::string& train, std::int32_t modo = 1) {
  const SourceText line_text("L_linea.txt", line);
  const SourceText train_text("L_1-.txt", train);
  MemoryRouteFiles output;
  Told told{diagnose(line_text, train_text, "L", "1", modo, output), {}, {}};
  told.files = output.files;
  std::istringstream rendered(render(told.diagnosis.diagnostics, line_text, train_text));
  for (std::string text; std::getline(rendered, text);) {
    if (!text.empty() && text.front() != ' ') told.lines.push_back(text);
  }
  return told;
}

struct Case {
  const char* name;
  std::string line;
  std::string train;
  std::vector<std::string> told;  // every line of the diagnostics but the quoted source
};

void expect_told(const Case& c) {
  SCOPED_TRACE(c.name);
  const Told told = diagnose_texts(c.line, c.train);
  EXPECT_EQ(told.lines, c.told) << ::testing::PrintToString(told.lines);
}

// A station at `position` named `name`, 400 m long, of type `type`.
std::string station(int position, const std::string& name, int type = 12,
                    const std::string& time = "9, 0, 0") {
  return "stazione,  " + std::to_string(position) + ", " + std::to_string(type) +
         ",  400,  0, 0, 0,  0,0,0,  0,0,0,  0,  " + time + ", " + name;
}

// A station record without its name.
std::string without_name(const std::string& record) { return record.substr(0, record.rfind(',')); }

// A train description that gives every cell a speed and an adhesion, with `records` after.
std::string train(const std::vector<std::string>& records) {
  std::vector<std::string> all = {"velocita,  0,  100", "aderenza,  0,  100", station(1000, "A")};
  all.insert(all.end(), records.begin(), records.end());
  return small_train(all);
}

// `count` sign boards, 50 m apart from 1000 m, named B0, B1 ...
std::vector<std::string> sign_boards(int count) {
  std::vector<std::string> records;
  for (int k = 0; k < count; ++k) {
    records.push_back("cartello_indicatore,  " + std::to_string(1000 + 50 * k) + ",  (B" +
                      std::to_string(k) + ")");
  }
  return records;
}

// Each code the reading or the compile step records, at the record that caused it, in the
// author's words; the reading goes on past the record that stopped it.
TEST(Diagnose, ErrorsAtTheRecordAtFault) {
  const Case cases[] = {
      {"a station where the sign boards leave no row: it is stored over a board's text",
       small_line(sign_boards(80)),
       small_train({"velocita,  0,  100", "aderenza,  0,  100", station(6000, "ALFA")}),
       {"L_1-.txt:4:1: error: too many stations: with 80 sign boards in the line description, no "
        "station fits (78, one fewer for each sign board) [code 10]",
        "L_linea.txt:83:1: note: this sign board's text stood in row 1 of the table, where the "
        "station was stored before it was refused: the board now shows the station's name, 'ALFA'",
        "note: the reading stopped here: the compiled files hold only what came before"}},
      {"a sign board in the train description, whose text is read as a station",
       small_line({}),
       small_train({"velocita,  0,  100", "aderenza,  0,  100",
                    "cartello_indicatore,  3000,  (STAZIONE di ALFA)", station(6000, "ALFA")}),
       {"L_1-.txt:4:1: warning: 'cartello_indicatore' is a record of the line description: here "
        "it is not read, so this sign board is lost [misplaced-record]",
        "L_1-.txt:4:30: error: '(STAZIONE di ALFA)' is read as a station record, since it "
        "contains its keyword, and has 0 of its 17 values; the next line's 'stazione' was read as "
        "its position [code 25]",
        "note: the reading stopped here: the compiled files hold only what came before"}},
      {"too many stations for the rows the sign boards leave",
       small_line(sign_boards(76)),
       small_train({"velocita,  0,  100", "aderenza,  0,  100", station(6000, "ALFA"),
                    station(7000, "BETA"), station(8000, "GAMMA")}),
       {"L_1-.txt:6:1: error: too many stations: with 76 sign boards in the line description, at "
        "most 2 stations fit (78, one fewer for each sign board) [code 10]",
        "note: the reading stopped here: the compiled files hold only what came before"}},
      {"a record short of a value",
       small_line({"pendenza,  4000", "pendenza,  5000,  2"}),
       train({}),
       {"L_linea.txt:4:1: error: 'pendenza' record has 1 of its 2 values; the next line's "
        "'pendenza' was read as its gradient [code 25]",
        "note: the reading stopped here: the compiled files hold only what came before; the train "
        "description was not read"}},
      {"a word where a number belongs",
       small_line({"pendenza,  1o00,  2"}),
       train({}),
       {"L_linea.txt:4:12: error: '1o00' is not a number: the position of a 'pendenza' record is a "
        "whole number of metres [code 25]",
        "note: the reading stopped here: the compiled files hold only what came before; the train "
        "description was not read"}},
      {"a number past 32 bits",
       small_line({"pendenza,  99999999999,  2"}),
       train({}),
       {"L_linea.txt:4:12: error: '99999999999' does not fit 32 bits: a position must lie from "
        "-2147483648 to 2147483647 [code 25]",
        "note: the reading stopped here: the compiled files hold only what came before; the train "
        "description was not read"}},
      {"a word where a number belongs, in a record whose keyword takes 'an'",
       small_line({"indicatori_vmax,  2000,  60, 60, 6o, 0, 60, 60, 60, 0"}),
       train({}),
       {"L_linea.txt:4:34: error: '6o' is not a number: the vcs of an 'indicatori_vmax' record is "
        "a whole number [code 25]",
        "note: the reading stopped here: the compiled files hold only what came before; the train "
        "description was not read"}},
      {"a number past 32 bits, in a field that takes 'an'",
       small_line({}),
       train({"aderenza,  0,  99999999999"}),
       {"L_1-.txt:5:16: error: '99999999999' does not fit 32 bits: an adhesion must lie from "
        "-2147483648 to 2147483647 [code 25]",
        "note: the reading stopped here: the compiled files hold only what came before"}},
      {"a speed past the 5 km/h steps, at the record that set it",
       small_line({}),
       train({"velocita,  3000,  1300", "velocita,  5000,  60"}),
       {"L_1-.txt:5:19: error: a speed of 1300 km/h does not fit: it must lie from -2 to 1277 km/h "
        "[code 25]",
        "L_1-.txt:6:1: note: the failure came as this 'velocita' filled the cells before it with "
        "that speed",
        "note: the reading stopped here: the compiled files hold only what came before"}},
      {"a station type past 8 bits",
       small_line({}),
       train({"stazione,  3000, 300,  400,  0, 0, 0,  0,0,0,  0,0,0,  0,  9, 0, 0, B"}),
       {"L_1-.txt:5:18: error: the station's type, 300, does not fit: it must lie from 0 to 255 "
        "[code 25]",
        "note: the reading stopped here: the compiled files hold only what came before"}},
      {"a line length past 1000000 m, and the train read on a stand-in line",
       "[generale]\r\nlunghezza percorso, 2000000\r\n[curve]\r\n[fine]\r\n",
       train({"stazione,  3025, 12,  400,  0, 0, 0,  0,0,0,  0,0,0,  0,  9, 0, 0, B"}),
       {"L_linea.txt:2:21: error: a line length of 2000000 m does not fit: it must lie from 0 to "
        "1000000 m [code 1]",
        "note: the reading stopped here, with no track built: no compiled file was written, and "
        "the train description was not read",
        "L_1-.txt:5:12: error: the station at 3025 m: a station's position must be a multiple of "
        "50 [code 8]",
        "L_linea.txt:2:21: note: the reading stopped at this error; the one above was found by "
        "reading on past it, and the compiled files do not reflect it"}},
      {"a line description with no [generale]",
       "[fine]\r\n",
       train({}),
       {"L_linea.txt: error: the line description has no '[generale]' heading, so nothing in it "
        "was read [code 102]",
        "note: the reading stopped here, with no track built: no compiled file was written, and "
        "the train description was not read"}},
      {"a line description whose heading is written otherwise, at its line",
       "- a comment\r\n[ generale ]\r\nlunghezza percorso, 8000\r\n[curve]\r\n[fine]\r\n",
       train({}),
       {"L_linea.txt:2:1: error: '[ generale ]' is not the heading '[generale]': the reader looks "
        "for '[generale]' as it is written here, with no blank or other letter inside the "
        "brackets, and found none, so nothing in the line description was read [code 102]",
        "note: the reading stopped here, with no track built: no compiled file was written, and "
        "the train description was not read"}},
      {"a line length in kilometres, and what follows from it folded into one error",
       "[generale]\r\nlunghezza percorso, 10\r\n[curve]\r\ncartello_indicatore,  2000,  "
       "(X)\r\nindicatori_vmax,  6000,  60, 60, 60, 0, 60, 60, 60, 0\r\n[fine]\r\n",
       train({station(3000, "A"), station(8000, "B")}),
       {"L_linea.txt:2:21: error: a line length of 10 m, while the records lie as far as 8000 m: "
        "the length is most likely in kilometres; write it in metres, 10000 [code 15]",
        "L_1-.txt:6:12: note: the first record it leaves beyond the track: the station at 8000 m "
        "lies beyond the track model, which ends at 7000 m (the line length and 7000 m more): a "
        "station's position must be at most 6200 m",
        "note: and 4 more records like it, each a consequence of the length, are not reported one "
        "by one",
        "note: the reading stopped at that record: the compiled files hold only what came before"}},
      {"a second heading that ends the general section before the line length",
       "[generale]\r\n[generale]\r\nlunghezza percorso, 8000\r\n[curve]\r\n[fine]\r\n",
       train({}),
       {"L_linea.txt:2:1: error: '[generale]' ends the general section, so the 'lunghezza "
        "percorso' below it (line 3) lies in the body and is not read: there is no track to "
        "build; the first heading after '[generale]' must come after the general section's "
        "records [code 104]",
        "note: the reading stopped here, with no track built: no compiled file was written, and "
        "the train description was not read"}},
      {"a line description with no length",
       "[generale]\r\nsfondo uno, 1\r\n[curve]\r\n[fine]\r\n",
       train({}),
       {"L_linea.txt:1:1: error: the general section has no 'lunghezza percorso' record, so there "
        "is no track to build [code 104]",
        "note: the reading stopped here, with no track built: no compiled file was written, and "
        "the train description was not read"}},
      {"signal repetition",
       "[generale]\r\nlunghezza percorso, 20000\r\nripetizione segnali 4 codici, 30, "
       "0\r\nripetizione segnali, 50, 0\r\n[curve]\r\n[fine]\r\n",
       train({}),
       {"L_linea.txt:3:31: error: the first 'ripetizione segnali' value, 30, is not a multiple of "
        "50 [code 3]",
        "note: the reading stopped here: the compiled files hold only what came before; the train "
        "description was not read",
        "L_linea.txt:4:1: error: 'ripetizione segnali' names neither 4 nor 9 codes: write "
        "'ripetizione segnali 4 codici' or 'ripetizione segnali 9 codici' [code 5]",
        "L_linea.txt:3:31: note: the reading stopped at this error; the one above was found by "
        "reading on past it, and the compiled files do not reflect it"}},
      {"a curve without a class",
       small_line({"curvas7,  3000,  100"}),
       train({}),
       {"L_linea.txt:4:1: error: the curve 'curvas7' names no curvature class from 1 to 6 (curvas1 "
        "to curvas6 turn left, curvad1 to curvad6 right) [code 103]",
        "note: the reading stopped here: the compiled files hold only what came before; the train "
        "description was not read"}},
      {"a curve past the plan",
       small_line({"curvas4,  16800,  300"}),
       train({}),
       {"L_linea.txt:4:19: error: the curve from 16800 m, 300 m long, ends at 17100 m, past the "
        "end of the plan at 17000 m (the line length and 7000 m more) [code 103]",
        "note: the reading stopped here: the compiled files hold only what came before; the train "
        "description was not read"}},
      {"a curve past metre 1000000",
       "[generale]\r\nlunghezza percorso, 1000000\r\n[curve]\r\ncurvas4,  999950,  "
       "100\r\n[fine]\r\n",
       train({}),
       {"L_linea.txt:4:1: error: the curve takes the plan past metre 1000000, the most a plan "
        "holds [code 103]",
        "note: the reading stopped here: the compiled files hold only what came before; the train "
        "description was not read"}},
      {"beyond the model in the line, where the train reader stops",
       small_line({"pendenza,  16950,  2", "pendenza,  17000,  3"}),
       train({"segnale,  6000,  1, 5, 1, 0, 0, 0, 0, 0, 0, 0"}),
       {"L_linea.txt:4:12: error: the gradient at 16950 m lies beyond the track model, which ends "
        "at 17000 m (the line length and 7000 m more): a gradient's position must be at most 16900 "
        "m [code 15]",
        "note: the rest of the line description was not read; the train description was, but it "
        "stops at its first signal or slowdown",
        "L_1-.txt:5:1: note: because of it, the train description was read only up to this "
        "'segnale'",
        "L_linea.txt:5:12: error: the gradient at 17000 m lies beyond the track model, which ends "
        "at 17000 m (the line length and 7000 m more): a gradient's position must be at most 16900 "
        "m [code 15]",
        "L_linea.txt:4:12: note: the reading stopped at this error; the one above was found by "
        "reading on past it, and the compiled files do not reflect it"}},
      {"which chainage reference",
       "[generale]\r\nlunghezza percorso, 10000\r\nprogressiva chilometrica uno, 1525, 0, "
       "0\r\nprogressiva chilometrica due, 3000, 75, 0\r\n[curve]\r\n[fine]\r\n",
       train({}),
       {"L_linea.txt:3:31: error: the first value of 'progressiva chilometrica uno', 1525, is not "
        "a multiple of 50 [code 2]",
        "L_linea.txt:4:37: error: the second value of 'progressiva chilometrica due', 75, is not a "
        "multiple of 50 [code 2]"}},
      {"a cell taken, with the record that took it",
       small_line({"cartello_indicatore,  5000,  (X)"}),
       train({"segnale,  5000,  1, 5, 1, 0, 0, 0, 0, 0, 0, 0"}),
       {"L_1-.txt:5:11: error: the signal at 5000 m falls in cell 101 (5000 m), which already "
        "holds a sign board; an object takes only a cell that holds nothing or a scenery mark "
        "[code 16]",
        "L_linea.txt:4:1: note: a sign board stands there, put by this 'cartello_indicatore'",
        "note: the reading stopped here: the compiled files hold only what came before"}},
      {"station position and length",
       small_line({}),
       train({"stazione,  3025, 12,  400,  0, 0, 0,  0,0,0,  0,0,0,  0,  9, 0, 0, B",
              "stazione,  6000, 12,  450,  0, 0, 0,  0,0,0,  0,0,0,  0,  9, 0, 0, C"}),
       {"L_1-.txt:5:12: error: the station at 3025 m: a station's position must be a multiple of "
        "50 [code 8]",
        "note: the reading stopped here: the compiled files hold only what came before",
        "L_1-.txt:6:23: error: the station's length, 450 m, is not a multiple of 100 [code 9]",
        "L_1-.txt:5:12: note: the reading stopped at this error; the one above was found by "
        "reading on past it, and the compiled files do not reflect it"}},
      {"stations too close",
       small_line({}),
       train({station(1500, "B")}),
       {"L_1-.txt:5:12: error: the station 'B' at 1500 m begins at 1300 m, less than 350 m after "
        "the end of the previous station [code 22]",
        "L_1-.txt:4:1: note: the previous station, 'A', ends at 1200 m",
        "note: the reading stopped here: the compiled files hold only what came before"}},
      {"a station listed out of order",
       small_line({}),
       train({station(4000, "B"), station(2000, "C")}),
       {"L_1-.txt:6:12: error: the station 'C' at 2000 m is listed after the station 'B' at 4000 "
        "m: stations must be listed in the order the train meets them [code 22]",
        "L_1-.txt:5:1: note: the previous station, 'B', ends at 4200 m",
        "note: the reading stopped here: the compiled files hold only what came before"}},
      {"no place before a signal near a warning board",
       small_line({"cartello_indicatore,  3350,  (A)", "cartello_indicatore,  3300,  (B)"}),
       train({"segnale,  3400,  1, 5, 1, 0, 0, 0, 0, 0, 0, 0",
              "rallentamento,  5000,  60,  500,  0,  0,  0"}),
       {"L_1-.txt:5:1: error: no free cell for the speed check point before the signal at 3400 m, "
        "which stands up to 20 cells (1000 m) before a slowdown warning board: the two cells "
        "before it are taken [code 11]",
        "L_linea.txt:4:1: note: a sign board stands there, put by this 'cartello_indicatore'",
        "L_linea.txt:5:1: note: a sign board stands there, put by this 'cartello_indicatore'",
        "L_1-.txt:6:1: note: the slowdown whose warning board, at 3800 m, stands after the "
        "signal"}},
      {"no place for the markers of a slowdown",
       small_line({"cartello_indicatore,  5750,  (A)", "cartello_indicatore,  5700,  (B)",
                   "cartello_indicatore,  5650,  (C)", "cartello_indicatore,  6400,  (D)",
                   "cartello_indicatore,  6350,  (E)", "cartello_indicatore,  6450,  (F)"}),
       train({"rallentamento,  6000,  60,  1000,  0,  0,  0"}),
       {"L_1-.txt:5:1: error: no free cell for one of the approach speed check points before the "
        "slowdown from 6000 m: of each group of cells 5 to 7, 11 to 13 and 18 to 20 cells before "
        "its start, one must hold nothing or a scenery mark [code 12]",
        "L_1-.txt:5:1: error: no free cell at 6400 m for a speed check point of the slowdown from "
        "6000 m (inside it, every 400 m, or before the first signal up to 600 m after its end): "
        "that cell and its neighbours are taken [code 13]",
        "L_linea.txt:8:1: note: a sign board stands there, put by this 'cartello_indicatore'",
        "L_linea.txt:7:1: note: a sign board stands there, put by this 'cartello_indicatore'",
        "L_linea.txt:9:1: note: a sign board stands there, put by this 'cartello_indicatore'"}},
      {"a slowdown without an end",
       small_line({}),
       train({"rallentamento,  5000,  60,  0,  0,  0,  0"}),
       {"L_1-.txt:5:1: error: the slowdown from 5000 m has no end: its start and end fall in one "
        "cell, which keeps only the start; make it at least 50 m long [code 13]"}},
      {"a slowdown of negative length, which ends before it starts",
       small_line({}),
       train({"rallentamento,  5000,  60,  -400,  0,  0,  0"}),
       {"L_1-.txt:5:1: error: the slowdown from 5000 m has no end: its length is negative, so its "
        "end would stand before its start; give its length in metres, from 50 up [code 13]"}},
      {"the stamp cell taken",
       small_line({"cartello_indicatore,  0,  (X)"}),
       train({}),
       {"L_linea.txt:4:1: error: cell 1, the first 50 m of the line, holds a sign board with a "
        "first value: the compile step stamps that cell, so it refused to compile; move the object "
        "to 50 m or later [code 1250]",
        "note: no compiled file was written"}},
      {"three mistakes in one file, all in one run",
       small_line({"pendenza,  1x00,  2", "cartello_indicatore,  2000,  (A)",
                   "cartello_indicatore,  2010,  (B)", "curvas9,  3000,  100"}),
       train({}),
       {"L_linea.txt:4:12: error: '1x00' is not a number: the position of a 'pendenza' record is a "
        "whole number of metres [code 25]",
        "note: the reading stopped here: the compiled files hold only what came before; the train "
        "description was not read",
        "L_linea.txt:6:23: error: the sign board at 2010 m falls in cell 41 (2000 m), which "
        "already holds a sign board; an object takes only a cell that holds nothing or a scenery "
        "mark [code 6]",
        "L_linea.txt:5:1: note: a sign board stands there, put by this 'cartello_indicatore'",
        "L_linea.txt:4:12: note: the reading stopped at this error; the one above was found by "
        "reading on past it, and the compiled files do not reflect it",
        "L_linea.txt:6:23: warning: the sign board's position 2010 m is taken as 2000 m (cell 41): "
        "the track keeps its objects and values in 50 m cells, rounding each position to one, ties "
        "to even [not-multiple-of-50]",
        "L_linea.txt:7:1: error: the curve 'curvas9' names no curvature class from 1 to 6 (curvas1 "
        "to curvas6 turn left, curvad1 to curvad6 right) [code 103]",
        "L_linea.txt:4:12: note: the reading stopped at this error; the one above was found by "
        "reading on past it, and the compiled files do not reflect it"}},
      // Read on twice past a stop in the line description, and then twice past one in the
      // train's, which reads the line as the reading before did: what is wrong with the line is
      // told once, its order as the last reading found it, each record stopped at as the reading
      // that stopped at it found it.
      {"the line read on twice and the train twice, the line's warnings told once",
       small_line({"pendenzza,  3000,  1", "pendenza,  5000,  2", "pendenza,  4000,  1",
                   "curvas2,  6000,  500", "curvas2,  6200,  100",
                   "cartello_indicatore,  7000,  (A)", "cartello_indicatore,  7010,  (B)",
                   "cartello_indicatore,  7020,  (C)", "pendenzza,  8000,  1"}),
       train({"abbattimento,  2000,  30", "abbattimento,  2000,  40", "abbattimento,  2010,  50",
              "velocita,  3000,  92"}),
       {"L_linea.txt:4:1: warning: 'pendenzza' matches no keyword, so the line is passed over; "
        "did you mean 'pendenza'? [unknown-keyword]",
        "L_linea.txt:6:12: warning: this gradient at 4000 m comes after the one at 5000 m (line "
        "5): gradients must come in increasing order of position; it takes effect only from 5050 "
        "m, and the one before holds for one cell only [out-of-order]",
        "L_linea.txt:5:1: note: the gradient before it",
        "L_linea.txt:8:11: warning: the curve from 6200 m, 100 m long, lies within the stretch "
        "the curve before it (line 7) bends, which runs to 6500 m: it bends nothing, and the plan "
        "is as if it were not there [curve-overlap]",
        "L_linea.txt:7:1: note: the curve before it",
        "L_linea.txt:10:23: error: the sign board at 7010 m falls in cell 141 (7000 m), which "
        "already holds a sign board; an object takes only a cell that holds nothing or a scenery "
        "mark [code 6]",
        "L_linea.txt:9:1: note: a sign board stands there, put by this 'cartello_indicatore'",
        "note: the reading stopped here: the compiled files hold only what came before; the train "
        "description was not read",
        "L_linea.txt:10:23: warning: the sign board's position 7010 m is taken as 7000 m (cell "
        "141): the track keeps its objects and values in 50 m cells, rounding each position to "
        "one, ties to even [not-multiple-of-50]",
        "L_linea.txt:11:23: error: the sign board at 7020 m falls in cell 141 (7000 m), which "
        "already holds a sign board; an object takes only a cell that holds nothing or a scenery "
        "mark [code 6]",
        "L_linea.txt:9:1: note: a sign board stands there, put by this 'cartello_indicatore'",
        "L_linea.txt:10:23: note: the reading stopped at this error; the one above was found by "
        "reading on past it, and the compiled files do not reflect it",
        "L_linea.txt:11:23: warning: the sign board's position 7020 m is taken as 7000 m (cell "
        "141): the track keeps its objects and values in 50 m cells, rounding each position to "
        "one, ties to even [not-multiple-of-50]",
        "L_linea.txt:12:1: warning: 'pendenzza' matches no keyword, so the line is passed over; "
        "did you mean 'pendenza'? [unknown-keyword]",
        "L_1-.txt:6:16: error: the speed check point at 2000 m falls in cell 40 (1950 m), which "
        "already holds a speed check point; an object takes only a cell that holds nothing or a "
        "scenery mark [code 7]",
        "L_1-.txt:5:1: note: a speed check point stands there, put by this 'abbattimento'",
        "L_linea.txt:10:23: note: the reading stopped at this error; the one above was found by "
        "reading on past it, and the compiled files do not reflect it",
        "L_1-.txt:7:16: error: the speed check point at 2010 m falls in cell 40 (1950 m), which "
        "already holds a speed check point; an object takes only a cell that holds nothing or a "
        "scenery mark [code 7]",
        "L_1-.txt:5:1: note: a speed check point stands there, put by this 'abbattimento'",
        "L_linea.txt:10:23: note: the reading stopped at this error; the one above was found by "
        "reading on past it, and the compiled files do not reflect it",
        "L_1-.txt:7:16: warning: the speed check point's position 2010 m is taken as 2000 m (cell "
        "40): the track keeps its objects in 50 m cells, ties to even [not-multiple-of-50]",
        "L_1-.txt:8:19: warning: a speed of 92 km/h is kept as 90 km/h: the track keeps line "
        "speeds in 5 km/h steps, ties to even [value-rounded]"}},
  };
  for (const Case& c : cases) expect_told(c);
}

// What the reading takes without a word that an author almost certainly did not mean.
TEST(Diagnose, WarningsAtTheLineOfTheMistake) {
  const Case cases[] = {
      {"keyword typos, with the keyword meant",
       small_line({"pendneza,  1000,  2", "cruvad4,  2000,  300", "qualcosa"}),
       train({"stazoine,  3000", "segnal,  4000"}),
       {"L_linea.txt:4:1: warning: 'pendneza' matches no keyword, so the line is passed over; did "
        "you mean 'pendenza'? [unknown-keyword]",
        "L_linea.txt:5:1: warning: 'cruvad4' matches no keyword, so the line is passed over; did "
        "you mean 'curvad4'? [unknown-keyword]",
        "L_linea.txt:6:1: warning: 'qualcosa' matches no keyword, so the line is passed over "
        "[unknown-keyword]",
        "L_1-.txt:5:1: warning: 'stazoine' matches no keyword, so the line is passed over; did you "
        "mean 'stazione'? [unknown-keyword]",
        "L_1-.txt:6:1: warning: 'segnal' matches no keyword, so the line is passed over; did you "
        "mean 'segnale'? [unknown-keyword]"}},
      {"records in the wrong section or file",
       "[generale]\r\nlunghezza percorso, 10000\r\npendenza, 100, 2\r\n[curve]\r\nsfondo uno, "
       "5\r\nstazione, 1\r\n[fine]\r\n",
       train({"pendenza,  5,  5"}),
       {"L_linea.txt:3:1: warning: 'pendenza' is a record of the body, after the first heading: "
        "here it is not read, so this gradient is lost [misplaced-record]",
        "L_linea.txt:5:1: warning: 'sfondo uno' is a record of the general section, before the "
        "first heading: here it is not read, so this background 'uno' is lost [misplaced-record]",
        "L_linea.txt:6:1: warning: 'stazione' is a record of the train description: here it is not "
        "read, so this station is lost [misplaced-record]",
        "L_1-.txt:5:1: warning: 'pendenza' is a record of the line description: here it is not "
        "read, so this gradient is lost [misplaced-record]"}},
      {"a surplus field",
       small_line({"pendenza,  1000,  2,  5"}),
       train({"sabbia,  300,  4"}),
       {"L_linea.txt:4:23: warning: '5' follows the 2 values of the 'pendenza' record: it was read "
        "where the next keyword belongs, and matched none [surplus-field]",
        "L_1-.txt:5:16: warning: '4' follows the value of the 'sabbia' record: it was read where "
        "the next keyword belongs, and matched none [surplus-field]"}},
      {"a comma between quotes, and comment lines that begin with a dash that is no hyphen",
       small_line({"\x96 la pendenza sale", "pendenza,  1000,  2", "\x97 fine del tratto"}),
       train({station(3000, "\x93VALLE, ALTA\x94")}),
       {"L_linea.txt:4:1: error: '\xE2\x80\x93 la pendenza sale' is read as a gradient record, "
        "since it contains its keyword, and has 0 of its 2 values; the next line's 'pendenza' was "
        "read as its position [code 25]",
        "note: the reading stopped here: the compiled files hold only what came before; the train "
        "description was not read",
        "L_linea.txt:4:1: warning: '\xE2\x80\x93 la pendenza sale' is read as a gradient record, "
        "since it contains its keyword; a comment line needs a '-' and no comma to be passed "
        "over; it begins with '\xE2\x80\x93', an en dash, not the hyphen '-' that makes a line a "
        "comment [comment-read-as-record]",
        "L_linea.txt:6:1: warning: '\xE2\x80\x94 fine del tratto' matches no keyword, so the line "
        "is passed over; it begins with '\xE2\x80\x94', an em dash, not the hyphen '-' that makes "
        "a line a comment [unknown-keyword]",
        "L_1-.txt:5:76: warning: 'ALTA\xE2\x80\x9D' follows the 17 values of the 'stazione' "
        "record: it was read where the next keyword belongs, and matched none; quotes do not keep "
        "a comma inside a text: the comma ends the field all the same [surplus-field]"}},
      {"a station without its name",
       small_line({}),
       train({without_name(station(3000, "B")), station(5000, "C")}),
       {"L_1-.txt:5:1: warning: 'stazione' record has 16 of its 17 values on its line; the next "
        "line's 'stazione' was read as its name, and that line's record is lost "
        "[record-spans-lines]"}},
      {"a text that is a number or a keyword, and a whole board's text that holds keywords",
       small_line({"cartello_indicatore,  2000,  12",
                   "cartello_indicatore,  4000,  (STAZIONE    )(pendenza 12 )(    800 m)"}),
       train({station(3000, "segnale")}),
       {"L_linea.txt:4:30: warning: the sign board's text is '12', a number: is a value missing "
        "before it? [text-field]",
        "L_1-.txt:5:68: warning: the station's name is 'segnale', which is a keyword: is the name "
        "missing? [text-field]"}},
      {"curve keywords with more in them: what was read, and why",
       small_line({"curvad6 km 26,  1000,  100", "curva destra 4,  2000,  100",
                   "curvad5 ponte,  3000,  100"}),
       train({}),
       {"L_linea.txt:4:1: warning: 'curvad6 km 26' is read as 'curvad2', not as 'curvad6': its "
        "class is the first of the digits 1 to 6, tried in that order, that the keyword holds: 2 "
        "(in '26'); and it turns right, since no 's' stands in it; write 'curvad6' alone "
        "[keyword-spelling]",
        "L_linea.txt:5:1: warning: 'curva destra 4' is read as 'curvas4', a curve of class 4 to "
        "the left: its class is the first of the digits 1 to 6, tried in that order, that the "
        "keyword holds: 4; and it turns left, since an 's' stands in it (in 'destra'); write "
        "'curvas4' for a curve to the left, 'curvad4' for one to the right [keyword-spelling]",
        "L_linea.txt:6:1: warning: 'curvad5 ponte' is read as 'curvad5': its class is the first "
        "of the digits 1 to 6, tried in that order, that the keyword holds: 5 (in 'curvad5'); and "
        "it turns right, since no 's' stands in it, and the rest changes nothing; write 'curvad5' "
        "alone [keyword-spelling]"}},
      {"a signal repetition written otherwise, read as written, or not read at all",
       "[generale]\r\nlunghezza percorso, 8000\r\nripetizione  segnali  9 codici, 0, 0\r\n"
       "[curve]\r\n[fine]\r\n",
       train({}),
       {"L_linea.txt:3:1: warning: 'ripetizione  segnali  9 codici' is read as 'ripetizione "
        "segnali 9 codici', since it holds 'ripetizione', 'segnali' and a 9; write it "
        "'ripetizione segnali 9 codici' [keyword-spelling]"}},
      {"comments read as records",
       small_line({"# qui la pendenza aumenta", "1000, 2", "pendenza_media,  2000,  3", "---",
                   "---", "--- pendenza ---", "3000,  4"}),
       train({}),
       {"L_linea.txt:4:1: warning: '# qui la pendenza aumenta' record has 0 of its 2 values on its "
        "line; the next line's '1000' was read as its position [record-spans-lines]",
        "L_linea.txt:4:1: warning: '# qui la pendenza aumenta' is read as a gradient record, since "
        "it contains its keyword; a comment line needs a '-' and no comma to be passed over "
        "[comment-read-as-record]",
        "L_linea.txt:6:1: warning: 'pendenza_media' is read as a gradient record, since it "
        "contains its keyword; write it 'pendenza' [keyword-spelling]",
        "L_linea.txt:9:1: warning: '--- pendenza ---' record has 0 of its 2 values on its line; "
        "the next line's '3000' was read as its position [record-spans-lines]",
        "L_linea.txt:9:1: warning: '--- pendenza ---' is read as a gradient record: at most two "
        "comment lines in a row are passed over (ten in the general section), and this is one more "
        "[comment-limit]"}},
      {"a keyword of two records",
       small_line({}),
       train({"velocita aderenza,  0,  5,  0,  100"}),
       {"L_1-.txt:5:1: warning: 'velocita aderenza' holds the keywords of several records and is "
        "read as each: 'velocita' and 'aderenza', one after the other [several-kinds]",
        "L_1-.txt:5:21: warning: this line speed at 0 m falls in the same 50 m cell as the one at "
        "0 m (line 2); it takes effect only from 0 m, and the one before is replaced before it "
        "fills any cell [out-of-order]",
        "L_1-.txt:2:1: note: the line speed before it",
        "L_1-.txt:5:29: warning: this adhesion at 0 m falls in the same 50 m cell as the one at 0 "
        "m (line 3); it takes effect only from 0 m, and the one before is replaced before it fills "
        "any cell [out-of-order]",
        "L_1-.txt:3:1: note: the adhesion before it"}},
      {"values stored in fewer bits",
       small_line({"pendenza,  1000,  200", "pendenza,  2000,  -150"}),
       train({"aderenza,  1500,  300", "segnale,  5000,  2, 5, 1, 0, 0, 0, 0, 0, 0, 300",
              "abbattimento,  6000,  40000", "rallentamento,  8000,  40000,  500,  0,  0,  0"}),
       {"L_linea.txt:4:19: warning: a gradient of 200 \xE2\x80\xB0"
        " does not fit: it must lie from -100 to 155 \xE2\x80\xB0"
        ", and the track stores -56 \xE2\x80\xB0"
        " [value-narrowed]",
        "L_linea.txt:5:19: warning: a gradient of -150 \xE2\x80\xB0"
        " does not fit: it must lie from -100 to 155 \xE2\x80\xB0"
        ", and the track stores 106 \xE2\x80\xB0"
        " [value-narrowed]",
        "L_1-.txt:5:19: warning: an adhesion of 300 does not fit: it must lie from 0 to 255, and "
        "the track stores 44 [value-narrowed]",
        "L_1-.txt:6:45: warning: the signal's tempo of 300 does not fit: it must lie from 0 to "
        "255, and the track stores 44 [value-narrowed]",
        "L_1-.txt:7:23: warning: a speed check value of 40000 does not fit: it must lie from 1 to "
        "32767, and the track stores -25536 [value-narrowed]",
        "L_1-.txt:8:24: warning: a slowdown speed of 40000 does not fit: it must lie from -32768 "
        "to 32767, and the track stores -25536 [value-narrowed]"}},
      {"a signal's tempo raised to 101, and one no signal of its kind keeps",
       small_line({}),
       train({"segnale,  3000,  2, 5, 1, 0, 0, 0, 0, 0, 0, 60",
              "segnale,  5000,  1, 5, 1, 0, 0, 0, 0, 0, 0, 60"}),
       {"L_1-.txt:5:45: warning: the signal's tempo 60 is stored as 101: the track keeps every "
        "tempo from 1 to 100 as 101 [value-raised]",
        "L_1-.txt:6:45: warning: the signal's tempo 60 is not stored: only a signal whose sx is 2 "
        "keeps its tempo, and this one's sx is 1 [no-effect]"}},
      {"a speed rounded to 5 km/h",
       small_line({}),
       train({"velocita,  2000,  112"}),
       {"L_1-.txt:5:19: warning: a speed of 112 km/h is kept as 110 km/h: the track keeps line "
        "speeds in 5 km/h steps, ties to even [value-rounded]"}},
      {"positions between cells",
       "[generale]\r\nlunghezza percorso, 10025\r\n[curve]\r\ncartello_indicatore, 2020, "
       "(X)\r\nmontagna, 3010, 3990, 1\r\nindicatori_vmax,  1975,  60, 60, 60, 0, 60, 60, 60, "
       "0\r\n[fine]\r\n",
       train({"segnale,  8020,  1, 5, 1, 0, 0, 0, 0, 0, 0, 0",
              "segnale,  8025,  1, 5, 1, 0, 0, 0, 0, 0, 0, 0",
              "segnale,  8075,  1, 5, 1, 0, 0, 0, 0, 0, 0, 0", "abbattimento,  6020,  50"}),
       {"L_linea.txt:2:21: warning: a line length of 10025 m is not a multiple of 50: the track's "
        "cells end at 17000 m, while its plan runs to 17025 m [not-multiple-of-50]",
        "L_linea.txt:4:22: warning: the sign board's position 2020 m is taken as 2000 m (cell 41): "
        "the track keeps its objects and values in 50 m cells, rounding each position to one, ties "
        "to even [not-multiple-of-50]",
        "L_linea.txt:5:11: warning: the scenery span's start 3010 m is taken as 3000 m (cell 60): "
        "the track keeps its objects and values in 50 m cells, rounding each position to one, ties "
        "to even [not-multiple-of-50]",
        "L_linea.txt:5:17: warning: the scenery span's end 3990 m is taken as 4000 m: the track "
        "keeps its scenery in 50 m cells, ties to even [not-multiple-of-50]",
        "L_linea.txt:6:19: warning: the maximum-speed boards' position 1975 m is taken as 1950 m "
        "(cell 40): the track keeps its objects and values in 50 m cells, rounding each position "
        "to one, ties to even [not-multiple-of-50]",
        "L_1-.txt:5:11: warning: the signal's position 8020 m is taken as 8000 m (cell 161): the "
        "track keeps its objects and values in 50 m cells, rounding each position to one, ties to "
        "even [not-multiple-of-50]",
        "L_1-.txt:6:11: warning: the signal's position 8025 m is taken as 8050 m (cell 162): the "
        "track keeps its objects and values in 50 m cells, rounding each position to one, ties to "
        "even [not-multiple-of-50]",
        "L_1-.txt:7:11: error: the signal at 8075 m falls in cell 162 (8050 m), which already "
        "holds a signal; an object takes only a cell that holds nothing or a scenery mark [code "
        "16]",
        "L_1-.txt:6:1: note: a signal stands there, put by this 'segnale'",
        "note: the reading stopped here: the compiled files hold only what came before",
        "L_1-.txt:7:11: warning: the signal's position 8075 m is taken as 8050 m (cell 162): the "
        "track keeps its objects and values in 50 m cells, rounding each position to one, ties to "
        "even [not-multiple-of-50]",
        "L_1-.txt:8:16: warning: the speed check point's position 6020 m is taken as 6000 m (cell "
        "120): the track keeps its objects in 50 m cells, ties to even [not-multiple-of-50]"}},
      {"records out of order",
       small_line({"pendenza,  3000,  2", "pendenza,  2000,  3", "pendenza,  2000,  4"}),
       train({"velocita,  6000,  60", "velocita,  5000,  80", "aderenza,  3000,  90",
              "aderenza,  3010,  80"}),
       {"L_linea.txt:5:12: warning: this gradient at 2000 m comes after the one at 3000 m (line "
        "4): gradients must come in increasing order of position; it takes effect only from 3050 "
        "m, and the one before holds for one cell only [out-of-order]",
        "L_linea.txt:4:1: note: the gradient before it",
        "L_linea.txt:6:12: warning: this gradient at 2000 m falls in the same 50 m cell as the one "
        "at 2000 m (line 5); it takes effect only from 3100 m, and the one before holds for one "
        "cell only [out-of-order]",
        "L_linea.txt:5:1: note: the gradient before it",
        "L_1-.txt:6:12: warning: this line speed at 5000 m comes after the one at 6000 m (line 5): "
        "line speeds must come in increasing order of position; it takes effect only from 6050 m, "
        "and the one before holds for one cell only [out-of-order]",
        "L_1-.txt:5:1: note: the line speed before it",
        "L_1-.txt:8:12: warning: the adhesion's position 3010 m is taken as 3000 m (cell 60): the "
        "track keeps its objects and values in 50 m cells, rounding each position to one, ties to "
        "even [not-multiple-of-50]",
        "L_1-.txt:8:12: warning: this adhesion at 3010 m falls in the same 50 m cell as the one at "
        "3000 m (line 7); it takes effect only from 3050 m, and the one before holds for one cell "
        "only [out-of-order]",
        "L_1-.txt:7:1: note: the adhesion before it"}},
      {"curves out of order and overlapping",
       small_line({"curvas4,  1000,  300", "curvad4,  1200,  300", "curvad4,  1250,  100"}),
       train({}),
       {"L_linea.txt:5:11: warning: the curve from 1200 m, 300 m long, starts before the curve "
        "before it (line 4) ends at 1300 m: its first 100 m are lost, and it bends the plan only "
        "from there to 1500 m [curve-overlap]",
        "L_linea.txt:4:1: note: the curve before it",
        "L_linea.txt:6:11: warning: the curve from 1250 m, 100 m long, lies within the stretch the "
        "curve before it (line 5) bends, which runs to 1500 m: it bends nothing, and the plan is "
        "as if it were not there [curve-overlap]",
        "L_linea.txt:5:1: note: the curve before it"}},
      {"past the line's end",
       small_line({"pendenza,  12000,  3", "curvad2,  9500,  1000"}),
       train({"segnale,  12000,  1, 5, 1, 0, 0, 0, 0, 0, 0, 0", station(11000, "Z")}),
       {"L_linea.txt:4:1: warning: the gradient from 12000 m lies past the end of the line at "
        "10000 m, in the 7000 m the track runs on beyond it, to 17000 m [past-line-end]",
        "L_linea.txt:5:1: warning: the curve from 9500 m to 10500 m runs past the end of the line "
        "at 10000 m, in the 7000 m the track runs on beyond it, to 17000 m [past-line-end]",
        "L_1-.txt:5:1: warning: the signal at 12000 m lies past the end of the line at 10000 m, in "
        "the 7000 m the track runs on beyond it, to 17000 m [past-line-end]",
        "L_1-.txt:6:1: warning: the station 'Z', whose extent ends at 11200 m, lies past the end "
        "of the line at 10000 m, in the 7000 m the track runs on beyond it, to 17000 m "
        "[past-line-end]"}},
      {"past the end of a line whose length is no multiple of 50",
       "[generale]\r\nlunghezza percorso, 9980\r\n[curve]\r\nindicatori_vmax,  12000,  60, 60, "
       "60, 0, 60, 60, 60, 0\r\n[fine]\r\n",
       train({}),
       {"L_linea.txt:2:21: warning: a line length of 9980 m is not a multiple of 50: the track's "
        "cells end at 17000 m, while its plan runs to 16980 m [not-multiple-of-50]",
        "L_linea.txt:4:1: warning: the maximum-speed boards at 12000 m lie past the end of the "
        "line at 9980 m, in the 7020 m the track runs on beyond it, to 17000 m [past-line-end]"}},
      {"a speed check the compile step lowers, before a signal a warning board follows",
       small_line({}),
       train({"segnale,  3500,  1, 5, 1, 0, 0, 0, 0, 0, 0, 0", "abbattimento,  3500,  250",
              "abbattimento,  3450,  100", "rallentamento,  5200,  60,  300,  0,  1,  0"}),
       {"L_1-.txt:6:23: warning: the speed check value 250 is lowered to 180 by the compile step: "
        "the point stands right before a signal that a slowdown's warning board follows within "
        "1000 m, and there the compile step keeps every speed check at 180 at the most "
        "[lowered-by-compile]"}},
      {"a slowdown whose end falls in its start's cell takes the next one's end",
       small_line({}),
       train({"rallentamento,  5025,  120,  50,  0,  0,  0",
              "rallentamento,  9000,  60,  300,  0,  0,  0"}),
       {"L_1-.txt:5:17: warning: the slowdown's start 5025 m is taken as 5050 m (cell 102): the "
        "track keeps its objects and values in 50 m cells, rounding each position to one, ties to "
        "even [not-multiple-of-50]",
        "L_1-.txt:5:30: warning: the slowdown from 5025 m, 50 m long, ends in the 50 m cell it "
        "starts in (cell 102), which its start takes: the compile step looks for its end from its "
        "start on, and takes the next slowdown's end, or runs to the end of the track "
        "[slowdown-without-end]"}},
      {"a general keyword with brackets ends the general section",
       "[generale]\r\nlunghezza percorso [m], 10000\r\nsfondo uno, 5\r\n[curve]\r\n[fine]\r\n",
       train({}),
       {"L_linea.txt:2:1: warning: 'lunghezza percorso [m]' is read as a line length record, "
        "since it contains its keyword; write it 'lunghezza percorso'; its '[' and ']' end the "
        "general section too, so the general records below it are not read [keyword-spelling]",
        "L_linea.txt:3:1: warning: 'sfondo uno' is a record of the general section, which ended "
        "at line 2, at 'lunghezza percorso [m]', since it holds '[' and ']': here it is not read, "
        "so this background 'uno' is lost [misplaced-record]"}},
      {"a unit past 9, or a dx past 2, carries into the tens of its datum",
       small_line({"indicatori_vmax,  2000,  60, 60, 60, 1,  60, 60, 60, 12"}),
       train({"segnale,  5000,  1, 5, 1, 0,  0,  3,  0, 0, 0,  0"}),
       {"L_linea.txt:4:54: warning: the boards' strisced of 12 is no single digit: dato4 = "
        "strisces x 10 + strisced = 22, which reads as strisces 2 and strisced 2 [digit-overflow]",
        "L_1-.txt:5:35: warning: the signal's dx of 3 lies outside 0 to 2: its code 3 x sx + dx = "
        "6 is that of a signal with sx 2 and dx 0 [digit-overflow]"}},
      {"a speed of 0 lets no train run on",
       small_line({}),
       train({"velocita,  4000,  0", "velocita,  4500,  100",
              "rallentamento,  6000,  0,  300,  0,  0,  0"}),
       {"L_1-.txt:5:19: warning: a line speed of 0 km/h from 4000 m: no train may run on there; "
        "is a digit missing? [implausible-speed]",
        "L_1-.txt:7:24: warning: a slowdown speed of 0 km/h from 6000 m: no train may run on "
        "there; is a digit missing? [implausible-speed]"}},
      {"a signal repetition whose second value is 0 records no codes",
       "[generale]\r\nlunghezza percorso, 10000\r\nripetizione segnali 9 codici, 1000, "
       "0\r\n[curve]\r\n[fine]\r\n",
       train({}),
       {"L_linea.txt:3:37: warning: the second value is 0, so the signal repetition records 0 "
        "codes, not the 9 of its keyword [value-cleared]"}},
      {"a keyword after other fields on its line is no comment",
       small_line({}),
       train({"sabbia,  3,  STAZIONE NORD,  6000, 12,  400,  0, 0, 0,  0,0,0,  0,0,0,  0,  9, 0, "
              "0, BETA"}),
       {"L_1-.txt:5:14: warning: 'STAZIONE NORD' is read as a station record, since it contains "
        "its keyword; it follows other fields on its line, where the record before it ended: is "
        "it a text with a comma, which needs double quotes around it, or a record of the other "
        "file? [keyword-spelling]"}},
      {"a slowdown start 25 m past a multiple of 50 leaves a cell between approach and board",
       small_line({}),
       train({"rallentamento,  5025,  60,  300,  0,  1,  0"}),
       {"L_1-.txt:5:17: warning: the slowdown's start 5025 m is taken as 5050 m (cell 102): the "
        "track keeps its objects and values in 50 m cells, rounding each position to one, ties to "
        "even [not-multiple-of-50]",
        "L_1-.txt:5:17: warning: the slowdown's start 5025 m is no multiple of 50 m, so its "
        "approach cells, 73 to 76, leave cell 77 empty before its warning board in cell 78; from "
        "a start on a multiple of 50 m they lie right before it [approach-gap]"}},
      {"a slowdown start 75 m past one puts an approach cell on the board's",
       small_line({}),
       train({"rallentamento,  5075,  60,  300,  0,  1,  0"}),
       {"L_1-.txt:5:17: error: one of the four approach cells right before the slowdown's warning "
        "board at 5075 m falls in cell 78 (3850 m), which already holds a slowdown warning board; "
        "an object takes only a cell that holds nothing or a scenery mark [code 20]",
        "L_1-.txt:5:1: note: a slowdown warning board stands there, put by this 'rallentamento'",
        "note: the reading stopped here: the compiled files hold only what came before",
        "L_1-.txt:5:17: warning: the slowdown's start 5075 m is taken as 5050 m (cell 102): the "
        "track keeps its objects and values in 50 m cells, rounding each position to one, ties to "
        "even [not-multiple-of-50]",
        "L_1-.txt:5:17: warning: the slowdown's start 5075 m is no multiple of 50 m, so its "
        "approach cells, 75 to 78, take the cell of its warning board, 78, and are refused (code "
        "20) [approach-gap]"}},
      {"chainage references dropped: a shared largest first value, first values that add to 0",
       "[generale]\r\nlunghezza percorso, 10000\r\nprogressiva chilometrica uno, 500, 0, "
       "0\r\nprogressiva chilometrica due, 500, 1000, 0\r\n[curve]\r\n[fine]\r\n",
       train({}),
       {"L_linea.txt:3:1: warning: 'progressiva chilometrica uno' is dropped with every other "
        "chainage reference: their largest first value is shared, so no order puts them in "
        "place, and all their values become 0; give each reference a first value of its own "
        "[chainage-dropped]",
        "L_linea.txt:4:1: warning: 'progressiva chilometrica due' is dropped with every other "
        "chainage reference: their largest first value is shared, so no order puts them in "
        "place, and all their values become 0; give each reference a first value of its own "
        "[chainage-dropped]"}},
      {"a slowdown far faster than the route",
       small_line({}),
       train({"rallentamento,  5000,  600,  300,  0,  0,  0"}),
       {"L_1-.txt:5:24: warning: a slowdown speed of 600 km/h, more than twice the fastest line "
        "speed of the route (100 km/h): a slowdown lowers the speed, so this one asks nothing of "
        "the driver; is a digit too many? [implausible-speed]"}},
      {"a slowdown too near the start for its warning board",
       small_line({}),
       train({"rallentamento,  1500,  60,  500,  0,  1,  0"}),
       {"L_1-.txt:5:1: warning: the slowdown at 1500 m starts within 1500 m of the line's start, "
        "so it gets no warning board and none of the approach cells its f_ta asks for "
        "[no-warning-board]"}},
      {"an object under a station stop, and marks that depend on order",
       small_line({}),
       train({"segnale,  5100,  1, 5, 1, 0, 0, 0, 0, 0, 0, 0", station(5000, "B")}),
       {"L_1-.txt:5:1: warning: this signal in cell 103 (5100 m) is overwritten by the stop of the "
        "station 'B': a station stop takes its cell whatever it holds, while an object listed "
        "after the station would have been refused [overwritten]",
        "L_1-.txt:6:1: note: the station whose stop takes the cell",
        "L_1-.txt:6:1: warning: the approach mark this station sets in cell 101 (5000 m) replaces "
        "the one of the signal of line 5: the record listed later wins [order-dependent]",
        "L_1-.txt:5:1: note: the record whose mark is replaced"}},
      {"scenery spans that overlap or come too close",
       small_line({"montagna,  1000,  2000,  1", "montagna,  1800,  2500,  2",
                   "montagna,  2600,  3000,  4"}),
       train({}),
       {"L_linea.txt:5:1: warning: this scenery span overlaps the span of line 4 from cell 36 "
        "(1800 m): its kind replaces the other's in the cells they share [order-dependent]",
        "L_linea.txt:4:1: note: the span it overlaps",
        "L_linea.txt:5:26: warning: this scenery span gets kind 3, not its own 2: it starts before "
        "the end of the span before it, and a span within 150 m of the previous one always takes "
        "kind 3 [order-dependent]",
        "L_linea.txt:4:1: note: the span before it",
        "L_linea.txt:6:26: warning: this scenery span gets kind 3, not its own 4: it starts 100 m "
        "after the end of the span before it, and a span within 150 m of the previous one always "
        "takes kind 3 [order-dependent]",
        "L_linea.txt:5:1: note: the span before it"}},
      {"speed and adhesion 0 where the train runs",
       small_line({}),
       small_train({station(1000, "A"), "velocita,  5000,  100", "aderenza,  4000,  100"}),
       {"L_1-.txt:3:1: warning: no line speed is set before this first 'velocita' at 5000 m: the "
        "cells before it get a line speed of 0, and the train's first station begins at 800 m; "
        "start with 'velocita, 0, ...' [zero-before-first]",
        "L_1-.txt:4:1: warning: no adhesion is set before this first 'aderenza' at 4000 m: the "
        "cells before it get an adhesion of 0, and the train's first station begins at 800 m; "
        "start with 'aderenza, 0, ...' [zero-before-first]"}},
      {"no station, no speed, no adhesion",
       small_line({}),
       small_train({"sabbia,  300"}),
       {"L_1-.txt: warning: the train description has no 'stazione' record: the route has no "
        "station [missing-records]",
        "L_1-.txt: warning: the train description has no 'velocita' record: every cell has a line "
        "speed of 0 [missing-records]",
        "L_1-.txt: warning: the train description has no 'aderenza' record: every cell has an "
        "adhesion of 0 [missing-records]"}},
      {"an empty train description",
       small_line({}),
       "",
       {"L_1-.txt: warning: the train description is empty: the route has no station, and a line "
        "speed and adhesion of 0 everywhere [empty-file]"}},
      {"a train description without [generale]",
       small_line({}),
       "velocita,  0,  100\r\n[fine]\r\n",
       {"L_1-.txt: warning: the train description has no '[generale]' heading, so nothing in it "
        "was read: the route has no station, and a line speed and adhesion of 0 everywhere "
        "[no-general-section]"}},
      {"a train description whose heading is written otherwise, at its line",
       small_line({}),
       "[general]\r\nvelocita,  0,  100\r\n[fine]\r\n",
       {"L_1-.txt:1:1: warning: '[general]' is not the heading '[generale]': the reader looks for "
        "'[generale]' as it is written here, with no blank or other letter inside the brackets, "
        "and found none, so nothing in the train description was read: the route has no station, "
        "and a line speed and adhesion of 0 everywhere [no-general-section]"}},
      {"records above '[generale]', passed over, and after '[fine]', read all the same",
       "- the line\r\nsfondo uno, 2\r\n[generale]\r\nlunghezza percorso, 10000\r\n[curve]\r\n"
       "[fine]\r\npendenza,  2000,  3\r\n[fine]\r\n",
       train({}),
       {"L_linea.txt:2:1: warning: 'sfondo uno' stands above the '[generale]' heading, where the "
        "reader looks for nothing but that heading: this background 'uno' is passed over; move "
        "it below the heading [before-heading]",
        "L_linea.txt:7:1: warning: 'pendenza' stands after '[fine]' and is read all the same: "
        "'[fine]' ends no reading, the end of the file does; move the record above it, or make "
        "the line a comment [after-fine]",
        "L_linea.txt:6:1: note: '[fine]' is here"}},
      {"a UTF-16 train description",
       small_line({}),
       "\xff\xfe[\x00g\x00e\x00n\x00]\x00",
       {"L_1-.txt: warning: the train description has no '[generale]' heading, so nothing in it "
        "was read: the route has no station, and a line speed and adhesion of 0 everywhere "
        "[no-general-section]",
        "L_1-.txt: warning: the file is UTF-16, two bytes a character: the reader takes one byte a "
        "character and finds nothing it knows; save the file as Windows-1252 (called 'Western "
        "European' or 'ANSI' by most editors) [encoding]"}},
      {"a byte that is no character, and a NUL, in station names",
       small_line({}),
       train({station(3000, "ALTA\x81VALLE"), station(5000, std::string("BASSA\0PIANA", 11))}),
       {"L_1-.txt:5:72: warning: the byte \\x81 stands here, which is no Windows-1252 character: "
        "the reader takes it as it is, and a text that holds it goes into the compiled files with "
        "it; delete it [encoding]",
        "L_1-.txt:6:73: warning: a NUL byte stands here, which is no Windows-1252 character: the "
        "reader takes it as it is, and a text that holds it goes into the compiled files with it; "
        "delete it [encoding]"}},
      {"UTF-8 in a station name",
       small_line({}),
       train({station(3000, "CITT\xc3\xa0 ALTA")}),
       {"L_1-.txt:5:72: warning: '\xC3\xA0"
        "' is written in UTF-8, as the 2 bytes C3 A0: the simulator reads Windows-1252 and will "
        "show '\xC3\x83"
        "\xC2\xA0"
        "'; save the file as Windows-1252 (called 'Western European' or 'ANSI' by most editors) "
        "[encoding]"}},
      {"a record on the last line",
       small_line({}),
       "[generale]\r\nvelocita,  0,  100\r\naderenza,  0,  100\r\n" + station(1000, "A") +
           "\r\nsegnale\r\n",
       {"L_1-.txt:5:1: warning: the file's last line, 'segnale', is never read: the reading stops "
        "before its last field, so end the file with a line such as '[fine]' [never-read]"}},
      {"times that go backwards",
       small_line({}),
       train({station(3000, "B", 12, "9, 20, 0"), station(5000, "C", 12, "9, 10, 0"),
              station(7000, "D", 28, "0, 0, 0")}),
       {"L_1-.txt:6:59: warning: the station 'C' has the time 9:10:00, earlier than the 9:20:00 of "
        "the station before it: the timetable goes backwards (unless the train runs past midnight) "
        "[time-backwards]",
        "L_1-.txt:5:1: note: the station before it"}},
      {"values given twice, and records that do nothing",
       "[generale]\r\nlunghezza percorso, 10000\r\nsfondo uno, 1\r\nsfondo uno, 2\r\nprogressiva "
       "chilometrica uno, 100, 200, 5\r\n[curve]\r\ncurvas4, 100, 0\r\nmontagna, 3000, 3000, "
       "1\r\ncurvad3, -1500, 800\r\n[fine]\r\n",
       train({"sabbia,  1", "sabbia,  2"}),
       {"L_linea.txt:4:1: warning: a second 'sfondo uno' record: its values replace those of line "
        "3 [repeated-record]",
        "L_linea.txt:3:1: note: the first one",
        "L_linea.txt:5:41: warning: the flag of 'progressiva chilometrica uno' is 5: only 1 adds "
        "100 to its second value, so write 0 or 1 [flag-value]",
        "L_linea.txt:7:15: warning: a curve of length 0 bends nothing [no-effect]",
        "L_linea.txt:8:1: warning: the scenery span from 3000 m to 3000 m covers no whole cell: it "
        "changes no part of the track [no-effect]",
        "L_linea.txt:9:10: warning: the curve from -1500 m to -700 m ends before the line begins "
        "at 0 m: it bends nothing [no-effect]",
        "L_1-.txt:6:1: warning: a second 'sabbia' record: its values replace those of line 5 "
        "[repeated-record]",
        "L_1-.txt:5:1: note: the first one"}},

  };
  for (const Case& c : cases) expect_told(c);
}

// The scenario's own descriptions have one curve out of order, on purpose, and nothing else.
TEST(Diagnose, TheScenarioGetsOnlyWhatIsTrueOfIt) {
  const std::filesystem::path golden = SCENARIO_TESTDATA;
  const Told told = diagnose_texts(binario::testing::read_file(golden / "Varelbo_linea.txt"),
                                   binario::testing::read_file(golden / "Varelbo_3874-.txt"));
  EXPECT_EQ(told.lines,
            (std::vector<std::string>{
                "L_linea.txt:55:11: warning: the curve from 32500 m, 200 m long, lies within the "
                "stretch the curve before it (line 54) bends, which runs to 34400 m: it bends "
                "nothing, and the plan is as if it were not there [curve-overlap]",
                "L_linea.txt:54:1: note: the curve before it"}));
}

// Watching the reading changes nothing it compiles, whatever the descriptions hold.
TEST(Diagnose, TheCompiledFilesAreTheCompileStepsOwn) {
  const std::filesystem::path golden = SCENARIO_TESTDATA;
  const std::pair<std::string, std::string> pairs[] = {
      {binario::testing::read_file(golden / "Varelbo_linea.txt"),
       binario::testing::read_file(golden / "Varelbo_3874-.txt")},
      {small_line({"pendenza,  4000", "pendenza,  5000,  2", "curvas4,  100,  300"}),
       train({"segnale,  3000,  1, 5, 1, 0, 0, 0, 0, 0, 0, 0"})},
      {small_line({"pendenza,  16950,  2"}),
       train({"segnale,  6000,  1, 5, 1, 0, 0, 0, 0, 0, 0, 0"})},
      {small_line({"cartello_indicatore,  5750,  (A)"}),
       train({"rallentamento,  6000,  60,  1000,  0,  0,  0", station(1200, "B")})},
  };
  for (const auto& [line, train_text] : pairs) {
    const Told told = diagnose_texts(line, train_text);
    RunState alone;
    alone.nome_linea = "L";
    alone.numero_treno = "1";
    binario::testing::MemoryFiles files(line, train_text);
    MemoryRouteFiles output;
    memorizza_percorso(alone, 1, files, output);
    EXPECT_TRUE(told.files == output.files);
    EXPECT_EQ(told.diagnosis.state.codice_errore, alone.codice_errore);
    EXPECT_EQ(told.diagnosis.state.posizione_errore, alone.posizione_errore);
  }
}

// Each cell cites the record that put each part of it there, or the compile step.
TEST(Diagnose, EachCellCitesItsRecord) {
  const Told told = diagnose_texts(
      small_line({"cartello_indicatore,  2000,  (A)", "cartello_indicatore,  5100,  (B)"}),
      train({"segnale,  8020,  1, 5, 1, 0, 0, 0, 0, 0, 0, 0",
             "rallentamento,  12000,  60,  500,  0,  0,  0", station(5000, "B")}));
  const CellNotes notes = cell_notes(told.diagnosis.sources);
  auto at = [&](std::int64_t cell) {
    const auto found = notes.find(cell);
    return found == notes.end() ? std::vector<std::string>{} : found->second;
  };
  EXPECT_EQ(at(41), (std::vector<std::string>{"cartello_indicatore, line 4, 2000 m -> cell 41 "
                                              "(2000 m)"}));
  EXPECT_EQ(at(161), (std::vector<std::string>{"segnale, line 5, 8020 m -> cell 161 (8000 m)"}));
  EXPECT_EQ(at(159), (std::vector<std::string>{"approach mark of segnale, line 5, 8020 m"}));
  // A station stop over a sign board says what it took the place of.
  EXPECT_EQ(at(103), (std::vector<std::string>{"stazione, line 7, 5000 m -> cell 103 (5100 m), "
                                               "over the sign board of cartello_indicatore, "
                                               "line 5"}));
  // The approach markers the compile step places before the slowdown's start, cell 241.
  EXPECT_EQ(at(236),
            (std::vector<std::string>{"placed by the compile step: a speed check point of 180"}));
}

// A flood of one kind is cut after twenty, with a count of the rest.
// A text or a word far longer than a line is named by its start and its length, and of a long
// source line only the stretch around the caret is shown: no line of the output is much wider
// than a terminal.
TEST(Diagnose, LongTextsAreShownInPart) {
  const std::string board = "(" + std::string(70000, 'A') + ")";
  const std::string word = std::string(5000, 'x');
  for (const auto& [line, first] : {
           std::pair<std::string, std::string>{
               small_line({"cartello_indicatore,  2000,  " + board}),
               "L_linea.txt:4:30: error: the sign board's text is 70002 bytes long: the data "
               "table holds at most 65535 [code 25]"},
           std::pair<std::string, std::string>{
               small_line({"pendenza,  1000,  " + word}),
               "L_linea.txt:4:19: error: '" + std::string(57, 'x') +
                   "...' (5000 bytes) is not a number: the gradient of a 'pendenza' record "
                   "is a whole number [code 25]"},
       }) {
    const SourceText line_text("L_linea.txt", line);
    const SourceText train_text("L_1-.txt", small_train());
    MemoryRouteFiles output;
    const Diagnosis diagnosis = diagnose(line_text, train_text, "L", "1", 1, output);
    const std::string rendered = render(diagnosis.diagnostics, line_text, train_text);
    std::istringstream in(rendered);
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, first);
    for (; std::getline(in, text);) EXPECT_LE(text.size(), 200u) << text.substr(0, 200);
  }
}

// The example of every warning's long explanation, read as binario check reads it, says what
// the explanation says it does: each line printed under it is printed, wrapped lines joined.
// The other file of the pair is the small line or an empty train, as the explanations say.
TEST(Diagnose, EachExplanationsExampleGivesItsWarning) {
  const std::vector<std::string_view> names = explained_warnings();
  ASSERT_FALSE(names.empty());
  for (std::string_view name : names) {
    SCOPED_TRACE(std::string(name));
    const std::string section(*warning_explanation(name));
    const std::size_t example = section.find("**Example.**");
    ASSERT_NE(example, std::string::npos);
    // The file, then what binario prints for it: the first two text blocks of the example.
    std::vector<std::string> blocks;
    for (std::size_t at = section.find("```text\n", example);
         at != std::string::npos && blocks.size() < 2; at = section.find("```text\n", at)) {
      const std::size_t begin = at + 8;
      const std::size_t end = section.find("```", begin);
      ASSERT_NE(end, std::string::npos);
      blocks.push_back(section.substr(begin, end - begin));
      at = end + 3;
    }
    ASSERT_EQ(blocks.size(), 2u);
    std::vector<std::string> expected;
    std::istringstream printed(blocks[1]);
    for (std::string text; std::getline(printed, text);) {
      if (text.starts_with("    ") && !expected.empty()) {
        expected.back() += " " + text.substr(4);
      } else if (!text.empty()) {
        expected.push_back(text);
      }
    }
    ASSERT_FALSE(expected.empty());
    // The explanations name the files Monte_linea.txt and Monte_7-.txt, with CR LF line ends
    // and a byte that is no character written \xNN, as binario shows it.
    std::string file;
    for (std::size_t i = 0; i < blocks[0].size(); ++i) {
      const char c = blocks[0][i];
      if (c == '\\' && blocks[0].compare(i, 2, "\\x") == 0 && i + 3 < blocks[0].size()) {
        file += static_cast<char>(std::stoi(blocks[0].substr(i + 2, 2), nullptr, 16));
        i += 3;
        continue;
      }
      if (c == '\n') file += '\r';
      file += c;
    }
    const bool of_line = expected.front().starts_with("Monte_linea.txt");
    const SourceText line_text("Monte_linea.txt", of_line ? file : small_line());
    const SourceText train_text("Monte_7-.txt", of_line ? small_train() : file);
    MemoryRouteFiles output;
    const Diagnosis diagnosis = diagnose(line_text, train_text, "Monte", "7", 1, output);
    std::istringstream rendered(render(diagnosis.diagnostics, line_text, train_text));
    std::vector<std::string> told;
    for (std::string text; std::getline(rendered, text);) {
      if (!text.empty() && text.front() != ' ') told.push_back(text);
    }
    for (const std::string& line : expected) {
      EXPECT_NE(std::find(told.begin(), told.end(), line), told.end())
          << line << "\nbinario says:\n"
          << ::testing::PrintToString(told);
    }
    EXPECT_TRUE(std::any_of(expected.begin(), expected.end(), [&](const std::string& line) {
      return line.find("[" + std::string(name) + "]") != std::string::npos;
    })) << ::testing::PrintToString(expected);
  }
}

TEST(Diagnose, FloodsAreCut) {
  std::vector<std::string> body(25, "pendneza,  1000,  2");
  const Told told = diagnose_texts(small_line(body), train({}));
  ASSERT_EQ(told.lines.size(), 21u);
  EXPECT_EQ(told.lines.back(), "L_linea.txt: note: and 5 more like this [unknown-keyword]");
  EXPECT_EQ(told.diagnosis.diagnostics.size(), 25u);
}

}  // namespace
}  // namespace binario::authoring
