#include "tools/binario/route_source.h"

#include <charconv>
#include <filesystem>
#include <memory>
#include <system_error>

#include "authoring/diagnostics/diagnose.h"
#include "authoring/diagnostics/render.h"
#include "compiler/memorizza_percorso.h"
#include "io/files.h"
#include "reader/error_codes.h"
#include "scenario/file_names.h"
#include "tools/binario/binario.h"
#include "tools/binario/commands.h"

namespace binario::tool {

namespace {

using authoring::CompiledFileError;
using authoring::FileLabel;

// Decodes one file into its place in the route, naming the file in any error.
void decode_into(LoadedRoute& loaded, ScenarioFile file, const std::string& name,
                 const std::string& bytes) {
  try {
    switch (file) {
      case ScenarioFile::kLinePlan:
        loaded.route.pianta = authoring::decode_line_plan(bytes);
        loaded.labels.plan = FileLabel{name, bytes.size()};
        break;
      case ScenarioFile::kGeneralData:
        loaded.route.tabella_dati = authoring::decode_general_data(bytes);
        loaded.labels.data = FileLabel{name, bytes.size()};
        break;
      default:
        loaded.route.celle = authoring::decode_track(bytes);
        loaded.labels.track = FileLabel{name, bytes.size()};
        break;
    }
  } catch (const CompiledFileError& error) {
    const char* what = file == ScenarioFile::kLinePlan      ? "line plan file"
                       : file == ScenarioFile::kGeneralData ? "general data file"
                                                            : "track file";
    throw RouteSourceFailure(kIoFailure,
                             name + ": not a compiled " + std::string(what) + ": " + error.what());
  }
}

std::optional<std::string> read_if_there(const std::string& path) {
  try {
    return read_file_if_exists(path);
  } catch (const std::system_error& failure) {
    throw RouteSourceFailure(kIoFailure, failure.what());
  }
}

std::string read_named(const std::string& path) {
  std::optional<std::string> bytes = read_if_there(path);
  if (!bytes) {
    const std::system_error missing(std::make_error_code(std::errc::no_such_file_or_directory),
                                    "cannot read " + path);
    throw RouteSourceFailure(kIoFailure, missing.what());
  }
  return *std::move(bytes);
}

constexpr ScenarioFile kCompiledFiles[] = {ScenarioFile::kLinePlan, ScenarioFile::kGeneralData,
                                           ScenarioFile::kTrack};

// Keeps what the compile step writes, in memory.

}  // namespace

LoadedRoute load_route_folder(const std::string& folder, const std::string& line_name,
                              const std::string& train_number) {
  LoadedRoute loaded;
  loaded.origin = folder;
  std::string names;
  for (ScenarioFile file : kCompiledFiles) {
    const std::string name =
        file_name(folder_of(folder), std::filesystem::path::preferred_separator, line_name,
                  train_number, file);
    names += (names.empty() ? "" : ", ") + name;
    if (std::optional<std::string> bytes = read_if_there(name)) {
      decode_into(loaded, file, name, *bytes);
    }
  }
  if (!loaded.labels.plan && !loaded.labels.data && !loaded.labels.track) {
    throw RouteSourceFailure(kIoFailure,
                             "no compiled route file in " + folder + " (looked for " + names + ")");
  }
  return loaded;
}

LoadedRoute load_route_files(const std::optional<std::string>& plan,
                             const std::optional<std::string>& data,
                             const std::optional<std::string>& track) {
  LoadedRoute loaded;
  const std::pair<ScenarioFile, const std::optional<std::string>*> given[] = {
      {ScenarioFile::kLinePlan, &plan},
      {ScenarioFile::kGeneralData, &data},
      {ScenarioFile::kTrack, &track}};
  for (const auto& [file, name] : given) {
    if (!*name) continue;
    loaded.origin += (loaded.origin.empty() ? "" : ", ") + **name;
    decode_into(loaded, file, **name, read_named(**name));
  }
  return loaded;
}

LoadedRoute compile_route(const std::string& line_file, const std::string& train_file,
                          const std::string& line_name, const std::string& train_number,
                          bool no_plan) {
  auto line = std::make_shared<const authoring::SourceText>(line_file, read_named(line_file));
  auto train = std::make_shared<const authoring::SourceText>(train_file, read_named(train_file));
  RouteFilesInMemory captured;
  auto diagnosis = std::make_shared<const authoring::Diagnosis>(authoring::diagnose(
      *line, *train, stored_name(line_name), stored_name(train_number), no_plan ? 0 : 1, captured));
  // The first error, as binario check prints it.
  std::optional<std::string> first_error;
  for (const authoring::Diagnostic& d : diagnosis->diagnostics) {
    if (d.severity != authoring::Severity::kError) continue;
    const std::string rendered = authoring::render({d}, *line, *train);
    first_error = rendered.substr(0, rendered.find('\n'));
    break;
  }
  if (!diagnosis->outcome.errore.empty()) {
    throw RouteSourceFailure(
        kStampFailure,
        first_error.value_or("error " + diagnosis->outcome.errore) + "; nothing was compiled");
  }
  LoadedRoute loaded;
  loaded.origin = line_file + " and " + train_file;
  if (diagnosis->state.codice_errore != error_code::kNone) {
    loaded.recorded_error =
        first_error.value_or("error " + std::to_string(diagnosis->state.codice_errore));
  }
  if (captured.files.empty()) {
    throw RouteSourceFailure(kRecordedError,
                             loaded.recorded_error.value_or("the compile step wrote nothing") +
                                 "; nothing was compiled");
  }
  for (const auto& [file, bytes] : captured.files) {
    const std::string name =
        file_name("", '\0', line_name, train_number, file).substr(1) + ", compiled in memory";
    decode_into(loaded, file, name, bytes);
  }
  loaded.diagnosis = std::move(diagnosis);
  loaded.line = std::move(line);
  loaded.train = std::move(train);
  return loaded;
}

bool parse_span(const std::string& text, std::int64_t& a, std::int64_t& b) {
  const std::size_t dash = text.find('-');
  if (dash == std::string::npos || dash == 0) return false;
  auto whole = [](std::string_view digits, std::int64_t& value) {
    if (digits.empty() || digits.size() > 12) return false;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return error == std::errc() && end == digits.data() + digits.size() && value >= 0;
  };
  const std::string_view all(text);
  return whole(all.substr(0, dash), a) && whole(all.substr(dash + 1), b) && a <= b;
}

}  // namespace binario::tool
