// The route sheet as a page and as an SVG: the drawings, the list of problems, and the data the
// page's script reads, with the script and styles the build embeds.

#include "authoring/sheet/route_sheet.h"

#include <string>
#include <vector>

#include "authoring/sheet/assets.h"
#include "authoring/sheet/drawing.h"
#include "authoring/sheet/sheet_model.h"
#include "compiler/route_files.h"

namespace binario::authoring {

namespace sheet {
namespace {

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
}  // namespace sheet

std::string route_sheet_svg(const SheetInput& input) {
  const sheet::Sheet drawn = sheet::read_sheet(input);
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + sheet::Drawing(drawn, false).svg();
}

std::string route_sheet_html(const SheetInput& input) {
  const sheet::Sheet drawn = sheet::read_sheet(input);
  std::string out = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
  out += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
  out += "<title>" + xml_escaped(drawn.title) + " \xE2\x80\x94 route sheet</title>\n<style>\n";
  out += sheet_page_style();
  out += "</style>\n</head>\n<body>\n";
  out +=
      "<div id=\"toolbar\"><button id=\"zoom-in\" title=\"zoom in (+)\">+</button>"
      "<button id=\"zoom-out\" title=\"zoom out (-)\">\xE2\x88\x92</button>"
      "<button id=\"zoom-whole\" title=\"the whole route (0)\">whole route</button>"
      "<span id=\"view-range\"></span><span class=\"hint\">wheel: zoom \xC2\xB7 drag: pan "
      "\xC2\xB7 arrows: move \xC2\xB7 double-click: whole route</span></div>\n";
  out += "<div id=\"sheet\"><div id=\"drawing\">\n";
  out += sheet::Drawing(drawn, true).svg();
  out +=
      "</div>\n<aside id=\"info\"><p class=\"hint\">Point at the plan or the profile: the "
      "same metre is marked on both, and what the route holds there is shown here.</p>"
      "</aside></div>\n";
  out += sheet::problem_list(drawn);
  out += "<script type=\"application/json\" id=\"sheet-data\">" + sheet::sheet_data(drawn) +
         "</script>\n<script>\n";
  out += sheet_script();
  out += "</script>\n</body>\n</html>\n";
  return out;
}

}  // namespace binario::authoring
