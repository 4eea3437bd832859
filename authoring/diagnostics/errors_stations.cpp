// The codes of the stations: positions and lengths off the 50 m cells, too many stations,
// stations too close, a stop too early.

#include "authoring/diagnostics/explainer.h"

#include <algorithm>
#include <string>

#include "authoring/text/text.h"

namespace binario::authoring::explanations {

void Explainer::station_code(const LoggedCode& code, const LoggedRecord& record, int id) {
  const Span keyword = r_.keyword_span(record);
  const std::int32_t p = number(record, 0).value_or(0);
  const std::string name = r_.text_value(record, 16);
  const std::string station =
      "the station" + (name.empty() ? std::string() : " " + quoted(name)) + " at " + metres(p);
  // The station's row: stations take rows 1 upward in file order.
  const auto row_index = std::clamp<std::ptrdiff_t>(
      std::count_if(r_.log().records().begin(), r_.log().records().begin() + id + 1,
                    [](const LoggedRecord& r) { return r.kind == K::kStation; }),
      1, data_row::kFirstSignBoard);
  const DataRow& row = state().tabella_dati[static_cast<std::size_t>(row_index)];
  const DataRow& previous_row =
      state().tabella_dati[static_cast<std::size_t>(std::max<std::ptrdiff_t>(1, row_index - 1))];
  Diagnostic* d = nullptr;
  switch (code.code) {
    case e::kStationPositionNotMultiple:
      d = &error(code.code, r_.value_span(record, 0),
                 station + ": a station's position must be a multiple of 50", code.position);
      break;
    case e::kStationLengthNotMultiple:
      d = &error(code.code, record.values.size() > 2 ? r_.value_span(record, 2) : keyword,
                 "the station's length, " + metres(number(record, 2).value_or(0)) +
                     ", is not a multiple of 100",
                 code.position);
      break;
    case e::kTooManyStations: {
      const auto boards = std::count_if(
          r_.log().records().begin(), r_.log().records().end(),
          [](const LoggedRecord& r) { return r.kind == K::kSignBoard && r.complete; });
      const std::ptrdiff_t fit =
          std::max<std::ptrdiff_t>(0, data_row::kFirstSignBoard - 2 - boards);
      d = &error(code.code, keyword,
                 "too many stations: with " + std::to_string(boards) +
                     " sign boards in the line description, " +
                     (fit == 0 ? std::string("no station fits")
                               : "at most " + std::to_string(fit) + " stations fit") +
                     " (78, one fewer for each sign board)");
      // The station is stored before it is refused: in a row a sign board's text holds, it
      // takes that row, and the board names the station.
      const std::ptrdiff_t first_board_row = data_row::kFirstSignBoard + 1 - boards;
      if (row_index >= first_board_row) {
        std::ptrdiff_t k = data_row::kFirstSignBoard - row_index;  // the board's place in order
        for (const LoggedRecord& board : r_.log().records()) {
          if (board.kind != K::kSignBoard || !board.complete || k-- != 0) continue;
          d->notes.push_back(note_at(
              board, "this sign board's text stood in row " + std::to_string(row_index) +
                         " of the table, where the station was stored before it was refused: "
                         "the board now shows the station's name, " +
                         quoted(r_.text_value(record, 16))));
          break;
        }
      }
      break;
    }
    case e::kStationsTooClose: {
      const int before = previous(id, K::kStation);
      const LoggedRecord& previous_record = r_.record(before);
      const std::int32_t previous_position = number(previous_record, 0).value_or(0);
      const std::string previous_name = r_.text_value(previous_record, 16);
      if (p < previous_position) {
        d = &error(code.code, r_.value_span(record, 0),
                   station + " is listed after the station " + quoted(previous_name) + " at " +
                       metres(previous_position) +
                       ": stations must be listed in the order the train meets them",
                   code.position);
      } else {
        d = &error(code.code, r_.value_span(record, 0),
                   station + " begins at " + metres(row.valore1) +
                       ", less than 350 m after the end of the previous station",
                   code.position);
      }
      d->notes.push_back(note_at(previous_record, "the previous station, " + quoted(previous_name) +
                                                      ", ends at " + metres(previous_row.valore2)));
      break;
    }
    case e::kStationStopTooEarly:
      d = &error(code.code, keyword,
                 station +
                     " is too near the start: its stop would fall in cell 1 or before, "
                     "since its extent ends at " +
                     metres(row.valore2) + " (it must end after 100 m)");
      break;
    default:
      d = &error(code.code, keyword, "error " + std::to_string(code.code), code.position);
      break;
  }
  stopped(*d, lines_of(record));
}

}  // namespace binario::authoring::explanations
