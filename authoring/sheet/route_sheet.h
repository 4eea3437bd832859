#ifndef BINARIO_AUTHORING_SHEET_ROUTE_SHEET_H_
#define BINARIO_AUTHORING_SHEET_ROUTE_SHEET_H_

// The route sheet: a compiled route drawn for its author. Two drawings, one above the other:
// the plan of the track with its stations, signals and boards, and the elevation profile that
// the gradients build, coloured by gradient, with the line speed, and lanes of stations,
// signals, slowdowns, boards, speed check points and the problems binario check found, all on
// one chainage axis.
//
// As a page it is one self-contained HTML file (inline SVG, style and script; nothing fetched)
// that zooms and pans along the route and, under the pointer, links a metre of the plan to the
// same metre of the profile and tells what the route holds there. The drawings are thinned to
// what the pixels need; the data the page shows on hover are embedded whole: the track cells
// as the track file's own bytes, the plan's x and y for every metre (to the centimetre), the
// words for every cell that holds something.
//
// As an SVG it is the same two drawings, static, for print.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "authoring/diagnostics/diagnose.h"
#include "authoring/diagnostics/diagnostic.h"
#include "authoring/route/compiled_files.h"
#include "authoring/route/route_view.h"
#include "authoring/text/source.h"

namespace binario::authoring {

// A problem binario check found, as the sheet marks it.
struct SheetProblem {
  Severity severity = Severity::kWarning;
  std::string text;                        // "Monte_linea.txt:17:1: warning: ... [tag]", UTF-8
  std::optional<std::int32_t> position_m;  // where it is marked; none: listed only
};

// The errors and warnings of a diagnosis, each as binario check prints its first line.
std::vector<SheetProblem> sheet_problems(const Diagnosis& diagnosis, const SourceText& line,
                                         const SourceText& train);

struct SheetInput {
  const CompiledRoute* route = nullptr;  // any of its files may be missing
  std::string title;                     // "Varelbo, train 3874", UTF-8
  std::string origin;                    // where the route was read from, UTF-8
  CellNotes notes;                       // lines beside cells: the record behind each
  std::vector<SheetProblem> problems;
  bool checked = false;  // the problems are binario check's (none found, when empty)
};

// The page.
std::string route_sheet_html(const SheetInput& input);

// The two drawings as one static SVG.
std::string route_sheet_svg(const SheetInput& input);

// The parts the sheet is made of, for their tests.

struct PlanPoint {
  double x = 0;
  double y = 0;
};

// The indices of the points to draw: the first and the last, and between them enough that no
// point left out lies farther than `tolerance` from the drawn segment that passes it
// (Douglas-Peucker, with the distance to the segment, not to its line, so that a hairpin keeps
// its turn). Ascending.
std::vector<std::size_t> thin_polyline(const std::vector<PlanPoint>& points, double tolerance);

// The plan as the page embeds it: x and y of each row in centimetres, x then y, row after row.
// A track goes on much as it came: each value is written as the byte d (-127 to 127) when it is
// 2 x the value of the row before - the value of the row before that + d, and otherwise (rows 0
// and 1 always) as the byte kPlanWhole and the value itself, 4 bytes little-endian. A straight
// costs a byte a value, and so does a curve: its steps turn by less than a centimetre a metre.
inline constexpr std::uint8_t kPlanWhole = 0x80;
std::string encode_plan_centimetres(const std::vector<std::array<std::int32_t, 2>>& rows);

// The position in the railway's form: "km 60+600".
std::string chainage(std::int64_t metre);

// The elevation at `metre` in millimetres above the start, from the gradients of the cells:
// a gradient in per mille is millimetres per metre, and the gradient of cell k holds from
// metre k x 50 to (k + 1) x 50. A cell without a gradient (pendenza 0) is level. Past the last
// cell the elevation stays as it ends.
std::int64_t elevation_mm(const std::vector<TrackCell>& celle, std::int64_t metre);

// The gradient a cell holds, per mille; pendenza 0 (no gradient) is 0.
int gradient_per_mille(const TrackCell& cell);

// Standard base64 (RFC 4648, with padding).
std::string base64(std::string_view bytes);

// `utf8` as a JSON string, quotes included, that stays a string inside an HTML <script>: '<',
// '>' and '&' are written as \u escapes, so no "</script>" or "<!--" can appear.
std::string json_quoted(std::string_view utf8);

// `utf8` made safe as XML text or attribute value: & < > " ' as entities, and the control
// characters that XML forbids as U+FFFD.
std::string xml_escaped(std::string_view utf8);

}  // namespace binario::authoring

#endif  // BINARIO_AUTHORING_SHEET_ROUTE_SHEET_H_
