// The train half of memorizza_dati: the train description becomes the line speed and adhesion
// of every cell, the stations with their stops, the signals, slowdowns and speed check points,
// and the train's rows of the scenario data table.

#include "reader/description_reader.h"
#include "reader/error_codes.h"
#include "reader/numbers.h"
#include "reader/readers.h"
#include "reader/track_markers.h"

namespace binario {

namespace {

class TrainReader : DescriptionReader {
 public:
  TrainReader(RunState& state, ReaderFiles& files, std::string_view bytes,
              std::int32_t sign_board_limit, ReadingObserver* observer)
      : DescriptionReader(state, files, DescriptionFile::kTrain, bytes, observer),
        sign_board_limit_(sign_board_limit) {}

  void run() {
    reporting_failures([this] { read(); });
  }

 private:
  void read();
  Next read_record();
  Next speed();
  Next adhesion();
  Next signal();
  Next slowdown();
  Next speed_check();
  Next station();
  void end_of_reading();

  TrackCell& cell(std::int64_t index) { return state_.celle[static_cast<std::size_t>(index)]; }
  // The speed in force, in 5 km/h steps, into cells up to `until`, never past `last`.
  void fill_speed(std::int64_t until, std::int32_t last) {
    fill_cells(speed_fill_, until, last, [&](std::size_t i) {
      state_.celle[i].velocita = round_to<std::uint8_t>(current_speed_ / 5.0);
    });
  }
  void fill_adhesion(std::int64_t until) {
    fill_cells(adhesion_fill_, until, state_.numero_celle,
               [&](std::size_t i) { state_.celle[i].aderenza = low_bits_u8(current_adhesion_); });
  }

  const std::int32_t sign_board_limit_;  // stations stay below the sign-board rows
  std::int32_t speed_fill_ = 0;          // the next cell to take a line speed
  std::int32_t adhesion_fill_ = 0;       // the next cell to take an adhesion value
  std::int32_t current_speed_ = 0;       // km/h, until the first "velocita" record
  std::int32_t current_adhesion_ = 0;    // until the first "aderenza" record
  std::int32_t station_ = 1;             // the row of the next station
};

void TrainReader::read() {
  // Everything before "[generale]" is passed over; a file without it yields no records.
  while (!in_.at_end()) {
    read_riga();
    if (contains_any_case(state_.riga, "[generale]")) {
      note(FieldRole::kHeading);
      break;
    }
    note(FieldRole::kPassedOver);
  }
  // A record beyond the model ends the records; the end of the reading follows as usual.
  if (!read_records([this] { return read_record(); })) return;
  end_of_reading();
}

// The kinds are not exclusive: a keyword is tested against every kind, in this order.
Next TrainReader::read_record() {
  auto& table = state_.tabella_dati;
  const std::string& riga = state_.riga;
  if (contains_any_case(riga, "massa") && contains_any_case(riga, "frenata")) {
    const Record record(*this, RecordKind::kBrakedMass);
    table[data_row::kLineAndTrain].valore1 = read_int32();
  }
  if (contains_any_case(riga, "vetture")) {
    const Record record(*this, RecordKind::kCars);
    table[data_row::kLineAndTrain].valore3 = read_int32();
  }
  for (Next (TrainReader::*kind)() : {&TrainReader::speed, &TrainReader::adhesion}) {
    if (const Next next = (this->*kind)(); next != Next::kGoOn) return next;
  }
  if (contains_any_case(riga, "orologio")) {
    const Record record(*this, RecordKind::kClock);
    DataRow& clock = table[data_row::kTrainIdentity];
    clock.parola3 = read_int<std::int16_t>();
    clock.parola4 = read_int<std::int16_t>();
    clock.parola5 = read_int<std::int16_t>();
  }
  if (contains_any_case(riga, "sabbia")) {
    const Record record(*this, RecordKind::kSand);
    table[data_row::kTrainIdentity].parola1 = read_int<std::int16_t>();
  }
  for (Next (TrainReader::*kind)() : {&TrainReader::signal, &TrainReader::slowdown,
                                      &TrainReader::speed_check, &TrainReader::station}) {
    if (const Next next = (this->*kind)(); next != Next::kGoOn) return next;
  }
  return Next::kGoOn;
}

Next TrainReader::speed() {
  if (!contains_any_case(state_.riga, "velocit")) return Next::kGoOn;
  const Record record(*this, RecordKind::kSpeed);
  const std::int32_t p = read_int32();
  const std::int32_t v = read_int32();
  if (beyond(p)) return beyond_model(p);
  // The speed in force fills the cells up to the one before round(p / 50); a record never
  // fills the last cell.
  const std::int64_t n = round_to_index(p / 50.0);
  if (n > 0) fill_speed(n, state_.numero_celle - 1);
  current_speed_ = v;
  return Next::kGoOn;
}

Next TrainReader::adhesion() {
  if (!contains_any_case(state_.riga, "aderenza")) return Next::kGoOn;
  const Record record(*this, RecordKind::kAdhesion);
  const std::int32_t p = read_int32();
  const std::int32_t a = read_int32();
  if (beyond(p)) return beyond_model(p);
  const std::int64_t n = round_to_index(p / 50.0);
  if (n > 0) fill_adhesion(n);
  current_adhesion_ = a;
  return Next::kGoOn;
}

Next TrainReader::signal() {
  if (!contains_any_case(state_.riga, "segnale")) return Next::kGoOn;
  const Record record(*this, RecordKind::kSignal);
  const std::int32_t posizione = read_int32();
  SignalValues values;
  for (std::int32_t* value : {&values.sx, &values.s1, &values.s2, &values.s3, &values.rapp,
                              &values.dx, &values.d1, &values.d2, &values.d3, &values.tempo}) {
    *value = read_int32();
  }
  if (beyond(posizione)) return beyond_model(posizione);
  if (memo_segnale(state_, posizione, values, observer_) == Placement::kOutsideModel) {
    return beyond_model(posizione);
  }
  // An error recorded earlier (a line description that ended beyond the model) counts here
  // as well: the reading stops at this record.
  if (state_.codice_errore > 0) return stop_at(state_.codice_errore, posizione);
  return Next::kGoOn;
}

Next TrainReader::slowdown() {
  if (!contains_any_case(state_.riga, "rallentamento")) return Next::kGoOn;
  const Record record(*this, RecordKind::kSlowdown);
  SlowdownValues values;
  for (std::int32_t* value :
       {&values.x, &values.v, &values.l, &values.f_tt, &values.f_ta, &values.d_v}) {
    *value = read_int32();
  }
  if (beyond(values.x)) return beyond_model(values.x);
  if (memo_rallentamento(state_, values, observer_) == Placement::kOutsideModel) {
    return beyond_model(values.x);
  }
  if (state_.codice_errore > 0) return stop_at(state_.codice_errore, values.x);
  return Next::kGoOn;
}

Next TrainReader::speed_check() {
  if (!contains_any_case(state_.riga, "abbattimento")) return Next::kGoOn;
  const Record record(*this, RecordKind::kSpeedCheck);
  const std::int32_t p = read_int32();
  const std::int32_t w = read_int32();
  if (beyond(p)) return beyond_model(p);
  // One cell before cell_of(p) when p is a multiple of 50.
  const auto c = round_to_index(p / 50.0);
  if (!in_model(state_, c)) return beyond_model(p);
  TrackCell& point = cell(c);
  if (!is_free(point)) return stop_at(error_code::kSpeedCheckCellTaken, p);
  if (w > 0) {
    point.tipo = cell_kind::kSpeedCheck;
    point.dato1 = low_bits_i16(w);
  } else {
    point.tipo = cell_kind::kSpeedCheckWithoutValue;
  }
  if (observer_ != nullptr) observer_->cell_written(c, CellPart::kObject);
  return Next::kGoOn;
}

Next TrainReader::station() {
  if (!contains_any_case(state_.riga, "stazione")) return Next::kGoOn;
  const Record record(*this, RecordKind::kStation);
  const std::int32_t i = station_;
  DataRow& row = state_.tabella_dati[static_cast<std::size_t>(i)];

  const std::int32_t position = read_int32();
  row.valore3 = position;
  if (beyond(position, 800)) return beyond_model(position);
  if (position % 50 != 0) return stop_at(error_code::kStationPositionNotMultiple, position);
  row.classe = read_int<std::uint8_t>();
  const std::int32_t length = read_int32();
  if (length % 100 != 0) return stop_at(error_code::kStationLengthNotMultiple, position);
  row.marca = read_int<std::uint8_t>();
  row.ottetto4 = read_int<std::uint8_t>();
  row.ottetto3 = read_int<std::uint8_t>();
  row.parola1 = read_int<std::int16_t>();
  row.parola2 = read_int<std::int16_t>();
  row.ottetto1 = read_int<std::uint8_t>();
  row.parola3 = read_int<std::int16_t>();
  row.parola4 = read_int<std::int16_t>();
  row.parola5 = read_int<std::int16_t>();
  row.ottetto2 = read_int<std::uint8_t>();
  const std::int64_t hours = read_int32();
  const std::int64_t minutes = read_int32();
  const std::int64_t seconds = read_int32();
  row.valore4 = must_fit<std::int32_t>((hours * 60 + minutes) * 60 + seconds);
  row.testo = table_text(read_text());

  // The station's extent.
  const std::int32_t t = row.classe;
  if (t == 5 || t == 6) {
    row.valore1 = must_fit<std::int32_t>(std::int64_t{position} - length);
    row.valore2 = must_fit<std::int32_t>(std::int64_t{position} + 150);
    row.ottetto3 = 0;
  } else if (t == 7 || t == 8) {
    row.valore1 = must_fit<std::int32_t>(std::int64_t{position} - length);
    row.valore2 = must_fit<std::int32_t>(std::int64_t{position} + length);
    row.ottetto3 = 0;
  } else {
    row.valore1 = must_fit<std::int32_t>(std::int64_t{position} - length / 2);
    row.valore2 =
        must_fit<std::int32_t>(std::int64_t{position} + length / 2 + (row.ottetto3 != 0 ? 50 : 0));
  }
  if (length < 600) row.ottetto4 = 0;
  if (i == 1) row.ottetto3 = row.ottetto4 = 0;

  // The stop and its approach marks, for the types that have them. Their cells may lie no
  // further than the end of the model.
  const double end_cells = row.valore2 / 50.0;
  const bool marks = t < 25 && t != 5 && t != 6;
  const bool stop_cell = t < 25 && end_cells - 1 > 1;
  const auto stop_index = round_to_index(end_cells - 1);
  if ((marks || stop_cell) && stop_index > state_.numero_celle) return beyond_model(position);
  if (marks) {
    for (int k = 1; k <= 4; ++k) {
      if (end_cells - k - 1 > 1) {
        const auto mark = round_to_index(end_cells - k - 1);
        cell(mark).avviso = static_cast<std::uint8_t>(80 + k);
        if (observer_ != nullptr) observer_->cell_written(mark, CellPart::kApproachMark);
      }
    }
  }
  if (t < 25) {
    if (!stop_cell) return stop(error_code::kStationStopTooEarly);
    // The stop takes its cell whatever stood there.
    TrackCell& stop_point = cell(stop_index);
    stop_point.tipo = cell_kind::kStationStop;
    stop_point.dato1 = static_cast<std::int16_t>(i);
    if (observer_ != nullptr) observer_->cell_written(stop_index, CellPart::kObject);
  }

  if (i > 1 && std::int64_t{row.valore1} - 350 < state_.tabella_dati[i - 1].valore2) {
    return stop_at(error_code::kStationsTooClose, position);
  }
  station_ = i + 1;
  if (station_ >= sign_board_limit_) return stop(error_code::kTooManyStations);
  return Next::kGoOn;
}

void TrainReader::end_of_reading() {
  files_.done(DescriptionFile::kTrain);
  // The last speed and adhesion run on to three cells before the end of the model.
  fill_speed(state_.numero_celle - 2, state_.numero_celle);
  fill_adhesion(state_.numero_celle - 2);
  for (int row = data_row::kChainageTre; row <= data_row::kChainageUno; ++row) {
    const DataRow& chainage = state_.tabella_dati[row];
    if (chainage.valore1 % 50 != 0 || chainage.valore2 % 50 != 0) {
      state_.codice_errore = error_code::kChainageNotMultiple;
      if (observer_ != nullptr) {
        observer_->code_recorded(error_code::kChainageNotMultiple, std::nullopt);
      }
    }
  }
}

}  // namespace

void read_train_description(RunState& state, ReaderFiles& files, std::int32_t sign_board_limit,
                            ReadingObserver* observer) {
  const std::optional<std::string> bytes = files.open(DescriptionFile::kTrain);
  if (!bytes) throw ReadFailure("the file does not exist");
  TrainReader(state, files, *bytes, sign_board_limit, observer).run();
}

}  // namespace binario
