#ifndef BINARIO_READER_ERROR_CODES_H_
#define BINARIO_READER_ERROR_CODES_H_

// The codes of the error status (codice_errore). The simulator's users and tools know them by
// number: never change one.

#include <cstdint>

namespace binario::error_code {

inline constexpr std::int32_t kNone = 0;
inline constexpr std::int32_t kLineLength = 1;           // line length out of 0..1000000
inline constexpr std::int32_t kChainageNotMultiple = 2;  // chainage value not a multiple of 50
inline constexpr std::int32_t kRepetitionFirstNotMultiple = 3;  // signal repetition
inline constexpr std::int32_t kRepetitionSecondNotMultiple = 4;
inline constexpr std::int32_t kRepetitionCodes = 5;  // neither 4 nor 9 codes
inline constexpr std::int32_t kSignBoardCellTaken = 6;
inline constexpr std::int32_t kSpeedCheckCellTaken = 7;
inline constexpr std::int32_t kStationPositionNotMultiple = 8;
inline constexpr std::int32_t kStationLengthNotMultiple = 9;
inline constexpr std::int32_t kTooManyStations = 10;
inline constexpr std::int32_t kNoPlaceBeforeSignal = 11;
inline constexpr std::int32_t kNoPlaceInApproachGroup = 12;
inline constexpr std::int32_t kNoPlaceForRunMarker = 13;
inline constexpr std::int32_t kBeyondModel = 15;  // a position or cell past the model
inline constexpr std::int32_t kSignalCellTaken = 16;
inline constexpr std::int32_t kWarningBoardCellTaken = 17;
inline constexpr std::int32_t kSlowdownStartCellTaken = 18;
inline constexpr std::int32_t kSlowdownEndCellTaken = 19;
inline constexpr std::int32_t kApproachCellTaken = 20;
inline constexpr std::int32_t kSpeedBoardCellTaken = 21;
inline constexpr std::int32_t kStationsTooClose = 22;
inline constexpr std::int32_t kStationStopTooEarly = 24;
inline constexpr std::int32_t kReadFailure = 25;
inline constexpr std::int32_t kTooManySignBoards = 26;
inline constexpr std::int32_t kTooManyScenerySpans = 27;
inline constexpr std::int32_t kNoLineFile = 101;
inline constexpr std::int32_t kNoGeneralSection = 102;
inline constexpr std::int32_t kCurve = 103;
inline constexpr std::int32_t kNoLineLength = 104;

}  // namespace binario::error_code

#endif  // BINARIO_READER_ERROR_CODES_H_
