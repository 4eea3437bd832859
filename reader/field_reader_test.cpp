#include "reader/field_reader.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace binario {
namespace {

// Reads the whole input by a pattern: 't' a text field, 'n' a number; numbers come back as
// their decimal text.
std::vector<std::string> read_all(const std::string& bytes, const std::string& pattern) {
  FieldReader in(bytes);
  std::vector<std::string> fields;
  for (char kind : pattern) {
    fields.push_back(kind == 't' ? in.read_text() : std::to_string(in.read_int32()));
  }
  EXPECT_TRUE(in.at_end()) << bytes;
  return fields;
}

TEST(FieldReader, Fields) {
  struct Case {
    const char* bytes;
    const char* pattern;
    std::vector<std::string> fields;
  };
  const Case cases[] = {
      // Fields end at commas and line ends; leading blanks go, blanks within text stay.
      {"lunghezza percorso,    115000\r\n", "tn", {"lunghezza percorso", "115000"}},
      {"  a b ,c\r\n", "tt", {"a b ", "c"}},
      // Blanks around a number belong to the separator.
      {"ripetizione segnali 4 codici,    0    ,0\r\n",
       "tnn",
       {"ripetizione segnali 4 codici", "0", "0"}},
      // Empty numeric fields read as 0.
      {"indicatori_vmax,  26600,  60,  60,  60,  0,  ,  ,  ,  0\r\n",
       "tnnnnnnnnn",
       {"indicatori_vmax", "26600", "60", "60", "60", "0", "0", "0", "0", "0"}},
      // Numbers separated by blanks alone, and a trailing blank before the line end.
      {"orologio,    8               59            30 \r\n[fine]\r\n",
       "tnnnt",
       {"orologio", "8", "59", "30", "[fine]"}},
      {"-5,-2147483648,2147483647\r\n", "nnn", {"-5", "-2147483648", "2147483647"}},
      // Hyphens and blanks in a text field are text.
      {"stazione, CAMPO LIGURE - MASONE\r\n", "tt", {"stazione", "CAMPO LIGURE - MASONE"}},
      // Quotes let a text hold commas; they are not part of it.
      {"cartello,  \"(PONTE, VECCHIO)\"  \r\nx", "ttt", {"cartello", "(PONTE, VECCHIO)", "x"}},
      {"\"\",1", "tn", {"", "1"}},
      // LF and CR alone end lines too; an empty line is an empty field.
      {"a\nb\rc\r\n\r\nd", "ttttt", {"a", "b", "c", "", "d"}},
      {"tab\t,\t7\t\r\n", "tn", {"tab\t", "7"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(read_all(c.bytes, c.pattern), c.fields) << c.bytes;
  }
}

TEST(FieldReader, AtTheEndOnlyWhenNothingFollowsTheLastField) {
  FieldReader in("[generale]\r\n[fine]\r\n");
  EXPECT_FALSE(in.at_end());
  EXPECT_EQ(in.read_text(), "[generale]");
  EXPECT_FALSE(in.at_end());
  EXPECT_EQ(in.read_text(), "[fine]");
  EXPECT_TRUE(in.at_end());

  FieldReader without_line_end("[fine]");
  EXPECT_EQ(without_line_end.read_text(), "[fine]");
  EXPECT_TRUE(without_line_end.at_end());

  EXPECT_TRUE(FieldReader("").at_end());
}

TEST(FieldReader, Failures) {
  struct Case {
    const char* bytes;
    const char* pattern;
    const char* message;
  };
  const Case cases[] = {
      {"x", "tt", "a field is missing at the end of the file"},
      {"1", "nn", "a number is missing at the end of the file"},
      {"pendenza,  12a0,  5", "tn", "line 1, column 12: \"12a0\" is not a number of 32 bits"},
      {"a\r\n  +5", "tn", "line 2, column 3: \"+5\" is not a number of 32 bits"},
      {"-", "n", "line 1, column 1: \"-\" is not a number of 32 bits"},
      {"2147483648", "n", "line 1, column 1: \"2147483648\" is not a number of 32 bits"},
      {"-2147483649", "n", "line 1, column 1: \"-2147483649\" is not a number of 32 bits"},
      {"99999999999999999999999", "n",
       "line 1, column 1: \"99999999999999999999999\" is not a number of 32 bits"},
      {"\"GALLERIA", "t", "line 1, column 1: the quoted text has no closing quote"},
      {"x,\"GALLERIA\r\n\"", "tt", "line 1, column 3: the quoted text has no closing quote"},
      {"\"a\" b, c", "t", "line 1, column 5: text after the closing quote"},
  };
  for (const Case& c : cases) {
    FieldReader in(c.bytes);
    try {
      for (char kind : std::string(c.pattern)) {
        if (kind == 't') {
          in.read_text();
        } else {
          in.read_int32();
        }
      }
      ADD_FAILURE() << "no failure for " << c.bytes;
    } catch (const ReadFailure& failure) {
      EXPECT_STREQ(failure.what(), c.message) << c.bytes;
    }
  }
}

TEST(FieldReader, NarrowFieldsMustFit) {
  FieldReader in("32767, 32768, 255, 256");
  EXPECT_EQ(in.read_int<std::int16_t>(), 32767);
  EXPECT_THROW(in.read_int<std::int16_t>(), ReadFailure);
  EXPECT_EQ(in.read_int<std::uint8_t>(), 255);
  EXPECT_THROW(in.read_int<std::uint8_t>(), ReadFailure);
}

}  // namespace
}  // namespace binario
