#include "authoring/sheet/layout.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "reader/numbers.h"

namespace binario::authoring::sheet {

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

namespace {

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

}  // namespace

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

}  // namespace binario::authoring::sheet
