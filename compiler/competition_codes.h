#ifndef BINARIO_COMPILER_COMPETITION_CODES_H_
#define BINARIO_COMPILER_COMPETITION_CODES_H_

// The two competition codes: numbers computed from the scenario's identity alone, the train
// number (row 86's text) followed by the line identifier (row 85's text), lower-cased and padded
// with "mmnnooppqqrrssttuuvvwwxxyy"; only the first 25 characters count. Each routine leaves its
// code text in riga. The simulator checks these values: never change how they are computed.

#include <cstdint>

#include "reader/track_model.h"

namespace binario {

// The plain sum of the 25 character codes (at most 25 x 255).
std::int32_t codice_gara_og(RunState& state);

// The sum of the 25 character codes, each weighted by its position from 1 (at most 255 x 325).
std::int32_t codice_gara_st(RunState& state);

}  // namespace binario

#endif  // BINARIO_COMPILER_COMPETITION_CODES_H_
