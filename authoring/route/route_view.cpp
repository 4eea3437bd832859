#include "authoring/route/route_view.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <variant>

#include "reader/numbers.h"

namespace binario::authoring {

namespace {

std::int64_t floor_div(std::int64_t a, std::int64_t b) {
  return a / b - (a % b != 0 && (a < 0) != (b < 0) ? 1 : 0);
}

}  // namespace

RouteRange cell_range(std::int64_t a, std::int64_t b) {
  return {a, b, a, b, point_metre(a), point_metre(b), false, false};
}

RouteRange metre_range(std::int64_t a, std::int64_t b) {
  // Cell k's object stands at (k - 1) x 50: the first k with that at or after a.
  const std::int64_t first = floor_div(a + kCellLength - 1, kCellLength) + 1;
  const std::int64_t last = floor_div(b, kCellLength) + 1;
  return {first, last, floor_div(a, kCellLength), floor_div(b, kCellLength), a, b, false, true};
}

bool holds_something(const TrackCell& c) {
  return c.tipo != 0 || c.dato1 != 0 || c.dato2 != 0 || c.dato3 != 0 || c.dato4 != 0 ||
         c.dato5 != 0 || c.avviso != 0;
}

std::string_view run_field_name(RunField field) {
  switch (field) {
    case RunField::kVelocita:
      return "velocita";
    case RunField::kPendenza:
      return "pendenza";
    case RunField::kAderenza:
      return "aderenza";
    case RunField::kMontagna:
      return "montagna";
  }
  return "";
}

std::string_view run_field_title(RunField field) {
  switch (field) {
    case RunField::kVelocita:
      return "line speed";
    case RunField::kPendenza:
      return "gradient";
    case RunField::kAderenza:
      return "adhesion";
    case RunField::kMontagna:
      return "scenery";
  }
  return "";
}

std::uint8_t run_value(const TrackCell& cell, RunField field) {
  switch (field) {
    case RunField::kVelocita:
      return cell.velocita;
    case RunField::kPendenza:
      return cell.pendenza;
    case RunField::kAderenza:
      return cell.aderenza;
    case RunField::kMontagna:
      return cell.montagna;
  }
  return 0;
}

std::string run_value_words(RunField field, std::uint8_t value) {
  switch (field) {
    case RunField::kVelocita:
      return std::to_string(5 * value) + " km/h";
    case RunField::kPendenza:
      if (value == 0) return "none (0)";
      return std::to_string(value - 100) + " per mille";
    case RunField::kAderenza:
      return std::to_string(value);
    case RunField::kMontagna:
      return value == 0 ? "none" : "kind " + std::to_string(value);
  }
  return "";
}

std::vector<Run> runs(const std::vector<TrackCell>& celle, RunField field,
                      const RouteRange& range) {
  std::vector<Run> out;
  const auto n = static_cast<std::int64_t>(celle.size());
  const std::int64_t first = std::max<std::int64_t>(range.first_run_cell, 0);
  const std::int64_t last = std::min(range.last_run_cell, n - 1);
  for (std::int64_t i = first; i <= last; ++i) {
    const std::uint8_t value = run_value(celle[static_cast<std::size_t>(i)], field);
    if (!out.empty() && out.back().value == value) {
      out.back().last_cell = i;
    } else {
      out.push_back({i, i, value, 0, 0});
    }
  }
  for (Run& run : out) {
    run.from_metre = run.first_cell * kCellLength;
    run.to_metre = (run.last_cell + 1) * kCellLength;
    if (range.by_metres) {
      run.from_metre = std::max(run.from_metre, range.first_metre);
      run.to_metre = std::min(run.to_metre, range.last_metre);
    }
  }
  return out;
}

std::array<RowPurpose, data_row::kCount> row_purposes(
    const std::array<DataRow, data_row::kCount>& table, const std::vector<TrackCell>* celle) {
  std::array<RowPurpose, data_row::kCount> purposes{};
  std::array<bool, data_row::kCount> named{};
  if (celle) {
    for (const TrackCell& cell : *celle) {
      if (cell.tipo == cell_kind::kSignBoard && cell.dato1 >= 1 &&
          cell.dato1 <= data_row::kFirstSignBoard) {
        named[static_cast<std::size_t>(cell.dato1)] = true;
      }
    }
  }
  auto text_only = [](DataRow row) {
    row.testo.clear();
    return row == DataRow{};
  };
  int highest_with_numbers = 0;
  for (int r = 1; r <= data_row::kFirstSignBoard; ++r) {
    if (!text_only(table[static_cast<std::size_t>(r)])) highest_with_numbers = r;
  }
  for (int r = 0; r < data_row::kCount; ++r) {
    const DataRow& row = table[static_cast<std::size_t>(r)];
    RowPurpose& purpose = purposes[static_cast<std::size_t>(r)];
    purpose = fixed_row_purpose(r);
    if (r >= 1 && r <= data_row::kFirstSignBoard) {
      if (named[static_cast<std::size_t>(r)] ||
          (text_only(row) && !row.testo.empty() && r > highest_with_numbers)) {
        purpose = RowPurpose::kSignBoardText;
      } else if (row == DataRow{}) {
        purpose = RowPurpose::kUnused;
      }
    } else if (r <= data_row::kChainageUno && row == DataRow{}) {
      purpose = RowPurpose::kUnused;
    }
  }
  return purposes;
}

bool row_in_part(const CompiledRoute& route, int r, RowPurpose purpose, const RouteRange& range) {
  if (range.whole) return true;
  if (purpose == RowPurpose::kUnused) return false;
  const DataRow& row = (*route.tabella_dati)[static_cast<std::size_t>(r)];
  if (purpose == RowPurpose::kStation) {
    return range.meets(std::min(row.valore1, row.valore3), std::max(row.valore2, row.valore3));
  }
  if (purpose == RowPurpose::kSignBoardText) {
    if (!route.celle) return true;
    for (std::size_t i = 0; i < route.celle->size(); ++i) {
      const TrackCell& cell = (*route.celle)[i];
      if (cell.tipo == cell_kind::kSignBoard && cell.dato1 == r &&
          range.has_cell(static_cast<std::int64_t>(i))) {
        return true;
      }
    }
    return false;
  }
  return true;
}

std::optional<std::int64_t> stop_cell(const DataRow& station) {
  if (station.classe >= 25) return std::nullopt;
  return round_to_index(station.valore2 / 50.0 - 1);
}

std::string clock_time(std::int64_t seconds) {
  const bool negative = seconds < 0;
  const std::int64_t s = negative ? -seconds : seconds;
  auto two = [](std::int64_t v) { return (v < 10 ? "0" : "") + std::to_string(v); };
  return (negative ? "-" : "") + std::to_string(s / 3600) + ":" + two(s / 60 % 60) + ":" +
         two(s % 60);
}

std::optional<std::array<double, 2>> plan_point(const Plan& pianta, std::size_t row) {
  switch (pianta.tag(row)) {
    case PlanTag::kInt16:
      return std::array<double, 2>{static_cast<double>(pianta.seeds()[2 * row]),
                                   static_cast<double>(pianta.seeds()[2 * row + 1])};
    case PlanTag::kDouble:
      return std::array<double, 2>{pianta.xs()[row - 2], pianta.ys()[row - 2]};
    default:
      return std::nullopt;
  }
}

namespace {

// The class of a step's curvature: 1 to 6, 0 for a curvature no class has, -1 for a straight
// step. The unnormalised steps make the measured curvature differ from its class only by
// rounding.
int curve_class_of(double kappa) {
  const double magnitude = std::fabs(kappa);
  if (magnitude < kCurveClasses[0] / 5) return -1;
  for (std::size_t c = 0; c < kCurveClasses.size(); ++c) {
    if (std::fabs(magnitude - kCurveClasses[c]) <= kCurveClasses[c] * 0.01) {
      return static_cast<int>(c) + 1;
    }
  }
  return 0;
}

}  // namespace

PlanSummary summarise_plan(const Plan& pianta, const RouteRange& range) {
  PlanSummary summary;
  summary.rows = pianta.size();
  if (pianta.empty()) return summary;
  const auto last_row = static_cast<std::int64_t>(pianta.size()) - 1;
  const std::int64_t first = std::max<std::int64_t>(range.first_metre, 0);
  const std::int64_t last = std::min(range.last_metre, last_row);
  if (first > last) return summary;
  summary.first_row = static_cast<std::size_t>(first);
  summary.last_row = static_cast<std::size_t>(last);

  std::optional<std::array<double, 2>> before;    // row r - 2
  std::optional<std::array<double, 2>> previous;  // row r - 1
  std::optional<Curve> curve;
  std::size_t curve_steps = 0;
  double curve_kappa = 0;
  auto close_curve = [&] {
    if (curve) {
      curve->kappa = curve_kappa / static_cast<double>(curve_steps);
      summary.curves.push_back(*curve);
    }
    curve.reset();
  };
  for (std::int64_t r = first; r <= last; ++r) {
    const auto row = static_cast<std::size_t>(r);
    switch (pianta.tag(row)) {
      case PlanTag::kInt16:
        ++summary.seeds;
        break;
      case PlanTag::kDouble:
        ++summary.computed;
        break;
      default:
        ++summary.empty;
        break;
    }
    const std::optional<std::array<double, 2>> point = plan_point(pianta, row);
    if (point) {
      const auto [x, y] = *point;
      if (!summary.has_points) {
        summary.min_x = summary.max_x = x;
        summary.min_y = summary.max_y = y;
        summary.has_points = true;
      }
      summary.min_x = std::min(summary.min_x, x);
      summary.max_x = std::max(summary.max_x, x);
      summary.min_y = std::min(summary.min_y, y);
      summary.max_y = std::max(summary.max_y, y);
    }
    int step_class = -1;
    double kappa = 0;
    if (point && previous) {
      const double dx = (*point)[0] - (*previous)[0];
      const double dy = (*point)[1] - (*previous)[1];
      summary.length += std::hypot(dx, dy);
      if (before) {
        const double px = (*previous)[0] - (*before)[0];
        const double py = (*previous)[1] - (*before)[1];
        const double cross = px * dy - py * dx;
        const double dot = px * dx + py * dy;
        const double angle = std::atan2(cross, dot) * 180 / std::numbers::pi;
        summary.net_turning += angle;
        summary.total_turning += std::fabs(angle);
        // A curved step is (dx + k dy, dy - k dx) after (dx, dy): k = -cross / dot.
        kappa = dot != 0 ? -cross / dot : 0;
        step_class = curve_class_of(kappa);
      }
    }
    const bool left = kappa < 0;
    if (curve && (step_class != curve->curve_class || left != curve->left)) close_curve();
    if (step_class >= 0) {
      if (!curve) {
        curve = Curve{r - 1, r, step_class, left, 0};
        curve_steps = 0;
        curve_kappa = 0;
      }
      curve->to_metre = r;
      ++curve_steps;
      curve_kappa += kappa;
    }
    before = previous;
    previous = point;
  }
  close_curve();
  return summary;
}

}  // namespace binario::authoring
