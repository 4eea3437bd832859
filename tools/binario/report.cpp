#include "tools/binario/report.h"

#include <nlohmann/json.hpp>

#include "authoring/diagnostics/explanations.h"
#include "authoring/diagnostics/render.h"
#include "authoring/text/text.h"
#include "tools/binario/binario.h"

namespace binario::tool {

namespace {

using authoring::Diagnostic;
using authoring::Severity;
using json = nlohmann::ordered_json;

void place(json& object, const Report& report, const std::optional<authoring::Span>& at,
           bool whole_file) {
  if (!at || report.line == nullptr) {
    object["file"] = nullptr;
    object["line"] = nullptr;
    object["column"] = nullptr;
    return;
  }
  const authoring::SourceText& text =
      at->file == DescriptionFile::kLine ? *report.line : *report.train;
  object["file"] = authoring::as_utf8(text.path());
  if (whole_file) {
    object["line"] = nullptr;
    object["column"] = nullptr;
    return;
  }
  const authoring::Location where = text.locate(at->begin);
  object["line"] = where.line;
  object["column"] = where.column;
}

json diagnostic_json(const Report& report, const Diagnostic& d, bool located) {
  json object;
  object["severity"] = severity_word(d.severity);
  if (d.severity == Severity::kError && d.check.empty()) {
    object["code"] = d.code;
  } else {
    object["code"] = d.check;
  }
  place(object, report, located ? std::optional(d.at) : std::nullopt, d.whole_file);
  object["message"] = d.message;
  object["position_m"] = d.position_m ? json(*d.position_m) : json();
  json notes = json::array();
  for (const authoring::Note& note : d.notes) {
    json n;
    place(n, report, note.at && note.at->end != 0 ? note.at : std::nullopt, false);
    n["message"] = note.message;
    notes.push_back(std::move(n));
  }
  object["notes"] = std::move(notes);
  // A warning is explained at length by the command this names.
  object["explain"] = d.severity == Severity::kWarning && authoring::warning_explanation(d.check)
                          ? json("binario explain --warning " + d.check)
                          : json();
  return object;
}

}  // namespace

Diagnostic failure(const std::string& code, const std::string& message) {
  Diagnostic d;
  d.severity = Severity::kError;
  d.check = code;
  d.message = message;
  return d;
}

void print_text(const Report& report, std::ostream& out, std::ostream& err) {
  std::size_t errors = 0;
  std::size_t warnings = 0;
  if (report.diagnosis != nullptr) {
    const auto& diagnostics = report.diagnosis->diagnostics;
    err << authoring::render(diagnostics, *report.line, *report.train);
    for (const Diagnostic& d : diagnostics) {
      (d.severity == Severity::kError ? errors : warnings) += 1;
    }
  }
  for (const Diagnostic& d : report.extra) {
    err << "binario: " << severity_word(d.severity) << ": " << d.message << "\n";
  }
  if (errors + warnings > 0) {
    auto count = [](std::size_t n, const char* word) {
      return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
    };
    err << "binario: " << count(errors, "error") << " and " << count(warnings, "warning") << "\n";
  }
  for (const std::string& name : report.files) out << "wrote " << name << "\n";
}

int report_failure(bool json, int status, const std::string& message, std::ostream& out,
                   std::ostream& err) {
  Report report;
  report.extra.push_back(failure(status == kUsageError  ? "usage"
                                 : status == kIoFailure ? "io"
                                                        : "compile",
                                 message));
  json ? print_json(report, out) : print_text(report, out, err);
  return status;
}

json diagnostics_json(const Report& report) {
  json diagnostics = json::array();
  if (report.diagnosis != nullptr) {
    for (const Diagnostic& diagnostic : report.diagnosis->diagnostics) {
      diagnostics.push_back(diagnostic_json(report, diagnostic, true));
    }
  }
  for (const Diagnostic& diagnostic : report.extra) {
    diagnostics.push_back(diagnostic_json(report, diagnostic, false));
  }
  return diagnostics;
}

void print_json(const Report& report, std::ostream& out) {
  json object;
  const authoring::Diagnosis* d = report.diagnosis;
  object["codice_errore"] = d != nullptr ? json(d->state.codice_errore) : json();
  object["posizione_errore"] = d != nullptr ? json(d->state.posizione_errore) : json();
  object["errore"] = d != nullptr && !d->outcome.errore.empty() ? json(d->outcome.errore) : json();
  json files = json::array();
  for (const std::string& name : report.files) files.push_back(authoring::as_utf8(name));
  object["files"] = std::move(files);
  json diagnostics = diagnostics_json(report);
  object["diagnostics"] = std::move(diagnostics);
  out << object.dump(-1, ' ', false, json::error_handler_t::replace) << "\n";
}

}  // namespace binario::tool
