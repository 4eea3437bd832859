#ifndef BINARIO_AUTHORING_ROUTE_ROUTE_DUMP_H_
#define BINARIO_AUTHORING_ROUTE_ROUTE_DUMP_H_

// binario dump's words: a compiled route as tables an author reads (the track cells that hold
// something, the runs of the filled values, the rows of the data table in use, a summary of
// the plan). Text is UTF-8; the data table's texts are turned from Windows-1252.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "authoring/route/compiled_files.h"
#include "authoring/route/route_view.h"

namespace binario::authoring {

// A file of the route as the dump names it.
struct FileLabel {
  std::string name;
  std::size_t bytes = 0;
};

// The files a route was read from; nothing for a file that is not there.
struct RouteFileLabels {
  std::optional<FileLabel> plan;
  std::optional<FileLabel> data;
  std::optional<FileLabel> track;
};

// A number with `decimals` digits after the point, the same on every platform.
std::string fixed(double value, int decimals);

// A text of the data table for the dump: quoted UTF-8, control bytes as \xNN.
std::string quoted_text(const std::string& bytes);

// What the value of `field` says in cell `index`, beyond the field's meaning: the station a
// stop names, the digits a signal's datum packs, the object an approach mark leads to; "" when
// there is nothing more to say. `table` may be null.
std::string cell_value_words(const std::vector<TrackCell>& celle, std::int64_t index,
                             std::string_view field,
                             const std::array<DataRow, data_row::kCount>* table);

// The same for a field of a data-table row.
std::string row_value_words(const DataRow& row, RowPurpose purpose, std::string_view field);

// A field of a cell as the dump shows it: its value, its meaning, and what the value says.
struct CellFieldShown {
  std::string_view field;
  std::int32_t value;
  std::string_view meaning;  // "not used by this kind" for a datum its kind leaves unused
  std::string words;         // cell_value_words
};

// The fields dato1 .. avviso of cell `index` worth showing: every datum its kind uses, and any
// other field that is not 0.
std::vector<CellFieldShown> cell_fields_shown(const std::vector<TrackCell>& celle,
                                              std::int64_t index,
                                              const std::array<DataRow, data_row::kCount>* table);

// "cell 991, metre 49500: station stop"
std::string cell_heading(std::int64_t index, const TrackCell& cell);

// "row 3, station PRASCO - CREMOLINO"
std::string row_heading(int row, const DataRow& data, RowPurpose purpose);

// The whole dump of the part `range` of the route, with `notes` beside their cells.
std::string dump_text(const CompiledRoute& route, const RouteFileLabels& files,
                      const RouteRange& range, const CellNotes& notes = {});

}  // namespace binario::authoring

#endif  // BINARIO_AUTHORING_ROUTE_ROUTE_DUMP_H_
