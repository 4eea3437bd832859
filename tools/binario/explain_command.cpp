// binario explain: the account of what each line of a pair of description files became, and,
// with --warning NAME, the long explanation of a warning as binario check names it.

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "authoring/diagnostics/diagnose.h"
#include "authoring/diagnostics/explanations.h"
#include "authoring/diagnostics/record_kinds.h"
#include "authoring/text/english.h"
#include "authoring/text/text.h"
#include "compiler/memorizza_percorso.h"
#include "tools/binario/binario.h"
#include "tools/binario/commands.h"
#include "tools/binario/report.h"
#include "tools/binario/route_json.h"
#include "tools/binario/route_source.h"

namespace binario::tool {

namespace {

struct ExplainRequest {
  std::string warning;
  std::string line_file;
  std::string train_file;
  std::vector<std::string> locations;
  std::string line_name;
  std::string train_number;
  bool json = false;
};

int explain_warning(const ExplainRequest& request, std::ostream& out, std::ostream& err) {
  // Names are short: a long argument is no name, and is neither echoed nor matched.
  constexpr std::size_t kLongestName = 64;
  if (request.warning.size() > kLongestName) {
    return report_failure(request.json, kUsageError,
                          "explain: no warning has a name of " +
                              std::to_string(request.warning.size()) +
                              " characters; binario check ends each warning with its name",
                          out, err);
  }
  const std::optional<std::string_view> text = authoring::warning_explanation(request.warning);
  if (!text) {
    std::string message = "explain: no warning is named '" + request.warning + "'";
    std::string_view nearest;
    std::size_t best = 3;
    std::string names;
    for (std::string_view name : authoring::explained_warnings()) {
      names += (names.empty() ? "" : ", ") + std::string(name);
      const std::size_t d = authoring::edit_distance(request.warning, name);
      if (d < best) {
        best = d;
        nearest = name;
      }
    }
    if (!nearest.empty()) message += "; did you mean '" + std::string(nearest) + "'?";
    message += " The warnings are " + names;
    return report_failure(request.json, kUsageError, message, out, err);
  }
  if (request.json) {
    nlohmann::ordered_json json;
    json["warning"] = request.warning;
    json["explanation"] = std::string(*text);
    out << json_line(json);
  } else {
    out << *text << "\n";
  }
  return kClean;
}

// Lines `first` to `last` of one of the two files.
struct Wanted {
  DescriptionFile file;
  std::size_t first;
  std::size_t last;
};

// FILE:LINE or FILE:FIRST-LAST, FILE naming the line or the train description as given or by
// its name alone. "" and the lines wanted, or what is wrong with the location.
std::string parse_location(const std::string& location, const ExplainRequest& request,
                           Wanted& wanted) {
  const std::size_t colon = location.rfind(':');
  if (colon == std::string::npos || colon == 0) {
    return "a location is FILE:LINE or FILE:FIRST-LAST, as in Varelbo_linea.txt:12";
  }
  const std::string file = location.substr(0, colon);
  const std::string lines = location.substr(colon + 1);
  auto names = [&](const std::string& path) {
    return file == path || file == std::filesystem::path(path).filename().string();
  };
  if (names(request.line_file)) {
    wanted.file = DescriptionFile::kLine;
  } else if (names(request.train_file)) {
    wanted.file = DescriptionFile::kTrain;
  } else {
    return "'" + file + "' is neither " + request.line_file + " nor " + request.train_file;
  }
  std::int64_t first = 0;
  std::int64_t last = 0;
  const bool single = lines.size() <= 12 && !lines.empty() && [&] {
    const auto [end, error] = std::from_chars(lines.data(), lines.data() + lines.size(), first);
    last = first;
    return error == std::errc() && end == lines.data() + lines.size();
  }();
  if ((!single && !parse_span(lines, first, last)) || first < 1) {
    return "'" + lines + "' is no line number; lines count from 1, as in " + file + ":12";
  }
  wanted.first = static_cast<std::size_t>(first);
  wanted.last = static_cast<std::size_t>(last);
  return "";
}

std::string shown_line(std::string_view text) {
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.remove_suffix(1);
  constexpr std::size_t kAtMost = 120;
  if (text.size() <= kAtMost) return authoring::shown(text);
  return authoring::shown(text.substr(0, kAtMost)) + "\xE2\x80\xA6";
}

std::string diagnostic_words(const authoring::Diagnostic& d) {
  return std::string(authoring::severity_word(d.severity)) + ": " + d.message + " [" +
         (d.check.empty() ? "code " + std::to_string(d.code) : d.check) + "]";
}

void print_account(const authoring::LineAccount& account, const authoring::SourceText& source,
                   const std::vector<const authoring::Diagnostic*>& told, std::ostream& out) {
  out << source.path() << ":" << account.line << ": " << shown_line(source.line_text(account.line))
      << "\n";
  for (const std::string& sentence : account.fields) out << "  " << sentence << "\n";
  for (const authoring::RecordAccount& record : account.records) {
    out << "  " << authoring::with_article(record.kind) << " record, '" << record.keyword << "'"
        << (record.complete ? "" : ", cut short") << "\n";
    for (const authoring::FieldAccount& field : record.fields) {
      out << "    " << field.name << ": ";
      if (field.written.empty() && field.read.empty()) {
        out << "not read\n";
        continue;
      }
      out << (field.written.empty() ? "(empty)" : field.written);
      if (field.read.empty()) {
        out << ", not a value the reader takes";
      } else if (field.read != field.written) {
        out << ", read as " << field.read;
      }
      if (!field.stored.empty()) out << " -> " << field.stored;
      out << "\n";
    }
    for (const std::string& made : record.made) out << "    made: " << made << "\n";
    for (const std::string& later : record.later) out << "    later: " << later << "\n";
  }
  for (const authoring::Diagnostic* d : told) out << "  " << diagnostic_words(*d) << "\n";
}

nlohmann::ordered_json account_json(const authoring::LineAccount& account,
                                    const authoring::SourceText& source,
                                    const std::vector<const authoring::Diagnostic*>& told) {
  nlohmann::ordered_json json;
  json["file"] = authoring::as_utf8(source.path());
  json["line"] = account.line;
  json["text"] = shown_line(source.line_text(account.line));
  json["fields"] = account.fields;
  json["records"] = nlohmann::ordered_json::array();
  for (const authoring::RecordAccount& record : account.records) {
    nlohmann::ordered_json r;
    r["kind"] = record.kind;
    r["keyword"] = record.keyword;
    r["complete"] = record.complete;
    r["fields"] = nlohmann::ordered_json::array();
    for (const authoring::FieldAccount& field : record.fields) {
      r["fields"].push_back({{"name", field.name},
                             {"written", field.written},
                             {"read", field.read},
                             {"stored", field.stored}});
    }
    r["made"] = record.made;
    r["later"] = record.later;
    json["records"].push_back(std::move(r));
  }
  json["diagnostics"] = nlohmann::ordered_json::array();
  for (const authoring::Diagnostic* d : told) {
    json["diagnostics"].push_back({{"severity", authoring::severity_word(d->severity)},
                                   {"code", d->check.empty() ? nlohmann::ordered_json(d->code)
                                                             : nlohmann::ordered_json(d->check)},
                                   {"message", d->message}});
  }
  return json;
}

int explain_lines(ExplainRequest request, std::ostream& out, std::ostream& err) {
  if (request.train_file.empty()) {
    return report_failure(request.json, kUsageError,
                          "explain: give the line description and the train description, "
                          "binario explain LINE_FILE TRAIN_FILE [FILE:LINE ...], or name a "
                          "warning with --warning NAME",
                          out, err);
  }
  std::vector<Wanted> wanted;
  for (const std::string& location : request.locations) {
    Wanted w{};
    const std::string wrong = parse_location(location, request, w);
    if (!wrong.empty()) {
      return report_failure(request.json, kUsageError, "explain: " + wrong, out, err);
    }
    wanted.push_back(w);
  }
  names_from_files(request.line_file, request.train_file, request.line_name, request.train_number);
  std::unique_ptr<authoring::SourceText> line;
  std::unique_ptr<authoring::SourceText> train;
  try {
    line = read_description(request.line_file);
    train = read_description(request.train_file);
  } catch (const std::system_error& failure) {
    return report_failure(request.json, kIoFailure, failure.what(), out, err);
  }
  NoRouteFiles nowhere;
  const authoring::Diagnosis diagnosis =
      authoring::diagnose(*line, *train, stored_name(request.line_name),
                          stored_name(request.train_number), 1, nowhere, true);

  for (const Wanted& w : wanted) {
    const authoring::SourceText& source = w.file == DescriptionFile::kLine ? *line : *train;
    if (w.last > source.line_count()) {
      return report_failure(request.json, kUsageError,
                            "explain: " + source.path() + " has " +
                                std::to_string(source.line_count()) + " lines, not " +
                                std::to_string(w.last),
                            out, err);
    }
  }
  auto chosen = [&](const authoring::LineAccount& a) {
    if (wanted.empty()) return true;
    return std::any_of(wanted.begin(), wanted.end(), [&](const Wanted& w) {
      return w.file == a.file && a.line >= w.first && a.line <= w.last;
    });
  };
  nlohmann::ordered_json lines = nlohmann::ordered_json::array();
  for (const authoring::LineAccount& account : diagnosis.account) {
    if (!chosen(account)) continue;
    const authoring::SourceText& source = account.file == DescriptionFile::kLine ? *line : *train;
    std::vector<const authoring::Diagnostic*> told;
    for (const authoring::Diagnostic& d : diagnosis.diagnostics) {
      if (d.at.file == account.file && !d.whole_file &&
          source.line_of(d.at.begin) == account.line) {
        told.push_back(&d);
      }
    }
    if (request.json) {
      lines.push_back(account_json(account, source, told));
    } else {
      print_account(account, source, told, out);
    }
  }
  if (request.json) {
    nlohmann::ordered_json json;
    json["line_file"] = authoring::as_utf8(request.line_file);
    json["train_file"] = authoring::as_utf8(request.train_file);
    json["lines"] = std::move(lines);
    out << json_line(json);
  }
  return kClean;
}

int explain(const ExplainRequest& request, std::ostream& out, std::ostream& err) {
  if (request.warning.empty()) return explain_lines(request, out, err);
  if (!request.line_file.empty()) {
    return report_failure(request.json, kUsageError,
                          "explain: --warning NAME explains a warning and takes no files", out,
                          err);
  }
  return explain_warning(request, out, err);
}

}  // namespace

Command add_explain_command(CLI::App& app) {
  auto request = std::make_shared<ExplainRequest>();
  CLI::App* command = app.add_subcommand(
      "explain",
      "Tell what the reading made of each line of a pair of description files, or explain a "
      "warning at length");
  command->footer(
      "With LINE_FILE and TRAIN_FILE, prints for each line what the reader made of it: a\n"
      "heading, a comment passed over, a record with each field as written, as read and as\n"
      "stored (cell, table row or plan rows), a line passed over and why, a line never read;\n"
      "and what a later record or the compile step did to what it stored. Only the lines of\n"
      "the locations given, FILE:LINE or FILE:FIRST-LAST, when there are any:\n"
      "binario explain Monte_linea.txt Monte_7-.txt Monte_linea.txt:12-20.\n\n"
      "With --warning NAME, prints the long explanation of the warning NAME, the name binario\n"
      "check ends each warning with: binario explain --warning curve-overlap.\n\n"
      "Exit status:\n"
      "  0  the account or the explanation was printed\n"
      "  3  usage error: no files and no warning, a wrong location, no warning of that name\n"
      "  4  a description file could not be read");
  command->add_option("LINE_FILE", request->line_file, "the line description");
  command->add_option("TRAIN_FILE", request->train_file, "the train description");
  command->add_option("LOCATIONS", request->locations,
                      "the lines to explain, FILE:LINE or FILE:FIRST-LAST (default: all)");
  command->add_option("--line-name", request->line_name, "the line's identifier, as in Varelbo")
      ->check(check_name);
  command->add_option("--train-number", request->train_number, "the train's number, as in 3874")
      ->check(check_name);
  command->add_option("--warning", request->warning, "the warning's name, as in curve-overlap");
  command->add_flag("--json", request->json,
                    "print one JSON object: the account of the lines, or the warning's name and "
                    "its explanation");
  return {command,
          [request](std::ostream& out, std::ostream& err) { return explain(*request, out, err); }};
}

}  // namespace binario::tool
