#ifndef BINARIO_TOOLS_BINARIO_ROUTE_JSON_H_
#define BINARIO_TOOLS_BINARIO_ROUTE_JSON_H_

// binario dump --json and binario diff --json: the route under the model's own field names,
// losslessly, with keys in a fixed order. Texts of the data table are strings of their
// Windows-1252 characters; plan entries are [tag] or [tag, value], a double that is not finite
// written as the string of its 64 bits in hex ("0x7ff8000000000000").

#include <string>

#include <nlohmann/json.hpp>

#include "authoring/route/compiled_files.h"
#include "authoring/route/route_diff.h"
#include "authoring/route/route_dump.h"
#include "authoring/route/route_view.h"

namespace binario::tool {

nlohmann::ordered_json dump_json(const authoring::CompiledRoute& route,
                                 const authoring::RouteFileLabels& files,
                                 const authoring::RouteRange& range,
                                 const authoring::CellNotes& notes);

nlohmann::ordered_json diff_json(const authoring::RouteDiff& diff,
                                 const authoring::CompiledRoute& a,
                                 const authoring::CompiledRoute& b, const std::string& a_name,
                                 const std::string& b_name);

// One line of JSON, as binario prints it.
std::string json_line(const nlohmann::ordered_json& json);

}  // namespace binario::tool

#endif  // BINARIO_TOOLS_BINARIO_ROUTE_JSON_H_
