#include "authoring/diagnostics/errors.h"

#include <algorithm>
#include <limits>

#include "authoring/diagnostics/record_kinds.h"
#include "authoring/route/route_names.h"
#include "authoring/text/text.h"
#include "reader/error_codes.h"
#include "reader/field_reader.h"
#include "reader/keywords.h"
#include "reader/numbers.h"
#include "reader/read_failure.h"
#include "reader/track_markers.h"

namespace binario::authoring {

namespace {

using K = RecordKind;
namespace e = error_code;

std::string quoted(std::string_view text) { return "'" + shown(text) + "'"; }

// A point object's kind in words, with its article: "a signal", "maximum-speed boards".
std::string object_words(std::uint8_t tipo) {
  const std::string name = cell_kind_words(tipo);
  if (name.ends_with('s')) return name;
  return (std::string_view("aeiou").find(name.front()) != std::string_view::npos ? "an " : "a ") +
         name;
}

// The metre a point object in cell `cell` stands at: cell k covers (k - 1) x 50 to k x 50.
std::int64_t object_metre(std::int64_t cell) { return (cell - 1) * kCellLength; }

// What kind of value a field is, to say what a word taken in its place became.
std::string field_words(RecordKind kind, std::size_t i) {
  const KindInfo& info = kind_info(kind);
  return i < info.fields.size() ? std::string(info.fields[i].name) : "value";
}

// The lowest and highest value a field of `storage` takes.
std::pair<std::int64_t, std::int64_t> range_of(Storage storage) {
  switch (storage) {
    case Storage::kInt16:
      return {std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()};
    case Storage::kUint8:
      return {0, 255};
    default:
      return {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()};
  }
}

class Explainer {
 public:
  Explainer(const Reading& reading, bool real) : r_(reading), real_(real) {}

  Explained run(const std::string& errore);

 private:
  const RunState& state() const { return r_.state(); }
  Diagnostic& error(std::int32_t code, Span at, std::string message,
                    std::optional<std::int32_t> position = std::nullopt) {
    Diagnostic d;
    d.severity = Severity::kError;
    d.code = code;
    d.at = at;
    d.message = std::move(message);
    d.position_m = position;
    out_.errors.push_back(std::move(d));
    return out_.errors.back();
  }
  Note note_at(const LoggedRecord& record, std::string message) const {
    return {r_.keyword_span(record), std::move(message)};
  }
  // The record's own lines: from its keyword to its last value read.
  Lines lines_of(const LoggedRecord& record) const {
    std::size_t last = r_.keyword_line(record);
    for (std::size_t i = 0; i < record.values.size(); ++i) {
      last = std::max(last, r_.line(record.file, r_.value(record, i)));
    }
    return {record.file, r_.keyword_line(record), last};
  }
  // The reading stopped at this error; `read_on` passes over what stopped it.
  void stopped(Diagnostic& d, std::optional<Lines> read_on) {
    if (out_.stopped_at) return;
    out_.stopped_at = d.at;
    out_.read_on = read_on;
    if (!real_) return;
    std::string what = "the reading stopped here: the compiled files hold only what came before";
    if (d.at.file == DescriptionFile::kLine) what += "; the train description was not read";
    if (out_.no_model) {
      what =
          "the reading stopped here, with no track built: no compiled file was written, and "
          "the train description was not read";
    }
    d.notes.push_back({std::nullopt, what});
  }
  // What stands in `cell`, in words, with a note at the record that put it there.
  std::string occupant(std::int64_t cell, std::vector<Note>& notes) const;
  std::optional<std::int32_t> number(const LoggedRecord& record, std::size_t i) const {
    return r_.number(record, i);
  }
  std::string name_of(const LoggedRecord& record) const {
    return std::string(kind_info(record.kind).name);
  }

  void general_code(const LoggedCode& code);
  void record_code(const LoggedCode& code, const LoggedRecord& record, int id);
  void cell_taken(const LoggedCode& code, const LoggedRecord& record, std::int64_t cell,
                  std::string what);
  void beyond_model(const LoggedCode& code, const LoggedRecord& record);
  void station_code(const LoggedCode& code, const LoggedRecord& record, int id);
  void read_failure(const LoggedFailure& failure);
  void chainage_codes();
  void completion_code(const LoggedCode& code);
  void stamp_check(const std::string& errore);
  // The record of `kind` before record `id`, or kNoRecord.
  int previous(int id, RecordKind kind) const {
    for (int i = id - 1; i >= 0; --i) {
      if (r_.record(i).kind == kind) return i;
    }
    return kNoRecord;
  }
  // The general section's codes are recorded once its record is read: the record they concern.
  int general_record(std::int32_t code) const {
    if (code == e::kLineLength) return last_of(K::kLineLength);
    if (code == e::kRepetitionFirstNotMultiple || code == e::kRepetitionSecondNotMultiple ||
        code == e::kRepetitionCodes) {
      return last_of(K::kSignalRepetition);
    }
    return kNoRecord;
  }
  int last_of(RecordKind kind) const {
    return previous(static_cast<int>(r_.log().records().size()), kind);
  }

  const Reading& r_;
  const bool real_;
  Explained out_;
  // The line description's record that set a code 15 the train reader then stopped at.
  int line_beyond_ = kNoRecord;
};

std::string Explainer::occupant(std::int64_t cell, std::vector<Note>& notes) const {
  if (cell < 0 || static_cast<std::size_t>(cell) >= state().celle.size()) return "nothing";
  const std::uint8_t tipo = state().celle[static_cast<std::size_t>(cell)].tipo;
  const int writer = r_.log().object_writer(cell);
  if (writer >= 0) {
    const LoggedRecord& record = r_.record(writer);
    notes.push_back(note_at(record, object_words(tipo) + " stands there, put by this '" +
                                        r_.keyword_shown(record) + "'"));
  }
  return object_words(tipo);
}

Explained Explainer::run(const std::string& errore) {
  const std::vector<LoggedCode>& codes = r_.log().codes();
  bool chainage = false;
  for (const LoggedCode& code : codes) {
    if (code.code == e::kReadFailure) {
      if (const auto& failure = r_.log().failure()) {
        read_failure(*failure);
      } else {
        Diagnostic& d =
            error(code.code, {code.file, 0, 0}, "the description file could not be read");
        d.whole_file = true;
        stopped(d, std::nullopt);
      }
    } else if (code.code == e::kChainageNotMultiple) {
      chainage = true;
    } else if (code.code == e::kNoPlaceBeforeSignal || code.code == e::kNoPlaceInApproachGroup ||
               code.code == e::kNoPlaceForRunMarker) {
      completion_code(code);
    } else if (code.record >= 0) {
      record_code(code, r_.record(code.record), code.record);
    } else if (const int id = general_record(code.code); id != kNoRecord) {
      record_code(code, r_.record(id), id);
    } else {
      general_code(code);
    }
  }
  if (chainage) chainage_codes();
  if (!errore.empty()) stamp_check(errore);
  return std::move(out_);
}

void Explainer::general_code(const LoggedCode& code) {
  const SourceText& line = r_.source(DescriptionFile::kLine);
  const std::vector<LoggedField>& fields = r_.log().fields(DescriptionFile::kLine);
  switch (code.code) {
    case e::kNoGeneralSection: {
      Span at{DescriptionFile::kLine, 0, 0};
      std::string message =
          "the line description has no '[generale]' heading, so nothing in "
          "it was read";
      if (line.bytes().find_first_not_of(" \t\r\n") == std::string::npos) {
        message = "the line description is empty";
      } else if (!fields.empty() && fields.back().role == FieldRole::kNeverRead &&
                 contains_any_case(r_.text(DescriptionFile::kLine, fields.back().span),
                                   "[generale]")) {
        at = r_.span(DescriptionFile::kLine, fields.back().span);
        message =
            "'[generale]' is the file's last line, which is never read: the general "
            "section and the body must follow it";
      }
      Diagnostic& d = error(code.code, at, message);
      d.whole_file = at.end == 0;
      out_.no_model = true;
      stopped(d, std::nullopt);
      break;
    }
    case e::kNoLineLength: {
      Span at{DescriptionFile::kLine, 0, 0};
      for (const LoggedField& field : fields) {
        if (field.role == FieldRole::kHeading) at = r_.span(DescriptionFile::kLine, field.span);
      }
      Diagnostic& d = error(code.code, at,
                            "the general section has no 'lunghezza percorso' record, so there is "
                            "no track to build");
      out_.no_model = true;
      stopped(d, std::nullopt);
      break;
    }
    case e::kNoLineFile: {
      Diagnostic& d = error(code.code, {DescriptionFile::kLine, 0, 0},
                            "the line description file does not exist");
      d.whole_file = true;
      out_.no_model = true;
      stopped(d, std::nullopt);
      break;
    }
    default:
      break;
  }
}

void Explainer::record_code(const LoggedCode& code, const LoggedRecord& record, int id) {
  const Span keyword = r_.keyword_span(record);
  auto value_at = [&](std::size_t i) {
    return i < record.values.size() ? r_.value_span(record, i) : keyword;
  };
  const std::int32_t p = number(record, 0).value_or(0);
  switch (code.code) {
    case e::kLineLength: {
      Diagnostic& d =
          error(code.code, value_at(0),
                "a line length of " + metres(p) + " does not fit: it must lie from 0 to 1000000 m");
      out_.no_model = true;
      stopped(d, std::nullopt);
      return;
    }
    case e::kRepetitionFirstNotMultiple:
    case e::kRepetitionSecondNotMultiple: {
      const std::size_t i = code.code == e::kRepetitionFirstNotMultiple ? 0 : 1;
      Diagnostic& d = error(
          code.code, value_at(i),
          std::string("the ") + (i == 0 ? "first" : "second") + " 'ripetizione segnali' value, " +
              std::to_string(number(record, i).value_or(0)) + ", is not a multiple of 50");
      stopped(d, lines_of(record));
      return;
    }
    case e::kRepetitionCodes: {
      Diagnostic& d = error(code.code, keyword,
                            quoted(r_.text(record.file, r_.keyword(record))) +
                                " names neither 4 nor 9 codes: write 'ripetizione segnali 4 "
                                "codici' or 'ripetizione segnali 9 codici'");
      stopped(d, lines_of(record));
      return;
    }
    case e::kCurve: {
      const std::string keyword_text(r_.text(record.file, r_.keyword(record)));
      const std::int64_t s = p;
      const std::int64_t l = number(record, 1).value_or(0);
      std::string message;
      Span at = keyword;
      if (keyword_text.find_first_of("123456") == std::string::npos) {
        message = "the curve " + quoted(keyword_text) +
                  " names no curvature class from 1 to 6 (curvas1 to curvas6 turn left, "
                  "curvad1 to curvad6 right)";
      } else if (s + l > state().lunghezza_pianta) {
        at = value_at(1);
        message = "the curve from " + metres(s) + ", " + metres(l) + " long, ends at " +
                  metres(s + l) + ", past the end of the plan at " +
                  metres(state().lunghezza_pianta) + " (the line length and 7000 m more)";
      } else {
        message = "the curve takes the plan past metre 1000000, the most a plan holds";
      }
      Diagnostic& d = error(code.code, at, message);
      stopped(d, lines_of(record));
      return;
    }
    case e::kSignBoardCellTaken:
      cell_taken(code, record, cell_of(p), "the sign board");
      return;
    case e::kSpeedBoardCellTaken:
      cell_taken(code, record, cell_of(p), "the maximum-speed boards");
      return;
    case e::kSignalCellTaken:
      cell_taken(code, record, cell_of(p), "the signal");
      return;
    case e::kSpeedCheckCellTaken:
      cell_taken(code, record, round_to_index(p / 50.0), "the speed check point");
      return;
    case e::kWarningBoardCellTaken:
      cell_taken(code, record, cell_of(std::int64_t{p} - 1200),
                 "the warning board of the slowdown, 1200 m before its start,");
      return;
    case e::kSlowdownStartCellTaken:
      cell_taken(code, record, cell_of(p), "the start of the slowdown");
      return;
    case e::kSlowdownEndCellTaken:
      cell_taken(code, record, cell_of(std::int64_t{p} + number(record, 2).value_or(0)),
                 "the end of the slowdown");
      return;
    case e::kApproachCellTaken: {
      const auto j = round_to_index((std::int64_t{p} - 1200) / 50.0);
      std::int64_t taken = j;
      for (std::int64_t k = 0; k < 4; ++k) {
        if (in_model(state(), j - k) && !is_free(state().celle[static_cast<std::size_t>(j - k)])) {
          taken = j - k;
          break;
        }
      }
      cell_taken(code, record, taken,
                 "one of the four approach cells right before the slowdown's warning board");
      return;
    }
    case e::kTooManySignBoards: {
      Diagnostic& d = error(code.code, keyword,
                            "this is the 81st sign board: the data table holds the texts of at "
                            "most 80",
                            code.position);
      stopped(d, lines_of(record));
      return;
    }
    case e::kTooManyScenerySpans: {
      Diagnostic& d = error(code.code, keyword,
                            "this is the 81st scenery span: at most 80 are kept", code.position);
      stopped(d, lines_of(record));
      return;
    }
    case e::kBeyondModel:
      beyond_model(code, record);
      return;
    default:
      station_code(code, record, id);
      return;
  }
}

void Explainer::cell_taken(const LoggedCode& code, const LoggedRecord& record, std::int64_t cell,
                           std::string what) {
  std::vector<Note> notes;
  const std::string holder = occupant(cell, notes);
  const std::int32_t p = number(record, 0).value_or(0);
  Diagnostic& d =
      error(code.code, record.values.empty() ? r_.keyword_span(record) : r_.value_span(record, 0),
            what + " at " + metres(p) + " falls in cell " + std::to_string(cell) + " (" +
                metres(object_metre(cell)) + "), which already holds " + holder +
                "; an object takes only a cell that holds nothing or a "
                "scenery mark",
            code.position);
  d.notes = std::move(notes);
  stopped(d, lines_of(record));
}

void Explainer::beyond_model(const LoggedCode& code, const LoggedRecord& record) {
  const std::int32_t p = number(record, 0).value_or(0);
  const std::int64_t end = std::int64_t{kCellLength} * state().numero_celle;
  const std::int64_t margin = record.kind == K::kStation ? 800 : 100;
  const bool line_file = record.file == DescriptionFile::kLine;
  // The train reader stops at its first signal or slowdown when the line description ended
  // beyond the model: that is the line's error, not this record's.
  const bool own = std::int64_t{p} + margin > end;
  if (!own && !line_file && line_beyond_ != kNoRecord &&
      (record.kind == K::kSignal || record.kind == K::kSlowdown)) {
    for (Diagnostic& d : out_.errors) {
      if (!real_) break;
      if (d.code == e::kBeyondModel && d.at.file == DescriptionFile::kLine) {
        d.notes.push_back(note_at(record,
                                  "because of it, the train description was read only "
                                  "up to this '" +
                                      r_.keyword_shown(record) + "'"));
      }
    }
    return;
  }
  std::string message;
  const std::string what = "the " + name_of(record) + " at " + metres(p);
  if (own) {
    message = what + " lies beyond the track model, which ends at " + metres(end) +
              " (the line length and 7000 m more): a " + name_of(record) +
              "'s position must be at most " + metres(end - margin);
  } else if (record.kind == K::kSignal) {
    message = what +
              " is too near the start of the line: its approach marks, up to 400 m "
              "before it, would fall before the start";
  } else if (record.kind == K::kSlowdown) {
    message = what + " has cells outside the track model: its end at " +
              metres(std::int64_t{p} + number(record, 2).value_or(0)) +
              ", its warning board 1200 m before its start or its approach cells";
  } else if (record.kind == K::kScenery) {
    message = "the scenery span from " + metres(p) + " to " +
              metres(number(record, 1).value_or(0)) + " runs outside the track model (0 to " +
              metres(end) + ")";
  } else if (record.kind == K::kStation) {
    message = what + " has its stop beyond the end of the track model at " + metres(end);
  } else {
    message = what + " falls outside the track model (0 to " + metres(end) + ")";
  }
  Diagnostic& d =
      error(code.code, record.values.empty() ? r_.keyword_span(record) : r_.value_span(record, 0),
            message, code.position);
  if (line_file) {
    line_beyond_ = static_cast<int>(&record - r_.log().records().data());
    if (real_) {
      d.notes.push_back({std::nullopt,
                         "the rest of the line description was not read; the train description "
                         "was, but it stops at its first signal or slowdown"});
    }
    if (!out_.stopped_at) {
      out_.stopped_at = d.at;
      out_.read_on = lines_of(record);
    }
    return;
  }
  stopped(d, lines_of(record));
}

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
      d = &error(code.code, keyword,
                 "too many stations: with " + std::to_string(boards) +
                     " sign boards in the line description, at most " +
                     std::to_string(data_row::kFirstSignBoard - 2 - boards) +
                     " stations fit (78, one fewer for each sign board)");
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

void Explainer::read_failure(const LoggedFailure& failure) {
  const std::string last(r_.text(failure.file, failure.last));
  const Span at = r_.span(failure.file, failure.last);
  auto parses = [&] {
    try {
      FieldReader in(last);
      if (!in.at_end()) in.read_int32();
      return true;
    } catch (const ReadFailure&) {
      return false;
    }
  };
  const bool missing = failure.what.find("missing at the end") != std::string::npos;
  const bool quote = failure.what.find("quote") != std::string::npos;

  if (failure.record == kNoRecord) {
    // Failures outside a record: the general section's comments, the order of the chainage
    // references, the speed that fills the last cells.
    if (failure.file == DescriptionFile::kLine && missing) {
      Diagnostic& d = error(e::kReadFailure, at,
                            "the file ends within a run of comment lines in the general "
                            "section; end it with a line such as '[fine]'");
      stopped(d, std::nullopt);
      return;
    }
    if (failure.file == DescriptionFile::kLine) {
      for (K kind : {K::kChainageTre, K::kChainageDue, K::kChainageUno}) {
        const int id = last_of(kind);
        if (id == kNoRecord) continue;
        const LoggedRecord& record = r_.record(id);
        const std::int64_t second = number(record, 1).value_or(0);
        if (number(record, 2) == 1 && second + 100 > std::numeric_limits<std::int32_t>::max()) {
          Diagnostic& d =
              error(e::kReadFailure, r_.value_span(record, 1),
                    "the chainage reference's second value, " + std::to_string(second) +
                        ", with the 100 its flag 1 adds, does not fit 32 bits (at most " +
                        std::to_string(std::numeric_limits<std::int32_t>::max()) + ")");
          stopped(d, lines_of(record));
          return;
        }
      }
    }
    if (failure.file == DescriptionFile::kTrain) {
      if (const int id = last_of(K::kSpeed); id != kNoRecord) {
        const LoggedRecord& record = r_.record(id);
        Diagnostic& d = error(e::kReadFailure, r_.value_span(record, 1),
                              "a speed of " + std::to_string(number(record, 1).value_or(0)) +
                                  " km/h does not fit: it must lie from -2 to 1277 km/h");
        stopped(d, lines_of(record));
        return;
      }
    }
    Diagnostic& d = error(e::kReadFailure, at, "the reading failed: " + failure.what);
    stopped(d, std::nullopt);
    return;
  }

  const LoggedRecord& record = r_.record(failure.record);
  const KindInfo& info = kind_info(record.kind);
  const std::string keyword = r_.keyword_shown(record);
  const std::size_t n = record.values.size();
  const std::size_t total = info.fields.size();
  const std::size_t keyword_line = r_.keyword_line(record);
  const std::string of_values = "'" + keyword + "' record has " + std::to_string(n) + " of its " +
                                std::to_string(total) + " values";
  if (missing) {
    Diagnostic& d =
        error(e::kReadFailure, r_.keyword_span(record), "the file ends inside this " + of_values);
    stopped(d, lines_of(record));
    return;
  }
  if (quote) {
    Diagnostic& d = error(e::kReadFailure, at,
                          failure.what.find("no closing") != std::string::npos
                              ? "the quoted text has no closing quote on its line"
                              : "only blanks may follow a closing quote before the comma");
    stopped(d, lines_of(record));
    return;
  }
  if (!parses()) {
    // A word where a number belongs: on a later line, the record is short.
    const std::size_t failing_line = r_.line(failure.file, failure.last);
    if (failing_line > keyword_line) {
      Diagnostic& d = error(e::kReadFailure, r_.keyword_span(record),
                            of_values + "; the next line's " + quoted(last) + " was read as its " +
                                field_words(record.kind, n));
      Lines lines = lines_of(record);
      lines.last = std::max(lines.first, failing_line - 1);
      stopped(d, lines);
      return;
    }
    const bool digits = !last.empty() && last.find_first_not_of("-0123456789") == std::string::npos;
    Diagnostic& d =
        error(e::kReadFailure, at,
              digits ? quoted(last) + " does not fit 32 bits: a " + field_words(record.kind, n) +
                           " must lie from -2147483648 to 2147483647"
                     : quoted(last) + " is not a number: the " + field_words(record.kind, n) +
                           " of a '" + keyword + "' record is a whole number" +
                           (info.fields.size() > n && info.fields[n].unit == "m" ? " of metres"
                                                                                 : std::string()));
    stopped(d, lines_of(record));
    return;
  }

  // A value that does not fit where it goes.
  if (failure.what.find("65535") != std::string::npos) {
    Diagnostic& d = error(e::kReadFailure, at,
                          "the " + field_words(record.kind, n - 1) + " is " +
                              std::to_string(r_.text_value(record, n - 1).size()) +
                              " bytes long: the data table holds at most 65535");
    stopped(d, lines_of(record));
    return;
  }
  if (record.kind == K::kSpeed && n == total) {
    // The speed in force fails as it fills the cells up to this record: it is the previous
    // record's speed.
    const int before = previous(failure.record, K::kSpeed);
    if (before != kNoRecord) {
      const LoggedRecord& culprit = r_.record(before);
      Diagnostic& d = error(e::kReadFailure, r_.value_span(culprit, 1),
                            "a speed of " + std::to_string(number(culprit, 1).value_or(0)) +
                                " km/h does not fit: it must lie from -2 to 1277 km/h");
      d.notes.push_back(note_at(record, "the failure came as this '" + keyword +
                                            "' filled the cells before it with that speed"));
      stopped(d, lines_of(culprit));
      return;
    }
  }
  if (record.kind == K::kSpeedBoards && n == total) {
    static const char* const kPairs[] = {"first", "second", "third"};
    for (std::size_t pair = 0; pair < 3; ++pair) {
      const std::int64_t s = number(record, 1 + pair).value_or(0);
      const std::int64_t d = number(record, 5 + pair).value_or(0);
      const double code = d / 5.0 + s * 20.0;
      if (round_half_even(code) < std::numeric_limits<std::int16_t>::min() ||
          round_half_even(code) > std::numeric_limits<std::int16_t>::max()) {
        Diagnostic& diagnostic =
            error(e::kReadFailure, r_.value_span(record, 1 + pair),
                  std::string("the ") + kPairs[pair] + " speed code of the boards, 20 x " +
                      std::to_string(s) + " + " + std::to_string(d) + " / 5, does not fit: " +
                      "it must lie from -32768 to 32767 (an s-side speed of at most 1638 km/h)");
        stopped(diagnostic, lines_of(record));
        return;
      }
    }
  }
  if (record.kind == K::kStation && n == 16) {
    const std::int64_t seconds =
        (std::int64_t{number(record, 13).value_or(0)} * 60 + number(record, 14).value_or(0)) * 60 +
        number(record, 15).value_or(0);
    Diagnostic& d =
        error(e::kReadFailure, r_.value_span(record, 13),
              "the station's time, " + std::to_string(seconds) + " seconds, does not fit 32 bits");
    stopped(d, lines_of(record));
    return;
  }
  if (record.kind == K::kStation && n == total) {
    Diagnostic& d = error(e::kReadFailure, r_.value_span(record, 2),
                          "the station's extent, its position and length, does not fit 32 bits");
    stopped(d, lines_of(record));
    return;
  }
  if (n > 0 && n <= total) {
    const auto [low, high] = range_of(info.fields[n - 1].storage);
    Diagnostic& d = error(e::kReadFailure, r_.value_span(record, n - 1),
                          "the " + name_of(record) + "'s " + field_words(record.kind, n - 1) +
                              ", " + shown(last) + ", does not fit: it must lie from " +
                              std::to_string(low) + " to " + std::to_string(high));
    stopped(d, lines_of(record));
    return;
  }
  Diagnostic& d = error(e::kReadFailure, at, "the reading failed: " + failure.what);
  stopped(d, lines_of(record));
}

void Explainer::chainage_codes() {
  for (K kind : {K::kChainageUno, K::kChainageDue, K::kChainageTre}) {
    const int id = last_of(kind);
    if (id == kNoRecord) continue;
    const LoggedRecord& record = r_.record(id);
    for (std::size_t i = 0; i < 2; ++i) {
      const std::int32_t v = number(record, i).value_or(0);
      if (v % 50 == 0) continue;
      error(e::kChainageNotMultiple, r_.value_span(record, i),
            std::string("the ") + (i == 0 ? "first" : "second") + " value of '" +
                r_.keyword_shown(record) + "', " + std::to_string(v) + ", is not a multiple of 50");
    }
  }
}

void Explainer::completion_code(const LoggedCode& code) {
  const std::int64_t cell = code.position.value_or(0) / kCellLength;
  const std::vector<LoggedRecord>& records = r_.log().records();
  // The slowdown whose start, run or closing window holds `cell`.
  auto slowdown_around = [&](std::int64_t k) -> int {
    for (int id = static_cast<int>(records.size()) - 1; id >= 0; --id) {
      const LoggedRecord& record = records[static_cast<std::size_t>(id)];
      if (record.kind != K::kSlowdown || !record.complete) continue;
      const std::int64_t x = number(record, 0).value_or(0);
      const std::int64_t s = cell_of(x);
      const std::int64_t end = cell_of(x + number(record, 2).value_or(0));
      // A slowdown whose start took its end's cell walks to the end of the model.
      if (k >= state().numero_celle ? s == end : k >= s && k <= end + 12) return id;
    }
    return kNoRecord;
  };
  std::vector<Note> notes;
  std::string message;
  Span at{DescriptionFile::kTrain, 0, 0};
  if (code.code == e::kNoPlaceBeforeSignal) {
    const int signal = r_.log().object_writer(cell);
    message = "no free cell for the speed check point before the signal at " +
              metres(object_metre(cell)) +
              ", which stands up to 20 cells (1000 m) before a slowdown warning board: "
              "the two cells before it are taken";
    if (signal >= 0) at = r_.keyword_span(r_.record(signal));
    for (std::int64_t c : {cell - 1, cell - 2}) occupant(c, notes);
    for (const LoggedRecord& record : records) {
      if (record.kind != K::kSlowdown || !record.complete) continue;
      const std::int64_t x = number(record, 0).value_or(0);
      const std::int64_t warning = cell_of(x - 1200);
      if (x > 1500 && warning > cell && warning <= cell + 20) {
        notes.push_back(note_at(record, "the slowdown whose warning board, at " + metres(x - 1200) +
                                            ", stands after the signal"));
      }
    }
  } else {
    const int slowdown = slowdown_around(cell);
    if (slowdown >= 0) at = r_.keyword_span(r_.record(slowdown));
    const std::string of =
        slowdown >= 0 ? "the slowdown from " + metres(number(r_.record(slowdown), 0).value_or(0))
                      : "a slowdown";
    if (code.code == e::kNoPlaceInApproachGroup) {
      message = "no free cell for one of the approach speed check points before " + of +
                ": of each group of cells 5 to 7, 11 to 13 and 18 to 20 cells before its "
                "start, one must hold nothing or a scenery mark";
    } else if (cell >= state().numero_celle) {
      message = of +
                " has no end: its start and end fall in one cell, which keeps only the "
                "start; make it at least 50 m long";
    } else {
      message = "no free cell at " + metres(object_metre(cell)) + " for a speed check point of " +
                of +
                " (inside it, every 400 m, or before the first signal up to 600 m after its "
                "end): that cell and its neighbours are taken";
      for (std::int64_t c : {cell - 1, cell, cell + 1}) {
        if (c >= 0 && static_cast<std::size_t>(c) < state().celle.size() &&
            !is_free(state().celle[static_cast<std::size_t>(c)])) {
          occupant(c, notes);
        }
      }
    }
  }
  Diagnostic& d = error(code.code, at, message, static_cast<std::int32_t>(object_metre(cell)));
  d.whole_file = at.end == 0;
  d.notes = std::move(notes);
}

void Explainer::stamp_check(const std::string& errore) {
  std::vector<Note> notes;
  const std::string holder = occupant(1, notes);
  Span at{DescriptionFile::kLine, 0, 0};
  if (!notes.empty() && notes.front().at) {
    at = *notes.front().at;
    notes.erase(notes.begin());
  }
  const bool first = errore == "1250";
  Diagnostic& d = error(std::stoi(errore), at,
                        "cell 1, the first 50 m of the line, holds " + holder + " with a " +
                            (first ? "first" : "second") +
                            " value: the compile step stamps that cell, so it refused to "
                            "compile; move the object to 50 m or later");
  d.whole_file = at.end == 0;
  d.notes = std::move(notes);
  d.notes.push_back({std::nullopt, "no compiled file was written"});
}

}  // namespace

Explained explain_codes(const Reading& reading, const std::string& errore, bool real) {
  return Explainer(reading, real).run(errore);
}

}  // namespace binario::authoring
