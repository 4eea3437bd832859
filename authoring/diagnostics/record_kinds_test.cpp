// The edit distance that names the keyword an author most likely meant: the bounded one, which
// looks only near the diagonal and gives up early, against the whole table.

#include "authoring/diagnostics/record_kinds.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace binario::authoring {
namespace {

// The whole table, a swap of two neighbours counting as one edit.
std::size_t whole_table(const std::string& a, const std::string& b) {
  std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      d[i][j] = std::min(
          {d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

TEST(EditDistance, KnownPairs) {
  struct Case {
    std::string a, b;
    std::size_t distance;
  };
  const Case cases[] = {
      {"", "", 0},
      {"", "abc", 3},
      {"pendenza", "pendenza", 0},
      {"pendenzza", "pendenza", 1},  // one letter too many
      {"pnedenza", "pendenza", 1},   // two neighbours swapped
      {"ca", "abc", 3},              // a swap is never followed by an edit inside it
      {"segnalle", "stazione", 6},
      {"curvas4", "curvad1", 2},
      {"generale", "[generale]", 2},
      {std::string(100, 'x'), "generale", 100},  // longer than one row of 64 entries
  };
  for (const Case& c : cases) {
    EXPECT_EQ(edit_distance(c.a, c.b), c.distance) << c.a << " / " << c.b;
    EXPECT_EQ(edit_distance(c.b, c.a), c.distance) << c.b << " / " << c.a;
  }
}

// Every pair of short words over a small alphabet, where swaps, repeats and band edges are
// common: within the bound the distance is the whole table's, past it the bound plus one.
TEST(EditDistance, BoundedAgreesWithTheWholeTable) {
  std::vector<std::string> words{""};
  for (std::size_t n = 0; n < words.size() && words.back().size() < 5; ++n) {
    for (char c : {'a', 'b', 'c'}) words.push_back(words[n] + c);
  }
  words.push_back("pendenza");
  words.push_back("pendenzza");
  words.push_back("ripetizione segnali 4 codici");
  for (const std::string& a : words) {
    for (const std::string& b : words) {
      const std::size_t whole = whole_table(a, b);
      for (std::size_t bound = 0; bound <= 4; ++bound) {
        ASSERT_EQ(edit_distance_within(a, b, bound), std::min(whole, bound + 1))
            << "'" << a << "' / '" << b << "' within " << bound;
      }
      ASSERT_EQ(edit_distance(a, b), whole) << "'" << a << "' / '" << b << "'";
    }
  }
}

TEST(NearestKeyword, OneOrTwoMistakesAway) {
  struct Case {
    std::string field;
    Section section;
    std::string nearest;
  };
  const Case cases[] = {
      {"pendenzza", Section::kBody, "pendenza"},
      {" PENDNZA ", Section::kBody, "pendenza"},
      {"curvas7", Section::kBody, "curvas1"},  // the first of the nearest
      {"segnalle", Section::kTrain, "segnale"},
      {"stazone", Section::kTrain, "stazione"},
      {"sfondo quattro", Section::kGeneral, ""},
      {"pendenzza", Section::kTrain, ""},  // not this section's
      {"sbia", Section::kTrain, ""},       // a short word is allowed one mistake only
      {"sabia", Section::kTrain, "sabbia"},
      {"sabbai", Section::kTrain, "sabbia"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(nearest_keyword(c.field, c.section), c.nearest) << c.field;
  }
}

}  // namespace
}  // namespace binario::authoring
