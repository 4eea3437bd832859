// A value field's number as the diagnostics read it: the plain digits read at once agree with
// the reader's own rules, and so does everything else.

#include "authoring/diagnostics/reading.h"

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "reader/field_reader.h"
#include "reader/read_failure.h"

namespace binario::authoring {
namespace {

std::optional<std::int32_t> as_the_reader_reads(const std::string& field) {
  try {
    FieldReader in(field);
    if (in.at_end()) return 0;
    return in.read_int32();
  } catch (const ReadFailure&) {
    return std::nullopt;
  }
}

TEST(FieldNumber, AgreesWithTheReader) {
  std::vector<std::string> fields = {"",
                                     "0",
                                     "-0",
                                     "007",
                                     "-",
                                     "--1",
                                     "1-",
                                     "+1",
                                     " 1",
                                     "1 ",
                                     "1o00",
                                     "123456789",
                                     "-123456789",
                                     "999999999",
                                     "1234567890",
                                     "-1234567890",
                                     "2147483647",
                                     "2147483648",
                                     "-2147483648",
                                     "-2147483649",
                                     "99999999999",
                                     "00000000001",
                                     "\xB2",
                                     "12,5"};
  // Every length of plain digits around the nine the quick reading takes.
  for (std::string digits = "1"; digits.size() <= 12;
       digits += static_cast<char>('0' + digits.size() % 10)) {
    fields.push_back(digits);
    fields.push_back("-" + digits);
  }
  for (const std::string& field : fields) {
    EXPECT_EQ(field_number(field), as_the_reader_reads(field)) << "'" << field << "'";
  }
}

}  // namespace
}  // namespace binario::authoring
