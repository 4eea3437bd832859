#ifndef BINARIO_AUTHORING_TEXT_SOURCE_H_
#define BINARIO_AUTHORING_TEXT_SOURCE_H_

// A description file as the author wrote it: its name as given and its bytes, with the lines
// and columns of every byte. A line ends at CR LF, LF or CR, as the reader takes them.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace binario::authoring {

// A place in a file, both counted from 1; the column counts bytes (one per character).
struct Location {
  std::size_t line = 1;
  std::size_t column = 1;
};

class SourceText {
 public:
  SourceText(std::string path, std::string bytes);

  const std::string& path() const { return path_; }
  const std::string& bytes() const { return bytes_; }

  Location locate(std::size_t offset) const;
  std::size_t line_of(std::size_t offset) const { return locate(offset).line; }
  // The number of lines; a file that ends with a line end has no empty line after it.
  std::size_t line_count() const { return starts_.size(); }
  // The offsets where a line begins and where its text ends (before the line end).
  std::size_t line_begin(std::size_t line) const { return starts_[line - 1]; }
  std::size_t line_end(std::size_t line) const { return ends_[line - 1]; }
  std::string_view line_text(std::size_t line) const;
  std::string_view text(std::size_t begin, std::size_t end) const {
    return std::string_view(bytes_).substr(begin, end - begin);
  }

 private:
  std::string path_;
  std::string bytes_;
  std::vector<std::size_t> starts_;
  std::vector<std::size_t> ends_;
  // For each block of kBlock bytes, the line its first byte is on (from 0): a place is looked
  // for only among the lines of its block.
  static constexpr std::size_t kBlock = 64;
  std::vector<std::size_t> block_lines_;
};

}  // namespace binario::authoring

#endif  // BINARIO_AUTHORING_TEXT_SOURCE_H_
