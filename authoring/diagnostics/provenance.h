#ifndef BINARIO_AUTHORING_DIAGNOSTICS_PROVENANCE_H_
#define BINARIO_AUTHORING_DIAGNOSTICS_PROVENANCE_H_

// Where each part of each track cell came from: the description record that wrote it, or the
// compile step's completion pass.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "authoring/diagnostics/reading.h"
#include "authoring/route/route_view.h"

namespace binario::authoring {

struct CellSource {
  CellPart part;
  int record;           // in the reading's log, or kCompletion
  std::string keyword;  // the record's keyword as written, ready to quote
  DescriptionFile file = DescriptionFile::kLine;
  std::size_t line = 0;       // the record's line
  std::int32_t position = 0;  // the record's first value
  std::uint8_t tipo_before = 0;
  int previous_writer = kNoRecord;
  std::string previous_keyword;  // the record that wrote the part before, if any
  std::size_t previous_line = 0;
};

// For each cell, the writes that stand in the compiled route: the last one of each part.
using CellSources = std::map<std::int64_t, std::vector<CellSource>>;

CellSources cell_sources(const Reading& reading);

// The sources of objects and approach marks as a line each: "segnale, line 19, 8020 m -> cell
// 161 (8000 m)".
CellNotes cell_notes(const CellSources& sources);

}  // namespace binario::authoring

#endif  // BINARIO_AUTHORING_DIAGNOSTICS_PROVENANCE_H_
