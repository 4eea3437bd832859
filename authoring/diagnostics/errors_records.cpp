// The codes of the general section and of the line description's records: the line's length,
// the signal repetition, curves, objects whose cell is taken, records beyond the track.

#include "authoring/diagnostics/explainer.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "authoring/diagnostics/record_kinds.h"
#include "authoring/route/route_view.h"
#include "authoring/text/text.h"
#include "reader/keywords.h"
#include "reader/numbers.h"
#include "reader/track_markers.h"

namespace binario::authoring::explanations {

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
      } else if (const auto near = near_general_heading(line)) {
        at = {DescriptionFile::kLine, near->first, near->second};
        message = near_heading_words(line.text(near->first, near->second)) +
                  ", and found none, so nothing in the line description was read";
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
      std::string message =
          "the general section has no 'lunghezza percorso' record, so there is no track to build";
      // A heading between '[generale]' and the line length ends the section before it; the
      // reading stops there, so the lines after it are looked at as written.
      if (const std::optional<std::size_t> body = r_.log().body_start()) {
        const FieldSpan heading = fields[*body].span;
        for (std::size_t n = r_.line(DescriptionFile::kLine, heading) + 1; n <= line.line_count();
             ++n) {
          const std::string_view text = line.line_text(n);
          if (!recognised_as(K::kLineLength, text.substr(0, text.find(',')))) continue;
          at = r_.span(DescriptionFile::kLine, heading);
          message = quoted(r_.text(DescriptionFile::kLine, heading)) +
                    " ends the general section, so the 'lunghezza percorso' below it (line " +
                    std::to_string(n) +
                    ") lies in the body and is not read: there is no track to build; the first "
                    "heading after '[generale]' must come after the general section's records";
          break;
        }
      }
      Diagnostic& d = error(code.code, at, message);
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
                metres(point_metre(cell)) + "), which already holds " + holder +
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

}  // namespace binario::authoring::explanations
