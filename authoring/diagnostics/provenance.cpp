#include "authoring/diagnostics/provenance.h"

#include "authoring/route/route_names.h"

namespace binario::authoring {

CellSources cell_sources(const Reading& reading) {
  // The last write of each part of each cell.
  std::map<std::pair<std::int64_t, CellPart>, CellSource> last;
  auto keep = [&](const CellWrite& write, int record) {
    CellSource source;
    source.part = write.part;
    source.record = record;
    if (record >= 0) {
      const LoggedRecord& r = reading.record(record);
      source.keyword = reading.keyword_shown(r);
      source.file = r.file;
      source.line = reading.keyword_line(r);
      source.position = reading.number(r, 0).value_or(0);
    }
    source.tipo_before = write.tipo_before;
    source.previous_writer = write.previous_writer;
    if (write.previous_writer >= 0) {
      const LoggedRecord& previous = reading.record(write.previous_writer);
      source.previous_keyword = reading.keyword_shown(previous);
      source.previous_line = reading.keyword_line(previous);
    }
    last[{write.index, write.part}] = std::move(source);
  };
  const std::vector<LoggedRecord>& records = reading.log().records();
  for (std::size_t id = 0; id < records.size(); ++id) {
    for (const CellWrite& write : records[id].writes) keep(write, static_cast<int>(id));
  }
  for (const CellWrite& write : reading.log().completion()) keep(write, kCompletion);

  CellSources sources;
  for (auto& [key, source] : last) sources[key.first].push_back(std::move(source));
  return sources;
}

CellNotes cell_notes(const CellSources& sources) {
  CellNotes notes;
  for (const auto& [cell, list] : sources) {
    for (const CellSource& s : list) {
      // The runs of scenery say where each span is; a note on each of its cells says no more.
      if (s.part == CellPart::kScenery) continue;
      const std::string from =
          s.keyword + ", line " + std::to_string(s.line) + ", " + std::to_string(s.position) + " m";
      std::string note;
      if (s.record == kCompletion) {
        note = s.tipo_before == cell_kind::kSpeedCheck && s.previous_writer >= 0
                   ? "its value capped at 180 by the compile step (the point is " +
                         s.previous_keyword + ", line " + std::to_string(s.previous_line) + ")"
                   : "placed by the compile step: a speed check point of 180";
      } else if (s.part == CellPart::kObject) {
        note = from + " -> cell " + std::to_string(cell) + " (" +
               std::to_string(point_metre(cell)) + " m)";
        if (s.tipo_before != cell_kind::kNone && s.tipo_before != cell_kind::kSceneryMark &&
            s.previous_writer >= 0) {
          note += ", over the " + cell_kind_words(s.tipo_before) + " of " + s.previous_keyword +
                  ", line " + std::to_string(s.previous_line);
        }
      } else {
        note = "approach mark of " + from;
      }
      notes[cell].push_back(std::move(note));
    }
  }
  return notes;
}

}  // namespace binario::authoring
