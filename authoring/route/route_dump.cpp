#include "authoring/route/route_dump.h"

#include <charconv>
#include <cmath>

#include "authoring/text/text.h"

namespace binario::authoring {

std::string fixed(double value, int decimals) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  char buffer[400];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  std::string text(buffer, result.ptr);
  // No "-0.0": a value that rounds to zero is zero.
  if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  return text;
}

std::string quoted_text(const std::string& bytes) {
  std::string out = "\"";
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || c == '"' || c == '\\') {
      static const char kHex[] = "0123456789ABCDEF";
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    } else {
      out += windows_1252_to_utf8(std::string_view(&c, 1));
    }
  }
  return out + "\"";
}

namespace {

std::string pad_left(const std::string& text, std::size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string pad_right(const std::string& text, std::size_t width) {
  return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

// "s1 5, d1 1" for a value packed as a * 10 + b.
std::string tens_and_units(std::int32_t value, const char* tens, const char* units) {
  if (value < 0) return "";
  return std::string(tens) + " " + std::to_string(value / 10) + ", " + units + " " +
         std::to_string(value % 10);
}

const TrackCell* cell_at(const std::vector<TrackCell>& celle, std::int64_t index) {
  if (index < 0 || index >= static_cast<std::int64_t>(celle.size())) return nullptr;
  return &celle[static_cast<std::size_t>(index)];
}

std::string table_row_words(const std::array<DataRow, data_row::kCount>* table, std::int32_t row) {
  std::string words = "row " + std::to_string(row);
  if (row < 0 || row >= data_row::kCount) return words + ", outside the data table";
  if (table) words += ", " + quoted_text((*table)[static_cast<std::size_t>(row)].testo);
  return words;
}

std::string approach_words(const std::vector<TrackCell>& celle, std::int64_t index,
                           std::uint8_t value) {
  const int tens = value / 10;
  const int k = value % 10;
  if (k >= 1 && k <= 4) {
    const TrackCell* stop = cell_at(celle, index + k);
    if (tens == 8 && stop && stop->tipo == cell_kind::kStationStop) {
      return "station approach " + std::to_string(k) + ": " + std::to_string(k) +
             (k == 1 ? " cell" : " cells") + " before the stop in cell " +
             std::to_string(index + k);
    }
    const TrackCell* signal = cell_at(celle, index + 2 * k);
    if (signal && signal->tipo == cell_kind::kSignal) {
      return "signal approach " + std::to_string(k) + ": " + std::to_string(100 * k) +
             " m before the signal in cell " + std::to_string(index + 2 * k) + ", signal code " +
             std::to_string(tens);
    }
  }
  return "tens " + std::to_string(tens) + ", units " + std::to_string(k) +
         "; no signal or stop stands where it points";
}

}  // namespace

std::string cell_value_words(const std::vector<TrackCell>& celle, std::int64_t index,
                             std::string_view field,
                             const std::array<DataRow, data_row::kCount>* table) {
  const TrackCell* cell = cell_at(celle, index);
  if (!cell) return "";
  const std::int32_t value = cell_field(*cell, field);
  if (field == "tipo") return cell_kind_words(cell->tipo);
  if (field == "avviso") return value == 0 ? "" : approach_words(celle, index, cell->avviso);
  if (index == 1 && (field == "dato1" || field == "dato2")) return "";
  switch (cell->tipo) {
    case cell_kind::kSignal:
      if (field == "dato1") return tens_and_units(value, "s1", "d1");
      if (field == "dato2") return tens_and_units(value, "s2", "d2");
      if (field == "dato3") return tens_and_units(value, "s3", "d3");
      if (field == "dato4") return tens_and_units(value, "rapp", "signal code");
      break;
    case cell_kind::kSpeedBoards:
      if (field == "dato4") return tens_and_units(value, "strisces", "strisced");
      break;
    case cell_kind::kStationStop:
    case cell_kind::kSignBoard:
      if (field == "dato1") return table_row_words(table, value);
      break;
    default:
      break;
  }
  return "";
}

std::string row_value_words(const DataRow& row, RowPurpose purpose, std::string_view field) {
  if (field == "testo") return quoted_text(row.testo);
  if (purpose == RowPurpose::kStation) {
    if (field == "valore4") return clock_time(row.valore4);
    if (field == "classe") {
      if (row.classe >= 25) return "25 or above: the train passes, no stop";
      std::string words = "below 25: the train stops";
      if (row.classe == 5 || row.classe == 6) words += ", without approach marks";
      return words;
    }
  }
  return "";
}

std::vector<CellFieldShown> cell_fields_shown(const std::vector<TrackCell>& celle,
                                              std::int64_t index,
                                              const std::array<DataRow, data_row::kCount>* table) {
  std::vector<CellFieldShown> shown;
  const TrackCell* cell = cell_at(celle, index);
  if (!cell) return shown;
  for (std::size_t f = 1; f <= 6; ++f) {  // dato1 .. avviso
    const std::string_view field = kCellFields[f];
    const std::int32_t value = cell_field(*cell, field);
    std::string_view meaning = cell_field_meaning(index, cell->tipo, field);
    if (value == 0 && (meaning.empty() || field == "avviso")) continue;
    if (meaning.empty()) meaning = "not used by this kind";
    shown.push_back({field, value, meaning, cell_value_words(celle, index, field, table)});
  }
  return shown;
}

std::string cell_heading(std::int64_t index, const TrackCell& cell) {
  return "cell " + std::to_string(index) + ", metre " + std::to_string(point_metre(index)) + ": " +
         (cell.tipo == cell_kind::kNone ? std::string("no object") : cell_kind_words(cell.tipo));
}

std::string row_heading(int row, const DataRow& data, RowPurpose purpose) {
  std::string heading =
      "row " + std::to_string(row) + ", " + std::string(row_purpose_name(purpose));
  if ((purpose == RowPurpose::kStation || purpose == RowPurpose::kSignBoardText) &&
      !data.testo.empty()) {
    heading += " " + quoted_text(data.testo);
  }
  return heading;
}

namespace {

// "    dato1        51  s1*10 + d1: s1 5, d1 1"
std::string field_line(std::string_view field, const std::string& value, std::string_view meaning,
                       const std::string& words) {
  std::string line = "    " + pad_right(std::string(field), 9) + pad_left(value, 11);
  std::string said(meaning);
  if (!words.empty()) said += (said.empty() ? "" : ": ") + words;
  if (!said.empty()) line += "  " + said;
  return line + "\n";
}

void dump_cells(std::string& out, const CompiledRoute& route, const RouteRange& range,
                const CellNotes& notes) {
  const std::vector<TrackCell>& celle = *route.celle;
  const auto* table = route.tabella_dati ? &*route.tabella_dati : nullptr;
  out += "Track cells that hold something (" + std::to_string(celle.size()) + " cells, 0 to " +
         std::to_string(celle.size() - 1) +
         "; the object of cell k stands at metre (k - 1) x 50)\n";
  std::size_t shown = 0;
  for (std::size_t i = 0; i < celle.size(); ++i) {
    const auto index = static_cast<std::int64_t>(i);
    if (!range.has_cell(index)) continue;
    const TrackCell& cell = celle[i];
    const auto note = notes.find(index);
    if (!holds_something(cell) && note == notes.end()) continue;
    ++shown;
    out += cell_heading(index, cell) + "\n";
    for (const CellFieldShown& shown : cell_fields_shown(celle, index, table)) {
      out += field_line(shown.field, std::to_string(shown.value), shown.meaning, shown.words);
    }
    if (note != notes.end()) {
      for (const std::string& line : note->second) out += "    note: " + line + "\n";
    }
  }
  if (shown == 0) out += "    (none)\n";
}

void dump_runs(std::string& out, const std::vector<TrackCell>& celle, const RouteRange& range) {
  for (RunField field : kRunFields) {
    out += "\nRuns of " + std::string(run_field_title(field)) + " (" +
           std::string(run_field_name(field)) +
           "; the value of cell k applies from metre k x 50)\n";
    out += "    " + pad_left("from m", 9) + pad_left("to m", 9) + pad_left("cells", 15) + "  " +
           std::string(run_field_name(field)) + "\n";
    for (const Run& run : runs(celle, field, range)) {
      out += "    " + pad_left(std::to_string(run.from_metre), 9) +
             pad_left(std::to_string(run.to_metre), 9) +
             pad_left(std::to_string(run.first_cell) + "-" + std::to_string(run.last_cell), 15) +
             "  " + pad_left(std::to_string(run.value), 8) + "  " +
             run_value_words(field, run.value) + "\n";
    }
  }
}

void dump_rows(std::string& out, const CompiledRoute& route, const RouteRange& range) {
  const auto& table = *route.tabella_dati;
  const auto* celle = route.celle ? &*route.celle : nullptr;
  const auto purposes = row_purposes(table, celle);
  out += "\nRows of the data table in use (" + std::to_string(data_row::kCount) + " rows, 0 to " +
         std::to_string(data_row::kCount - 1) + ")\n";
  for (int r = 0; r < data_row::kCount; ++r) {
    const DataRow& row = table[static_cast<std::size_t>(r)];
    const RowPurpose purpose = purposes[static_cast<std::size_t>(r)];
    if (row == DataRow{} && r < data_row::kLineAndTrain) continue;
    if (!row_in_part(route, r, purpose, range)) continue;
    out += row_heading(r, row, purpose) + "\n";
    std::string uninterpreted;
    for (std::string_view field : kRowFields) {
      std::string_view meaning = row_field_meaning(purpose, field);
      if (field == "testo") {
        if (row.testo.empty() && meaning.empty()) continue;
        if (meaning.empty()) meaning = "not used by this row";
        const std::size_t n = row.testo.size();
        out += field_line(field, std::to_string(n) + (n == 1 ? " byte" : " bytes"), meaning,
                          row_value_words(row, purpose, field));
        continue;
      }
      const std::int32_t value = row_field(row, field);
      if (meaning.starts_with("not interpreted")) {
        if (value != 0) {
          uninterpreted += (uninterpreted.empty() ? "" : ", ") + std::string(field) + " " +
                           std::to_string(value);
        }
        continue;
      }
      if (meaning.empty()) {
        if (value == 0) continue;
        meaning = "not used by this row";
      }
      out +=
          field_line(field, std::to_string(value), meaning, row_value_words(row, purpose, field));
    }
    if (purpose == RowPurpose::kStation) {
      if (const std::optional<std::int64_t> stop = stop_cell(row)) {
        std::string line = "    stop in cell " + std::to_string(*stop) + ", metre " +
                           std::to_string(point_metre(*stop));
        if (celle) {
          const bool there =
              *stop >= 0 && *stop < static_cast<std::int64_t>(celle->size()) &&
              (*celle)[static_cast<std::size_t>(*stop)].tipo == cell_kind::kStationStop &&
              (*celle)[static_cast<std::size_t>(*stop)].dato1 == r;
          if (!there) line += " (the track file holds no stop of this row there)";
        }
        out += line + "\n";
      } else {
        out += "    the train passes: no stop\n";
      }
    }
    if (!uninterpreted.empty()) out += "    stored, not interpreted: " + uninterpreted + "\n";
  }
}

void dump_plan(std::string& out, const Plan& pianta, const RouteRange& range) {
  const PlanSummary s = summarise_plan(pianta, range);
  out += "\nLine plan (" + std::to_string(s.rows) + " rows, one per metre, 0 to " +
         std::to_string(s.rows - 1) + ")\n";
  if (s.first_row > s.last_row || (s.seeds + s.computed + s.empty == 0)) {
    out += "    (no row in the part shown)\n";
    return;
  }
  out += "    rows shown      " + std::to_string(s.first_row) + " to " +
         std::to_string(s.last_row) + ": " + std::to_string(s.seeds) + " 16-bit seeds, " +
         std::to_string(s.computed) + " computed, " + std::to_string(s.empty) + " empty\n";
  if (!s.has_points) return;
  out += "    length of track " + fixed(s.length, 1) + " m (the steps from row to row, added)\n";
  out += "    bounding box    x " + fixed(s.min_x, 1) + " to " + fixed(s.max_x, 1) + " m, y " +
         fixed(s.min_y, 1) + " to " + fixed(s.max_y, 1) + " m\n";
  out += "    turning         " + fixed(s.net_turning, 1) +
         " degrees net (counter-clockwise positive), " + fixed(s.total_turning, 1) +
         " degrees in all\n";
  out += "    curves          " + std::to_string(s.curves.size()) +
         " (from the turning of the steps)\n";
  if (s.curves.empty()) return;
  out += "    " + pad_left("from m", 9) + pad_left("to m", 9) + pad_left("length", 8) +
         pad_left("class", 7) + "  direction  radius\n";
  for (const Curve& c : s.curves) {
    std::string radius = c.kappa != 0 ? fixed(1 / std::fabs(c.kappa), 0) + " m" : "";
    out += "    " + pad_left(std::to_string(c.from_metre), 9) +
           pad_left(std::to_string(c.to_metre), 9) +
           pad_left(std::to_string(c.to_metre - c.from_metre), 8) +
           pad_left(c.curve_class == 0 ? "?" : std::to_string(c.curve_class), 7) + "  " +
           pad_right(c.left ? "left (s)" : "right (d)", 11) + radius + "\n";
  }
}

void file_line(std::string& out, const char* what, const std::optional<FileLabel>& file) {
  out += "    " + pad_right(what, 19);
  out += file ? file->name + " (" + std::to_string(file->bytes) + " bytes)\n" : "not there\n";
}

}  // namespace

std::string dump_text(const CompiledRoute& route, const RouteFileLabels& files,
                      const RouteRange& range, const CellNotes& notes) {
  std::string out = "Compiled route\n";
  file_line(out, "line plan file", files.plan);
  file_line(out, "general data file", files.data);
  file_line(out, "track file", files.track);
  if (!range.whole) {
    out += "    part shown         cells " + std::to_string(range.first_cell) + " to " +
           std::to_string(range.last_cell) + ", metres " + std::to_string(range.first_metre) +
           " to " + std::to_string(range.last_metre) + "\n";
  }
  for (const std::string& disagreement : disagreements(route)) {
    out += "warning: " + disagreement + "\n";
  }
  if (route.celle) {
    out += "\n";
    dump_cells(out, route, range, notes);
    dump_runs(out, *route.celle, range);
  }
  if (route.tabella_dati) dump_rows(out, route, range);
  if (route.pianta) dump_plan(out, *route.pianta, range);
  return out;
}

}  // namespace binario::authoring
