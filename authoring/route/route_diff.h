#ifndef BINARIO_AUTHORING_ROUTE_ROUTE_DIFF_H_
#define BINARIO_AUTHORING_ROUTE_ROUTE_DIFF_H_

// binario diff: two compiled routes compared in the words of the dump. Cells are compared by
// what they hold as objects (tipo, dato1 .. dato5, avviso); the filled values (speed,
// gradient, adhesion, scenery) as runs of cells where they differ; rows field by field; the
// plans by where they part and how far apart they come.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "authoring/route/compiled_files.h"
#include "authoring/route/route_view.h"

namespace binario::authoring {

struct FieldChange {
  std::string_view field;  // one of kCellFields or kRowFields
  std::int64_t a = 0;
  std::int64_t b = 0;
};

struct CellChange {
  enum class Kind { kAdded, kRemoved, kChanged };
  std::int64_t index = 0;
  Kind kind = Kind::kChanged;
  // For an added cell, the fields b holds; for a removed one, those a held; else those that
  // differ.
  std::vector<FieldChange> fields;
};

std::string_view change_name(CellChange::Kind kind);  // "added", "removed", "changed"

// Cells first_cell to last_cell, which both routes have, hold `a` in one and `b` in the other.
struct RunChange {
  RunField field;
  std::int64_t first_cell = 0;
  std::int64_t last_cell = 0;
  std::uint8_t a = 0;
  std::uint8_t b = 0;
};

struct RowChange {
  int row = 0;
  RowPurpose purpose_a = RowPurpose::kUnused;
  RowPurpose purpose_b = RowPurpose::kUnused;
  std::vector<FieldChange> fields;  // the numeric ones
  std::optional<std::array<std::string, 2>> testo;
};

struct PlanChange {
  std::size_t rows_a = 0;
  std::size_t rows_b = 0;
  // The first row, of those both plans have, that differs, and how far apart its points are
  // (nothing when one of them is empty).
  std::optional<std::size_t> first_row;
  std::optional<double> first_distance;
  // The largest distance between the points of a row, over the rows where both hold one.
  double largest_distance = 0;
  std::size_t largest_row = 0;
  // Rows where one plan holds a point and the other is empty.
  std::size_t one_side_empty = 0;
};

// The three files, in the order plan, data, track.
inline constexpr std::array<std::string_view, 3> kRouteFiles = {"line plan file",
                                                                "general data file", "track file"};

struct RouteDiff {
  std::array<bool, 3> in_a{};  // whether route a has the file
  std::array<bool, 3> in_b{};
  std::size_t cells_a = 0;  // when both have a track file
  std::size_t cells_b = 0;
  std::vector<CellChange> cells;
  std::vector<RunChange> runs;
  std::vector<RowChange> rows;
  std::optional<PlanChange> plan;  // when both have a plan and they differ

  bool equal() const;
};

// Compares the part `range` of two routes.
RouteDiff diff_routes(const CompiledRoute& a, const CompiledRoute& b, const RouteRange& range);

// The differences in words, nothing when there are none. `a_name` and `b_name` say where each
// route comes from.
std::string diff_text(const RouteDiff& diff, const CompiledRoute& a, const CompiledRoute& b,
                      const std::string& a_name, const std::string& b_name);

}  // namespace binario::authoring

#endif  // BINARIO_AUTHORING_ROUTE_ROUTE_DIFF_H_
