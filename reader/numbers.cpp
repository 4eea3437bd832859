#include "reader/numbers.h"

#include <cmath>

namespace binario {

double round_half_even(double x) {
  const double nearest = std::round(x);  // ties away from zero
  if (std::fabs(x - std::trunc(x)) == 0.5) {
    return 2.0 * std::round(x / 2.0);  // the even one of the two neighbours
  }
  return nearest;
}

}  // namespace binario
