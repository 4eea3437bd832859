// The frame of the drawings: the SVG element, its style and clips, the title, the markers' shapes,
// the legend and the cursor.

#include "authoring/sheet/drawing.h"

#include <string>
#include <utility>

#include "authoring/sheet/assets.h"
#include "reader/track_model.h"

namespace binario::authoring::sheet {

std::string Drawing::svg() {
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

void Drawing::defs() {
  add("<defs><clipPath id=\"plan-clip\"><rect x=\"" + px(kPlanBox.x) + "\" y=\"" + px(kPlanBox.y) +
      "\" width=\"" + px(kPlanBox.w) + "\" height=\"" + px(kPlanBox.h) +
      "\"/></clipPath><clipPath id=\"profile-clip\"><rect x=\"" + px(kProfileBox.x) + "\" y=\"" +
      px(kProfileBox.y) + "\" width=\"" + px(kProfileBox.w) + "\" height=\"" + px(kProfileBox.h) +
      "\"/></clipPath><clipPath id=\"lanes-clip\"><rect x=\"" + px(kProfileBox.x) + "\" y=\"" +
      px(kLaneTop) + "\" width=\"" + px(kProfileBox.w) + "\" height=\"" + px(kAxisY - kLaneTop) +
      "\"/></clipPath></defs>\n");
}

void Drawing::header() {
  add("<text class=\"title\" x=\"10\" y=\"22\">" + xml_escaped(sheet_.title) + "</text>\n");
  std::string about = "line " + std::to_string(sheet_.line_length) + " m (" +
                      chainage(sheet_.line_length) + "), and " + std::to_string(kRunOut) +
                      " m of run-out";
  if (!sheet_.origin.empty()) about += "; from " + sheet_.origin;
  add("<text class=\"about\" x=\"10\" y=\"40\">" + xml_escaped(about) + "</text>\n");
}

void Drawing::marker_open(const std::string& css, std::int64_t metre, double x, double y,
                          const std::string& more) {
  add("<g class=\"mk " + css + "\" data-m=\"" + std::to_string(metre) + "\"" + more +
      " transform=\"translate(" + px(x) + " " + px(y) + ")\">");
}

std::string Drawing::shape(const std::string& css) {
  if (css == "signal") return "<path d=\"M0 5V-5M-3 -5H3\"/><circle cy=\"-5\" r=\"2.5\"/>";
  if (css == "sign-board") return "<rect x=\"-3\" y=\"-3\" width=\"6\" height=\"6\"/>";
  if (css == "speed-boards") return "<path d=\"M0 -4L4 0L0 4L-4 0Z\"/>";
  if (css == "slowdown-warning") return "<path d=\"M0 -5L5 4H-5Z\"/>";
  if (css == "slowdown-start" || css == "slowdown-end") return "<path d=\"M0 -6V6\"/>";
  if (css == "stop") return "<path d=\"M-3 -3L3 3M3 -3L-3 3\"/>";
  if (css == "check") return "<path d=\"M0 -4V4M-3 0H3\"/>";
  return "<circle r=\"3\"/>";
}

void Drawing::legend() {
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
  add("<text class=\"small\" x=\"" + px(x + 4) + "\" y=\"" + px(y + 4) + "\">\xE2\x80\xB0</text>");
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

void Drawing::cursor() {
  add("<g id=\"cursor\" visibility=\"hidden\"><path id=\"cursor-line\" d=\"M0 " +
      px(kProfileBox.y) + "V" + px(kAxisY) +
      "\"/><circle id=\"cursor-rise\" r=\"4\"/><circle id=\"plan-cursor\" r=\"6\"/></g>\n");
}

}  // namespace binario::authoring::sheet
