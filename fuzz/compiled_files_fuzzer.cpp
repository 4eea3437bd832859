// The decoder of the compiled route files on any bytes: the first byte chooses the file (0 the
// line plan, 1 the general data, 2 the track, modulo 3), the rest is its content. Whatever
// decodes must encode back into the same bytes, and the dump must put it into words.

#include <cstdlib>
#include <string_view>

#include "authoring/route/compiled_files.h"
#include "authoring/route/route_diff.h"
#include "authoring/route/route_dump.h"
#include "compiler/route_files.h"
#include "fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace binario;
  using namespace binario::authoring;
  if (size == 0) return 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  // Any number of records, so that small inputs reach every check but the count.
  constexpr RecordCount kAny = {1, SIZE_MAX};
  CompiledRoute route;
  std::string encoded;
  try {
    switch (data[0] % 3) {
      case 0:
        route.pianta = decode_line_plan(bytes, kAny);
        encoded = encode_line_plan(*route.pianta);
        break;
      case 1:
        route.tabella_dati = decode_general_data(bytes);
        encoded = encode_general_data(*route.tabella_dati);
        break;
      default:
        route.celle = decode_track(bytes, kAny);
        encoded = encode_track(*route.celle);
        break;
    }
  } catch (const CompiledFileError&) {
    return 0;  // not a compiled file: told so, with the byte
  }
  if (encoded != bytes) std::abort();
  dump_text(route, {}, metre_range(100, 2000));
  const RouteDiff same = diff_routes(route, route, RouteRange{});
  if (!same.equal() && !route.pianta) std::abort();  // a NaN in a plan differs from itself
  return 0;
}
