#include "authoring/route/route_names.h"

namespace binario::authoring {

std::string_view cell_kind_name(std::uint8_t tipo) {
  namespace k = cell_kind;
  switch (tipo) {
    case k::kNone:
      return "nothing";
    case k::kSignal:
      return "signal";
    case k::kSlowdownEnd:
      return "slowdown end";
    case k::kSlowdownStart:
      return "slowdown start";
    case k::kSlowdownWarning:
      return "slowdown warning board";
    case k::kSlowdownApproach:
      return "slowdown approach cell";
    case k::kSpeedBoards:
      return "maximum-speed boards";
    case k::kStationStop:
      return "station stop";
    case k::kSceneryMark:
      return "scenery mark";
    case k::kSpeedCheck:
      return "speed check point";
    case k::kSpeedCheckWithoutValue:
      return "speed check point without a value";
    case k::kSignBoard:
      return "sign board";
    default:
      return "";
  }
}

std::string cell_kind_words(std::uint8_t tipo) {
  const std::string_view name = cell_kind_name(tipo);
  return name.empty() ? "unknown kind " + std::to_string(tipo) : std::string(name);
}

std::array<std::string_view, 5> cell_data_meanings(std::uint8_t tipo) {
  namespace k = cell_kind;
  switch (tipo) {
    case k::kSignal:
      return {"s1*10 + d1", "s2*10 + d2", "s3*10 + d3", "rapp*10 + signal code (3*sx + dx)",
              "time value (only when sx is 2)"};
    case k::kSlowdownEnd:
    case k::kSlowdownStart:
      return {"slowdown speed", "second value", "f_tt", "", ""};
    case k::kSlowdownWarning:
      return {"slowdown speed", "second value", "", "", ""};
    case k::kSlowdownApproach:
      return {"approach cell, 1 nearest the board",
              "the same, when the slowdown has a second value", "", "", ""};
    case k::kSpeedBoards:
      return {"speed code (d speed / 5 + s speed * 20)", "speed code (d speed / 5 + s speed * 20)",
              "speed code (d speed / 5 + s speed * 20)", "stripes (strisces*10 + strisced)", ""};
    case k::kStationStop:
      return {"the station's row of the data table", "", "", "", ""};
    case k::kSpeedCheck:
      return {"speed value", "", "", "", ""};
    case k::kSignBoard:
      return {"the data-table row that holds its text", "", "", "", ""};
    default:
      return {"", "", "", "", ""};
  }
}

std::int32_t cell_field(const TrackCell& cell, std::string_view field) {
  if (field == "tipo") return cell.tipo;
  if (field == "dato1") return cell.dato1;
  if (field == "dato2") return cell.dato2;
  if (field == "dato3") return cell.dato3;
  if (field == "dato4") return cell.dato4;
  if (field == "dato5") return cell.dato5;
  if (field == "avviso") return cell.avviso;
  if (field == "montagna") return cell.montagna;
  if (field == "velocita") return cell.velocita;
  if (field == "pendenza") return cell.pendenza;
  if (field == "aderenza") return cell.aderenza;
  return 0;
}

std::string_view cell_field_meaning(std::int64_t index, std::uint8_t tipo, std::string_view field) {
  if (index == 1 && field == "dato1") return "track stamp (5121 on every compiled route)";
  if (index == 1 && field == "dato2") return "og competition code";
  if (field == "tipo") return "kind of point object";
  if (field == "avviso") return "approach mark";
  if (field == "montagna") return "scenery kind (0 none)";
  if (field == "velocita") return "line speed / 5 (km/h)";
  if (field == "pendenza") return "gradient + 100 (per mille)";
  if (field == "aderenza") return "adhesion";
  const auto meanings = cell_data_meanings(tipo);
  for (int i = 0; i < 5; ++i) {
    if (field == kCellFields[static_cast<std::size_t>(1 + i)]) {
      return meanings[static_cast<std::size_t>(i)];
    }
  }
  return "";
}

std::string_view row_purpose_name(RowPurpose purpose) {
  switch (purpose) {
    case RowPurpose::kUnused:
      return "unused";
    case RowPurpose::kStation:
      return "station";
    case RowPurpose::kSignBoardText:
      return "sign-board text";
    case RowPurpose::kChainage:
      return "chainage reference";
    case RowPurpose::kLineAndTrain:
      return "braked mass, line length, cars";
    case RowPurpose::kLineIdentity:
      return "backgrounds, line name, table stamp, st competition code";
    case RowPurpose::kTrainIdentity:
      return "signal repetition, train number, sand, clock";
  }
  return "";
}

RowPurpose fixed_row_purpose(int row) {
  if (row <= 0) return RowPurpose::kUnused;
  if (row <= data_row::kFirstSignBoard) return RowPurpose::kStation;
  if (row <= data_row::kChainageUno) return RowPurpose::kChainage;
  if (row == data_row::kLineAndTrain) return RowPurpose::kLineAndTrain;
  if (row == data_row::kLineIdentity) return RowPurpose::kLineIdentity;
  return RowPurpose::kTrainIdentity;
}

std::int32_t row_field(const DataRow& row, std::string_view field) {
  if (field == "classe") return row.classe;
  if (field == "valore1") return row.valore1;
  if (field == "valore2") return row.valore2;
  if (field == "valore3") return row.valore3;
  if (field == "marca") return row.marca;
  if (field == "parola1") return row.parola1;
  if (field == "parola2") return row.parola2;
  if (field == "parola3") return row.parola3;
  if (field == "parola4") return row.parola4;
  if (field == "parola5") return row.parola5;
  if (field == "ottetto1") return row.ottetto1;
  if (field == "ottetto2") return row.ottetto2;
  if (field == "ottetto3") return row.ottetto3;
  if (field == "ottetto4") return row.ottetto4;
  if (field == "valore4") return row.valore4;
  return 0;
}

namespace {

struct Meaning {
  std::string_view field;
  std::string_view meaning;
};

template <std::size_t N>
std::string_view look_up(const Meaning (&table)[N], std::string_view field) {
  for (const Meaning& m : table) {
    if (m.field == field) return m.meaning;
  }
  return "";
}

constexpr Meaning kStation[] = {
    {"classe", "station type"},
    {"valore1", "extent start (m)"},
    {"valore2", "extent end (m)"},
    {"valore3", "position (m)"},
    {"valore4", "time of day (s)"},
    {"testo", "name"},
    {"marca", "not interpreted"},
    {"parola1", "not interpreted"},
    {"parola2", "not interpreted"},
    {"parola3", "not interpreted"},
    {"parola4", "not interpreted"},
    {"parola5", "not interpreted"},
    {"ottetto1", "not interpreted"},
    {"ottetto2", "not interpreted"},
    {"ottetto3", "not interpreted (not 0: the extent ends 50 m further)"},
    {"ottetto4", "not interpreted"},
};
constexpr Meaning kSignBoardText[] = {{"testo", "the board's text"}};
constexpr Meaning kChainage[] = {
    {"valore1", "first value (the rows go by it, largest first)"},
    {"valore2", "second value (100 added where valore3 is 1)"},
    {"valore3", "flag"},
};
constexpr Meaning kLineAndTrain[] = {
    {"valore1", "braked-mass percentage"},
    {"valore2", "line length (m)"},
    {"valore3", "number of cars"},
};
constexpr Meaning kLineIdentity[] = {
    {"valore1", "background one"},
    {"valore2", "background three"},
    {"valore3", "background two"},
    {"testo", "line name"},
    {"parola1", "table stamp (610 on every compiled route)"},
    {"valore4", "st competition code"},
};
constexpr Meaning kTrainIdentity[] = {
    {"valore1", "signal repetition, first value"},
    {"valore2", "signal repetition, second value"},
    {"valore3", "number of codes (4, 9, or 0 when the second value is 0)"},
    {"testo", "train number"},
    {"parola1", "sand"},
    {"parola3", "clock start, hours"},
    {"parola4", "clock start, minutes"},
    {"parola5", "clock start, seconds"},
};

}  // namespace

std::string_view row_field_meaning(RowPurpose purpose, std::string_view field) {
  switch (purpose) {
    case RowPurpose::kUnused:
      return "";
    case RowPurpose::kStation:
      return look_up(kStation, field);
    case RowPurpose::kSignBoardText:
      return look_up(kSignBoardText, field);
    case RowPurpose::kChainage:
      return look_up(kChainage, field);
    case RowPurpose::kLineAndTrain:
      return look_up(kLineAndTrain, field);
    case RowPurpose::kLineIdentity:
      return look_up(kLineIdentity, field);
    case RowPurpose::kTrainIdentity:
      return look_up(kTrainIdentity, field);
  }
  return "";
}

}  // namespace binario::authoring
