#include "reader/track_model.h"

#include <stdexcept>
#include <string>

#include "reader/numbers.h"

namespace binario {

void create_track_model(RunState& state, std::int32_t line_length) {
  if (line_length < 0 || line_length > kMaxLineLength) {
    throw std::invalid_argument("line length " + std::to_string(line_length) + " out of range");
  }
  state.lunghezza_pianta = line_length + kRunOut;
  state.numero_celle = round_to<std::int32_t>(state.lunghezza_pianta / double{kCellLength});
  state.celle.assign(static_cast<std::size_t>(state.numero_celle) + 1, TrackCell{});
  state.pianta = Plan();
  if (state.modo != 0) {
    // Every row after the two seeds may be computed (curves may reach the last); the room is
    // taken once, and no page of it is touched before its row is.
    state.pianta = Plan(static_cast<std::size_t>(state.lunghezza_pianta) + 1);
    state.pianta.reserve(static_cast<std::size_t>(state.lunghezza_pianta) - 1);
  }
}

void Plan::seed(std::int16_t x0, std::int16_t y0, std::int16_t x1, std::int16_t y1) {
  if (rows_ < 2 || !x_.empty()) throw std::logic_error("a plan is seeded first, in rows 0 and 1");
  seeds_ = {x0, y0, x1, y1};
  seeded_ = true;
}

void Plan::reserve(std::size_t computed) {
  x_.reserve(computed);
  y_.reserve(computed);
}

PlanEntry Plan::entry(std::size_t row, int column) const {
  switch (tag(row)) {
    case PlanTag::kInt16:
      return {PlanTag::kInt16, seeds_[2 * row + static_cast<std::size_t>(column)], 0};
    case PlanTag::kDouble:
      return {PlanTag::kDouble, 0, (column == 0 ? x_ : y_)[row - 2]};
    default:
      return {};
  }
}

}  // namespace binario
