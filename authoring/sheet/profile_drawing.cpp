// The profile: the elevation the gradients build, filled by gradient, the line speed, the
// station names, and the axes of elevation and speed.

#include "authoring/sheet/drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <utility>

#include "reader/numbers.h"

namespace binario::authoring::sheet {

// The profile group's transform: metres and metres of elevation to pixels.
std::string Drawing::rise_transform() const {
  const double sx = profile_.scale_x();
  const double sy = profile_.scale_rise();
  return "matrix(" + shortest(sx) + " 0 0 " + shortest(-sy) + " " +
         shortest(kProfileBox.x - profile_.metres_from * sx) + " " +
         shortest(kProfileBox.y + kProfileBox.h + profile_.rise_low * sy) + ")";
}

std::string Drawing::speed_transform() const {
  const double sx = profile_.scale_x();
  const double sy = kProfileBox.h / profile_.speed_high;
  return "matrix(" + shortest(sx) + " 0 0 " + shortest(-sy) + " " +
         shortest(kProfileBox.x - profile_.metres_from * sx) + " " +
         shortest(kProfileBox.y + kProfileBox.h) + ")";
}

std::string Drawing::along_transform() const {
  const double sx = profile_.scale_x();
  return "matrix(" + shortest(sx) + " 0 0 1 " +
         shortest(kProfileBox.x - profile_.metres_from * sx) + " 0)";
}

// The elevation line over metres from..to, from the runs of gradient.
std::string Drawing::rise_line(std::int64_t from, std::int64_t to) const {
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

void Drawing::profile() {
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

  add("<g id=\"profile-speed\" transform=\"" + speed_transform() + "\"><path class=\"speed\" d=\"");
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

void Drawing::rise_axis() {
  add("<g id=\"rise-axis\" class=\"axis\">");
  const double per_px = (profile_.rise_high - profile_.rise_low) / kProfileBox.h;
  const double step = static_cast<double>(tick_step(per_px * 1000, 28)) / 1000;
  for (double v = std::ceil(profile_.rise_low / step) * step; v <= profile_.rise_high; v += step) {
    const double y =
        kProfileBox.y + kProfileBox.h -
        (v - profile_.rise_low) * kProfileBox.h / (profile_.rise_high - profile_.rise_low);
    add("<path d=\"M" + px(kProfileBox.x - 4) + " " + px(y) + "H" + px(kProfileBox.x) +
        "\"/><text x=\"" + px(kProfileBox.x - 6) + "\" y=\"" + px(y + 3.5) +
        "\" text-anchor=\"end\">" + mm_as_m(static_cast<std::int64_t>(round_half_even(v * 1000))) +
        "</text>");
  }
  add("<text class=\"unit\" x=\"" + px(kProfileBox.x - 6) + "\" y=\"" + px(kProfileBox.y - 4) +
      "\" text-anchor=\"end\">m</text></g>\n");
}

void Drawing::speed_axis() {
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

}  // namespace binario::authoring::sheet
