#include "compiler/competition_codes.h"

#include <gtest/gtest.h>

namespace binario {
namespace {

struct Codes {
  std::int32_t og;
  std::int32_t st;
  bool operator==(const Codes&) const = default;
};

Codes codes(const std::string& train, const std::string& line) {
  RunState state;
  state.tabella_dati[86].testo = train;
  state.tabella_dati[85].testo = line;
  return {codice_gara_og(state), codice_gara_st(state)};
}

TEST(CompetitionCodes, FromTheIdentity) {
  struct Case {
    const char* train;
    const char* line;
    Codes expected;
  };
  const Case cases[] = {
      {"3874", "Varelbo", {2529, 35607}},
      {"3874", "VARELBO", {2529, 35607}},  // letter case does not count
      {"", "", {2869, 37947}},             // the padding alone
      {"1", "Abc", {2732, 37153}},
      {"12", "ab", {2683, 37052}},
      {"ab", "12", {2683, 36860}},  // swapped: same og, other st
      // Only the first 25 characters count.
      {"abcdefghijklmnopqrstuvwxy", "", {2725, 36725}},
      {"abcdefghijklmnopqrstuvwxyz0123", "whatever", {2725, 36725}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(codes(c.train, c.line), c.expected) << c.train << "|" << c.line;
  }
}

TEST(CompetitionCodes, LeaveTheCodeTextInRiga) {
  RunState state;
  state.tabella_dati[86].testo = "3874";
  state.tabella_dati[85].testo = "Varelbo";
  codice_gara_og(state);
  EXPECT_EQ(state.riga, "3874varelbommnnooppqqrrssttuuvvwwxxyy");
}

TEST(CompetitionCodes, WindowsLettersLowerCaseToo) {
  EXPECT_EQ(codes("", "\xC8\x8A"), codes("", "\xE8\x9A"));
  EXPECT_EQ(codes("", "\xD7").og, codes("", "").og - 'y' + 0xD7);  // not a letter
}

}  // namespace
}  // namespace binario
