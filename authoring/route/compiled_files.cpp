#include "authoring/route/compiled_files.h"

#include <bit>
#include <cstring>
#include <variant>

#include "compiler/route_files.h"

namespace binario::authoring {

CompiledFileError::CompiledFileError(std::size_t offset, const std::string& message)
    : std::runtime_error("byte " + std::to_string(offset) + ": " + message), offset_(offset) {}

namespace {

std::string plural(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// Little-endian fields taken one by one from the front of the bytes; every take checks that
// the bytes are there first.
class ByteReader {
 public:
  explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}

  std::size_t offset() const { return at_; }
  std::size_t left() const { return bytes_.size() - at_; }
  bool at_end() const { return at_ == bytes_.size(); }

  // `what` names the field for the error: "row 3, valore1".
  std::uint8_t u8(const std::string& what) { return static_cast<std::uint8_t>(le(1, what)); }
  std::uint16_t u16(const std::string& what) { return static_cast<std::uint16_t>(le(2, what)); }
  std::int16_t i16(const std::string& what) { return static_cast<std::int16_t>(u16(what)); }
  std::int32_t i32(const std::string& what) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(le(4, what)));
  }
  double f64(const std::string& what) { return std::bit_cast<double>(le(8, what)); }
  std::string text(std::size_t n, const std::string& what) {
    need(n, what);
    std::string out(bytes_.substr(at_, n));
    at_ += n;
    return out;
  }

 private:
  void need(std::size_t n, const std::string& what) {
    if (left() < n) {
      throw CompiledFileError(
          at_, what + ": expected " + plural(n, "byte", "bytes") + ", found " +
                   (left() == 0 ? "the end of the file" : plural(left(), "byte", "bytes")));
    }
  }
  std::uint64_t le(std::size_t n, const std::string& what) {
    need(n, what);
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < n; ++i) {
      bits |= std::uint64_t{static_cast<unsigned char>(bytes_[at_ + i])} << (8 * i);
    }
    at_ += n;
    return bits;
  }

  std::string_view bytes_;
  std::size_t at_ = 0;
};

std::string range(RecordCount count, const char* records) {
  return std::to_string(count.least) + " to " + std::to_string(count.most) + " " + records;
}

}  // namespace

std::vector<TrackCell> decode_track(std::string_view bytes, RecordCount cells) {
  const std::size_t whole = bytes.size() / kCellRecordSize;
  if (bytes.size() % kCellRecordSize != 0) {
    throw CompiledFileError(whole * kCellRecordSize,
                            "expected a whole cell of " + std::to_string(kCellRecordSize) +
                                " bytes, found the file ending after " +
                                plural(bytes.size() % kCellRecordSize, "byte", "bytes"));
  }
  if (whole > cells.most) {
    throw CompiledFileError(cells.most * kCellRecordSize, "expected the end of the file after " +
                                                              range(cells, "cells") + ", found " +
                                                              std::to_string(whole) + " cells");
  }
  if (whole < cells.least) {
    throw CompiledFileError(bytes.size(), "expected " + range(cells, "cells") + ", found " +
                                              plural(whole, "cell", "cells"));
  }
  ByteReader in(bytes);
  std::vector<TrackCell> celle(whole);
  for (std::size_t i = 0; i < whole; ++i) {
    const std::string what = "cell " + std::to_string(i);
    TrackCell& cell = celle[i];
    cell.tipo = in.u8(what);
    for (std::int16_t* dato : {&cell.dato1, &cell.dato2, &cell.dato3, &cell.dato4}) {
      *dato = in.i16(what);
    }
    for (std::uint8_t* byte : {&cell.dato5, &cell.avviso, &cell.montagna, &cell.velocita,
                               &cell.pendenza, &cell.aderenza}) {
      *byte = in.u8(what);
    }
  }
  return celle;
}

std::array<DataRow, data_row::kCount> decode_general_data(std::string_view bytes) {
  ByteReader in(bytes);
  std::array<DataRow, data_row::kCount> table;
  for (int r = 0; r < data_row::kCount; ++r) {
    const std::string row = "row " + std::to_string(r) + ", ";
    DataRow& d = table[static_cast<std::size_t>(r)];
    d.classe = in.u8(row + "classe");
    d.valore1 = in.i32(row + "valore1");
    d.valore2 = in.i32(row + "valore2");
    d.valore3 = in.i32(row + "valore3");
    d.marca = in.u8(row + "marca");
    const std::uint16_t n = in.u16(row + "the length of testo");
    d.testo = in.text(n, row + "testo");
    d.parola1 = in.i16(row + "parola1");
    d.parola2 = in.i16(row + "parola2");
    d.parola3 = in.i16(row + "parola3");
    d.parola4 = in.i16(row + "parola4");
    d.parola5 = in.i16(row + "parola5");
    d.ottetto1 = in.u8(row + "ottetto1");
    d.ottetto2 = in.u8(row + "ottetto2");
    d.ottetto3 = in.u8(row + "ottetto3");
    d.ottetto4 = in.u8(row + "ottetto4");
    d.valore4 = in.i32(row + "valore4");
  }
  if (!in.at_end()) {
    throw CompiledFileError(in.offset(), "expected the end of the file after row " +
                                             std::to_string(data_row::kCount - 1) + ", found " +
                                             plural(in.left(), "more byte", "more bytes"));
  }
  return table;
}

namespace {

// A value of the plan file as it stands: empty, a 16-bit integer or a double.
using PlanValue = std::variant<std::monostate, std::int16_t, double>;

struct TaggedValue {
  PlanValue value;
  std::size_t offset;
};

const char* describe(const PlanValue& value) {
  if (std::holds_alternative<double>(value)) return "a double";
  if (std::holds_alternative<std::int16_t>(value)) return "a 16-bit integer";
  return "an empty value";
}

// Every tagged value of the file, in order.
std::vector<TaggedValue> plan_values(std::string_view bytes) {
  ByteReader in(bytes);
  std::vector<TaggedValue> values;
  while (!in.at_end()) {
    const std::size_t offset = in.offset();
    const std::string what = "value " + std::to_string(values.size());
    switch (const std::uint16_t tag = in.u16(what + ", its tag")) {
      case kPlanEmpty:
        values.push_back({std::monostate{}, offset});
        break;
      case kPlanInt16:
        values.push_back({in.i16(what + ", a 16-bit integer"), offset});
        break;
      case kPlanDouble:
        values.push_back({in.f64(what + ", a double"), offset});
        break;
      default:
        throw CompiledFileError(offset,
                                "expected a tag (0 empty, 2 a 16-bit integer, 5 a "
                                "double), found " +
                                    std::to_string(tag));
    }
  }
  return values;
}

// Checks one column's layout: empty throughout, or two seeds, doubles, then empty rows. Gives
// the number of rows that hold a value (0 for an empty column).
std::size_t check_column(const std::vector<TaggedValue>& values, std::size_t first,
                         std::size_t last, const char* column) {
  auto fail = [&](std::size_t i, const std::string& expected) {
    throw CompiledFileError(values[i].offset,
                            std::string("column ") + column + ", row " + std::to_string(i - first) +
                                ": expected " + expected + ", found " + describe(values[i].value));
  };
  if (first == last) {
    throw CompiledFileError(values.empty() ? 0 : values[first - 1].offset,
                            std::string("expected the rows of column ") + column + ", found none");
  }
  if (std::holds_alternative<std::monostate>(values[first].value)) {
    for (std::size_t i = first; i < last; ++i) {
      if (!std::holds_alternative<std::monostate>(values[i].value)) {
        fail(i, "an empty value, as every row of a column that begins empty");
      }
    }
    return 0;
  }
  std::size_t i = first;
  for (; i < last && i < first + 2; ++i) {
    if (!std::holds_alternative<std::int16_t>(values[i].value)) {
      fail(i, "a 16-bit seed (rows 0 and 1)");
    }
  }
  while (i < last && std::holds_alternative<double>(values[i].value)) ++i;
  const std::size_t filled = i - first;
  for (; i < last; ++i) {
    if (!std::holds_alternative<std::monostate>(values[i].value)) {
      fail(i, "a double or, after the last double, an empty value");
    }
  }
  return filled;
}

}  // namespace

Plan decode_line_plan(std::string_view bytes, RecordCount rows) {
  // Each value takes at least 2 bytes: at most bytes.size() / 2 of them.
  const std::vector<TaggedValue> values = plan_values(bytes);

  // Column y begins with the third seed or, when there are none, halfway.
  std::size_t seeds = 0;
  std::size_t split = values.size() / 2;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (!std::holds_alternative<std::int16_t>(values[i].value)) continue;
    if (++seeds == 3) split = i;
    if (seeds > 4) {
      throw CompiledFileError(values[i].offset,
                              "expected two 16-bit seeds at the start of each column, found a "
                              "fifth 16-bit value (value " +
                                  std::to_string(i) + ")");
    }
  }
  if (seeds != 0 && seeds != 4) {
    throw CompiledFileError(values.empty() ? 0 : values[values.size() - 1].offset,
                            "expected two 16-bit seeds at the start of each column, found " +
                                std::to_string(seeds) + " in the whole file");
  }
  if (seeds == 0 && values.size() % 2 != 0) {
    throw CompiledFileError(bytes.size(),
                            "expected as many rows in column y as in column x, "
                            "found " +
                                plural(values.size(), "value", "values") + " in all");
  }
  const std::size_t filled_x = check_column(values, 0, split, "x");
  const std::size_t filled_y = check_column(values, split, values.size(), "y");
  const std::size_t count = split;
  if (values.size() - split != count) {
    throw CompiledFileError(values[split].offset,
                            "expected as many rows in column y as in column x (" +
                                std::to_string(count) + "), found " +
                                std::to_string(values.size() - split));
  }
  if (filled_x != filled_y) {
    throw CompiledFileError(values[split + std::min(filled_x, filled_y)].offset,
                            "expected column y to hold values in rows 0 to " +
                                std::to_string(filled_x - 1) +
                                " as column x does, found them in rows 0 to " +
                                std::to_string(static_cast<std::int64_t>(filled_y) - 1));
  }
  if (count < rows.least || count > rows.most) {
    throw CompiledFileError(values[split].offset, "expected a column of " + range(rows, "rows") +
                                                      ", found " + plural(count, "row", "rows") +
                                                      " in column x");
  }
  Plan pianta(count);
  if (filled_x == 0) return pianta;
  auto integer = [&](std::size_t i) { return std::get<std::int16_t>(values[i].value); };
  auto real = [&](std::size_t i) { return std::get<double>(values[i].value); };
  pianta.seed(integer(0), integer(split), integer(1), integer(split + 1));
  pianta.reserve(filled_x - 2);
  for (std::size_t i = 2; i < filled_x; ++i) pianta.push_back(real(i), real(split + i));
  return pianta;
}

std::vector<std::string> disagreements(const CompiledRoute& route) {
  std::vector<std::string> found;
  std::optional<std::int32_t> length;
  if (route.tabella_dati) {
    const std::int32_t l = (*route.tabella_dati)[data_row::kLineAndTrain].valore2;
    if (l >= 0 && l <= kMaxLineLength) {
      length = l;
    } else {
      found.push_back("the general data file gives a line length of " + std::to_string(l) +
                      " m (row 84, valore2), outside 0 to " + std::to_string(kMaxLineLength) +
                      " m");
    }
  }
  const char* source = "the general data file's line length";
  if (route.celle && length && route.celle->size() != cell_count(*length)) {
    found.push_back("the track file holds " + std::to_string(route.celle->size()) + " cells; " +
                    source + " of " + std::to_string(*length) + " m makes " +
                    std::to_string(cell_count(*length)));
  }
  if (route.pianta && length && route.pianta->size() != plan_row_count(*length)) {
    found.push_back("the line plan file holds " + std::to_string(route.pianta->size()) + " rows; " +
                    source + " of " + std::to_string(*length) + " m makes " +
                    std::to_string(plan_row_count(*length)));
  }
  if (route.pianta && route.celle && !length) {
    const std::int32_t from_plan = static_cast<std::int32_t>(route.pianta->size()) - kRunOut - 1;
    if (route.celle->size() != cell_count(from_plan)) {
      found.push_back("the track file holds " + std::to_string(route.celle->size()) +
                      " cells; the line plan file's " + std::to_string(route.pianta->size()) +
                      " rows make " + std::to_string(cell_count(from_plan)));
    }
  }
  return found;
}

}  // namespace binario::authoring
