#include "scenario/table_of_lines.h"

#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace binario {
namespace {

TEST(TableBytes, WritesEachLineWithCrLfUpToTheEndMarker) {
  const std::string_view table[] = {"[generale]", "",         "  blanks kept  ",
                                    "[fine]",     kEndMarker, "never written"};
  EXPECT_EQ(table_bytes(table), "[generale]\r\n\r\n  blanks kept  \r\n[fine]\r\n");
}

TEST(TableBytes, TheMarkerMustMatchWholeAndExactly) {
  const std::string_view table[] = {"Riferimento fine del file", "riferimento fine del file ",
                                    kEndMarker};
  EXPECT_EQ(table_bytes(table), "Riferimento fine del file\r\nriferimento fine del file \r\n");
}

TEST(TableBytes, NeverLooksPastTheTable) {
  const std::string_view without_marker[] = {"a", "b"};
  EXPECT_EQ(table_bytes(without_marker), "a\r\nb\r\n");

  const std::vector<std::string_view> oversized(kTableEntries + 50, "x");
  std::string expected;
  for (std::size_t i = 0; i < kTableEntries; ++i) expected += "x\r\n";
  EXPECT_EQ(table_bytes(oversized), expected);
}

}  // namespace
}  // namespace binario
