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
  state.pianta.clear();
  if (state.modo != 0) {
    state.pianta.assign(static_cast<std::size_t>(state.lunghezza_pianta) + 1, PlanRow{});
  }
}

}  // namespace binario
