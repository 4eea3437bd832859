// The plan: the track seen from above, thinned to the pixels, with its stations, objects,
// problems, ends and a scale bar.

#include "authoring/sheet/drawing.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace binario::authoring::sheet {

std::optional<PlanPoint> Drawing::plan_at(std::int64_t metre) const {
  if (metre < 0 || metre >= static_cast<std::int64_t>(sheet_.plan.size())) return std::nullopt;
  return sheet_.plan[static_cast<std::size_t>(metre)];
}

// The plan rows first..last (clipped to the plan) as a thinned path in the box's pixels.
std::string Drawing::plan_path(std::int64_t first, std::int64_t last) const {
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

void Drawing::plan() {
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
    add("<text class=\"note\" x=\"" + px(kPlanBox.x + 8) + "\" y=\"" + px(kPlanBox.y + 32) + "\">" +
        xml_escaped(sheet_.plan_note) + "</text>\n");
  }
  add("<g clip-path=\"url(#plan-clip)\">\n");
  add("<path id=\"plan-track\" class=\"track\" d=\"" + plan_path(0, sheet_.line_length) + "\"/>\n");
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
    marker_open(std::string("station ") + (station.stops ? "stops" : "passes"), station.position, x,
                y,
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

void Drawing::ends() {
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

void Drawing::scale_bar() {
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

}  // namespace binario::authoring::sheet
