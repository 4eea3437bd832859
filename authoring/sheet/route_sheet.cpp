#include "authoring/sheet/route_sheet.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <map>
#include <utility>

#include "authoring/diagnostics/render.h"
#include "authoring/route/route_dump.h"
#include "authoring/route/route_names.h"
#include "authoring/sheet/assets.h"
#include "authoring/text/text.h"
#include "compiler/route_files.h"
#include "reader/numbers.h"

namespace binario::authoring {

// ---------------------------------------------------------------------------------------------
// The parts

std::vector<std::size_t> thin_polyline(const std::vector<PlanPoint>& points, double tolerance) {
  const std::size_t n = points.size();
  std::vector<std::size_t> kept;
  if (n <= 2) {
    for (std::size_t i = 0; i < n; ++i) kept.push_back(i);
    return kept;
  }
  // First the points closer than half the tolerance to the last one kept go: no pixel needs
  // them, and what is left for the second pass is about as many points as the line is long in
  // pixels. Each of them stays within half the tolerance of a point that the second pass sees.
  const double half = tolerance / 2;
  std::vector<std::size_t> near;
  near.push_back(0);
  for (std::size_t i = 1; i + 1 < n; ++i) {
    const PlanPoint& last = points[near.back()];
    const double dx = points[i].x - last.x;
    const double dy = points[i].y - last.y;
    if (dx * dx + dy * dy >= half * half) near.push_back(i);
  }
  near.push_back(n - 1);

  // Then Douglas-Peucker with the other half, without recursion: a long line must not run out
  // of stack.
  auto distance2 = [&](const PlanPoint& p, const PlanPoint& a, const PlanPoint& b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double ex = a.x + t * dx - p.x;
    const double ey = a.y + t * dy - p.y;
    return ex * ex + ey * ey;
  };
  const std::size_t m = near.size();
  std::vector<char> keep(m, 0);
  keep[0] = keep[m - 1] = 1;
  std::vector<std::pair<std::size_t, std::size_t>> stack = {{0, m - 1}};
  const double limit = half * half;
  while (!stack.empty()) {
    const auto [a, b] = stack.back();
    stack.pop_back();
    if (b <= a + 1) continue;
    double worst = -1;
    std::size_t at = a;
    for (std::size_t i = a + 1; i < b; ++i) {
      const double d = distance2(points[near[i]], points[near[a]], points[near[b]]);
      if (d > worst) {
        worst = d;
        at = i;
      }
    }
    if (worst > limit) {
      keep[at] = 1;
      stack.emplace_back(a, at);
      stack.emplace_back(at, b);
    }
  }
  for (std::size_t i = 0; i < m; ++i) {
    if (keep[i]) kept.push_back(near[i]);
  }
  return kept;
}

std::string encode_plan_centimetres(const std::vector<std::array<std::int32_t, 2>>& rows) {
  std::string out;
  out.reserve(2 * rows.size() + 16);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < 2; ++c) {
      const std::int32_t value = rows[r][c];
      if (r >= 2) {
        const std::int64_t guess = 2 * std::int64_t{rows[r - 1][c]} - rows[r - 2][c];
        const std::int64_t d = value - guess;
        if (d >= -127 && d <= 127) {
          out += static_cast<char>(static_cast<std::uint8_t>(d & 0xFF));
          continue;
        }
      }
      out += static_cast<char>(kPlanWhole);
      const auto u = static_cast<std::uint32_t>(value);
      for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((u >> shift) & 0xFF);
    }
  }
  return out;
}

std::string chainage(std::int64_t metre) {
  const bool negative = metre < 0;
  const std::int64_t m = negative ? -metre : metre;
  const std::string rest = std::to_string(1000 + m % 1000).substr(1);
  return std::string("km ") + (negative ? "-" : "") + std::to_string(m / 1000) + "+" + rest;
}

int gradient_per_mille(const TrackCell& cell) {
  return cell.pendenza == 0 ? 0 : static_cast<int>(cell.pendenza) - 100;
}

std::int64_t elevation_mm(const std::vector<TrackCell>& celle, std::int64_t metre) {
  const auto n = static_cast<std::int64_t>(celle.size());
  const std::int64_t m = std::max<std::int64_t>(metre, 0);
  const std::int64_t cell = m / kCellLength;
  std::int64_t mm = 0;
  for (std::int64_t k = 0; k < std::min(cell, n); ++k) {
    mm += std::int64_t{kCellLength} * gradient_per_mille(celle[static_cast<std::size_t>(k)]);
  }
  if (cell < n) {
    mm += (m - cell * kCellLength) * gradient_per_mille(celle[static_cast<std::size_t>(cell)]);
  }
  return mm;
}

std::string base64(std::string_view bytes) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const std::uint32_t v = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << 16 |
                            static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + 1]))
                                << 8 |
                            static_cast<unsigned char>(bytes[i + 2]);
    out += kDigits[v >> 18];
    out += kDigits[(v >> 12) & 63];
    out += kDigits[(v >> 6) & 63];
    out += kDigits[v & 63];
  }
  const std::size_t rest = bytes.size() - i;
  if (rest > 0) {
    std::uint32_t v = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << 16;
    if (rest == 2) v |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8;
    out += kDigits[v >> 18];
    out += kDigits[(v >> 12) & 63];
    out += rest == 2 ? kDigits[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

std::string json_quoted(std::string_view utf8) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    switch (c) {
      case '"':
        out += "\\\"";
        continue;
      case '\\':
        out += "\\\\";
        continue;
      case '\n':
        out += "\\n";
        continue;
      case '\t':
        out += "\\t";
        continue;
      default:
        break;
    }
    if (c < 0x20 || c == '<' || c == '>' || c == '&') {
      out += "\\u00";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else if (c == 0xE2 && i + 2 < utf8.size() &&
               static_cast<unsigned char>(utf8[i + 1]) == 0x80 &&
               (static_cast<unsigned char>(utf8[i + 2]) & 0xFE) == 0xA8) {
      // U+2028 and U+2029 end a line in older script parsers.
      out += static_cast<unsigned char>(utf8[i + 2]) == 0xA8 ? "\\u2028" : "\\u2029";
      i += 2;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string xml_escaped(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (char ch : utf8) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
          out += "\xEF\xBF\xBD";  // U+FFFD: XML has no place for the other control characters
        } else {
          out += ch;
        }
    }
  }
  return out;
}

std::vector<SheetProblem> sheet_problems(const Diagnosis& diagnosis, const SourceText& line,
                                         const SourceText& train) {
  std::vector<SheetProblem> problems;
  for (const Diagnostic& d : diagnosis.diagnostics) {
    if (d.severity == Severity::kNote) continue;
    const std::string rendered = render({d}, line, train);
    problems.push_back(
        {d.severity, as_utf8(rendered.substr(0, rendered.find('\n'))), d.position_m});
  }
  return problems;
}

// ---------------------------------------------------------------------------------------------
// What the sheet draws, in route terms

namespace {

struct Station {
  int row;
  std::string name;
  std::int64_t position;
  std::int64_t from;
  std::int64_t to;
  bool stops;
  std::string time;
  std::optional<std::int64_t> stop_cell;
};

// Where an object is drawn: its lane on the profile, and whether the plan shows it.
enum class Lane { kStations, kSignals, kSlowdowns, kBoards, kChecks, kProblems, kNone };
constexpr std::array<const char*, 6> kLaneTitles = {"stations", "signals",      "slowdowns",
                                                    "boards",   "speed checks", "problems"};

struct Object {
  std::int64_t cell;
  std::int64_t metre;
  std::uint8_t tipo;
  Lane lane;
  bool on_plan;
  std::string css;    // its class: "signal", "sign-board", ...
  std::string label;  // a sign board's text, a check point's value
  std::string heading;
  std::vector<std::string> lines;
};

struct Slowdown {
  std::int64_t from;
  std::int64_t to;
  std::string label;
};

struct ProblemMark {
  std::int64_t metre;
  bool error;
  std::vector<std::string> texts;
};

// A run of one gradient, with the elevation at its ends (millimetres).
struct GradeRun {
  std::int64_t from;
  std::int64_t to;
  int gradient;
  bool none;
  std::int64_t rise_from;
  std::int64_t rise_to;
};

struct SpeedRun {
  std::int64_t from;
  std::int64_t to;
  int kmh;
};

struct Sheet {
  std::string title;
  std::string origin;
  std::int64_t line_length = 0;  // the line, metres
  std::int64_t end = 0;          // the line and its run-out, metres: the last plan row
  const std::vector<TrackCell>* celle = nullptr;
  const std::array<DataRow, data_row::kCount>* table = nullptr;
  // The plan rows that can be drawn, from row 0, to the centimetre (as the page gets them).
  std::vector<std::array<std::int32_t, 2>> plan_cm;
  std::vector<PlanPoint> plan;
  std::string plan_note;  // why the plan is shorter than the route, if it is
  std::vector<GradeRun> grades;
  std::vector<SpeedRun> speeds;
  std::int64_t rise_min = 0;
  std::int64_t rise_max = 0;
  int speed_max = 0;
  std::vector<Station> stations;
  std::vector<Object> objects;  // every cell that holds something or has a note
  std::vector<Slowdown> slowdowns;
  std::vector<ProblemMark> marks;
  std::vector<SheetProblem> problems;
  bool checked = false;
};

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

// ---------------------------------------------------------------------------------------------
// The layout, in the drawing's own units (pixels at its natural width). The page's script
// reads these numbers from the embedded data: they are set here only.

struct Box {
  double x, y, w, h;
};
constexpr double kWidth = 1200;
constexpr Box kPlanBox = {10, 54, 1180, 460};
constexpr double kPlanPad = 30;
constexpr Box kProfileBox = {78, 556, 1044, 200};
constexpr double kLaneTop = 768;
constexpr double kLaneHeight = 18;
constexpr double kAxisY = kLaneTop + 6 * kLaneHeight + 4;
constexpr double kHeight = kAxisY + 78;
constexpr double kPlanTolerance = 0.5;  // pixels
constexpr double kLabelCharWidth = 6.2;
constexpr double kLabelHeight = 12;

// A number for the drawing: one decimal, no "-0", no ".0".
std::string px(double value) {
  if (!std::isfinite(value)) return "0";
  const auto tenths = static_cast<std::int64_t>(round_half_even(value * 10));
  const std::int64_t whole = std::llabs(tenths) / 10;
  const std::int64_t tenth = std::llabs(tenths) % 10;
  std::string text = (tenths < 0 ? "-" : "") + std::to_string(whole);
  if (tenth != 0) text += "." + std::to_string(tenth);
  return text;
}

// A number as the fewest digits that read back as it, the same on every platform.
std::string shortest(double value) {
  if (!std::isfinite(value)) return "0";
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

// Millimetres as metres, exactly: "12.345", "-0.05".
std::string mm_as_m(std::int64_t mm) {
  const std::int64_t magnitude = std::llabs(mm);
  std::string text = (mm < 0 ? "-" : "") + std::to_string(magnitude / 1000);
  std::string rest = std::to_string(1000 + magnitude % 1000).substr(1);
  while (!rest.empty() && rest.back() == '0') rest.pop_back();
  if (!rest.empty()) text += "." + rest;
  return text;
}

// The plan's fit into its box: the bounding box of rows first..last, centred, one scale.
struct PlanFit {
  double scale = 1;
  double mid_x = 0;
  double mid_y = 0;
  double x(const PlanPoint& p) const { return kPlanBox.x + kPlanBox.w / 2 + (p.x - mid_x) * scale; }
  double y(const PlanPoint& p) const { return kPlanBox.y + kPlanBox.h / 2 - (p.y - mid_y) * scale; }
};

PlanFit fit_plan(const std::vector<PlanPoint>& plan) {
  PlanFit fit;
  if (plan.empty()) return fit;
  double min_x = plan[0].x, max_x = plan[0].x, min_y = plan[0].y, max_y = plan[0].y;
  for (const PlanPoint& p : plan) {
    min_x = std::min(min_x, p.x);
    max_x = std::max(max_x, p.x);
    min_y = std::min(min_y, p.y);
    max_y = std::max(max_y, p.y);
  }
  fit.scale = std::min((kPlanBox.w - 2 * kPlanPad) / std::max(max_x - min_x, 1.0),
                       (kPlanBox.h - 2 * kPlanPad) / std::max(max_y - min_y, 1.0));
  fit.mid_x = (min_x + max_x) / 2;
  fit.mid_y = (min_y + max_y) / 2;
  return fit;
}

// The profile's scales for the whole route: metres along, elevation and speed up.
struct ProfileFit {
  double metres_from = 0;
  double metres_to = 1;
  double rise_low = -1;   // metres, the box's bottom
  double rise_high = 1;   // metres, the box's top
  double speed_high = 1;  // km/h, the box's top
  double x(double metre) const {
    return kProfileBox.x + (metre - metres_from) * kProfileBox.w / (metres_to - metres_from);
  }
  double scale_x() const { return kProfileBox.w / (metres_to - metres_from); }
  double scale_rise() const { return kProfileBox.h / (rise_high - rise_low); }
};

// The vertical range for elevations low..high (metres): a margin of 8 % above and below, and at
// least 2 m.
std::pair<double, double> rise_range(double low, double high) {
  double span = high - low;
  if (span < 2) {
    const double mid = (low + high) / 2;
    low = mid - 1;
    high = mid + 1;
    span = 2;
  }
  return {low - span * 0.08, high + span * 0.08};
}

ProfileFit fit_profile(const Sheet& sheet) {
  ProfileFit fit;
  fit.metres_to = static_cast<double>(std::max<std::int64_t>(sheet.end, 1));
  const auto [low, high] = rise_range(sheet.rise_min / 1000.0, sheet.rise_max / 1000.0);
  fit.rise_low = low;
  fit.rise_high = high;
  fit.speed_high = std::max(10.0, sheet.speed_max * 1.15);
  return fit;
}

// A step between chainage ticks that leaves at least `least_px` between them.
std::int64_t tick_step(double metres_per_px, double least_px) {
  static constexpr std::int64_t kSteps[] = {10,     20,     50,     100,    200,   500,
                                            1000,   2000,   5000,   10000,  20000, 50000,
                                            100000, 200000, 500000, 1000000};
  for (std::int64_t step : kSteps) {
    if (static_cast<double>(step) / metres_per_px >= least_px) return step;
  }
  return 1000000;
}

// The colour of a gradient, per mille: blue down, grey level, red up.
std::string gradient_colour(int g, bool none) {
  if (none) return "#d9d9d9";
  struct Stop {
    double at;
    int r, g, b;
  };
  static constexpr Stop kStops[] = {{-25, 0x21, 0x66, 0xac}, {-12, 0x67, 0xa9, 0xcf},
                                    {-4, 0xd1, 0xe5, 0xf0},  {0, 0xee, 0xee, 0xee},
                                    {4, 0xfd, 0xdb, 0xc7},   {12, 0xef, 0x8a, 0x62},
                                    {25, 0xb2, 0x18, 0x2b}};
  const double v = std::clamp(static_cast<double>(g), -25.0, 25.0);
  std::size_t i = 0;
  while (i + 2 < std::size(kStops) && v > kStops[i + 1].at) ++i;
  const Stop& a = kStops[i];
  const Stop& b = kStops[i + 1];
  const double t = (v - a.at) / (b.at - a.at);
  auto channel = [&](int from, int to) {
    return static_cast<int>(round_half_even(from + (to - from) * t));
  };
  static constexpr char kHex[] = "0123456789abcdef";
  std::string colour = "#";
  for (int c : {channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)}) {
    colour += kHex[c >> 4];
    colour += kHex[c & 15];
  }
  return colour;
}

std::string signed_per_mille(int g, bool none) {
  if (none) return "none";
  return (g > 0 ? "+" : "") + std::to_string(g) + " \xE2\x80\xB0";
}

double lane_centre(Lane lane) {
  return kLaneTop + static_cast<int>(lane) * kLaneHeight + kLaneHeight / 2;
}

// The width of a label in characters: UTF-8 bytes that begin one.
double characters(const std::string& utf8) {
  return static_cast<double>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

// Station labels beside their markers on the plan, leaving out those that would cover another.
struct LabelBox {
  double x0, y0, x1, y1;
  bool meets(const LabelBox& o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
};
constexpr LabelBox marker_box(double x, double y) { return {x - 5, y - 5, x + 5, y + 5}; }
constexpr LabelBox flag_box(double x, double y) { return {x - 2, y - 30, x + 36, y}; }

// ---------------------------------------------------------------------------------------------
// The drawings

class Drawing {
 public:
  Drawing(const Sheet& sheet, bool page)
      : sheet_(sheet), page_(page), plan_(fit_plan(sheet.plan)), profile_(fit_profile(sheet)) {}

  std::string svg() {
    out_ += "<svg xmlns=\"http://www.w3.org/2000/svg\" id=\"route-sheet\" viewBox=\"0 0 " +
            px(kWidth) + " " + px(kHeight) + "\" width=\"" + px(kWidth) + "\" height=\"" +
            px(kHeight) + "\" font-family=\"DejaVu Sans, Verdana, Arial, sans-serif\">\n";
    out_ += "<style>\n";
    out_ += sheet_drawing_style();
    out_ += "</style>\n";
    defs();
    header();
    plan();
    profile();
    lanes();
    axis();
    legend();
    if (page_) cursor();
    out_ += "</svg>\n";
    return std::move(out_);
  }

 private:
  void add(const std::string& text) { out_ += text; }

  void defs() {
    add("<defs><clipPath id=\"plan-clip\"><rect x=\"" + px(kPlanBox.x) + "\" y=\"" +
        px(kPlanBox.y) + "\" width=\"" + px(kPlanBox.w) + "\" height=\"" + px(kPlanBox.h) +
        "\"/></clipPath><clipPath id=\"profile-clip\"><rect x=\"" + px(kProfileBox.x) + "\" y=\"" +
        px(kProfileBox.y) + "\" width=\"" + px(kProfileBox.w) + "\" height=\"" + px(kProfileBox.h) +
        "\"/></clipPath><clipPath id=\"lanes-clip\"><rect x=\"" + px(kProfileBox.x) + "\" y=\"" +
        px(kLaneTop) + "\" width=\"" + px(kProfileBox.w) + "\" height=\"" + px(kAxisY - kLaneTop) +
        "\"/></clipPath></defs>\n");
  }

  void header() {
    add("<text class=\"title\" x=\"10\" y=\"22\">" + xml_escaped(sheet_.title) + "</text>\n");
    std::string about = "line " + std::to_string(sheet_.line_length) + " m (" +
                        chainage(sheet_.line_length) + "), and " + std::to_string(kRunOut) +
                        " m of run-out";
    if (!sheet_.origin.empty()) about += "; from " + sheet_.origin;
    add("<text class=\"about\" x=\"10\" y=\"40\">" + xml_escaped(about) + "</text>\n");
  }

  // A marker group at a point of the drawing.
  void marker_open(const std::string& css, std::int64_t metre, double x, double y,
                   const std::string& more = "") {
    add("<g class=\"mk " + css + "\" data-m=\"" + std::to_string(metre) + "\"" + more +
        " transform=\"translate(" + px(x) + " " + px(y) + ")\">");
  }

  // The shape of an object's marker, drawn around (0, 0).
  static std::string shape(const std::string& css) {
    if (css == "signal") return "<path d=\"M0 5V-5M-3 -5H3\"/><circle cy=\"-5\" r=\"2.5\"/>";
    if (css == "sign-board") return "<rect x=\"-3\" y=\"-3\" width=\"6\" height=\"6\"/>";
    if (css == "speed-boards") return "<path d=\"M0 -4L4 0L0 4L-4 0Z\"/>";
    if (css == "slowdown-warning") return "<path d=\"M0 -5L5 4H-5Z\"/>";
    if (css == "slowdown-start" || css == "slowdown-end") return "<path d=\"M0 -6V6\"/>";
    if (css == "stop") return "<path d=\"M-3 -3L3 3M3 -3L-3 3\"/>";
    if (css == "check") return "<path d=\"M0 -4V4M-3 0H3\"/>";
    return "<circle r=\"3\"/>";
  }

  std::optional<PlanPoint> plan_at(std::int64_t metre) const {
    if (metre < 0 || metre >= static_cast<std::int64_t>(sheet_.plan.size())) return std::nullopt;
    return sheet_.plan[static_cast<std::size_t>(metre)];
  }

  // The plan rows first..last (clipped to the plan) as a thinned path in the box's pixels.
  std::string plan_path(std::int64_t first, std::int64_t last) const {
    last = std::min(last, static_cast<std::int64_t>(sheet_.plan.size()) - 1);
    if (first >= last) return "";
    std::vector<PlanPoint> points;
    points.reserve(static_cast<std::size_t>(last - first + 1));
    for (std::int64_t r = first; r <= last; ++r) {
      const PlanPoint& p = sheet_.plan[static_cast<std::size_t>(r)];
      points.push_back({plan_.x(p), plan_.y(p)});
    }
    std::string d;
    char command = 'M';
    for (std::size_t i : thin_polyline(points, kPlanTolerance)) {
      d += command + px(points[i].x) + " " + px(points[i].y);
      command = 'L';
    }
    return d;
  }

  void plan() {
    add("<g id=\"plan\" data-scale=\"" + shortest(plan_.scale) + "\">\n");
    add("<rect class=\"panel\" x=\"" + px(kPlanBox.x) + "\" y=\"" + px(kPlanBox.y) + "\" width=\"" +
        px(kPlanBox.w) + "\" height=\"" + px(kPlanBox.h) + "\"/>\n");
    add("<text class=\"panel-title\" x=\"" + px(kPlanBox.x + 8) + "\" y=\"" + px(kPlanBox.y + 16) +
        "\">plan (x to the right, y up)</text>\n");
    if (sheet_.plan.empty()) {
      add("<text class=\"empty\" x=\"" + px(kPlanBox.x + kPlanBox.w / 2) + "\" y=\"" +
          px(kPlanBox.y + kPlanBox.h / 2) +
          "\">no plan: the route has no line plan file, or it holds no point</text>\n</g>\n");
      return;
    }
    if (!sheet_.plan_note.empty()) {
      add("<text class=\"note\" x=\"" + px(kPlanBox.x + 8) + "\" y=\"" + px(kPlanBox.y + 32) +
          "\">" + xml_escaped(sheet_.plan_note) + "</text>\n");
    }
    add("<g clip-path=\"url(#plan-clip)\">\n");
    add("<path id=\"plan-track\" class=\"track\" d=\"" + plan_path(0, sheet_.line_length) +
        "\"/>\n");
    add("<path id=\"plan-runout\" class=\"track runout\" d=\"" +
        plan_path(sheet_.line_length, sheet_.end) + "\"/>\n");
    add("<path id=\"plan-view\" class=\"track view\" d=\"\"/>\n");
    scale_bar();

    add("<g id=\"plan-objects\">\n");
    for (const Object& object : sheet_.objects) {
      if (!object.on_plan) continue;
      const std::optional<PlanPoint> at = plan_at(object.metre);
      if (!at) continue;
      marker_open(object.css, object.metre, plan_.x(*at), plan_.y(*at),
                  " data-cell=\"" + std::to_string(object.cell) + "\"");
      add(shape(object.css) + "</g>\n");
    }
    add("</g>\n<g id=\"plan-problems\">\n");
    for (const ProblemMark& mark : sheet_.marks) {
      const std::optional<PlanPoint> at = plan_at(mark.metre);
      if (!at) continue;
      marker_open(std::string("problem ") + (mark.error ? "error" : "warning"), mark.metre,
                  plan_.x(*at), plan_.y(*at));
      add("<path d=\"M0 -6L6 0L0 6L-6 0Z\"/></g>\n");
    }
    add("</g>\n<g id=\"plan-stations\">\n");
    // The markers of the stations and the flags at the ends are there first.
    std::vector<LabelBox> taken;
    for (const Station& station : sheet_.stations) {
      if (const std::optional<PlanPoint> at = plan_at(station.position)) {
        taken.push_back(marker_box(plan_.x(*at), plan_.y(*at)));
      }
    }
    for (std::int64_t metre : {std::int64_t{0}, sheet_.line_length}) {
      if (const std::optional<PlanPoint> at = plan_at(metre)) {
        taken.push_back(flag_box(plan_.x(*at), plan_.y(*at)));
      }
    }
    for (const Station& station : sheet_.stations) {
      const std::optional<PlanPoint> at = plan_at(station.position);
      if (!at) continue;
      const double x = plan_.x(*at);
      const double y = plan_.y(*at);
      // Labels to the right, else to the left, else left out (the name stays on hover).
      const double width = kLabelCharWidth * characters(station.name) + 4;
      const LabelBox right = {x + 7, y - kLabelHeight / 2, x + 7 + width, y + kLabelHeight / 2};
      const LabelBox left = {x - 7 - width, right.y0, x - 7, right.y1};
      const char* side = "crowded";
      for (const auto& choice : {std::pair{right, "right"}, std::pair{left, "left"}}) {
        const LabelBox& box = choice.first;
        if (std::none_of(taken.begin(), taken.end(),
                         [&](const LabelBox& t) { return t.meets(box); })) {
          taken.push_back(box);
          side = choice.second;
          break;
        }
      }
      marker_open(std::string("station ") + (station.stops ? "stops" : "passes"), station.position,
                  x, y,
                  " data-row=\"" + std::to_string(station.row) + "\" data-name=\"" +
                      xml_escaped(station.name) + "\"");
      add("<circle r=\"4.5\"/><text class=\"label " + std::string(side) + "\" x=\"" +
          (std::string(side) == "left" ? "-7" : "7") + "\" y=\"4\">" + xml_escaped(station.name) +
          "</text></g>\n");
    }
    add("</g>\n");
    ends();
    add("</g>\n</g>\n");
  }

  void ends() {
    add("<g id=\"plan-ends\">\n");
    for (const auto& [metre, name] :
         {std::pair{std::int64_t{0}, "start"}, std::pair{sheet_.line_length, "end"}}) {
      const std::optional<PlanPoint> at = plan_at(metre);
      if (!at) continue;
      marker_open(std::string("end-mark ") + name, metre, plan_.x(*at), plan_.y(*at));
      add("<path d=\"M0 0V-16H11L8 -13L11 -10H0\"/><text x=\"3\" y=\"-19\">" + std::string(name) +
          "</text></g>\n");
    }
    add("</g>\n");
  }

  void scale_bar() {
    // A bar of a round length, 60 to 150 pixels long, in the box's lower left corner.
    const double metres_per_px = 1 / plan_.scale;
    std::int64_t length = tick_step(metres_per_px, 60);
    const double width = static_cast<double>(length) * plan_.scale;
    const double x = kPlanBox.x + 12;
    const double y = kPlanBox.y + kPlanBox.h - 14;
    add("<g id=\"scale-bar\"><path d=\"M" + px(x) + " " + px(y - 4) + "V" + px(y) + "H" +
        px(x + width) + "V" + px(y - 4) + "\"/><text x=\"" + px(x) + "\" y=\"" + px(y - 7) + "\">" +
        (length >= 1000 ? std::to_string(length / 1000) + " km" : std::to_string(length) + " m") +
        "</text></g>\n");
  }

  // The profile group's transform: metres and metres of elevation to pixels.
  std::string rise_transform() const {
    const double sx = profile_.scale_x();
    const double sy = profile_.scale_rise();
    return "matrix(" + shortest(sx) + " 0 0 " + shortest(-sy) + " " +
           shortest(kProfileBox.x - profile_.metres_from * sx) + " " +
           shortest(kProfileBox.y + kProfileBox.h + profile_.rise_low * sy) + ")";
  }
  std::string speed_transform() const {
    const double sx = profile_.scale_x();
    const double sy = kProfileBox.h / profile_.speed_high;
    return "matrix(" + shortest(sx) + " 0 0 " + shortest(-sy) + " " +
           shortest(kProfileBox.x - profile_.metres_from * sx) + " " +
           shortest(kProfileBox.y + kProfileBox.h) + ")";
  }
  std::string along_transform() const {
    const double sx = profile_.scale_x();
    return "matrix(" + shortest(sx) + " 0 0 1 " +
           shortest(kProfileBox.x - profile_.metres_from * sx) + " 0)";
  }

  // The elevation line over metres from..to, from the runs of gradient.
  std::string rise_line(std::int64_t from, std::int64_t to) const {
    std::string d;
    char command = 'M';
    for (const GradeRun& run : sheet_.grades) {
      if (run.to < from || run.from > to) continue;
      const std::int64_t a = std::max(run.from, from);
      const std::int64_t b = std::min(run.to, to);
      if (command == 'M') {
        d += "M" + std::to_string(a) + " " + mm_as_m(run.rise_from + run.gradient * (a - run.from));
        command = 'L';
      }
      d += "L" + std::to_string(b) + " " + mm_as_m(run.rise_from + run.gradient * (b - run.from));
    }
    return d;
  }

  void profile() {
    add("<g id=\"profile\" data-from=\"0\" data-to=\"" + std::to_string(sheet_.line_length) +
        "\" data-end=\"" + std::to_string(sheet_.end) + "\">\n");
    add("<rect class=\"panel\" x=\"" + px(kProfileBox.x) + "\" y=\"" + px(kProfileBox.y) +
        "\" width=\"" + px(kProfileBox.w) + "\" height=\"" + px(kProfileBox.h) + "\"/>\n");
    add("<text class=\"panel-title\" x=\"" + px(kProfileBox.x + 24) + "\" y=\"" +
        px(kProfileBox.y - 6) +
        "\">elevation in metres relative to the start, built from the gradients (per mille); "
        "line speed in km/h</text>\n");
    if (!sheet_.celle) {
      add("<text class=\"empty\" x=\"" + px(kProfileBox.x + kProfileBox.w / 2) + "\" y=\"" +
          px(kProfileBox.y + kProfileBox.h / 2) +
          "\">no profile: the route has no track file</text>\n</g>\n");
      return;
    }
    add("<g clip-path=\"url(#profile-clip)\">\n");
    // The run-out, past the end of the line.
    add("<g id=\"profile-along\" transform=\"" + along_transform() + "\">");
    add("<rect class=\"runout-shade\" x=\"" + std::to_string(sheet_.line_length) + "\" y=\"" +
        px(kProfileBox.y) + "\" width=\"" + std::to_string(sheet_.end - sheet_.line_length) +
        "\" height=\"" + px(kProfileBox.h) + "\"/>");
    for (const Station& station : sheet_.stations) {
      add("<line class=\"station-line\" x1=\"" + std::to_string(station.position) + "\" x2=\"" +
          std::to_string(station.position) + "\" y1=\"" + px(kProfileBox.y) + "\" y2=\"" +
          px(kProfileBox.y + kProfileBox.h) + "\"/>");
    }
    add("</g>\n");

    // Under the line, one filled shape per gradient, coloured by it.
    add("<g id=\"profile-rise\" transform=\"" + rise_transform() + "\">\n");
    const double floor_m =
        sheet_.rise_min / 1000.0 - (sheet_.rise_max - sheet_.rise_min) / 1000.0 - 50;
    std::map<std::pair<int, bool>, std::string> fills;
    for (const GradeRun& run : sheet_.grades) {
      std::string& d = fills[{run.gradient, run.none}];
      d += "M" + std::to_string(run.from) + " " + px(floor_m) + "V" + mm_as_m(run.rise_from) + "L" +
           std::to_string(run.to) + " " + mm_as_m(run.rise_to) + "V" + px(floor_m) + "Z";
    }
    for (const auto& [key, d] : fills) {
      add("<path class=\"grade\" data-gradient=\"" + signed_per_mille(key.first, key.second) +
          "\" fill=\"" + gradient_colour(key.first, key.second) + "\" d=\"" + d + "\"/>\n");
    }
    add("<path id=\"profile-line\" class=\"rise\" d=\"" + rise_line(0, sheet_.line_length) +
        "\"/>\n");
    add("<path id=\"profile-runout\" class=\"rise runout\" d=\"" +
        rise_line(sheet_.line_length, sheet_.end) + "\"/>\n");
    add("</g>\n");

    add("<g id=\"profile-speed\" transform=\"" + speed_transform() +
        "\"><path class=\"speed\" d=\"");
    for (std::size_t i = 0; i < sheet_.speeds.size(); ++i) {
      const SpeedRun& run = sheet_.speeds[i];
      add((i == 0 ? "M" : "V") + (i == 0 ? std::to_string(run.from) + " " : std::string()) +
          std::to_string(run.kmh) + "H" + std::to_string(run.to));
    }
    add("\"/></g>\n");

    // The station names along the top of the profile.
    add("<g id=\"profile-stations\">\n");
    double last_x = -1e9;
    for (const Station& station : sheet_.stations) {
      const double x = profile_.x(static_cast<double>(station.position));
      const bool crowded = x - last_x < kLabelHeight;
      if (!crowded) last_x = x;
      marker_open(std::string("station-name") + (crowded ? " crowded" : ""), station.position, x,
                  kProfileBox.y + 22);
      add("<text transform=\"rotate(90)\" x=\"0\" y=\"4\">" + xml_escaped(station.name) +
          "</text></g>\n");
    }
    add("</g>\n</g>\n");
    rise_axis();
    speed_axis();
    add("</g>\n");
  }

  void rise_axis() {
    add("<g id=\"rise-axis\" class=\"axis\">");
    const double per_px = (profile_.rise_high - profile_.rise_low) / kProfileBox.h;
    const double step = static_cast<double>(tick_step(per_px * 1000, 28)) / 1000;
    for (double v = std::ceil(profile_.rise_low / step) * step; v <= profile_.rise_high;
         v += step) {
      const double y =
          kProfileBox.y + kProfileBox.h -
          (v - profile_.rise_low) * kProfileBox.h / (profile_.rise_high - profile_.rise_low);
      add("<path d=\"M" + px(kProfileBox.x - 4) + " " + px(y) + "H" + px(kProfileBox.x) +
          "\"/><text x=\"" + px(kProfileBox.x - 6) + "\" y=\"" + px(y + 3.5) +
          "\" text-anchor=\"end\">" +
          mm_as_m(static_cast<std::int64_t>(round_half_even(v * 1000))) + "</text>");
    }
    add("<text class=\"unit\" x=\"" + px(kProfileBox.x - 6) + "\" y=\"" + px(kProfileBox.y - 4) +
        "\" text-anchor=\"end\">m</text></g>\n");
  }

  void speed_axis() {
    add("<g id=\"speed-axis\" class=\"axis speed-axis\">");
    const double right = kProfileBox.x + kProfileBox.w;
    const auto step = static_cast<double>(tick_step(profile_.speed_high / kProfileBox.h, 24));
    for (double v = 0; v <= profile_.speed_high; v += step) {
      const double y = kProfileBox.y + kProfileBox.h - v * kProfileBox.h / profile_.speed_high;
      add("<path d=\"M" + px(right) + " " + px(y) + "H" + px(right + 4) + "\"/><text x=\"" +
          px(right + 6) + "\" y=\"" + px(y + 3.5) + "\">" + px(v) + "</text>");
    }
    add("<text class=\"unit\" x=\"" + px(right + 6) + "\" y=\"" + px(kProfileBox.y - 4) +
        "\">km/h</text></g>\n");
  }

  void lanes() {
    add("<g id=\"lanes\">\n");
    for (std::size_t i = 0; i < kLaneTitles.size(); ++i) {
      const double y = kLaneTop + static_cast<double>(i) * kLaneHeight;
      add("<rect class=\"lane" + std::string(i % 2 ? " odd" : "") + "\" x=\"" + px(kProfileBox.x) +
          "\" y=\"" + px(y) + "\" width=\"" + px(kProfileBox.w) + "\" height=\"" + px(kLaneHeight) +
          "\"/><text class=\"lane-title\" x=\"" + px(kProfileBox.x - 6) + "\" y=\"" + px(y + 12.5) +
          "\" text-anchor=\"end\">" + kLaneTitles[i] + "</text>\n");
    }
    add("<g clip-path=\"url(#lanes-clip)\">\n");
    // Extents of the stations and spans of the slowdowns, stretched along the route.
    add("<g id=\"lanes-along\" transform=\"" + along_transform() + "\">");
    for (const Station& station : sheet_.stations) {
      add("<rect class=\"extent\" x=\"" + std::to_string(std::min(station.from, station.to)) +
          "\" width=\"" + std::to_string(std::llabs(station.to - station.from)) + "\" y=\"" +
          px(kLaneTop + 4) + "\" height=\"" + px(kLaneHeight - 8) + "\"/>");
    }
    for (const Slowdown& slowdown : sheet_.slowdowns) {
      add("<rect class=\"slowdown-span\" x=\"" + std::to_string(slowdown.from) + "\" width=\"" +
          std::to_string(slowdown.to - slowdown.from) + "\" y=\"" +
          px(kLaneTop + 2 * kLaneHeight + 4) + "\" height=\"" + px(kLaneHeight - 8) + "\"/>");
    }
    add("</g>\n<g id=\"lane-marks\">\n");
    for (const Station& station : sheet_.stations) {
      marker_open(std::string("station ") + (station.stops ? "stops" : "passes"), station.position,
                  profile_.x(static_cast<double>(station.position)), kLaneTop + kLaneHeight / 2,
                  " data-row=\"" + std::to_string(station.row) + "\" data-name=\"" +
                      xml_escaped(station.name) + "\"");
      add("<circle r=\"4.5\"/><title>" + xml_escaped(station.name) + "</title></g>\n");
    }
    for (const Object& object : sheet_.objects) {
      if (object.lane == Lane::kNone) continue;
      marker_open(object.css, object.metre, profile_.x(static_cast<double>(object.metre)),
                  lane_centre(object.lane), " data-cell=\"" + std::to_string(object.cell) + "\"");
      add(shape(object.css) + "<title>" + xml_escaped(object.heading) +
          (object.label.empty() ? "" : ": " + xml_escaped(object.label)) + "</title></g>\n");
    }
    for (const ProblemMark& mark : sheet_.marks) {
      marker_open(std::string("problem ") + (mark.error ? "error" : "warning"), mark.metre,
                  profile_.x(static_cast<double>(mark.metre)), lane_centre(Lane::kProblems));
      std::string title;
      for (const std::string& text : mark.texts) title += (title.empty() ? "" : "\n") + text;
      add("<path d=\"M0 -6L6 0L0 6L-6 0Z\"/><title>" + xml_escaped(title) + "</title></g>\n");
    }
    add("</g>\n</g>\n</g>\n");
  }

  void axis() {
    add("<g id=\"axis\" class=\"axis\">");
    add("<path d=\"M" + px(kProfileBox.x) + " " + px(kAxisY) + "H" +
        px(kProfileBox.x + kProfileBox.w) + "\"/>");
    const double metres_per_px = (profile_.metres_to - profile_.metres_from) / kProfileBox.w;
    const std::int64_t step = tick_step(metres_per_px, 90);
    for (std::int64_t m = 0; static_cast<double>(m) <= profile_.metres_to; m += step) {
      const double x = profile_.x(static_cast<double>(m));
      add("<path d=\"M" + px(x) + " " + px(kAxisY) + "V" + px(kAxisY + 5) + "\"/><text x=\"" +
          px(x) + "\" y=\"" + px(kAxisY + 17) + "\" text-anchor=\"middle\">" + chainage(m) +
          "</text>");
    }
    add("</g>\n");
  }

  void legend() {
    const double y = kAxisY + 44;
    add("<g id=\"legend\"><text x=\"" + px(kProfileBox.x) + "\" y=\"" + px(y + 4) +
        "\">gradient</text>");
    double x = kProfileBox.x + 62;
    for (int g = -25; g <= 25; g += 5) {
      add("<rect x=\"" + px(x) + "\" y=\"" + px(y - 6) + "\" width=\"26\" height=\"12\" fill=\"" +
          gradient_colour(g, false) + "\"/><text class=\"small\" x=\"" + px(x + 13) + "\" y=\"" +
          px(y + 18) + "\" text-anchor=\"middle\">" + (g > 0 ? "+" : "") + std::to_string(g) +
          "</text>");
      x += 28;
    }
    add("<text class=\"small\" x=\"" + px(x + 4) + "\" y=\"" + px(y + 4) +
        "\">\xE2\x80\xB0</text>");
    x += 40;
    add("<path class=\"speed\" d=\"M" + px(x) + " " + px(y) + "h24\"/><text x=\"" + px(x + 30) +
        "\" y=\"" + px(y + 4) + "\">line speed</text>");
    x += 110;
    add("<rect class=\"runout-shade\" x=\"" + px(x) + "\" y=\"" + px(y - 6) +
        "\" width=\"24\" height=\"12\"/><text x=\"" + px(x + 30) + "\" y=\"" + px(y + 4) +
        "\">past the end of the line</text>");
    x += 200;
    for (const auto& [css, name] :
         {std::pair{"station stops", "stop"}, std::pair{"station passes", "pass"},
          std::pair{"signal", "signal"}, std::pair{"sign-board", "sign board"},
          std::pair{"speed-boards", "speed boards"}}) {
      add("<g class=\"mk " + std::string(css) + "\" transform=\"translate(" + px(x) + " " + px(y) +
          ")\">" + (std::string(css).starts_with("station") ? "<circle r=\"4.5\"/>" : shape(css)) +
          "</g><text x=\"" + px(x + 9) + "\" y=\"" + px(y + 4) + "\">" + name + "</text>");
      x += 22 + kLabelCharWidth * static_cast<double>(std::string(name).size());
    }
    add("</g>\n");
  }

  void cursor() {
    add("<g id=\"cursor\" visibility=\"hidden\"><path id=\"cursor-line\" d=\"M0 " +
        px(kProfileBox.y) + "V" + px(kAxisY) +
        "\"/><circle id=\"cursor-rise\" r=\"4\"/><circle id=\"plan-cursor\" r=\"6\"/></g>\n");
  }

  const Sheet& sheet_;
  const bool page_;
  const PlanFit plan_;
  const ProfileFit profile_;
  std::string out_;
};

// ---------------------------------------------------------------------------------------------
// The data the page's script reads

std::string number(std::int64_t v) { return std::to_string(v); }

std::string strings(const std::vector<std::string>& texts) {
  std::string out = "[";
  for (std::size_t i = 0; i < texts.size(); ++i) out += (i ? "," : "") + json_quoted(texts[i]);
  return out + "]";
}

std::string sheet_data(const Sheet& sheet) {
  std::string out = "{\"title\":" + json_quoted(sheet.title);
  out += ",\"line_length\":" + number(sheet.line_length) + ",\"end\":" + number(sheet.end);
  // The cells as the track file holds them, 15 bytes each (docs/compiled-files.md).
  out += ",\"cells\":" + (sheet.celle ? json_quoted(base64(encode_track(*sheet.celle))) : "null");
  if (sheet.plan_cm.empty()) {
    out += ",\"plan\":null";
  } else {
    out += ",\"plan\":{\"rows\":" + number(static_cast<std::int64_t>(sheet.plan_cm.size())) +
           ",\"cm\":" + json_quoted(base64(encode_plan_centimetres(sheet.plan_cm))) + "}";
  }
  out += ",\"stations\":[";
  for (std::size_t i = 0; i < sheet.stations.size(); ++i) {
    const Station& s = sheet.stations[i];
    out += std::string(i ? "," : "") + "{\"row\":" + number(s.row) +
           ",\"name\":" + json_quoted(s.name) + ",\"m\":" + number(s.position) +
           ",\"from\":" + number(s.from) + ",\"to\":" + number(s.to) +
           ",\"stops\":" + (s.stops ? "true" : "false") + ",\"time\":" + json_quoted(s.time) +
           ",\"stop_cell\":" + (s.stop_cell ? number(*s.stop_cell) : "null") + "}";
  }
  out += "],\"objects\":[";
  for (std::size_t i = 0; i < sheet.objects.size(); ++i) {
    const Object& o = sheet.objects[i];
    out += std::string(i ? "," : "") + "{\"cell\":" + number(o.cell) + ",\"m\":" + number(o.metre) +
           ",\"tipo\":" + number(o.tipo) + ",\"lane\":" + number(static_cast<int>(o.lane)) +
           ",\"plan\":" + (o.on_plan ? "true" : "false") + ",\"css\":" + json_quoted(o.css) +
           ",\"label\":" + json_quoted(o.label) + ",\"heading\":" + json_quoted(o.heading) +
           ",\"lines\":" + strings(o.lines) + "}";
  }
  out += "],\"slowdowns\":[";
  for (std::size_t i = 0; i < sheet.slowdowns.size(); ++i) {
    const Slowdown& s = sheet.slowdowns[i];
    out += std::string(i ? "," : "") + "{\"from\":" + number(s.from) + ",\"to\":" + number(s.to) +
           ",\"label\":" + json_quoted(s.label) + "}";
  }
  out += "],\"marks\":[";
  for (std::size_t i = 0; i < sheet.marks.size(); ++i) {
    const ProblemMark& mark = sheet.marks[i];
    out += std::string(i ? "," : "") + "{\"m\":" + number(mark.metre) +
           ",\"error\":" + (mark.error ? "true" : "false") + ",\"texts\":" + strings(mark.texts) +
           "}";
  }
  out += "],\"layout\":{\"width\":" + px(kWidth) + ",\"plan\":[" + px(kPlanBox.x) + "," +
         px(kPlanBox.y) + "," + px(kPlanBox.w) + "," + px(kPlanBox.h) +
         "],\"plan_pad\":" + px(kPlanPad) + ",\"profile\":[" + px(kProfileBox.x) + "," +
         px(kProfileBox.y) + "," + px(kProfileBox.w) + "," + px(kProfileBox.h) +
         "],\"lane_top\":" + px(kLaneTop) + ",\"lane_height\":" + px(kLaneHeight) +
         ",\"axis_y\":" + px(kAxisY) + ",\"tolerance\":" + px(kPlanTolerance) +
         ",\"label_char\":" + px(kLabelCharWidth) + ",\"label_height\":" + px(kLabelHeight) + "}";
  out += ",\"speed_high\":" + shortest(std::max(10.0, sheet.speed_max * 1.15));
  return out + "}";
}

std::string problem_list(const Sheet& sheet) {
  std::string out = "<section id=\"problems\"><h2>What binario check found</h2>";
  if (!sheet.checked) {
    return out +
           "<p>Not checked: the route was read from its compiled files. Made from its "
           "description files, the sheet marks every error and warning where it "
           "applies.</p></section>\n";
  }
  if (sheet.problems.empty()) return out + "<p>No error and no warning.</p></section>\n";
  out += "<ul>";
  for (const SheetProblem& problem : sheet.problems) {
    out += std::string("<li class=\"") +
           (problem.severity == Severity::kError ? "error" : "warning") + "\"";
    if (problem.position_m) out += " data-m=\"" + std::to_string(*problem.position_m) + "\"";
    out += ">" + xml_escaped(problem.text);
    if (problem.position_m) {
      out += " <button class=\"goto\">" + xml_escaped(chainage(*problem.position_m)) + "</button>";
    }
    out += "</li>";
  }
  return out + "</ul></section>\n";
}

}  // namespace

std::string route_sheet_svg(const SheetInput& input) {
  const Sheet sheet = read_sheet(input);
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + Drawing(sheet, false).svg();
}

std::string route_sheet_html(const SheetInput& input) {
  const Sheet sheet = read_sheet(input);
  std::string out = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
  out += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
  out += "<title>" + xml_escaped(sheet.title) + " \xE2\x80\x94 route sheet</title>\n<style>\n";
  out += sheet_page_style();
  out += "</style>\n</head>\n<body>\n";
  out +=
      "<div id=\"toolbar\"><button id=\"zoom-in\" title=\"zoom in (+)\">+</button>"
      "<button id=\"zoom-out\" title=\"zoom out (-)\">\xE2\x88\x92</button>"
      "<button id=\"zoom-whole\" title=\"the whole route (0)\">whole route</button>"
      "<span id=\"view-range\"></span><span class=\"hint\">wheel: zoom \xC2\xB7 drag: pan "
      "\xC2\xB7 arrows: move \xC2\xB7 double-click: whole route</span></div>\n";
  out += "<div id=\"sheet\"><div id=\"drawing\">\n";
  out += Drawing(sheet, true).svg();
  out +=
      "</div>\n<aside id=\"info\"><p class=\"hint\">Point at the plan or the profile: the "
      "same metre is marked on both, and what the route holds there is shown here.</p>"
      "</aside></div>\n";
  out += problem_list(sheet);
  out += "<script type=\"application/json\" id=\"sheet-data\">" + sheet_data(sheet) +
         "</script>\n<script>\n";
  out += sheet_script();
  out += "</script>\n</body>\n</html>\n";
  return out;
}

}  // namespace binario::authoring
