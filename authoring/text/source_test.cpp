// The line and column of every byte of a description file, found by the block each byte is in,
// against a scan of the lines' starts; past the end too, where a caret may point.

#include "authoring/text/source.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace binario::authoring {
namespace {

TEST(SourceText, EveryPlaceIsOnTheLastLineBeginningAtOrBeforeIt) {
  const std::vector<std::string> texts = {
      "",
      "a",
      "\n",
      "\r\n\r\n",
      "pendenza, 0, 1\r\ncurvas4, 100, 200\rmontagna, 0, 50, 1\nfine",
      std::string(200, '\n'),                                 // many lines in one block
      std::string(300, 'x') + "\r\n" + std::string(3, '\n'),  // a line over several blocks
      std::string(63, 'x') + "\n" + std::string(64, 'y') + "\r\n" + std::string(62, 'z') + "\r\n",
  };
  for (const std::string& bytes : texts) {
    const SourceText text("L_linea.txt", bytes);
    for (std::size_t offset = 0; offset <= bytes.size() + 130; ++offset) {
      std::size_t line = 1;
      while (line < text.line_count() && text.line_begin(line + 1) <= offset) ++line;
      const Location where = text.locate(offset);
      ASSERT_EQ(where.line, line) << "offset " << offset << " of " << bytes.size();
      ASSERT_EQ(where.column, offset - text.line_begin(line) + 1) << "offset " << offset;
    }
  }
}

}  // namespace
}  // namespace binario::authoring
