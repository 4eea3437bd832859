#include "compiler/route_files.h"

#include <algorithm>
#include <array>
#include <span>
#include <stdexcept>

#include "compiler/coding.h"

namespace binario {

namespace {

constexpr std::uint16_t kTagInFile[] = {kPlanEmpty, kPlanInt16, kPlanDouble};  // by PlanTag

// The entries of one column, in pieces.
class ColumnWriter {
 public:
  explicit ColumnWriter(const std::function<void(std::string_view)>& write) : write_(write) {}
  ~ColumnWriter() = default;

  void entry(PlanTag tag, std::int16_t integer, double real) {
    if (end_ - at_ < 10) flush();
    at_ = put_u16(at_, kTagInFile[static_cast<std::size_t>(tag)]);
    if (tag == PlanTag::kInt16) at_ = put_i16(at_, integer);
    if (tag == PlanTag::kDouble) at_ = put_f64(at_, real);
  }
  // The computed rows of a column: a double each, with nothing to decide per entry but how many
  // more fit the piece.
  void reals(std::span<const double> values) {
    constexpr std::size_t kEntry = 2 + 8;
    for (std::size_t i = 0; i < values.size();) {
      std::size_t fit = static_cast<std::size_t>(end_ - at_) / kEntry;
      if (fit == 0) {
        flush();
        continue;
      }
      fit = std::min(fit, values.size() - i);
      for (const std::size_t last = i + fit; i < last; ++i) {
        at_ = put_f64(put_u16(at_, kPlanDouble), values[i]);
      }
    }
  }
  void flush() {
    if (at_ != piece_.data()) write_(std::string_view(piece_.data(), at_ - piece_.data()));
    at_ = piece_.data();
  }

 private:
  const std::function<void(std::string_view)>& write_;
  std::array<char, kLinePlanPiece> piece_;
  char* at_ = piece_.data();
  char* const end_ = piece_.data() + piece_.size();
};

}  // namespace

std::size_t line_plan_size(const Plan& pianta) {
  std::size_t entries = 0;
  if (pianta.seeded()) entries += 2 * plan_entry_size(PlanTag::kInt16);
  entries += pianta.computed() * plan_entry_size(PlanTag::kDouble);
  const std::size_t rest = pianta.size() - (pianta.seeded() ? 2 + pianta.computed() : 0);
  entries += rest * plan_entry_size(PlanTag::kEmpty);
  return 2 * entries;
}

void encode_line_plan(const Plan& pianta, const std::function<void(std::string_view)>& write) {
  ColumnWriter out(write);
  for (int column = 0; column < 2; ++column) {
    std::size_t row = 0;
    if (pianta.seeded()) {
      for (; row < 2; ++row) out.entry(PlanTag::kInt16, pianta.seeds()[2 * row + column], 0);
      out.reals(column == 0 ? pianta.xs() : pianta.ys());
      row += pianta.computed();
    }
    for (; row < pianta.size(); ++row) out.entry(PlanTag::kEmpty, 0, 0);
  }
  out.flush();
}

std::string encode_line_plan(const Plan& pianta) {
  std::string out;
  out.reserve(line_plan_size(pianta));
  encode_line_plan(pianta, [&](std::string_view piece) { out += piece; });
  return out;
}

std::string encode_general_data(const std::array<DataRow, data_row::kCount>& tabella_dati) {
  std::size_t size = 0;
  for (const DataRow& row : tabella_dati) {
    if (row.testo.size() > UINT16_MAX) {
      throw std::length_error("a text of " + std::to_string(row.testo.size()) +
                              " bytes does not fit the general data file");
    }
    size += kDataRowFixedSize + row.testo.size();
  }
  std::string out(size, '\0');
  char* at = out.data();
  for (const DataRow& row : tabella_dati) {
    at = put_u8(at, row.classe);
    at = put_i32(at, row.valore1);
    at = put_i32(at, row.valore2);
    at = put_i32(at, row.valore3);
    at = put_u8(at, row.marca);
    at = put_u16(at, static_cast<std::uint16_t>(row.testo.size()));
    at = std::copy(row.testo.begin(), row.testo.end(), at);
    for (std::int16_t parola : {row.parola1, row.parola2, row.parola3, row.parola4, row.parola5}) {
      at = put_i16(at, parola);
    }
    for (std::uint8_t ottetto : {row.ottetto1, row.ottetto2, row.ottetto3, row.ottetto4}) {
      at = put_u8(at, ottetto);
    }
    at = put_i32(at, row.valore4);
  }
  return out;
}

std::string encode_track(const std::vector<TrackCell>& celle) {
  std::string out(celle.size() * kCellRecordSize, '\0');
  char* at = out.data();
  for (const TrackCell& cell : celle) {
    at = put_u8(at, cell.tipo);
    for (std::int16_t dato : {cell.dato1, cell.dato2, cell.dato3, cell.dato4}) {
      at = put_i16(at, dato);
    }
    for (std::uint8_t byte :
         {cell.dato5, cell.avviso, cell.montagna, cell.velocita, cell.pendenza, cell.aderenza}) {
      at = put_u8(at, byte);
    }
  }
  return out;
}

}  // namespace binario
