#include "tools/binario/route_json.h"

#include <bit>
#include <cmath>
#include <variant>

#include "authoring/text/text.h"

namespace binario::tool {

namespace {

using nlohmann::ordered_json;
namespace a = authoring;

ordered_json file_json(const std::optional<a::FileLabel>& file) {
  if (!file) return nullptr;
  return {{"name", file->name}, {"bytes", file->bytes}};
}

ordered_json cell_json(const std::vector<TrackCell>& celle, std::size_t i,
                       const a::CellNotes& notes) {
  const TrackCell& cell = celle[i];
  const auto index = static_cast<std::int64_t>(i);
  ordered_json json = {
      {"index", index}, {"metre", a::point_metre(index)}, {"kind", a::cell_kind_words(cell.tipo)}};
  for (std::string_view field : a::kCellFields) {
    json[std::string(field)] = a::cell_field(cell, field);
  }
  const auto note = notes.find(index);
  json["notes"] = note == notes.end() ? ordered_json::array() : ordered_json(note->second);
  return json;
}

ordered_json row_json(const DataRow& row, int r, a::RowPurpose purpose) {
  ordered_json json = {{"row", r}, {"purpose", a::row_purpose_name(purpose)}};
  for (std::string_view field : a::kRowFields) {
    if (field == "testo") {
      json["testo"] = a::windows_1252_to_utf8(row.testo);
    } else {
      json[std::string(field)] = a::row_field(row, field);
    }
  }
  return json;
}

ordered_json plan_value_json(const PlanEntry& value) {
  if (value.tag == PlanTag::kDouble) {
    if (std::isfinite(value.real)) return {5, value.real};
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(value.real);
    std::string hex = "0x";
    for (int shift = 60; shift >= 0; shift -= 4) hex += "0123456789abcdef"[(bits >> shift) & 0xF];
    return {5, hex};
  }
  if (value.tag == PlanTag::kInt16) return {2, value.integer};
  return ordered_json::array({0});
}

ordered_json summary_json(const a::PlanSummary& s) {
  ordered_json curves = ordered_json::array();
  for (const a::Curve& c : s.curves) {
    curves.push_back({{"from_metre", c.from_metre},
                      {"to_metre", c.to_metre},
                      {"class", c.curve_class},
                      {"direction", c.left ? "s" : "d"},
                      {"kappa", c.kappa}});
  }
  ordered_json json = {{"seeds", s.seeds}, {"computed", s.computed}, {"empty", s.empty}};
  if (s.has_points) {
    json["length"] = s.length;
    json["bounding_box"] = {
        {"min_x", s.min_x}, {"max_x", s.max_x}, {"min_y", s.min_y}, {"max_y", s.max_y}};
    json["net_turning_degrees"] = s.net_turning;
    json["total_turning_degrees"] = s.total_turning;
  }
  json["curves"] = curves;
  return json;
}

ordered_json plan_json(const Plan& pianta, const a::RouteRange& range) {
  const a::PlanSummary s = a::summarise_plan(pianta, range);
  ordered_json x = ordered_json::array();
  ordered_json y = ordered_json::array();
  const bool any = s.seeds + s.computed + s.empty != 0;
  if (any) {
    for (std::size_t r = s.first_row; r <= s.last_row; ++r) {
      x.push_back(plan_value_json(pianta.entry(r, 0)));
      y.push_back(plan_value_json(pianta.entry(r, 1)));
    }
  }
  return {{"rows", s.rows},
          {"first_row", any ? ordered_json(s.first_row) : ordered_json()},
          {"summary", summary_json(s)},
          {"x", x},
          {"y", y}};
}

}  // namespace

ordered_json dump_json(const a::CompiledRoute& route, const a::RouteFileLabels& files,
                       const a::RouteRange& range, const a::CellNotes& notes) {
  ordered_json json;
  json["files"] = {{"line_plan", file_json(files.plan)},
                   {"general_data", file_json(files.data)},
                   {"track", file_json(files.track)}};
  json["part"] = range.whole ? ordered_json()
                             : ordered_json{{"first_cell", range.first_cell},
                                            {"last_cell", range.last_cell},
                                            {"first_metre", range.first_metre},
                                            {"last_metre", range.last_metre}};
  json["warnings"] = a::disagreements(route);
  if (route.celle) {
    ordered_json celle = ordered_json::array();
    for (std::size_t i = 0; i < route.celle->size(); ++i) {
      if (range.has_cell(static_cast<std::int64_t>(i))) {
        celle.push_back(cell_json(*route.celle, i, notes));
      }
    }
    json["celle"] = celle;
    ordered_json runs;
    for (a::RunField field : a::kRunFields) {
      ordered_json list = ordered_json::array();
      for (const a::Run& run : a::runs(*route.celle, field, range)) {
        list.push_back({{"from_metre", run.from_metre},
                        {"to_metre", run.to_metre},
                        {"first_cell", run.first_cell},
                        {"last_cell", run.last_cell},
                        {"value", run.value}});
      }
      runs[std::string(a::run_field_name(field))] = list;
    }
    json["runs"] = runs;
  } else {
    json["celle"] = nullptr;
    json["runs"] = nullptr;
  }
  if (route.tabella_dati) {
    const auto purposes =
        a::row_purposes(*route.tabella_dati, route.celle ? &*route.celle : nullptr);
    ordered_json rows = ordered_json::array();
    for (int r = 0; r < data_row::kCount; ++r) {
      const a::RowPurpose purpose = purposes[static_cast<std::size_t>(r)];
      if (!a::row_in_part(route, r, purpose, range)) continue;
      rows.push_back(row_json((*route.tabella_dati)[static_cast<std::size_t>(r)], r, purpose));
    }
    json["tabella_dati"] = rows;
  } else {
    json["tabella_dati"] = nullptr;
  }
  json["pianta"] = route.pianta ? plan_json(*route.pianta, range) : ordered_json();
  return json;
}

ordered_json diff_json(const a::RouteDiff& diff, const a::CompiledRoute& route_a,
                       const a::CompiledRoute& route_b, const std::string& a_name,
                       const std::string& b_name) {
  ordered_json json = {{"equal", diff.equal()}, {"a", a_name}, {"b", b_name}};
  ordered_json files = ordered_json::array();
  for (std::size_t f = 0; f < a::kRouteFiles.size(); ++f) {
    files.push_back({{"file", a::kRouteFiles[f]}, {"in_a", diff.in_a[f]}, {"in_b", diff.in_b[f]}});
  }
  json["files"] = files;

  ordered_json cells = ordered_json::array();
  for (const a::CellChange& change : diff.cells) {
    auto kind = [&](const a::CompiledRoute& route) {
      const auto i = static_cast<std::size_t>(change.index);
      return i < route.celle->size() ? ordered_json(a::cell_kind_words((*route.celle)[i].tipo))
                                     : ordered_json();
    };
    ordered_json fields;
    for (const a::FieldChange& f : change.fields) {
      const bool added = change.kind == a::CellChange::Kind::kAdded;
      const bool removed = change.kind == a::CellChange::Kind::kRemoved;
      fields[std::string(f.field)] = {added ? ordered_json() : ordered_json(f.a),
                                      removed ? ordered_json() : ordered_json(f.b)};
    }
    cells.push_back({{"index", change.index},
                     {"metre", a::point_metre(change.index)},
                     {"change", a::change_name(change.kind)},
                     {"kind_a", kind(route_a)},
                     {"kind_b", kind(route_b)},
                     {"fields", fields.is_null() ? ordered_json::object() : fields}});
  }
  json["cells"] = {{"a", diff.cells_a}, {"b", diff.cells_b}, {"changes", cells}};

  ordered_json runs = ordered_json::array();
  for (const a::RunChange& run : diff.runs) {
    runs.push_back({{"field", a::run_field_name(run.field)},
                    {"from_metre", run.first_cell * kCellLength},
                    {"to_metre", (run.last_cell + 1) * kCellLength},
                    {"first_cell", run.first_cell},
                    {"last_cell", run.last_cell},
                    {"a", run.a},
                    {"b", run.b}});
  }
  json["runs"] = runs;

  ordered_json rows = ordered_json::array();
  for (const a::RowChange& change : diff.rows) {
    ordered_json fields = ordered_json::object();
    for (const a::FieldChange& f : change.fields) fields[std::string(f.field)] = {f.a, f.b};
    if (change.testo) {
      fields["testo"] = {a::windows_1252_to_utf8((*change.testo)[0]),
                         a::windows_1252_to_utf8((*change.testo)[1])};
    }
    rows.push_back({{"row", change.row},
                    {"purpose_a", a::row_purpose_name(change.purpose_a)},
                    {"purpose_b", a::row_purpose_name(change.purpose_b)},
                    {"fields", fields}});
  }
  json["rows"] = rows;

  if (diff.plan) {
    const a::PlanChange& p = *diff.plan;
    json["pianta"] = {
        {"rows_a", p.rows_a},
        {"rows_b", p.rows_b},
        {"first_row", p.first_row ? ordered_json(*p.first_row) : ordered_json()},
        {"first_distance", p.first_distance ? ordered_json(*p.first_distance) : ordered_json()},
        {"largest_distance", p.largest_distance},
        {"largest_row", p.first_row ? ordered_json(p.largest_row) : ordered_json()},
        {"one_side_empty", p.one_side_empty}};
  } else {
    json["pianta"] = nullptr;
  }
  return json;
}

std::string json_line(const ordered_json& json) {
  // Names of files are bytes; whatever is not UTF-8 is shown as a replacement character.
  return json.dump(-1, ' ', false, ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace binario::tool
