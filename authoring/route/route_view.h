#ifndef BINARIO_AUTHORING_ROUTE_ROUTE_VIEW_H_
#define BINARIO_AUTHORING_ROUTE_ROUTE_VIEW_H_

// What the authoring side reads out of a compiled route, before it is put into words or JSON:
// the part of the route asked for, the runs of the filled cell fields, the purpose of each row
// of the data table, and the plan's geometry.
//
// Metres. A point object in cell k stands at about metre (k - 1) x 50 (cell_of in
// reader/track_markers.h); a filled value (speed, gradient, adhesion, scenery) held by cell k
// applies from metre k x 50 to (k + 1) x 50. A cell is shown at its point metre; a run of
// cells i to j is shown from metre i x 50 to (j + 1) x 50.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "authoring/route/compiled_files.h"
#include "authoring/route/route_names.h"

namespace binario::authoring {

// The metre at which the point object of cell `index` stands.
constexpr std::int64_t point_metre(std::int64_t index) { return (index - 1) * kCellLength; }

// The part of the route a dump or a diff looks at: the cells first_cell to last_cell (by their
// point metres), the cells first_run_cell to last_run_cell (by the metres their filled values
// cover) and the plan rows, one per metre, first_metre to last_metre; every end included.
struct RouteRange {
  std::int64_t first_cell = 0;
  std::int64_t last_cell = INT64_MAX;
  std::int64_t first_run_cell = 0;
  std::int64_t last_run_cell = INT64_MAX;
  std::int64_t first_metre = INT64_MIN;
  std::int64_t last_metre = INT64_MAX;
  bool whole = true;
  bool by_metres = false;  // runs are clipped to first_metre .. last_metre

  bool has_cell(std::int64_t index) const { return index >= first_cell && index <= last_cell; }
  bool has_run_cell(std::int64_t index) const {
    return index >= first_run_cell && index <= last_run_cell;
  }
  bool has_metre(std::int64_t metre) const { return metre >= first_metre && metre <= last_metre; }
  // Whether the metres from..to (both ends included) meet the range.
  bool meets(std::int64_t from, std::int64_t to) const {
    return to >= first_metre && from <= last_metre;
  }
};

// Cells a to b (their point objects and their filled values), and the plan rows from the first
// one's point metre to the last one's.
RouteRange cell_range(std::int64_t a, std::int64_t b);
// Metres a to b (a and b not negative): the cells whose point objects stand there, the cells
// whose filled values cover part of them, and the plan rows a to b.
RouteRange metre_range(std::int64_t a, std::int64_t b);

// Whether a cell holds a point object, an approach mark or any datum (the stamps of cell 1).
bool holds_something(const TrackCell& cell);

// The fields that each cell holds as part of a run along the route.
enum class RunField { kVelocita, kPendenza, kAderenza, kMontagna };
inline constexpr std::array<RunField, 4> kRunFields = {RunField::kVelocita, RunField::kPendenza,
                                                       RunField::kAderenza, RunField::kMontagna};
std::string_view run_field_name(RunField field);   // "velocita", ...
std::string_view run_field_title(RunField field);  // "line speed", ...
std::uint8_t run_value(const TrackCell& cell, RunField field);
// The value in words: "110 km/h", "-10 per mille", "adhesion 100", "scenery kind 3", "none".
std::string run_value_words(RunField field, std::uint8_t value);

// Cells first_cell to last_cell that hold the same value of one field, and the metres from
// from_metre up to to_metre that they cover (clipped to the range asked for).
struct Run {
  std::int64_t first_cell;
  std::int64_t last_cell;
  std::uint8_t value;
  std::int64_t from_metre;
  std::int64_t to_metre;
};

// The runs of `field` over the run cells of `range`.
std::vector<Run> runs(const std::vector<TrackCell>& celle, RunField field, const RouteRange& range);

// The purpose of every row of the table. Rows 1 to 80 hold the stations from 1 upward and the
// sign-board texts from 80 downward: a row is a sign-board text when a sign-board cell names
// it, or, when no cell does, when it holds a text and nothing else above every row that holds
// a number. Rows that hold nothing are unused (84 to 86 never are).
std::array<RowPurpose, data_row::kCount> row_purposes(
    const std::array<DataRow, data_row::kCount>& table, const std::vector<TrackCell>* celle);

// Whether row `r` of the route's table (of `purpose`) belongs to the part `range`: a station
// whose extent or position meets its metres, a sign-board text whose board's cell lies in it
// (every one, when there is no track file), and every row in use that is about the whole
// route. The whole route has every row.
bool row_in_part(const CompiledRoute& route, int r, RowPurpose purpose, const RouteRange& range);

// The cell of a station's stop (round(valore2 / 50 - 1)), when its type stops the train.
std::optional<std::int64_t> stop_cell(const DataRow& station);

// "h:mm:ss" for seconds of the day (negative and larger values too).
std::string clock_time(std::int64_t seconds);

// A curve recovered from the turning of the plan's steps.
struct Curve {
  std::int64_t from_metre;  // the row before the first curved step
  std::int64_t to_metre;    // the row of the last curved step
  int curve_class;          // 1 to 6; 0 when the turning matches no class
  bool left;                // "s", counter-clockwise
  double kappa;             // the mean curvature of its steps, per metre, negative to the left
};

// The curvature of curve classes 1 to 6, per metre.
inline constexpr std::array<double, 6> kCurveClasses = {0.0001, 0.0002, 0.0004,
                                                        0.001,  0.002,  0.003};

struct PlanSummary {
  std::size_t rows = 0;       // rows in the file
  std::size_t first_row = 0;  // the rows summarised
  std::size_t last_row = 0;
  std::size_t seeds = 0;     // 16-bit rows among them
  std::size_t computed = 0;  // double rows among them
  std::size_t empty = 0;     // empty rows among them
  bool has_points = false;   // whether any row summarised holds x and y
  double length = 0;         // the sum of the step lengths, metres
  double min_x = 0, max_x = 0, min_y = 0, max_y = 0;
  double net_turning = 0;    // degrees, counter-clockwise positive
  double total_turning = 0;  // degrees, every turn counted positive
  std::vector<Curve> curves;
};

// The plan's numbers as doubles: the seeds as they are, nothing for an empty entry.
std::optional<std::array<double, 2>> plan_point(const Plan& pianta, std::size_t row);

// Summarises the rows of `range` (clipped to the plan).
PlanSummary summarise_plan(const Plan& pianta, const RouteRange& range);

// Lines a later step of the authoring side adds beside a cell (the description record that
// put it there, whether the compiler placed it); none by default.
using CellNotes = std::map<std::int64_t, std::vector<std::string>>;

}  // namespace binario::authoring

#endif  // BINARIO_AUTHORING_ROUTE_ROUTE_VIEW_H_
