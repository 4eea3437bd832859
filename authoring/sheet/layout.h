#ifndef BINARIO_AUTHORING_SHEET_LAYOUT_H_
#define BINARIO_AUTHORING_SHEET_LAYOUT_H_

// Where the drawings go and how their numbers are written: the boxes of the plan, the profile
// and the lanes, the fits that bring metres into them, ticks, colours and labels.

#include <cstdint>
#include <string>
#include <vector>

#include "authoring/sheet/sheet_model.h"

namespace binario::authoring::sheet {

// The layout, in the drawing's own units (pixels at its natural width). The page's script
// reads these numbers from the embedded data: they are set here only.

struct Box {
  double x, y, w, h;
};
inline constexpr double kWidth = 1200;
inline constexpr Box kPlanBox = {10, 54, 1180, 460};
inline constexpr double kPlanPad = 30;
inline constexpr Box kProfileBox = {78, 556, 1044, 200};
inline constexpr double kLaneTop = 768;
inline constexpr double kLaneHeight = 18;
inline constexpr double kAxisY = kLaneTop + 6 * kLaneHeight + 4;
inline constexpr double kHeight = kAxisY + 78;
inline constexpr double kPlanTolerance = 0.5;  // pixels
inline constexpr double kLabelCharWidth = 6.2;
inline constexpr double kLabelHeight = 12;

// The plan's fit into its box: the bounding box of rows first..last, centred, one scale.
struct PlanFit {
  double scale = 1;
  double mid_x = 0;
  double mid_y = 0;
  double x(const PlanPoint& p) const { return kPlanBox.x + kPlanBox.w / 2 + (p.x - mid_x) * scale; }
  double y(const PlanPoint& p) const { return kPlanBox.y + kPlanBox.h / 2 - (p.y - mid_y) * scale; }
};

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

// Station labels beside their markers on the plan, leaving out those that would cover another.
struct LabelBox {
  double x0, y0, x1, y1;
  bool meets(const LabelBox& o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
};
constexpr LabelBox marker_box(double x, double y) { return {x - 5, y - 5, x + 5, y + 5}; }
constexpr LabelBox flag_box(double x, double y) { return {x - 2, y - 30, x + 36, y}; }

// A number for the drawing: one decimal, no "-0", no ".0".
std::string px(double value);

// A number as the fewest digits that read back as it, the same on every platform.
std::string shortest(double value);

// Millimetres as metres, exactly: "12.345", "-0.05".
std::string mm_as_m(std::int64_t mm);

// The plan fitted into its box.
PlanFit fit_plan(const std::vector<PlanPoint>& plan);

// The profile of the whole route fitted into its box, with room above and below.
ProfileFit fit_profile(const Sheet& sheet);

// A step between chainage ticks that leaves at least `least_px` between them.
std::int64_t tick_step(double metres_per_px, double least_px);

// The colour of a gradient, per mille: blue down, grey level, red up.
std::string gradient_colour(int g, bool none);

// A gradient as a grade fill is labelled: its signed value and the per mille sign, or "none".
std::string signed_per_mille(int g, bool none);

// The height of the middle of a lane.
double lane_centre(Lane lane);

// The width of a label in characters: UTF-8 bytes that begin one.
double characters(const std::string& utf8);

}  // namespace binario::authoring::sheet

#endif  // BINARIO_AUTHORING_SHEET_LAYOUT_H_
