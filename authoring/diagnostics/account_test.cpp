// The account of every line: what the reading made of small descriptions, line by line, in the
// cells and rows the compiled files hold.

#include "authoring/diagnostics/account.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "authoring/diagnostics/diagnose.h"
#include "reader/reader_test_support.h"

namespace binario::authoring {
namespace {

using binario::testing::small_line;
using binario::testing::small_train;

// Everything the account says of one line, a sentence a line.
std::string told_of(const LineAccount& account) {
  std::string text;
  for (const std::string& s : account.fields) text += s + "\n";
  for (const RecordAccount& r : account.records) {
    text += r.kind + " '" + r.keyword + "'" + (r.complete ? "" : ", cut short") + "\n";
    for (const FieldAccount& f : r.fields) {
      text += f.name + ": " + f.written + " / " + f.read + " -> " + f.stored + "\n";
    }
    for (const std::string& s : r.made) text += "made: " + s + "\n";
    for (const std::string& s : r.later) text += "later: " + s + "\n";
  }
  return text;
}

const std::string kTrain =
    small_train({"velocita,  0,  100", "aderenza,  0,  100",
                 "stazione,  1000, 12,  400,  0, 0, 0,  0,0,0,  0,0,0,  0,  9, 0, 0, ALFA"});

struct Case {
  const char* name;
  std::string line;
  std::string train;
  DescriptionFile file;
  std::size_t at;                 // the line the case looks at
  std::vector<std::string> says;  // what its account holds, each a whole sentence of it
};

TEST(Account, EachLineSaysWhatItBecame) {
  const Case cases[] = {
      {"a gradient's cells, and the level track before the first",
       small_line({"pendenza,  1900,  -10", "pendenza,  2000,  0"}),
       kTrain,
       DescriptionFile::kLine,
       4,
       {"gradient: -10 / -10 -> pendenza 90 in cells 38 to 39 (1900 to 2000 m)\n",
        "made: level track, pendenza 100, in cells 0 to 37 (0 to 1900 m), before the first "
        "gradient\n"}},
      {"a gradient written in the same cell as the one before still has its one cell",
       small_line({"pendenza,  1900,  -10", "pendenza,  1900,  5"}),
       kTrain,
       DescriptionFile::kLine,
       4,
       {"gradient: -10 / -10 -> pendenza 90 in cell 38 (1900 to 1950 m)\n"}},
      {"a gradient that does not fit its byte keeps its low 8 bits",
       small_line({"pendenza,  1000,  300"}),
       kTrain,
       DescriptionFile::kLine,
       4,
       {"gradient: 300 / 300 -> pendenza 144 (the low 8 bits of 400) in cells 20 to 337 (1000 to "
        "16900 m)\n"}},
      {"a curve within the stretch of the one before bends nothing",
       small_line({"curvas4,  1000,  2000", "curvad5,  1500,  200"}),
       kTrain,
       DescriptionFile::kLine,
       5,
       {"made: class 5 (the keyword's '5'), to the right (the keyword holds no 's'): 0.002 a "
        "metre, a radius of about 500 m\n",
        "made: it bends nothing: it ends at 1700 m, where the plan is already drawn, by the curve "
        "'curvas4' at line 4\n"}},
      {"a curve that starts inside the one before loses its first metres",
       small_line({"curvas4,  1000,  500", "curvad2,  1200,  600"}),
       kTrain,
       DescriptionFile::kLine,
       5,
       {"made: it bends plan rows 1501 to 1800\n"}},
      {"the side is read from an 's' anywhere, the class from the first digit 1 to 6 it holds",
       small_line({"curvad41 sud,  1000,  500"}),
       kTrain,
       DescriptionFile::kLine,
       4,
       {"made: class 1 (the keyword's '1'), to the left (the keyword holds an 's'): 0.0001 a "
        "metre, a radius of about 10000 m\n"}},
      {"the chainage references put in order, and a flag of 1 that raises the second value",
       "[generale]\r\nlunghezza percorso, 10000\r\nprogressiva chilometrica uno, 2550, 105000, "
       "1\r\nprogressiva chilometrica tre, 1550, -1500, 0\r\n[fine]\r\n[fine]\r\n",
       kTrain,
       DescriptionFile::kLine,
       3,
       {"first value: 2550 / 2550 -> row 83 valore1\n",
        "made: put in order by the first values, largest first: row 81; its flag is 1, so its "
        "second value is raised by 100 to 105100\n"}},
      {"a scenery span near the one before takes kind 3",
       small_line({"montagna,  3000,  3500,  2", "montagna,  3600,  4000,  11"}),
       kTrain,
       DescriptionFile::kLine,
       5,
       {"kind: 11 / 11 -> scenery kind 3, because it starts no more than 150 m after the end of "
        "the span 'montagna' at line 4\n",
        "made: scenery kind 3 in cells 72 to 79 (3600 to 4000 m)\n",
        "made: scenery marks in cells 75, 79\n"}},
      {"a keyword with brackets ends the general section",
       "[generale]\r\nlunghezza percorso [m], 10000\r\nsfondo uno, 5\r\n[curve]\r\n[fine]\r\n",
       kTrain,
       DescriptionFile::kLine,
       2,
       {"'lunghezza percorso [m]' holds '[' and ']': it ends the general section, and the body "
        "begins\n"}},
      {"a record above the heading is passed over",
       "orologio, 8, 0, 0\r\n" + small_line({}),
       kTrain,
       DescriptionFile::kLine,
       1,
       {"'orologio' is above the '[generale]' heading: passed over\n"}},
      {"a value on the line after its record",
       small_line({"pendenza,  2000", "  4"}),
       kTrain,
       DescriptionFile::kLine,
       5,
       {"'4' is the gradient of the gradient at line 4, read on this line\n"}},
      {"the file's last field is never read",
       small_line({}),
       kTrain,
       DescriptionFile::kLine,
       4,
       {"'[fine]' is the file's last field, where a keyword is expected: it is never read\n"}},
      {"a signal's tempo: raised to 101, and kept only when sx is 2",
       small_line({}),
       small_train({"velocita,  0,  100", "aderenza,  0,  100",
                    "segnale,  3000,  2, 1, 1, 0, 0, 0, 0, 0, 0,  50",
                    "segnale,  5000,  1, 1, 1, 0, 0, 0, 0, 0, 0,  50"}),
       DescriptionFile::kTrain,
       4,
       {"position: 3000 / 3000 -> cell 61 (3000 m), a signal\n",
        "tempo: 50 / 50 -> dato5 = 101, raised from 50 to 101\n",
        "made: approach marks 61 in cell 59, 62 in cell 57, 63 in cell 55, 64 in cell 53\n"}},
      {"a tempo on a signal whose sx is not 2",
       small_line({}),
       small_train({"velocita,  0,  100", "aderenza,  0,  100",
                    "segnale,  5000,  1, 1, 1, 0, 0, 0, 0, 0, 0,  50"}),
       DescriptionFile::kTrain,
       4,
       {"tempo: 50 / 50 -> not stored: the time value is kept only when sx is 2; dato5 = 0\n"}},
      {"a line speed kept in 5 km/h steps, and the cells before the first",
       small_line({}),
       small_train({"aderenza,  0,  100", "velocita,  1000,  112"}),
       DescriptionFile::kTrain,
       3,
       {"speed: 112 / 112 -> velocita 22 (110 km/h, to the nearest 5 km/h) in cells 20 to 337 "
        "(1000 to 16900 m)\n",
        "made: the cells before it, cells 0 to 19 (0 to 1000 m), hold velocita 0: no record "
        "gives the line speed there\n"}},
      {"the first station's ottetto3 and ottetto4 are cleared, after the 50 m",
       small_line({}),
       small_train({"velocita,  0,  100", "aderenza,  0,  100",
                    "stazione,  2000, 12,  600,  0, 1, 1,  0,0,0,  0,0,0,  0,  9, 0, 0, ALFA"}),
       DescriptionFile::kTrain,
       4,
       {"length: 600 / 600 -> the extent, row 1 valore1 = 1700 to valore2 = 2350\n",
        "ottetto4: 1 / 1 -> row 1 ottetto4 = 0, cleared for the first station\n",
        "ottetto3: 1 / 1 -> row 1 ottetto3 = 0, cleared for the first station, after adding 50 m "
        "to its extent\n",
        "made: the station stop in cell 46 (2250 m), naming row 1\n"}},
      {"a value given twice: the later one holds",
       small_line({}),
       small_train({"velocita,  0,  100", "aderenza,  0,  100", "sabbia,  1", "sabbia,  2"}),
       DescriptionFile::kTrain,
       4,
       {"value: 1 / 1 -> row 86 parola1 = 2\n",
        "later: what it stored was overwritten by the sand 'sabbia' at line 5\n"}},
      {"lines after a record that stops the reading are never read",
       small_line({"pendenza,  1o00,  2", "pendenza,  3000,  2"}),
       kTrain,
       DescriptionFile::kLine,
       5,
       {"never read: the reading stopped at line 4\n"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const SourceText line("L_linea.txt", c.line);
    const SourceText train("L_1-.txt", c.train);
    NoRouteFiles output;
    const Diagnosis diagnosis = diagnose(line, train, "L", "1", 1, output, true);
    const LineAccount* found = nullptr;
    for (const LineAccount& a : diagnosis.account) {
      if (a.file == c.file && a.line == c.at) found = &a;
    }
    ASSERT_NE(found, nullptr);
    const std::string told = told_of(*found);
    for (const std::string& sentence : c.says) {
      EXPECT_NE(told.find(sentence), std::string::npos) << sentence << "\nthe account:\n" << told;
    }
  }
}

// Every line of both files has its account, in order, and only when asked for.
TEST(Account, EveryLineOnceAndOnlyWhenAsked) {
  const SourceText line("L_linea.txt", small_line({"pendenza,  1900,  -10"}));
  const SourceText train("L_1-.txt", kTrain);
  NoRouteFiles output;
  EXPECT_TRUE(diagnose(line, train, "L", "1", 1, output).account.empty());
  const Diagnosis diagnosis = diagnose(line, train, "L", "1", 1, output, true);
  ASSERT_EQ(diagnosis.account.size(), line.line_count() + train.line_count());
  for (std::size_t i = 0; i < diagnosis.account.size(); ++i) {
    const LineAccount& a = diagnosis.account[i];
    const bool of_line = i < line.line_count();
    EXPECT_EQ(a.file, of_line ? DescriptionFile::kLine : DescriptionFile::kTrain);
    EXPECT_EQ(a.line, of_line ? i + 1 : i + 1 - line.line_count());
    EXPECT_FALSE(a.fields.empty() && a.records.empty()) << "line " << a.line << " says nothing";
  }
}

}  // namespace
}  // namespace binario::authoring
