#include "authoring/text/source.h"

#include <algorithm>

namespace binario::authoring {

SourceText::SourceText(std::string path, std::string bytes)
    : path_(std::move(path)), bytes_(std::move(bytes)) {
  std::size_t begin = 0;
  for (std::size_t i = 0; i < bytes_.size(); ++i) {
    if (bytes_[i] != '\r' && bytes_[i] != '\n') continue;
    starts_.push_back(begin);
    ends_.push_back(i);
    if (bytes_[i] == '\r' && i + 1 < bytes_.size() && bytes_[i + 1] == '\n') ++i;
    begin = i + 1;
  }
  if (begin < bytes_.size() || starts_.empty()) {
    starts_.push_back(begin);
    ends_.push_back(bytes_.size());
  }
  block_lines_.reserve(bytes_.size() / kBlock + 1);
  std::size_t line = 0;
  for (std::size_t at = 0; at <= bytes_.size(); at += kBlock) {
    while (line + 1 < starts_.size() && starts_[line + 1] <= at) ++line;
    block_lines_.push_back(line);
  }
}

Location SourceText::locate(std::size_t offset) const {
  // The last line that begins at or before the offset: one from the line of the offset's block
  // to that of the next block.
  const std::size_t block = std::min(offset / kBlock, block_lines_.size() - 1);
  const std::size_t last =
      block + 1 < block_lines_.size() ? block_lines_[block + 1] + 1 : starts_.size();
  const auto after =
      std::upper_bound(starts_.begin() + static_cast<std::ptrdiff_t>(block_lines_[block]),
                       starts_.begin() + static_cast<std::ptrdiff_t>(last), offset);
  const std::size_t index = static_cast<std::size_t>(after - starts_.begin()) - 1;
  return {index + 1, offset - starts_[index] + 1};
}

std::string_view SourceText::line_text(std::size_t line) const {
  return text(line_begin(line), line_end(line));
}

}  // namespace binario::authoring
