#ifndef BINARIO_AUTHORING_ROUTE_COMPILED_FILES_H_
#define BINARIO_AUTHORING_ROUTE_COMPILED_FILES_H_

// The decoder of the three compiled route files (docs/compiled-files.md): the bytes the
// compiler wrote back into the model's own types, so that decode(encode(model)) == model and
// encode(decode(file)) == file. Anything that is not such a file is a CompiledFileError that
// names the byte where the decoding stopped and what it expected there; the decoder never
// reads past the end of its input and allocates no more than the input's size accounts for.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "reader/track_model.h"

namespace binario::authoring {

class CompiledFileError : public std::runtime_error {
 public:
  // what() is "byte OFFSET: MESSAGE".
  CompiledFileError(std::size_t offset, const std::string& message);
  std::size_t offset() const { return offset_; }

 private:
  std::size_t offset_;
};

// How many records a file may hold: the least and the most, both included.
struct RecordCount {
  std::size_t least;
  std::size_t most;
};

// numero_celle + 1 for a line of `line_length` metres (0 to kMaxLineLength): the line and its
// run-out in 50 m cells, rounded half to even, as create_track_model counts them.
constexpr std::size_t cell_count(std::int32_t line_length) {
  const std::int64_t metres = std::int64_t{line_length} + kRunOut;
  std::int64_t cells = metres / kCellLength;
  const std::int64_t rest = metres % kCellLength;
  if (2 * rest > kCellLength || (2 * rest == kCellLength && cells % 2 == 1)) ++cells;
  return static_cast<std::size_t>(cells) + 1;
}

// lunghezza_pianta + 1: a row for every metre of the line and its run-out, row 0 included.
constexpr std::size_t plan_row_count(std::int32_t line_length) {
  return static_cast<std::size_t>(line_length) + kRunOut + 1;
}

// The counts the compiler writes for lines of 0 to kMaxLineLength metres.
inline constexpr RecordCount kCellsOfAnyLine = {cell_count(0), cell_count(kMaxLineLength)};
inline constexpr RecordCount kPlanRowsOfAnyLine = {plan_row_count(0),
                                                   plan_row_count(kMaxLineLength)};

// The track file: whole 15-byte cells, as many as `cells` allows.
std::vector<TrackCell> decode_track(std::string_view bytes, RecordCount cells = kCellsOfAnyLine);

// The general data file: exactly data_row::kCount rows and nothing after them.
std::array<DataRow, data_row::kCount> decode_general_data(std::string_view bytes);

// The line plan file: column x, then column y, as many rows each as `rows` allows. Each column
// is either empty throughout (a reading that stopped before the plan was begun) or the two
// 16-bit seeds, then the computed rows as doubles, then empty rows; both columns alike.
Plan decode_line_plan(std::string_view bytes, RecordCount rows = kPlanRowsOfAnyLine);

// A compiled route as found: any of its three files may be missing.
struct CompiledRoute {
  std::optional<Plan> pianta;
  std::optional<std::array<DataRow, data_row::kCount>> tabella_dati;
  std::optional<std::vector<TrackCell>> celle;
};

// Where the files of one route disagree with each other about the line's length: each in
// words, empty when they agree (or when too few files are there to tell).
std::vector<std::string> disagreements(const CompiledRoute& route);

}  // namespace binario::authoring

#endif  // BINARIO_AUTHORING_ROUTE_COMPILED_FILES_H_
