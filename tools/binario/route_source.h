#ifndef BINARIO_TOOLS_BINARIO_ROUTE_SOURCE_H_
#define BINARIO_TOOLS_BINARIO_ROUTE_SOURCE_H_

// Where binario dump and binario diff find a compiled route: a folder of compiled files named
// by the scenario's rule, files named one by one, or a pair of description files compiled in
// memory exactly as binario compile would, writing nothing.

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "authoring/diagnostics/diagnose.h"
#include "authoring/route/compiled_files.h"
#include "authoring/route/route_dump.h"

namespace binario::tool {

// A route that could not be had; `status` is binario's exit status for it.
class RouteSourceFailure : public std::runtime_error {
 public:
  RouteSourceFailure(int status, const std::string& message)
      : std::runtime_error(message), status(status) {}
  int status;
};

struct LoadedRoute {
  authoring::CompiledRoute route;
  authoring::RouteFileLabels labels;
  std::string origin;  // "folder compiled/", "Varelbo_linea.txt and Varelbo_3874-.txt"
  // With description files: the error the compile step recorded, in words, if any.
  std::optional<std::string> recorded_error;
  // With description files: what binario check tells of them, and the files as read.
  std::shared_ptr<const authoring::Diagnosis> diagnosis;
  std::shared_ptr<const authoring::SourceText> line;
  std::shared_ptr<const authoring::SourceText> train;
};

// The route's files in `folder`, those of them that are there; at least one must be.
LoadedRoute load_route_folder(const std::string& folder, const std::string& line_name,
                              const std::string& train_number);

// The files named; each one named must be there.
LoadedRoute load_route_files(const std::optional<std::string>& plan,
                             const std::optional<std::string>& data,
                             const std::optional<std::string>& track);

// Compiles the two description files in memory (with the plan unless `no_plan`) and decodes
// what the compile step wrote. A stamp check that fails is a failure with kStampFailure.
LoadedRoute compile_route(const std::string& line_file, const std::string& train_file,
                          const std::string& line_name, const std::string& train_number,
                          bool no_plan);

// Reads "A-B" (two whole numbers, A not above B) into a and b; false when it is not that.
bool parse_span(const std::string& text, std::int64_t& a, std::int64_t& b);

}  // namespace binario::tool

#endif  // BINARIO_TOOLS_BINARIO_ROUTE_SOURCE_H_
