#ifndef BINARIO_AUTHORING_ROUTE_ROUTE_NAMES_H_
#define BINARIO_AUTHORING_ROUTE_ROUTE_NAMES_H_

// The words an author reads for what the compiled route holds: the kinds of track cell, the
// meaning of each cell field and of each field of the data table's rows. One table for every
// part of the authoring side that shows a route (dump, diff, diagnostics, the route sheet).

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "reader/track_model.h"

namespace binario::authoring {

// The cell kind `tipo` in words: "signal", "slowdown end", ...; "" for a value that is no
// kind of cell_kind.
std::string_view cell_kind_name(std::uint8_t tipo);

// The cell kind in words, or "unknown kind N".
std::string cell_kind_words(std::uint8_t tipo);

// What dato1 .. dato5 hold in a cell of kind `tipo` ("" where the kind leaves a field unused).
// Cell 1 carries the stamps in dato1 and dato2 whatever its kind: see cell_field_meaning.
std::array<std::string_view, 5> cell_data_meanings(std::uint8_t tipo);

// The cell fields, in the order of the track file.
inline constexpr std::array<std::string_view, 11> kCellFields = {
    "tipo",   "dato1",    "dato2",    "dato3",    "dato4",   "dato5",
    "avviso", "montagna", "velocita", "pendenza", "aderenza"};

// The value of the cell field `field` (one of kCellFields).
std::int32_t cell_field(const TrackCell& cell, std::string_view field);

// The meaning of a cell field for the cell `index` of kind `tipo`, in words; "" for a datum
// its kind leaves unused.
std::string_view cell_field_meaning(std::int64_t index, std::uint8_t tipo, std::string_view field);

// What a row of the general data file holds.
enum class RowPurpose {
  kUnused,
  kStation,
  kSignBoardText,
  kChainage,
  kLineAndTrain,
  kLineIdentity,
  kTrainIdentity,
};

// "station", "sign-board text", ...
std::string_view row_purpose_name(RowPurpose purpose);

// The purpose that row `row` has by its place alone: stations and sign-board texts share rows
// 1 to 80, so those are kStation here (see row_purposes in route_view.h for the rest).
RowPurpose fixed_row_purpose(int row);

// The row fields, in the order of the general data file.
inline constexpr std::array<std::string_view, 16> kRowFields = {
    "classe",  "valore1", "valore2", "valore3",  "marca",    "testo",    "parola1",  "parola2",
    "parola3", "parola4", "parola5", "ottetto1", "ottetto2", "ottetto3", "ottetto4", "valore4"};

// The value of the numeric row field `field` (one of kRowFields but testo).
std::int32_t row_field(const DataRow& row, std::string_view field);

// The meaning of a row field in a row of `purpose`; "" for a field that purpose leaves unused,
// "not interpreted" for one that it stores without this system reading it.
std::string_view row_field_meaning(RowPurpose purpose, std::string_view field);

}  // namespace binario::authoring

#endif  // BINARIO_AUTHORING_ROUTE_ROUTE_NAMES_H_
