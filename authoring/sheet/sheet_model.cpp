#include "authoring/sheet/sheet_model.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "authoring/route/route_dump.h"
#include "authoring/route/route_names.h"
#include "authoring/route/route_view.h"
#include "authoring/text/text.h"
#include "reader/numbers.h"

namespace binario::authoring::sheet {

namespace {

// The line length: the data table's when it has one, else what the cells or the plan imply.
std::int64_t line_length_of(const CompiledRoute& route) {
  if (route.tabella_dati) {
    const std::int32_t length = (*route.tabella_dati)[data_row::kLineAndTrain].valore2;
    if (length >= 0 && length <= kMaxLineLength) return length;
  }
  if (route.celle && !route.celle->empty()) {
    return std::max<std::int64_t>(
        0, static_cast<std::int64_t>(route.celle->size() - 1) * kCellLength - kRunOut);
  }
  if (route.pianta && !route.pianta->empty()) {
    return std::max<std::int64_t>(0, static_cast<std::int64_t>(route.pianta->size()) - 1 - kRunOut);
  }
  return 0;
}

// The rows of the plan that hold points, while each fits a 32-bit count of centimetres.
void read_plan(Sheet& sheet, const Plan& pianta) {
  constexpr double kLimit = 2.0e7;  // metres; a route lies well within
  for (std::size_t r = 0; r < pianta.size(); ++r) {
    const std::optional<std::array<double, 2>> point = plan_point(pianta, r);
    if (!point) break;
    const auto [x, y] = *point;
    if (!(std::fabs(x) <= kLimit && std::fabs(y) <= kLimit)) {
      sheet.plan_note = "the plan is drawn to metre " + std::to_string(r - (r > 0 ? 1 : 0)) +
                        ": row " + std::to_string(r) + " holds a point that cannot be drawn";
      break;
    }
    const std::array<std::int32_t, 2> cm = {static_cast<std::int32_t>(round_half_even(x * 100)),
                                            static_cast<std::int32_t>(round_half_even(y * 100))};
    sheet.plan_cm.push_back(cm);
    sheet.plan.push_back({cm[0] / 100.0, cm[1] / 100.0});
  }
  // The compile step leaves the last two rows empty; fewer rows than that mean the reading
  // stopped.
  if (sheet.plan_note.empty() && !sheet.plan.empty() &&
      static_cast<std::int64_t>(sheet.plan.size()) < sheet.end - 1) {
    sheet.plan_note = "the plan holds points to metre " + std::to_string(sheet.plan.size() - 1);
  }
}

void read_profile(Sheet& sheet, const std::vector<TrackCell>& celle) {
  const RouteRange whole;
  std::int64_t rise = 0;
  for (const Run& run : runs(celle, RunField::kPendenza, whole)) {
    if (run.from_metre >= sheet.end) break;
    const std::int64_t to = std::min(run.to_metre, sheet.end);
    const int g = run.value == 0 ? 0 : static_cast<int>(run.value) - 100;
    const std::int64_t rise_to = rise + g * (to - run.from_metre);
    sheet.grades.push_back({run.from_metre, to, g, run.value == 0, rise, rise_to});
    rise = rise_to;
    sheet.rise_min = std::min(sheet.rise_min, rise);
    sheet.rise_max = std::max(sheet.rise_max, rise);
  }
  for (const Run& run : runs(celle, RunField::kVelocita, whole)) {
    if (run.from_metre >= sheet.end) break;
    sheet.speeds.push_back({run.from_metre, std::min(run.to_metre, sheet.end), 5 * run.value});
    sheet.speed_max = std::max(sheet.speed_max, 5 * static_cast<int>(run.value));
  }
}

void read_stations(Sheet& sheet, const std::array<DataRow, data_row::kCount>& table) {
  const auto purposes = row_purposes(table, sheet.celle);
  for (int r = 1; r <= data_row::kFirstSignBoard; ++r) {
    if (purposes[static_cast<std::size_t>(r)] != RowPurpose::kStation) continue;
    const DataRow& row = table[static_cast<std::size_t>(r)];
    sheet.stations.push_back({r, shown(row.testo), row.valore3, row.valore1, row.valore2,
                              row.classe < 25, clock_time(row.valore4), stop_cell(row)});
  }
}

void place(Object& object) {
  namespace k = cell_kind;
  object.lane = Lane::kNone;
  object.on_plan = false;
  switch (object.tipo) {
    case k::kNone:
    case k::kSlowdownApproach:
    case k::kSceneryMark:
      return;
    case k::kSignal:
      object.lane = Lane::kSignals;
      object.on_plan = true;
      object.css = "signal";
      return;
    case k::kSlowdownStart:
      object.lane = Lane::kSlowdowns;
      object.css = "slowdown-start";
      return;
    case k::kSlowdownEnd:
      object.lane = Lane::kSlowdowns;
      object.css = "slowdown-end";
      return;
    case k::kSlowdownWarning:
      object.lane = Lane::kSlowdowns;
      object.on_plan = true;
      object.css = "slowdown-warning";
      return;
    case k::kSpeedBoards:
      object.lane = Lane::kBoards;
      object.on_plan = true;
      object.css = "speed-boards";
      return;
    case k::kSignBoard:
      object.lane = Lane::kBoards;
      object.on_plan = true;
      object.css = "sign-board";
      return;
    case k::kStationStop:
      object.lane = Lane::kStations;
      object.css = "stop";
      return;
    case k::kSpeedCheck:
    case k::kSpeedCheckWithoutValue:
      object.lane = Lane::kChecks;
      object.css = "check";
      return;
    default:
      object.lane = Lane::kChecks;
      object.css = "unknown";
      return;
  }
}

void read_objects(Sheet& sheet, const std::vector<TrackCell>& celle, const CellNotes& notes) {
  for (std::size_t i = 0; i < celle.size(); ++i) {
    const auto index = static_cast<std::int64_t>(i);
    const TrackCell& cell = celle[i];
    const auto note = notes.find(index);
    if (!holds_something(cell) && note == notes.end()) continue;
    Object object;
    object.cell = index;
    object.metre = point_metre(index);
    object.tipo = cell.tipo;
    place(object);
    object.heading = cell_heading(index, cell);
    for (const CellFieldShown& field : cell_fields_shown(celle, index, sheet.table)) {
      std::string line = std::string(field.field) + " " + std::to_string(field.value) + ": " +
                         std::string(field.meaning);
      if (!field.words.empty()) line += ": " + field.words;
      object.lines.push_back(as_utf8(line));
    }
    if (note != notes.end()) {
      for (const std::string& line : note->second) object.lines.push_back(as_utf8(line));
    }
    if (cell.tipo == cell_kind::kSignBoard && sheet.table && cell.dato1 >= 0 &&
        cell.dato1 < data_row::kCount) {
      object.label = shown((*sheet.table)[static_cast<std::size_t>(cell.dato1)].testo);
    } else if (cell.tipo == cell_kind::kSpeedCheck) {
      object.label = std::to_string(cell.dato1);
    } else if (cell.tipo == cell_kind::kSlowdownWarning) {
      object.label = std::to_string(cell.dato1);
    }
    sheet.objects.push_back(std::move(object));
  }
  // Each slowdown runs from its start to the next end.
  std::optional<const Object*> start;
  for (const Object& object : sheet.objects) {
    if (object.tipo == cell_kind::kSlowdownStart) start = &object;
    if (object.tipo == cell_kind::kSlowdownEnd && start) {
      const TrackCell& cell = celle[static_cast<std::size_t>((*start)->cell)];
      sheet.slowdowns.push_back(
          {(*start)->metre, object.metre, "slowdown " + std::to_string(cell.dato1)});
      start.reset();
    }
  }
}

void read_problems(Sheet& sheet, const std::vector<SheetProblem>& problems) {
  std::map<std::int64_t, ProblemMark> marks;
  for (const SheetProblem& problem : problems) {
    sheet.problems.push_back(problem);
    if (!problem.position_m) continue;
    const std::int64_t metre = std::clamp<std::int64_t>(*problem.position_m, 0, sheet.end);
    ProblemMark& mark = marks[metre];
    mark.metre = metre;
    mark.error = mark.error || problem.severity == Severity::kError;
    mark.texts.push_back(problem.text);
  }
  for (auto& [metre, mark] : marks) sheet.marks.push_back(std::move(mark));
}

}  // namespace

Sheet read_sheet(const SheetInput& input) {
  Sheet sheet;
  sheet.title = as_utf8(input.title);
  sheet.origin = as_utf8(input.origin);
  sheet.checked = input.checked;
  const CompiledRoute& route = *input.route;
  sheet.line_length = line_length_of(route);
  sheet.end = sheet.line_length + kRunOut;
  if (route.celle && !route.celle->empty()) sheet.celle = &*route.celle;
  if (route.tabella_dati) sheet.table = &*route.tabella_dati;
  if (route.pianta) read_plan(sheet, *route.pianta);
  if (sheet.celle) {
    read_profile(sheet, *sheet.celle);
    read_objects(sheet, *sheet.celle, input.notes);
  }
  if (sheet.table) read_stations(sheet, *sheet.table);
  read_problems(sheet, input.problems);
  return sheet;
}

}  // namespace binario::authoring::sheet
