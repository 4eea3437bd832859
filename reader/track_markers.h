#ifndef BINARIO_READER_TRACK_MARKERS_H_
#define BINARIO_READER_TRACK_MARKERS_H_

// The routines that stamp trackside objects onto the track cells, and the one that puts the
// line's chainage references in order. A routine that refuses a record sets codice_errore to
// its own code and writes nothing more; none sets posizione_errore, which is the caller's. Each
// tells `observer`, when there is one, of every cell it writes.

#include <cstdint>

#include "reader/observer.h"
#include "reader/track_model.h"

namespace binario {

// Whether a marker fitted the track model. kOutsideModel: one of its cells lies outside cells
// 0 to numero_celle, so nothing was written and codice_errore is untouched; the caller refuses
// the record as lying beyond the model.
enum class Placement { kInModel, kOutsideModel };

// The cell of a point object at route position p (metres): round(p / 50 + 1), ties to even, so
// that cell k covers the metres from (k - 1) x 50 to k x 50.
std::int64_t cell_of(std::int64_t p);

// Whether `cell` is one of cells 0 to numero_celle.
bool in_model(const RunState& state, std::int64_t cell);

// Puts rows 81 to 83 of tabella_dati in order of valore1, largest first (or, when the three
// valore1 add up to 0, by which valore2 is positive), then adds 100 to the valore2 of every row
// whose valore3 is 1.
void progressive_ordina(RunState& state);

// Records the scenery span `inizio` to `fine` (metres) of kind `tipo` and sets the montagna of
// its cells. A kind above 10 asks for scenery marks on every fourth empty cell and is lowered by
// 10; a span starting at most 150 m after the previous one ends becomes kind 3. The 81st span is
// refused with kTooManyScenerySpans.
Placement memo_montagna(RunState& state, std::int32_t& inizio, std::int32_t& fine,
                        std::int32_t& tipo, ReadingObserver* observer = nullptr);

struct SpeedBoardValues {
  std::int32_t vas = 0, vbs = 0, vcs = 0, strisces = 0;  // the s side
  std::int32_t vad = 0, vbd = 0, vcd = 0, strisced = 0;  // the d side
};

// Places maximum-speed boards at `posizione`. A speed code that does not fit 16 bits is a
// ReadFailure.
Placement memo_indicatori_v_max(RunState& state, std::int32_t posizione,
                                const SpeedBoardValues& values,
                                ReadingObserver* observer = nullptr);

struct SignalValues {
  std::int32_t sx = 0, s1 = 0, s2 = 0, s3 = 0, rapp = 0;
  std::int32_t dx = 0, d1 = 0, d2 = 0, d3 = 0;
  std::int32_t tempo = 0;  // 1 to 100 become 101, in the caller's values too
};

// Places a signal at `posizione` and its approach marks 100 to 400 m before it.
Placement memo_segnale(RunState& state, std::int32_t posizione, SignalValues& values,
                       ReadingObserver* observer = nullptr);

struct SlowdownValues {
  std::int32_t x = 0;     // start (metres)
  std::int32_t v = 0;     // speed
  std::int32_t l = 0;     // length (metres)
  std::int32_t f_tt = 0;  // stored at the start and the end
  std::int32_t f_ta = 0;  // non-zero: four approach cells before the warning board
  std::int32_t d_v = 0;   // a second value, 0 for none
};

// Places a slowdown: its start and end, and, when it starts beyond 1500 m, its warning board
// 1200 m before the start and, when asked, the four approach cells before the board.
Placement memo_rallentamento(RunState& state, const SlowdownValues& values,
                             ReadingObserver* observer = nullptr);

}  // namespace binario

#endif  // BINARIO_READER_TRACK_MARKERS_H_
