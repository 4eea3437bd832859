// The rules the scenario's content keeps: counts, shapes, orders, ranges and the lines quoted
// word for word, so that editing a table cannot silently break one. The exact bytes of every
// file are pinned by the golden files of the end-to-end test.

#include <algorithm>
#include <cctype>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "scenario/writers.h"
#include "testing/test_files.h"

namespace binario {
namespace {

// The lines of a table's file, each of which must end with CR LF.
std::vector<std::string> file_lines(TableOfLines table) {
  const std::string bytes = table_bytes(table);
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << "last line without CR LF";
      break;
    }
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

struct Section {
  std::string heading;
  std::size_t entry = 0;  // the heading's entry in the table
  std::vector<std::string> records;
};

// The file cut at its heading lines.
std::vector<Section> sections_of(const std::vector<std::string>& lines) {
  std::vector<Section> sections;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!lines[i].empty() && lines[i][0] == '[') {
      sections.push_back({lines[i], i, {}});
    } else if (!sections.empty()) {
      sections.back().records.push_back(lines[i]);
    } else {
      ADD_FAILURE() << "line before the first heading: " << lines[i];
    }
  }
  return sections;
}

const Section& section(const std::vector<Section>& sections, const std::string& heading) {
  for (const Section& s : sections) {
    if (s.heading == heading) return s;
  }
  static const Section missing;
  ADD_FAILURE() << "no section " << heading;
  return missing;
}

// The records of one section of a table's file.
std::vector<std::string> records_of(TableOfLines table, const std::string& heading) {
  return section(sections_of(file_lines(table)), heading).records;
}

bool contains(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// The captures of `pattern`, which must match the whole line.
std::vector<std::string> fields(const std::string& line, const std::regex& pattern) {
  std::smatch match;
  if (!std::regex_match(line, match, pattern)) {
    ADD_FAILURE() << "line out of shape: \"" << line << "\"";
    return std::vector<std::string>(match.size() > 0 ? match.size() - 1 : 8, "0");
  }
  return std::vector<std::string>(match.begin() + 1, match.end());
}

TEST(ScenarioFiles, LineCountsEndMarkerAndCharacters) {
  struct Case {
    const char* file;
    TableOfLines table;
    std::size_t lines;
  };
  const Case cases[] = {
      {"line description", linea_table(), 325},
      {"train description", treno_table(), 52},
      {"notes", note_table(), 15},
      {"slowdown order", rallentamenti_table(), 17},
      {"train sheet", scheda_table(), 31},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    EXPECT_EQ(c.table.size(), c.lines + 1);
    EXPECT_EQ(c.table[c.lines], kEndMarker);
    const std::string bytes = table_bytes(c.table);
    EXPECT_EQ(file_lines(c.table).size(), c.lines);
    EXPECT_EQ(bytes.find("riferimento fine del file"), std::string::npos);
    // Only the notes leave ASCII, and only for e grave and u grave.
    std::set<unsigned char> beyond_ascii;
    for (unsigned char byte : bytes) {
      if (byte >= 0x80) beyond_ascii.insert(byte);
      EXPECT_TRUE(byte >= 0x20 || byte == '\r' || byte == '\n') << int{byte};
    }
    const std::set<unsigned char> expected = c.table.data() == note_table().data()
                                                 ? std::set<unsigned char>{0xE8, 0xF9}
                                                 : std::set<unsigned char>{};
    EXPECT_EQ(beyond_ascii, expected);
  }
}

// Each writer replaces an older, longer file with exactly the bytes of its golden file.
TEST(ScenarioFiles, WritersMatchTheGoldenFiles) {
  struct Case {
    void (*writer)(const std::string&);
    const char* name;
  };
  const Case cases[] = {
      {dati_linea, "Varelbo_linea.txt"},
      {dati_treno, "Varelbo_3874-.txt"},
      {dati_note, "Varelbo_3874_note.txt"},
      {dati_rallentamenti, "Varelbo_3874_rallentamenti.txt"},
      {dati_scheda, "Varelbo_3874_scheda_treno.txt"},
  };
  testing::TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::write_file(folder.file(c.name), std::string(20000, 'x') + "\r\n");
    c.writer(folder.file(c.name));
    EXPECT_EQ(testing::read_file(folder.file(c.name)),
              testing::read_file(std::string(SCENARIO_TESTDATA) + "/" + c.name));
  }
  EXPECT_EQ(testing::file_names(folder.path()).size(), std::size(cases));
}

TEST(LineDescription, SectionsInOrder) {
  const std::vector<Section> sections = sections_of(file_lines(linea_table()));
  struct Expected {
    const char* heading;
    std::size_t entry;
    std::size_t records;
  };
  const Expected expected[] = {
      {"[generale]", 0, 8},    {"[curve]", 9, 150},    {"[pendenze]", 160, 79},
      {"[montagne]", 240, 41}, {"[cartelli]", 282, 2}, {"[indicazioni]", 285, 38},
      {"[fine]", 324, 0},
  };
  ASSERT_EQ(sections.size(), std::size(expected));
  for (std::size_t i = 0; i < sections.size(); ++i) {
    EXPECT_EQ(sections[i].heading, expected[i].heading);
    EXPECT_EQ(sections[i].entry, expected[i].entry) << expected[i].heading;
    EXPECT_EQ(sections[i].records.size(), expected[i].records) << expected[i].heading;
  }
}

TEST(LineDescription, FixedSectionsAsWritten) {
  const std::vector<Section> sections = sections_of(file_lines(linea_table()));
  EXPECT_EQ(section(sections, "[generale]").records,
            (std::vector<std::string>{
                "lunghezza percorso,    115000",
                "progressiva chilometrica uno,    1550,    -1500,    0",
                "progressiva chilometrica due,    2050,    53950,    0",
                "progressiva chilometrica tre,    2550,    105000,    1",
                "sfondo uno,    100000",
                "sfondo due,    1",
                "sfondo tre,    54000",
                "ripetizione segnali 4 codici,    0    ,0",
            }));
  EXPECT_EQ(section(sections, "[cartelli]").records,
            (std::vector<std::string>{
                "indicatori_vmax,  1950,  110,  130,  160,  0,  110,  130,  160,  0",
                "indicatori_vmax,  26600,  60,  60,  60,  0,  ,  ,  ,  0",
            }));
}

TEST(LineDescription, Curves) {
  const std::vector<std::string> records = records_of(linea_table(), "[curve]");
  const std::regex shape(R"(curva([sd])([1-6]),  (\d+),  (\d+))");
  struct Curve {
    std::string line;
    char side;
    int digit;
    int start;
    int length;
  };
  std::vector<Curve> curves;
  for (const std::string& line : records) {
    const std::vector<std::string> f = fields(line, shape);
    curves.push_back({line, f[0][0], std::stoi(f[1]), std::stoi(f[2]), std::stoi(f[3])});
  }
  ASSERT_EQ(curves.size(), 150u);

  std::map<char, int> sides;
  std::map<int, int> digits;
  for (const Curve& c : curves) {
    ++sides[c.side];
    ++digits[c.digit];
    EXPECT_TRUE(c.start >= 500 && c.start <= 112150 && c.start % 50 == 0) << c.line;
    EXPECT_TRUE(c.length >= 50 && c.length <= 3000 && c.length % 50 == 0) << c.line;
  }
  EXPECT_EQ(sides, (std::map<char, int>{{'s', 77}, {'d', 73}}));
  EXPECT_EQ(digits, (std::map<int, int>{{1, 1}, {2, 12}, {3, 29}, {4, 63}, {5, 43}, {6, 2}}));

  EXPECT_EQ(curves.front().line, "curvas6,  500,  500");
  EXPECT_EQ(curves.back().line, "curvad4,  112150,  700");
  EXPECT_TRUE(std::any_of(curves.begin(), curves.end(), [](const Curve& c) {
    return c.length == 50;
  })) << "no curve of the shortest length";
  for (const Curve& c : curves) {
    if (c.digit == 1) {
      EXPECT_EQ(c.line, "curvad1,  81000,  3000");
    } else {
      EXPECT_LT(c.length, 3000) << c.line << ": the class-1 curve is the longest";
    }
    if (c.digit == 6) {
      EXPECT_TRUE(c.line == "curvas6,  500,  500" || c.line == "curvas6,  16650,  100") << c.line;
    }
  }

  // Ascending, with the one line out of order standing where it belongs.
  const auto odd = std::find_if(curves.begin(), curves.end(),
                                [](const Curve& c) { return c.line == "curvad5,  32500,  200"; });
  ASSERT_NE(odd, curves.end());
  ASSERT_NE(odd, curves.begin());
  ASSERT_NE(odd + 1, curves.end());
  EXPECT_EQ((odd - 1)->line, "curvas5,  34000,  400");
  EXPECT_EQ((odd + 1)->line, "curvas4,  35200,  300");
  for (auto c = curves.begin() + 1; c != curves.end(); ++c) {
    if (c == odd || c - 1 == odd) continue;
    EXPECT_GT(c->start, (c - 1)->start) << c->line;
  }

  // No two curves overlap, the one out of order included.
  std::vector<Curve> by_start = curves;
  std::sort(by_start.begin(), by_start.end(),
            [](const Curve& a, const Curve& b) { return a.start < b.start; });
  for (std::size_t i = 1; i < by_start.size(); ++i) {
    EXPECT_GE(by_start[i].start, by_start[i - 1].start + by_start[i - 1].length)
        << by_start[i - 1].line << " / " << by_start[i].line;
  }
}

TEST(LineDescription, Gradients) {
  const std::vector<std::string> records = records_of(linea_table(), "[pendenze]");
  const std::regex shape(R"(pendenza,  (\d+),   (-?\d+))");
  ASSERT_EQ(records.size(), 79u);
  EXPECT_EQ(records.front(), "pendenza,  1900,   -10");
  EXPECT_EQ(records.back(), "pendenza,  110700,   0");

  std::set<int> values;
  int previous = 0;
  for (const std::string& line : records) {
    const std::vector<std::string> f = fields(line, shape);
    const int position = std::stoi(f[0]);
    const int value = std::stoi(f[1]);
    EXPECT_GT(position, previous) << line;
    EXPECT_EQ(position % 50, 0) << line;
    previous = position;
    values.insert(value);
    // The two steepest falls stand alone.
    if (value <= -16) {
      EXPECT_TRUE(line == "pendenza,  12100,   -16" || line == "pendenza,  12700,   -20") << line;
    }
  }
  EXPECT_EQ(values,
            (std::set<int>{-20, -16, -14, -12, -10, -8, -6, -4, -2, 0, 2, 4, 6, 8, 10, 12}));
  EXPECT_TRUE(contains(records, "pendenza,  12100,   -16"));
  EXPECT_TRUE(contains(records, "pendenza,  12700,   -20"));
}

TEST(LineDescription, Scenery) {
  const std::vector<std::string> records = records_of(linea_table(), "[montagne]");
  const std::regex shape(R"(montagna,   (\d+),  (\d+),  (\d+))");
  ASSERT_EQ(records.size(), 41u);
  EXPECT_EQ(records.back(), "montagna,   112300,  114500,  11");

  std::map<int, int> types;
  int previous_end = 0;
  int longest = 0;
  std::string longest_line;
  for (const std::string& line : records) {
    const std::vector<std::string> f = fields(line, shape);
    const int start = std::stoi(f[0]);
    const int end = std::stoi(f[1]);
    ++types[std::stoi(f[2])];
    EXPECT_GE(start, previous_end) << line;
    EXPECT_TRUE(end - start >= 50 && end - start <= 6250) << line;
    EXPECT_TRUE(start % 50 == 0 && end % 50 == 0) << line;
    previous_end = end;
    if (end - start > longest) {
      longest = end - start;
      longest_line = line;
    }
  }
  EXPECT_EQ(types, (std::map<int, int>{{11, 35}, {2, 4}, {12, 1}, {1, 1}}));
  EXPECT_EQ(longest_line, "montagna,   78550,  84800,  11");
  EXPECT_TRUE(contains(records, "montagna,   26300,  26350,  12"));
  EXPECT_TRUE(contains(records, "montagna,   106500,  106700,  1"));
}

TEST(LineDescription, SignBoards) {
  const std::vector<std::string> records = records_of(linea_table(), "[indicazioni]");
  const std::regex shape(R"(cartello_indicatore,  (\d+),   ((\([^()]*\)){2,3}))");
  const std::regex text(R"(\(([^()]*)\))");

  std::vector<int> positions;
  std::map<int, std::vector<std::string>> texts;
  for (const std::string& line : records) {
    const std::vector<std::string> f = fields(line, shape);
    const int position = std::stoi(f[0]);
    positions.push_back(position);
    for (std::sregex_iterator t(f[1].begin(), f[1].end(), text), end; t != end; ++t) {
      texts[position].push_back((*t)[1]);
    }
  }
  EXPECT_EQ(positions, (std::vector<int>{1000,  1900,  2200,   2500,   3950,   4700,  5400,  10850,
                                         12600, 13600, 14650,  17700,  19900,  21150, 22700, 24650,
                                         25700, 26000, 26250,  30700,  39200,  49800, 50300, 51650,
                                         52400, 53300, 54950,  57000,  57500,  64700, 65150, 78400,
                                         78500, 94150, 101150, 106550, 107300, 111250}));

  std::map<std::string, int> kinds;
  int two_texts = 0;
  for (const auto& [position, board] : texts) {
    if (board.size() == 2) ++two_texts;
    std::string kind = board[0];
    kind.erase(std::remove(kind.begin(), kind.end(), ' '), kind.end());
    if (board[1] == " P.L. ") kind = "P.L.";
    ++kinds[kind];
  }
  EXPECT_EQ(two_texts, 3);
  EXPECT_EQ(kinds["P.L."], 14);
  EXPECT_EQ(kinds["SOTTOVIA"], 5);
  EXPECT_EQ(kinds["GALLERIA"], 5);
  EXPECT_EQ(kinds["BIVIO"], 5);
  EXPECT_EQ(kinds["PONTE"], 4);
  EXPECT_EQ(kinds["VIADOTTO"], 2);

  // The boards described in words keep their stated shapes.
  for (int junction : {64700, 65150}) {
    ASSERT_EQ(texts[junction].size(), 3u) << junction;
    EXPECT_EQ(texts[junction][0], "BIVIO" + std::string(15, ' '));
    EXPECT_EQ(texts[junction][1], "linea da Alessandria");
    EXPECT_EQ(texts[junction][2].size(), 20u);
  }
  ASSERT_EQ(texts[101150].size(), 3u);
  EXPECT_EQ(texts[101150][0], "BIVIO" + std::string(14, ' '));
  EXPECT_EQ(texts[101150][2], "  da bivio Fegino  ");
  ASSERT_EQ(texts[106550].size(), 2u);
  EXPECT_EQ(texts[106550][0].size(), 15u);
  EXPECT_EQ(texts[106550][1], "PIAZZA PRINCIPE");

  // Every board quoted word for word.
  const char* quoted[] = {
      "cartello_indicatore,  1000,   (INIZIO TRATTO )(CORRISPONDENTE)(ALLA REALTA'  )",
      "cartello_indicatore,  1900,   (SOTTOVIA   )(C.so Savona)()",
      "cartello_indicatore,  2200,   (BIVIO       )(scalo merci)(inizio linea)",
      "cartello_indicatore,  3950,   (PONTE       )(fiume Tanaro)(       150 m)",
      "cartello_indicatore,  4700,   (SOTTOVIA       )(Tangenziale Sud)()",
      "cartello_indicatore,  10850,   (SOTTOVIA  )(San Pietro)()",
      "cartello_indicatore,  12600,   (PONTE             )(Strada Provinciale)()",
      "cartello_indicatore,  26000,   (PONTE         )(torrente Belbo)(          50 m)",
      "cartello_indicatore,  26250,   (SOTTOVIA        )(Circonvallazione)()",
      "cartello_indicatore,  30700,   (PONTE         )(torrente Belbo)(          50 m)",
      "cartello_indicatore,  39200,   (GALLERIA      )(Alice Belcolle)(        2000 m)",
      "cartello_indicatore,  49800,   (BIVIO                )(linea per Alessandria)",
      "cartello_indicatore,  50300,   (VIADOTTO     )(fiume Bormida)(        300 m)",
      "cartello_indicatore,  53300,   (GALLERIA)(Visone  )(  1200 m)",
      "cartello_indicatore,  57500,   (GALLERIA )(Cremolino)(   3409 m)",
      "cartello_indicatore,  78400,   (SOTTOVIA)(S.S. 456)",
      "cartello_indicatore,  78500,   (GALLERIA)(Turchino)(  7250 m)",
      "cartello_indicatore,  94150,   (VIADOTTO)()()",
      "cartello_indicatore,  107300,   (GALLERIA         )(Principe-Brignole)(           3000 m)",
      "cartello_indicatore,  111250,   (          )(FINE LINEA)(          )",
  };
  for (const char* line : quoted) EXPECT_TRUE(contains(records, line)) << line;
  for (const std::string& line : records) {
    if (line.find("P.L.") != std::string::npos) {
      EXPECT_EQ(line.substr(line.find("   (")), "   (      )( P.L. )(      )") << line;
    }
  }
}

// The train description's stations, as the train sheet and the boards must agree with them.
struct Station {
  int position;
  int type;
  int stop;  // seconds
  int hours;
  int minutes;
  std::string name;
};

std::vector<Station> stations() {
  const std::vector<std::string> records = records_of(treno_table(), "[stazioni]");
  const std::regex shape(
      R"(stazione, {1,3}(\d+), {1,2}(\d+), {2}\d00, {2}\d, \d, \d, {2}\d,\d,\d, {2}\d,\d,\d, {1,4}(\d+), {1,3}(\d+), ?(\d+), 0, (.+))");
  std::vector<Station> result;
  for (const std::string& line : records) {
    const std::vector<std::string> f = fields(line, shape);
    result.push_back({std::stoi(f[0]), std::stoi(f[1]), std::stoi(f[2]), std::stoi(f[3]),
                      std::stoi(f[4]), f[5]});
  }
  return result;
}

bool all_capitals(const std::string& name) {
  return std::none_of(name.begin(), name.end(), [](unsigned char c) { return std::islower(c); });
}

TEST(TrainDescription, SectionsAndFixedRecords) {
  const std::vector<Section> sections = sections_of(file_lines(treno_table()));
  const std::pair<const char*, std::vector<std::string>> expected[] = {
      {"[generale]",
       {"numero vetture,    3", "percentuale massa frenata,    150", "sabbia,    300",
        "orologio,    8               59            30 "}},
      {"[aderenze]", {"aderenza,   0,    100"}},
      {"[vel_limite]",
       {"velocita,   48400,    35", "velocita,   50000,   110", "velocita,   63400,    35",
        "velocita,   65150,   110", "velocita,  103250,    35", "velocita,  104600,    60",
        "velocita,  107300,   110", "velocita,  109950,    30"}},
      {"[stazioni]", {}},
      {"[rallentamenti]", {}},
      {"[segnali]",
       {"segnale,   60600,   1, 5, 1,  0, 0,    0,  0,0,0, 0",
        "segnale,   61950,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
        "segnale,   63400,   2, 2, 3,  0, 0,    0,  0,0,0, 0",
        "segnale,   71050,   1, 5, 1,  0, 0,    0,  0,0,0, 0",
        "segnale,   72400,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
        "segnale,   76500,   1, 5, 1,  0, 0,    0,  0,0,0, 0",
        "segnale,   77850,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
        "segnale,   83350,   1, 5, 1,  0, 0,    1,  3,1,0, 0",
        "segnale,   84700,   2, 3, 1,  0, 0,    2,  2,1,0, 0",
        "segnale,   99200,   1, 4, 1,  0, 0,    0,  0,0,0, 0",
        "segnale,  100550,   2, 4, 1,  0, 0,    0,  0,0,0, 0",
        "segnale,  101900,   1, 3, 1,  0, 0,    1,  3,1,0, 0",
        "segnale,  103250,   2, 2, 3,  1, 0,    2,  3,1,1, 220",
        "segnale,  105950,   2, 2, 3,  1, 0,    2,  2,1,1, 0",
        "segnale,  108600,   1, 3, 4,  1, 0,    1,  3,1,1, 0",
        "segnale,  109950,   2, 2, 3,  1, 0,    2,  2,1,1, 0"}},
      {"[codici]", {}},
      {"[fine]", {}},
  };
  const std::size_t entries[] = {0, 5, 7, 16, 32, 33, 50, 51};
  ASSERT_EQ(sections.size(), std::size(expected));
  for (std::size_t i = 0; i < sections.size(); ++i) {
    EXPECT_EQ(sections[i].heading, expected[i].first);
    EXPECT_EQ(sections[i].entry, entries[i]) << expected[i].first;
    if (sections[i].heading != "[stazioni]") {
      EXPECT_EQ(sections[i].records, expected[i].second) << expected[i].first;
    }
  }
}

TEST(TrainDescription, Stations) {
  const std::vector<std::string> records = records_of(treno_table(), "[stazioni]");
  // Everything up to the last comma is fixed; the name follows after one blank.
  const char* fixed[] = {
      "stazione,   49500,  2,  500,  1, 0, 0,  4,1,0,  2,1,1,    1,   9, 0, 0,",
      "stazione,   52150, 28,  400,  0, 0, 0,  0,0,0,  0,0,0,   15,   9, 4, 0,",
      "stazione,   56850, 28,  400,  0, 0, 0,  0,0,0,  0,0,0,   15,   9, 9, 0,",
      "stazione,   62350, 12,  400,  0, 0, 0,  1,1,0,  3,4,1,   15,   9,15, 0,",
      "stazione,   64500,  2,  500,  1, 0, 0,  4,1,0,  2,1,1,   30,   9,19, 0,",
      "stazione,   72800, 12,  400,  0, 0, 0,  1,1,0,  4,1,1,   15,   9,29, 0,",
      "stazione,   78250, 12,  400,  0, 0, 0,  1,1,0,  4,1,1,   15,   9,35, 0,",
      "stazione,   85100, 12,  400,  0, 0, 0,  1,1,0,  4,1,1,   15,   9,43, 0,",
      "stazione,   89300, 28,  400,  0, 0, 0,  0,0,0,  0,0,0,   15,   9,50, 0,",
      "stazione,   95200, 28,  400,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0,",
      "stazione,   97650, 28,  400,  0, 0, 0,  0,0,0,  0,0,0,   15,   9,59, 0,",
      "stazione,   99600, 28,  400,  0, 0, 0,  0,0,0,  0,0,0,   15,  10, 2, 0,",
      "stazione,  104300, 12,  600,  0, 1, 0,  1,1,0,  5,6,1,   30,  10, 9, 0,",
      "stazione,  107000,  2,  600,  1, 1, 0,  4,1,0,  2,1,1,   30,  10,16, 0,",
      "stazione,  111000,  2,  600,  1, 1, 0,  1,1,0,  2,1,1,    0,  10,22, 0,",
  };
  ASSERT_EQ(records.size(), std::size(fixed));
  for (std::size_t i = 0; i < records.size(); ++i) {
    EXPECT_EQ(records[i].substr(0, records[i].rfind(',') + 1), fixed[i]);
    EXPECT_EQ(records[i].substr(records[i].rfind(',') + 1, 2).front(), ' ');
  }

  const std::vector<Station> all = stations();
  ASSERT_EQ(all.size(), 15u);
  const std::set<std::string> given = {"VISONE",      "PRASCO - CREMOLINO",    "MOLARE",
                                       "ROSSIGLIONE", "CAMPO LIGURE - MASONE", "MELE"};
  std::set<std::string> names;
  for (const Station& s : all) {
    names.insert(s.name);
    EXPECT_LE(s.name.size(), 27u) << s.name;  // the train sheet's cell
    EXPECT_EQ(s.name.find(','), std::string::npos) << s.name;
    if (s.position == 95200) {
      EXPECT_FALSE(all_capitals(s.name)) << "the halt is written in mixed case";
    } else {
      EXPECT_TRUE(all_capitals(s.name)) << s.name;
    }
  }
  EXPECT_EQ(names.size(), all.size()) << "station names repeat";
  for (const std::string& name : given) EXPECT_EQ(names.count(name), 1u) << name;
  EXPECT_EQ(all[4].name.size(), 5u) << "the junction town";
  EXPECT_TRUE(std::all_of(all[4].name.begin(), all[4].name.end(), ::isupper)) << all[4].name;
}

// "9.04", "10.22": hours, a point and two-digit minutes.
std::string clock(int hours, int minutes) {
  return std::to_string(hours) + "." + (minutes < 10 ? "0" : "") + std::to_string(minutes);
}

// "52+150"; the kilometre point as the sheet writes it.
std::string chainage(int position) {
  const std::string metres = std::to_string(1000 + position % 1000).substr(1);
  return std::to_string(position / 1000) + "+" + metres;
}

std::string trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// "BRAMONTE TERME" -> "Bramonte Terme".
std::string mixed_case(const std::string& name) {
  std::string result = name;
  for (std::size_t i = 0; i < result.size(); ++i) {
    const bool word_start = i == 0 || result[i - 1] == ' ';
    result[i] = static_cast<char>(word_start ? std::toupper(static_cast<unsigned char>(result[i]))
                                             : std::tolower(static_cast<unsigned char>(result[i])));
  }
  return result;
}

TEST(TrainSheet, TimetableAgreesWithTheStations) {
  const std::vector<std::string> lines = file_lines(scheda_table());
  const std::vector<Station> all = stations();
  ASSERT_EQ(lines.size(), 31u);
  ASSERT_EQ(all.size(), 15u);
  const std::regex row(
      R"( \|( \d{3} |     )\|(  \d\d |     )\|( *\d{2,3}[+.]\d{3} )\|     \| (.{27})\|(.{16})\|( 0,5 |  1  |     )\|)");
  for (std::size_t i = 0; i < all.size(); ++i) {
    const Station& s = all[i];
    SCOPED_TRACE(s.name);
    EXPECT_EQ(lines[15 + i].size(), 83u);
    const std::vector<std::string> cells = fields(lines[15 + i], row);
    std::string expected_chainage = chainage(s.position);
    if (s.position == 97650) expected_chainage = "97.650";  // written with a point on this row
    EXPECT_EQ(trimmed(cells[2]), expected_chainage);
    EXPECT_EQ(trimmed(cells[3]), s.name);
    const std::string& times = cells[4];
    if (s.hours == 0) {
      EXPECT_EQ(times, "      --.--     ");  // passes without stopping
    } else if (i == all.size() - 1) {
      EXPECT_EQ(times.substr(1, 5),
                std::string(5 - clock(s.hours, s.minutes).size(), ' ') + clock(s.hours, s.minutes));
      EXPECT_EQ(times.substr(6), std::string(10, ' '));  // the terminus: arrival only
    } else {
      EXPECT_EQ(trimmed(times.substr(10)), clock(s.hours, s.minutes));  // departure
      EXPECT_EQ(times.substr(0, 1) + times.substr(6, 4) + times.substr(15), "      ");
      EXPECT_EQ(trimmed(times.substr(1, 5)).empty(), i == 0) << "only the origin has no arrival";
    }
  }
  EXPECT_EQ(lines[30], lines[14]);
}

TEST(TrainSheet, HeaderNamesTheTrainsEnds) {
  const std::vector<std::string> lines = file_lines(scheda_table());
  const std::vector<Station> all = stations();
  ASSERT_EQ(lines.size(), 31u);
  ASSERT_FALSE(all.empty());
  const std::string from = mixed_case(all.front().name);
  const std::string to = mixed_case(all.back().name);
  EXPECT_EQ(lines[3], " |___________________|" + std::string(14, ' ') + "da: " + from +
                          std::string(65 - 40 - from.size(), ' ') + "|      150%      |");
  EXPECT_EQ(lines[4], std::string(37, ' ') + "a: " + to + std::string(65 - 40 - to.size(), ' ') +
                          "|________________|");
  const std::pair<int, const char*> quoted[] = {
      {0, "  ___________________                                             ________________"},
      {1, " |                   |                   SCHEDA                  |                |"},
      {2, " |   TRENO n. 3874   |                                           |     V100 A     |"},
      {5, "  ___________________                                             ________________"},
      {6, " |                   |                                           |                |"},
      {7, " |  CLASSIFICAZIONE  |                                           | MASSA BLOCCATA |"},
      {8, " |     REGIONALE     |                                           |      230T      |"},
      {9, " |___________________|                                           |________________|"},
      {10, ""},
      {11, "  ________________________________________________________________________________"},
      {12, " | vel.| vel.|          | no  |                            |                |     |"},
      {13, " | lim.|marc.| progr.km | r.s.|   localita' di servizio    |     orario     | rec |"},
      {14, " |_____|_____|__________|_____|____________________________|________________|_____|"},
      {16, " |     |     |   52+150 |     | VISONE                     |  9.03     9.04 |     |"},
      {17, " |     |     |   56+850 |     | PRASCO - CREMOLINO         |  9.08     9.09 | 0,5 |"},
      {18, " | 100 |  90 |   62+350 |     | MOLARE                     |  9.14     9.15 | 0,5 |"},
      {20, " | 100 |  90 |   72+800 |     | ROSSIGLIONE                |  9.28     9.29 |  1  |"},
      {21, " | 100 |  90 |   78+250 |     | CAMPO LIGURE - MASONE      |  9.34     9.35 |  1  |"},
      {22, " | 100 |  90 |   85+100 |     | MELE                       |  9.42     9.43 |  1  |"},
  };
  for (const auto& [index, line] : quoted) EXPECT_EQ(lines[index], line) << "line " << index + 1;
}

TEST(ScenarioNames, BoardsNameTheTrainsStations) {
  const std::vector<Station> all = stations();
  const std::vector<std::string> boards = records_of(linea_table(), "[indicazioni]");
  ASSERT_EQ(all.size(), 15u);
  auto board = [&](const std::string& position) {
    const std::string key = "cartello_indicatore,  " + position + ",";
    for (const std::string& line : boards) {
      if (line.rfind(key, 0) == 0) return line;
    }
    return std::string();
  };
  const std::string origin = mixed_case(all.front().name);
  const std::string city = all[13].name.substr(0, all[13].name.find(' '));  // main station
  EXPECT_NE(board("64700").find("per " + origin), std::string::npos) << origin;
  EXPECT_NE(board("65150").find("per " + mixed_case(city)), std::string::npos) << city;
  EXPECT_NE(board("106550").find("(" + city + std::string(15 - city.size(), ' ') + ")"),
            std::string::npos)
      << city;
  for (std::size_t i = 8; i < all.size(); ++i) {
    EXPECT_EQ(mixed_case(all[i].name).rfind(mixed_case(city), 0), 0u)
        << all[i].name << " lies in the terminal city";
  }
}

TEST(Notes, Shape) {
  const std::vector<std::string> lines = file_lines(note_table());
  ASSERT_EQ(lines.size(), 15u);
  for (std::size_t i = 0; i < 10; ++i) {
    SCOPED_TRACE(i + 1);
    EXPECT_GT(lines[i].size(), 20u);
    const bool trailing_blank = lines[i].back() == ' ';
    EXPECT_EQ(trailing_blank, i == 0 || i == 4 || i == 6);
    if (trailing_blank) {
      EXPECT_NE(lines[i][lines[i].size() - 2], ' ');
    }
  }
  EXPECT_EQ(lines[10], "");
  EXPECT_EQ(lines[11], " Buon viaggio.");
  EXPECT_EQ(lines[12], "");
  EXPECT_EQ(lines[13].find_first_not_of(' '), 53u);
  EXPECT_EQ(lines[14].find_first_not_of(' '), 49u);
  EXPECT_EQ(lines[14][49], '(');
  EXPECT_EQ(lines[14].back(), ')');
}

}  // namespace
}  // namespace binario
