// The lanes under the profile, one for each kind of object, and the chainage axis.

#include "authoring/sheet/drawing.h"

#include <algorithm>
#include <cstdlib>

namespace binario::authoring::sheet {

void Drawing::lanes() {
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

void Drawing::axis() {
  add("<g id=\"axis\" class=\"axis\">");
  add("<path d=\"M" + px(kProfileBox.x) + " " + px(kAxisY) + "H" +
      px(kProfileBox.x + kProfileBox.w) + "\"/>");
  const double metres_per_px = (profile_.metres_to - profile_.metres_from) / kProfileBox.w;
  const std::int64_t step = tick_step(metres_per_px, 90);
  for (std::int64_t m = 0; static_cast<double>(m) <= profile_.metres_to; m += step) {
    const double x = profile_.x(static_cast<double>(m));
    add("<path d=\"M" + px(x) + " " + px(kAxisY) + "V" + px(kAxisY + 5) + "\"/><text x=\"" + px(x) +
        "\" y=\"" + px(kAxisY + 17) + "\" text-anchor=\"middle\">" + chainage(m) + "</text>");
  }
  add("</g>\n");
}

}  // namespace binario::authoring::sheet
