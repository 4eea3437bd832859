#ifndef BINARIO_AUTHORING_SHEET_DRAWING_H_
#define BINARIO_AUTHORING_SHEET_DRAWING_H_

// The two drawings as one SVG: the frame, the legend and the cursor (drawing.cpp), the plan
// (plan_drawing.cpp), the profile with its axes (profile_drawing.cpp), and the lanes below it
// with the chainage axis (lanes_drawing.cpp).

#include <cstdint>
#include <optional>
#include <string>

#include "authoring/sheet/layout.h"
#include "authoring/sheet/sheet_model.h"

namespace binario::authoring::sheet {

class Drawing {
 public:
  // `page`: the SVG goes into the page, which moves a cursor over it.
  Drawing(const Sheet& sheet, bool page)
      : sheet_(sheet), page_(page), plan_(fit_plan(sheet.plan)), profile_(fit_profile(sheet)) {}

  // The drawings; call once.
  std::string svg();

 private:
  void add(const std::string& text) { out_ += text; }

  // drawing.cpp
  void defs();
  void header();
  // A marker group at a point of the drawing.
  void marker_open(const std::string& css, std::int64_t metre, double x, double y,
                   const std::string& more = "");
  // The shape of an object's marker, drawn around (0, 0).
  static std::string shape(const std::string& css);
  void legend();
  void cursor();

  // plan_drawing.cpp
  std::optional<PlanPoint> plan_at(std::int64_t metre) const;
  std::string plan_path(std::int64_t first, std::int64_t last) const;
  void plan();
  void ends();
  void scale_bar();

  // profile_drawing.cpp
  std::string rise_transform() const;
  std::string speed_transform() const;
  std::string along_transform() const;
  std::string rise_line(std::int64_t from, std::int64_t to) const;
  void profile();
  void rise_axis();
  void speed_axis();

  // lanes_drawing.cpp
  void lanes();
  void axis();

  const Sheet& sheet_;
  const bool page_;
  const PlanFit plan_;
  const ProfileFit profile_;
  std::string out_;
};

}  // namespace binario::authoring::sheet

#endif  // BINARIO_AUTHORING_SHEET_DRAWING_H_
