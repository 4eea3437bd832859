#ifndef BINARIO_AUTHORING_SHEET_SHEET_MODEL_H_
#define BINARIO_AUTHORING_SHEET_SHEET_MODEL_H_

// What the sheet draws, in route terms: the stations, the objects in the cells, the slowdowns,
// the problems and the runs of gradient and speed, read once from a compiled route. The
// drawings and the data the page embeds are made from this alone.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "authoring/sheet/route_sheet.h"
#include "reader/track_model.h"

namespace binario::authoring::sheet {

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

// What the sheet of `input` draws.
Sheet read_sheet(const SheetInput& input);

}  // namespace binario::authoring::sheet

#endif  // BINARIO_AUTHORING_SHEET_SHEET_MODEL_H_
