#ifndef BINARIO_COMPILER_ROUTE_FILES_H_
#define BINARIO_COMPILER_ROUTE_FILES_H_

// The three compiled route files the simulator loads, each a plain dump of one table of the
// run state: no header, no version, no checksum. Little-endian, packed.
//
// Line plan file (pianta): every entry of column 0 (x), rows 0 to lunghezza_pianta, then every
// entry of column 1 (y); each entry a 16-bit tag and its payload:
//   tag 0 empty, no payload | tag 2 a 16-bit integer | tag 5 a double.
// General data file (tabella_dati): rows 0 to 86, each
//   classe u8, valore1..3 i32, marca u8, testo length u16, testo bytes, parola1..5 i16,
//   ottetto1..4 u8, valore4 i32  (34 bytes + the text).
// Track file (celle): cells 0 to numero_celle, each
//   tipo u8, dato1..4 i16, dato5 u8, avviso u8, montagna u8, velocita u8, pendenza u8,
//   aderenza u8  (15 bytes).
//
// The simulator reads these layouts: never change them.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "reader/track_model.h"

namespace binario {

// Tags of the plan file's entries.
inline constexpr std::uint16_t kPlanEmpty = 0;
inline constexpr std::uint16_t kPlanInt16 = 2;
inline constexpr std::uint16_t kPlanDouble = 5;

inline constexpr std::size_t kCellRecordSize = 1 + 4 * 2 + 6 * 1;
static_assert(kCellRecordSize == 15);

// A data-table record without its text.
inline constexpr std::size_t kDataRowFixedSize = 1 + 3 * 4 + 1 + 2 + 5 * 2 + 4 * 1 + 4;
static_assert(kDataRowFixedSize == 34);

// The size of a plan entry in the file, its tag and its payload.
inline constexpr std::size_t kPlanEntrySize[] = {2, 4, 10};  // by PlanTag
constexpr std::size_t plan_entry_size(PlanTag tag) {
  return kPlanEntrySize[static_cast<std::size_t>(tag)];
}

// The line plan file's size: every entry of both columns.
std::size_t line_plan_size(const Plan& pianta);

// The line plan file, in pieces of at most kLinePlanPiece bytes handed to `write` in order, so
// that the 2.4 MB of a long line are never held whole.
inline constexpr std::size_t kLinePlanPiece = 64 * 1024;
void encode_line_plan(const Plan& pianta, const std::function<void(std::string_view)>& write);
// The same, whole.
std::string encode_line_plan(const Plan& pianta);

// Throws std::length_error for a text longer than the 65535 bytes its length field holds.
std::string encode_general_data(const std::array<DataRow, data_row::kCount>& tabella_dati);

std::string encode_track(const std::vector<TrackCell>& celle);

}  // namespace binario

#endif  // BINARIO_COMPILER_ROUTE_FILES_H_
