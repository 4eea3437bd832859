#include "authoring/diagnostics/provenance.h"

#include <algorithm>
#include <string>
#include <vector>

#include "authoring/route/route_names.h"

namespace binario::authoring {

CellSources cell_sources(const Reading& reading) {
  const std::vector<LoggedRecord>& records = reading.log().records();
  const std::vector<CellWrite>& completion = reading.log().completion();
  // The last write of each part of each cell: its record and its place in that record's writes
  // (or in the completion's), for cell * 3 + part.
  struct Last {
    int record = kNoRecord;
    std::size_t write = 0;
  };
  constexpr std::size_t kParts = 3;
  std::size_t cells = 0;
  for (const LoggedRecord& record : records) {
    for (const CellWrite& write : record.writes) {
      cells = std::max(cells, static_cast<std::size_t>(write.index) + 1);
    }
  }
  for (const CellWrite& write : completion) {
    cells = std::max(cells, static_cast<std::size_t>(write.index) + 1);
  }
  std::vector<Last> last(cells * kParts);
  auto at = [](const CellWrite& write) {
    return static_cast<std::size_t>(write.index) * kParts + static_cast<std::size_t>(write.part);
  };
  for (std::size_t id = 0; id < records.size(); ++id) {
    for (std::size_t w = 0; w < records[id].writes.size(); ++w) {
      last[at(records[id].writes[w])] = {static_cast<int>(id), w};
    }
  }
  for (std::size_t w = 0; w < completion.size(); ++w) last[at(completion[w])] = {kCompletion, w};

  // What each record that wrote a cell is cited by, worked out once.
  struct Cited {
    bool known = false;
    std::string keyword;
    std::size_t line = 0;
    std::int32_t position = 0;
  };
  std::vector<Cited> cited(records.size());
  auto cite = [&](int id) -> const Cited& {
    Cited& c = cited[static_cast<std::size_t>(id)];
    if (!c.known) {
      const LoggedRecord& r = reading.record(id);
      c = {true, reading.keyword_shown(r), reading.keyword_line(r),
           reading.number(r, 0).value_or(0)};
    }
    return c;
  };

  CellSources sources;
  for (std::size_t cell = 0; cell < cells; ++cell) {
    std::vector<CellSource>* list = nullptr;
    for (std::size_t part = 0; part < kParts; ++part) {
      const Last& l = last[cell * kParts + part];
      if (l.record == kNoRecord) continue;
      const CellWrite& write = l.record == kCompletion
                                   ? completion[l.write]
                                   : records[static_cast<std::size_t>(l.record)].writes[l.write];
      if (list == nullptr) {
        list = &sources
                    .emplace_hint(sources.end(), static_cast<std::int64_t>(cell),
                                  std::vector<CellSource>())
                    ->second;
        list->reserve(static_cast<std::size_t>(
            std::count_if(&last[cell * kParts + part], &last[cell * kParts + kParts],
                          [](const Last& other) { return other.record != kNoRecord; })));
      }
      CellSource& source = list->emplace_back();
      source.part = write.part;
      source.record = l.record;
      if (l.record >= 0) {
        const Cited& c = cite(l.record);
        source.keyword = c.keyword;
        source.file = records[static_cast<std::size_t>(l.record)].file;
        source.line = c.line;
        source.position = c.position;
      }
      source.tipo_before = write.tipo_before;
      source.previous_writer = write.previous_writer;
      if (write.previous_writer >= 0) {
        const Cited& c = cite(write.previous_writer);
        source.previous_keyword = c.keyword;
        source.previous_line = c.line;
      }
    }
  }
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
