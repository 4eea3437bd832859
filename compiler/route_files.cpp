#include "compiler/route_files.h"

#include <stdexcept>
#include <variant>

#include "compiler/coding.h"

namespace binario {

namespace {

void put_plan_value(std::string& out, const PlanValue& value) {
  if (const auto* real = std::get_if<double>(&value)) {
    // The tag and the double in one append: nearly every entry is one of these.
    put_le<2>(out, kPlanDouble);
    put_le<8>(out, std::bit_cast<std::uint64_t>(*real));
  } else if (const auto* integer = std::get_if<std::int16_t>(&value)) {
    put_u16(out, kPlanInt16);
    put_i16(out, *integer);
  } else {
    put_u16(out, kPlanEmpty);
  }
}

}  // namespace

std::string encode_line_plan(const std::vector<PlanRow>& pianta) {
  std::string out;
  out.reserve(pianta.size() * 2 * 10);
  for (int column = 0; column < 2; ++column) {
    for (const PlanRow& row : pianta) put_plan_value(out, row[column]);
  }
  return out;
}

std::string encode_general_data(const std::array<DataRow, data_row::kCount>& tabella_dati) {
  std::string out;
  for (const DataRow& row : tabella_dati) {
    if (row.testo.size() > UINT16_MAX) {
      throw std::length_error("a text of " + std::to_string(row.testo.size()) +
                              " bytes does not fit the general data file");
    }
    put_u8(out, row.classe);
    put_i32(out, row.valore1);
    put_i32(out, row.valore2);
    put_i32(out, row.valore3);
    put_u8(out, row.marca);
    put_u16(out, static_cast<std::uint16_t>(row.testo.size()));
    out += row.testo;
    for (std::int16_t parola : {row.parola1, row.parola2, row.parola3, row.parola4, row.parola5}) {
      put_i16(out, parola);
    }
    for (std::uint8_t ottetto : {row.ottetto1, row.ottetto2, row.ottetto3, row.ottetto4}) {
      put_u8(out, ottetto);
    }
    put_i32(out, row.valore4);
  }
  return out;
}

std::string encode_track(const std::vector<TrackCell>& celle) {
  std::string out;
  out.reserve(celle.size() * kCellRecordSize);
  for (const TrackCell& cell : celle) {
    put_u8(out, cell.tipo);
    for (std::int16_t dato : {cell.dato1, cell.dato2, cell.dato3, cell.dato4}) put_i16(out, dato);
    for (std::uint8_t byte :
         {cell.dato5, cell.avviso, cell.montagna, cell.velocita, cell.pendenza, cell.aderenza}) {
      put_u8(out, byte);
    }
  }
  return out;
}

}  // namespace binario
