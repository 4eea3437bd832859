#include "authoring/messages.h"

#include "reader/error_codes.h"

namespace binario::authoring {

std::string meaning(std::int32_t code) {
  namespace e = error_code;
  switch (code) {
    case e::kLineLength:
      return "the line length (lunghezza percorso) is outside 0 to 1000000 m";
    case e::kChainageNotMultiple:
      return "a chainage reference (progressiva chilometrica) has a first or second value that "
             "is not a multiple of 50";
    case e::kRepetitionFirstNotMultiple:
      return "the first signal repetition value is not a multiple of 50";
    case e::kRepetitionSecondNotMultiple:
      return "the second signal repetition value is not a multiple of 50";
    case e::kRepetitionCodes:
      return "the signal repetition keyword names neither 4 nor 9 codes";
    case e::kSignBoardCellTaken:
      return "the sign board's cell already holds another object";
    case e::kSpeedCheckCellTaken:
      return "the speed check point's cell (abbattimento) already holds another object";
    case e::kStationPositionNotMultiple:
      return "the station's position is not a multiple of 50";
    case e::kStationLengthNotMultiple:
      return "the station's length is not a multiple of 100";
    case e::kTooManyStations:
      return "too many stations: with the line's sign boards, no row of the data table is left";
    case e::kNoPlaceBeforeSignal:
      return "no free cell for a speed check point before a signal near a slowdown warning "
             "board";
    case e::kNoPlaceInApproachGroup:
      return "no free cell for an approach speed check point before a slowdown";
    case e::kNoPlaceForRunMarker:
      return "no free cell for a speed check point inside or after a slowdown, or a slowdown "
             "without an end";
    case e::kBeyondModel:
      return "the record lies beyond the track model: its position must be at least 100 m "
             "(800 m for a station) before the end of the line plus 7000 m, and all its cells "
             "within the model";
    case e::kSignalCellTaken:
      return "the signal's cell already holds another object";
    case e::kWarningBoardCellTaken:
      return "the cell of the slowdown's warning board, 1200 m before its start, already holds "
             "another object";
    case e::kSlowdownStartCellTaken:
      return "the slowdown's start cell already holds another object";
    case e::kSlowdownEndCellTaken:
      return "the slowdown's end cell already holds another object";
    case e::kApproachCellTaken:
      return "one of the four approach cells before the slowdown's warning board already holds "
             "another object";
    case e::kSpeedBoardCellTaken:
      return "the maximum-speed board's cell already holds another object";
    case e::kStationsTooClose:
      return "the station begins less than 350 m after the end of the previous one";
    case e::kStationStopTooEarly:
      return "the station's stop would fall in cell 1 or before";
    case e::kReadFailure:
      return "a description file could not be read";
    case e::kTooManySignBoards:
      return "more than 80 sign boards";
    case e::kTooManyScenerySpans:
      return "more than 80 scenery spans";
    case e::kNoLineFile:
      return "the line description file does not exist";
    case e::kNoGeneralSection:
      return "the line description has no [generale] heading before its last line";
    case e::kCurve:
      return "a curve names no class from 1 to 6, ends beyond the plan, or takes the plan past "
             "metre 1000000";
    case e::kNoLineLength:
      return "the line description's general section has no line length (lunghezza percorso)";
    case 1250:
      return "the stamp slots are already in use: an object in cell 1, at the very start of the "
             "line, carries a first value";
    case 1251:
      return "the competition-code slots are already in use: an object in cell 1, at the very "
             "start of the line, carries a second value";
    default:
      return "unknown error";
  }
}

bool has_position(std::int32_t code) {
  namespace e = error_code;
  switch (code) {
    case e::kSignBoardCellTaken:
    case e::kSpeedCheckCellTaken:
    case e::kStationPositionNotMultiple:
    case e::kStationLengthNotMultiple:
    case e::kNoPlaceBeforeSignal:
    case e::kNoPlaceInApproachGroup:
    case e::kNoPlaceForRunMarker:
    case e::kBeyondModel:
    case e::kSignalCellTaken:
    case e::kWarningBoardCellTaken:
    case e::kSlowdownStartCellTaken:
    case e::kSlowdownEndCellTaken:
    case e::kApproachCellTaken:
    case e::kSpeedBoardCellTaken:
    case e::kStationsTooClose:
    case e::kTooManySignBoards:
    case e::kTooManyScenerySpans:
      return true;
    default:
      return false;
  }
}

}  // namespace binario::authoring
