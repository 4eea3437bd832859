#include "authoring/route/route_diff.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <variant>

#include "authoring/route/route_dump.h"

namespace binario::authoring {

std::string_view change_name(CellChange::Kind kind) {
  switch (kind) {
    case CellChange::Kind::kAdded:
      return "added";
    case CellChange::Kind::kRemoved:
      return "removed";
    case CellChange::Kind::kChanged:
      return "changed";
  }
  return "";
}

bool RouteDiff::equal() const {
  return in_a == in_b && cells_a == cells_b && cells.empty() && runs.empty() && rows.empty() &&
         !plan;
}

namespace {

// The fields that make up a cell's object, as compared cell by cell.
constexpr std::array<std::string_view, 7> kObjectFields = {"tipo",  "dato1", "dato2", "dato3",
                                                           "dato4", "dato5", "avviso"};

std::vector<FieldChange> object_fields(const TrackCell& cell) {
  std::vector<FieldChange> fields;
  for (std::string_view field : kObjectFields) {
    const std::int32_t value = cell_field(cell, field);
    if (value != 0) fields.push_back({field, 0, value});
  }
  return fields;
}

void diff_cells(RouteDiff& diff, const std::vector<TrackCell>& a, const std::vector<TrackCell>& b,
                const RouteRange& range) {
  diff.cells_a = a.size();
  diff.cells_b = b.size();
  const std::size_t n = std::max(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const auto index = static_cast<std::int64_t>(i);
    if (!range.has_cell(index)) continue;
    const bool has_a = i < a.size() && holds_something(a[i]);
    const bool has_b = i < b.size() && holds_something(b[i]);
    if (has_a && !has_b) {
      std::vector<FieldChange> fields = object_fields(a[i]);
      for (FieldChange& f : fields) std::swap(f.a, f.b);
      diff.cells.push_back({index, CellChange::Kind::kRemoved, std::move(fields)});
    } else if (!has_a && has_b) {
      diff.cells.push_back({index, CellChange::Kind::kAdded, object_fields(b[i])});
    } else if (has_a && has_b) {
      CellChange change{index, CellChange::Kind::kChanged, {}};
      for (std::string_view field : kObjectFields) {
        const std::int32_t va = cell_field(a[i], field);
        const std::int32_t vb = cell_field(b[i], field);
        if (va != vb) change.fields.push_back({field, va, vb});
      }
      if (!change.fields.empty()) diff.cells.push_back(std::move(change));
    }
  }
  const std::size_t common = std::min(a.size(), b.size());
  for (RunField field : kRunFields) {
    for (std::size_t i = 0; i < common; ++i) {
      const auto index = static_cast<std::int64_t>(i);
      if (!range.has_run_cell(index)) continue;
      const std::uint8_t va = run_value(a[i], field);
      const std::uint8_t vb = run_value(b[i], field);
      if (va == vb) continue;
      if (!diff.runs.empty() && diff.runs.back().field == field &&
          diff.runs.back().last_cell == index - 1 && diff.runs.back().a == va &&
          diff.runs.back().b == vb) {
        diff.runs.back().last_cell = index;
      } else {
        diff.runs.push_back({field, index, index, va, vb});
      }
    }
  }
}

void diff_rows(RouteDiff& diff, const CompiledRoute& a, const CompiledRoute& b,
               const RouteRange& range) {
  const auto& ta = *a.tabella_dati;
  const auto& tb = *b.tabella_dati;
  const auto pa = row_purposes(ta, a.celle ? &*a.celle : nullptr);
  const auto pb = row_purposes(tb, b.celle ? &*b.celle : nullptr);
  for (int r = 0; r < data_row::kCount; ++r) {
    const DataRow& ra = ta[static_cast<std::size_t>(r)];
    const DataRow& rb = tb[static_cast<std::size_t>(r)];
    if (ra == rb) continue;
    const auto purpose_a = pa[static_cast<std::size_t>(r)];
    const auto purpose_b = pb[static_cast<std::size_t>(r)];
    // A row counts when it belongs to the part on either side.
    if (!row_in_part(a, r, purpose_a, range) && !row_in_part(b, r, purpose_b, range)) continue;
    RowChange change{r, purpose_a, purpose_b, {}, std::nullopt};
    for (std::string_view field : kRowFields) {
      if (field == "testo") continue;
      const std::int32_t va = row_field(ra, field);
      const std::int32_t vb = row_field(rb, field);
      if (va != vb) change.fields.push_back({field, va, vb});
    }
    if (ra.testo != rb.testo) change.testo = std::array<std::string, 2>{ra.testo, rb.testo};
    diff.rows.push_back(std::move(change));
  }
}

// Whether two plan entries are the same bytes in the file.
bool same_entry(const PlanEntry& a, const PlanEntry& b) {
  if (a.tag != b.tag) return false;
  if (a.tag == PlanTag::kDouble) {
    return std::bit_cast<std::uint64_t>(a.real) == std::bit_cast<std::uint64_t>(b.real);
  }
  return a.integer == b.integer;
}

std::optional<PlanChange> diff_plans(const Plan& a, const Plan& b, const RouteRange& range) {
  PlanChange change;
  change.rows_a = a.size();
  change.rows_b = b.size();
  bool differ = a.size() != b.size();
  const std::size_t common = std::min(a.size(), b.size());
  const std::int64_t first = std::max<std::int64_t>(range.first_metre, 0);
  const std::int64_t last =
      std::min<std::int64_t>(range.last_metre, static_cast<std::int64_t>(common) - 1);
  for (std::int64_t r = first; r <= last; ++r) {
    const auto row = static_cast<std::size_t>(r);
    if (same_entry(a.entry(row, 0), b.entry(row, 0)) &&
        same_entry(a.entry(row, 1), b.entry(row, 1))) {
      continue;
    }
    differ = true;
    const auto pa = plan_point(a, row);
    const auto pb = plan_point(b, row);
    std::optional<double> distance;
    if (pa && pb) {
      const double dx = (*pa)[0] - (*pb)[0];
      const double dy = (*pa)[1] - (*pb)[1];
      distance = std::sqrt(dx * dx + dy * dy);
      if (*distance > change.largest_distance) {
        change.largest_distance = *distance;
        change.largest_row = static_cast<std::size_t>(r);
      }
    } else if (pa || pb) {
      ++change.one_side_empty;
    }
    if (!change.first_row) {
      change.first_row = static_cast<std::size_t>(r);
      change.first_distance = distance;
    }
  }
  if (!differ) return std::nullopt;
  return change;
}

}  // namespace

RouteDiff diff_routes(const CompiledRoute& a, const CompiledRoute& b, const RouteRange& range) {
  RouteDiff diff;
  diff.in_a = {a.pianta.has_value(), a.tabella_dati.has_value(), a.celle.has_value()};
  diff.in_b = {b.pianta.has_value(), b.tabella_dati.has_value(), b.celle.has_value()};
  if (a.celle && b.celle) diff_cells(diff, *a.celle, *b.celle, range);
  if (a.tabella_dati && b.tabella_dati) diff_rows(diff, a, b, range);
  if (a.pianta && b.pianta) diff.plan = diff_plans(*a.pianta, *b.pianta, range);
  return diff;
}

namespace {

// "51 (s1 5, d1 1)"
std::string cell_value(const CompiledRoute& route, std::int64_t index, std::string_view field) {
  const std::vector<TrackCell>& celle = *route.celle;
  const std::int32_t value = cell_field(celle[static_cast<std::size_t>(index)], field);
  const std::string words =
      cell_value_words(celle, index, field, route.tabella_dati ? &*route.tabella_dati : nullptr);
  return std::to_string(value) + (words.empty() ? "" : " (" + words + ")");
}

std::string row_value(const DataRow& row, RowPurpose purpose, std::string_view field,
                      std::int64_t value) {
  const std::string words = row_value_words(row, purpose, field);
  return std::to_string(value) + (words.empty() ? "" : " (" + words + ")");
}

}  // namespace

std::string diff_text(const RouteDiff& diff, const CompiledRoute& a, const CompiledRoute& b,
                      const std::string& a_name, const std::string& b_name) {
  if (diff.equal()) return "";
  std::string out = "a: " + a_name + "\nb: " + b_name + "\n";
  for (std::size_t f = 0; f < kRouteFiles.size(); ++f) {
    if (diff.in_a[f] != diff.in_b[f]) {
      out += std::string(kRouteFiles[f]) + ": only in " + (diff.in_a[f] ? "a" : "b") + "\n";
    }
  }
  if (diff.cells_a != diff.cells_b) {
    out += "track file: " + std::to_string(diff.cells_a) + " cells in a, " +
           std::to_string(diff.cells_b) + " in b\n";
  }
  for (const CellChange& change : diff.cells) {
    const bool from_a = change.kind == CellChange::Kind::kRemoved;
    const CompiledRoute& side = from_a ? a : b;
    const TrackCell& cell = (*side.celle)[static_cast<std::size_t>(change.index)];
    std::string heading = cell_heading(change.index, cell);
    if (change.kind == CellChange::Kind::kChanged) {
      const TrackCell& before = (*a.celle)[static_cast<std::size_t>(change.index)];
      if (before.tipo != cell.tipo) heading = cell_heading(change.index, before);
    }
    out += heading + " (" + std::string(change_name(change.kind)) + ")\n";
    for (const FieldChange& f : change.fields) {
      out += "    " + std::string(f.field) + ": ";
      if (change.kind == CellChange::Kind::kChanged) {
        out += cell_value(a, change.index, f.field) + " -> " + cell_value(b, change.index, f.field);
      } else {
        out += cell_value(side, change.index, f.field);
      }
      out += "\n";
    }
  }
  for (const RunChange& run : diff.runs) {
    out += std::string(run_field_title(run.field)) + ", metres " +
           std::to_string(run.first_cell * kCellLength) + " to " +
           std::to_string((run.last_cell + 1) * kCellLength) + " (cells " +
           std::to_string(run.first_cell) + "-" + std::to_string(run.last_cell) +
           "): " + std::string(run_field_name(run.field)) + " " + std::to_string(run.a) + " (" +
           run_value_words(run.field, run.a) + ") -> " + std::to_string(run.b) + " (" +
           run_value_words(run.field, run.b) + ")\n";
  }
  for (const RowChange& change : diff.rows) {
    const DataRow& ra = (*a.tabella_dati)[static_cast<std::size_t>(change.row)];
    const DataRow& rb = (*b.tabella_dati)[static_cast<std::size_t>(change.row)];
    out += row_heading(change.row, ra, change.purpose_a);
    if (change.purpose_b != change.purpose_a || ra.testo != rb.testo) {
      out += " -> " + std::string(row_purpose_name(change.purpose_b));
      if (!rb.testo.empty()) out += " " + quoted_text(rb.testo);
    }
    out += "\n";
    for (const FieldChange& f : change.fields) {
      out += "    " + std::string(f.field) + ": " + row_value(ra, change.purpose_a, f.field, f.a) +
             " -> " + row_value(rb, change.purpose_b, f.field, f.b) + "\n";
    }
    if (change.testo) {
      out += "    testo: " + quoted_text((*change.testo)[0]) + " -> " +
             quoted_text((*change.testo)[1]) + "\n";
    }
  }
  if (diff.plan) {
    const PlanChange& p = *diff.plan;
    out += "line plan: " + std::to_string(p.rows_a) + " rows in a, " + std::to_string(p.rows_b) +
           " in b";
    if (p.first_row) {
      out += "; they part at row " + std::to_string(*p.first_row);
      if (p.first_distance) out += " (" + fixed(*p.first_distance, 3) + " m apart)";
      out += "; the largest distance is " + fixed(p.largest_distance, 3) + " m, at row " +
             std::to_string(p.largest_row);
      if (p.one_side_empty != 0) {
        out += "; " + std::to_string(p.one_side_empty) + " rows hold a point on one side only";
      }
    } else {
      out += "; the rows both have are the same";
    }
    out += "\n";
  }
  return out;
}

}  // namespace binario::authoring
