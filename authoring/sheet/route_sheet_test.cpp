#include "authoring/sheet/route_sheet.h"

#include <cmath>
#include <filesystem>
#include <numbers>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "authoring/route/compiled_files.h"
#include "compiler/route_files.h"
#include "reader/reader_test_support.h"
#include "testing/test_files.h"

namespace binario::authoring {
namespace {

using binario::testing::lines;
using binario::testing::read_descriptions;
using binario::testing::read_file;
using nlohmann::json;

// The distance from p to the segment a-b.
double segment_distance(PlanPoint p, PlanPoint a, PlanPoint b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double length2 = dx * dx + dy * dy;
  const double t =
      length2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length2, 0.0, 1.0) : 0;
  return std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y);
}

// The farthest any point lies from the drawn segment that passes it.
double worst_deviation(const std::vector<PlanPoint>& points, const std::vector<std::size_t>& kept) {
  double worst = 0;
  for (std::size_t s = 0; s + 1 < kept.size(); ++s) {
    for (std::size_t i = kept[s]; i <= kept[s + 1]; ++i) {
      worst = std::max(worst, segment_distance(points[i], points[kept[s]], points[kept[s + 1]]));
    }
  }
  return worst;
}

std::vector<PlanPoint> arc(double radius, double degrees, std::size_t count) {
  std::vector<PlanPoint> points;
  for (std::size_t i = 0; i < count; ++i) {
    const double a =
        degrees * std::numbers::pi / 180 * static_cast<double>(i) / static_cast<double>(count - 1);
    points.push_back({radius * std::sin(a), radius * (1 - std::cos(a))});
  }
  return points;
}

TEST(RouteSheetThinning, KeepsTheEndsAndTheShapeWithFewPoints) {
  std::vector<PlanPoint> straight;
  for (int i = 0; i < 100000; ++i) straight.push_back({0.5 * i, 0.25 * i});
  // Out along a line and back along the same line: the turn is all there is to keep.
  std::vector<PlanPoint> hairpin;
  for (int i = 0; i <= 1000; ++i) hairpin.push_back({0.1 * i, 0});
  for (int i = 999; i >= 0; --i) hairpin.push_back({0.1 * i, 0.2});
  std::vector<PlanPoint> zigzag;  // a stair of 1000 steps, each smaller than the tolerance
  for (int i = 0; i < 2000; ++i) zigzag.push_back({0.1 * (i / 2), 0.1 * ((i + 1) / 2)});
  const std::vector<PlanPoint> same(50, PlanPoint{3, 4});

  struct Case {
    const char* name;
    std::vector<PlanPoint> points;
    std::size_t most_kept;
  };
  const Case cases[] = {
      {"a straight line", straight, 2},
      {"a quarter circle of 400 px", arc(400, 90, 50000), 60},
      {"a full circle of 100 px", arc(100, 360, 20000), 80},
      {"a hairpin", hairpin, 4},
      {"a stair finer than the tolerance", zigzag, 4},
      {"one point repeated", same, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<std::size_t> kept = thin_polyline(c.points, 0.5);
    ASSERT_GE(kept.size(), 2u);
    EXPECT_EQ(kept.front(), 0u);
    EXPECT_EQ(kept.back(), c.points.size() - 1);
    EXPECT_TRUE(std::is_sorted(kept.begin(), kept.end()));
    EXPECT_LE(worst_deviation(c.points, kept), 0.5);
    EXPECT_LE(kept.size(), c.most_kept);
  }
  // The hairpin keeps its turn: a point of it within the tolerance of its far end.
  const std::vector<std::size_t> kept = thin_polyline(hairpin, 0.5);
  EXPECT_TRUE(std::any_of(kept.begin(), kept.end(), [&](std::size_t i) {
    return std::hypot(hairpin[i].x - 100, hairpin[i].y) <= 0.5;
  }));

  for (std::size_t count : {0u, 1u, 2u}) {
    const std::vector<PlanPoint> few(count, PlanPoint{1, 2});
    EXPECT_EQ(thin_polyline(few, 0.5).size(), count);
  }
}

TEST(RouteSheetWords, ChainageElevationAndTheEncodings) {
  struct Chainage {
    std::int64_t metre;
    const char* words;
  };
  for (const Chainage& c :
       {Chainage{0, "km 0+000"}, Chainage{999, "km 0+999"}, Chainage{60600, "km 60+600"},
        Chainage{115000, "km 115+000"}, Chainage{1007000, "km 1007+000"}}) {
    EXPECT_EQ(chainage(c.metre), c.words);
  }

  // +10 per mille for two cells, none (pendenza 0), -4 per mille: millimetres per metre.
  std::vector<TrackCell> celle(4);
  celle[0].pendenza = 110;
  celle[1].pendenza = 110;
  celle[2].pendenza = 0;
  celle[3].pendenza = 96;
  struct Elevation {
    std::int64_t metre;
    std::int64_t mm;
  };
  for (const Elevation& e :
       {Elevation{0, 0}, Elevation{1, 10}, Elevation{50, 500}, Elevation{99, 990},
        Elevation{100, 1000}, Elevation{149, 1000}, Elevation{175, 900}, Elevation{200, 800},
        Elevation{100000, 800}, Elevation{-5, 0}}) {
    SCOPED_TRACE(e.metre);
    EXPECT_EQ(elevation_mm(celle, e.metre), e.mm);
  }

  // RFC 4648's vectors.
  const std::pair<const char*, const char*> vectors[] = {{"", ""},
                                                         {"f", "Zg=="},
                                                         {"fo", "Zm8="},
                                                         {"foo", "Zm9v"},
                                                         {"foob", "Zm9vYg=="},
                                                         {"fooba", "Zm9vYmE="},
                                                         {"foobar", "Zm9vYmFy"}};
  for (const auto& [bytes, text] : vectors) EXPECT_EQ(base64(bytes), text);
  EXPECT_EQ(base64(std::string("\xFF\x00\x80", 3)), "/wCA");

  EXPECT_EQ(json_quoted("</script><!--&\"\\\n\x01"),
            "\"\\u003c/script\\u003e\\u003c!--\\u0026\\\"\\\\\\n\\u0001\"");
  EXPECT_EQ(json_quoted("a\xE2\x80\xA8"
                        "b\xC3\xA8"),
            "\"a\\u2028b\xC3\xA8\"");
  EXPECT_EQ(xml_escaped("<b a='1'>&\"\x01\t"), "&lt;b a=&#39;1&#39;&gt;&amp;&quot;\xEF\xBF\xBD\t");
}

// The text between `open` and the next `close`, after `from`.
std::string between(const std::string& text, const std::string& open, const std::string& close,
                    std::size_t from = 0) {
  const std::size_t begin = text.find(open, from);
  if (begin == std::string::npos) return "";
  const std::size_t end = text.find(close, begin + open.size());
  return text.substr(begin + open.size(), end - begin - open.size());
}

std::string unbase64(const std::string& text) {
  std::string out;
  std::uint32_t bits = 0;
  int count = 0;
  for (char c : text) {
    int v = -1;
    if (c >= 'A' && c <= 'Z') v = c - 'A';
    if (c >= 'a' && c <= 'z') v = c - 'a' + 26;
    if (c >= '0' && c <= '9') v = c - '0' + 52;
    if (c == '+') v = 62;
    if (c == '/') v = 63;
    if (v < 0) continue;
    bits = bits << 6 | static_cast<std::uint32_t>(v);
    count += 6;
    if (count >= 8) {
      count -= 8;
      out += static_cast<char>((bits >> count) & 0xFF);
    }
  }
  return out;
}

// The plan's centimetres as the page reads them (encode_plan_centimetres); none when the bytes
// are not `rows` rows of them.
std::vector<std::array<std::int32_t, 2>> plan_from_page(const std::string& bytes,
                                                        std::size_t rows) {
  std::vector<std::array<std::int32_t, 2>> out(rows);
  std::size_t i = 0;
  for (std::size_t r = 0; r < rows; ++r) {
    for (std::size_t c = 0; c < 2; ++c) {
      if (i >= bytes.size()) return {};
      const auto b = static_cast<std::uint8_t>(bytes[i++]);
      if (b == kPlanWhole) {
        if (i + 4 > bytes.size()) return {};
        std::uint32_t u = 0;
        for (int k = 0; k < 4; ++k)
          u |= std::uint32_t{static_cast<std::uint8_t>(bytes[i++])} << 8 * k;
        out[r][c] = static_cast<std::int32_t>(u);
      } else {
        if (r < 2) return {};
        out[r][c] = static_cast<std::int32_t>(2 * std::int64_t{out[r - 1][c]} - out[r - 2][c] +
                                              static_cast<std::int8_t>(b));
      }
    }
  }
  if (i != bytes.size()) return {};
  return out;
}

TEST(RouteSheetWords, ThePlanInABytePerValue) {
  // Straight, curving, then jumps no track makes, and the extremes of 32 bits.
  std::vector<std::array<std::int32_t, 2>> rows;
  for (int r = 0; r < 100; ++r) rows.push_back({0, 100 * r});
  for (int r = 0; r < 100; ++r) rows.push_back({r * r / 5, 10000 + 100 * r - r / 3});
  rows.push_back({5000000, -7});
  rows.push_back({-5000000, 127});
  rows.push_back({INT32_MAX, INT32_MIN});
  rows.push_back({INT32_MIN, INT32_MAX});
  rows.push_back({0, 0});
  const std::string bytes = encode_plan_centimetres(rows);
  EXPECT_EQ(plan_from_page(bytes, rows.size()), rows);
  // A byte a value but where a row jumps: the first two rows and the five at the end.
  EXPECT_EQ(bytes.size(), 2 * rows.size() + 4 * 2 * 7);
  EXPECT_EQ(encode_plan_centimetres({}), "");
}

struct Varelbo {
  CompiledRoute route;
  Varelbo() {
    const std::filesystem::path folder = COMPILER_TESTDATA;
    route.pianta = decode_line_plan(read_file(folder / "Varelbo_linea.dat"));
    route.tabella_dati = decode_general_data(read_file(folder / "Varelbo_3874.sim"));
    route.celle = decode_track(read_file(folder / "Varelbo_3874.dat"));
  }
};

json embedded_data(const std::string& page) {
  return json::parse(
      between(page, "<script type=\"application/json\" id=\"sheet-data\">", "</script>"));
}

// What the page shows on hover it holds whole: every cell as the track file has it, every
// metre of the plan to the centimetre, words for every cell that holds something, every station.
TEST(RouteSheetPage, EmbedsTheRouteWhole) {
  const Varelbo varelbo;
  SheetInput input;
  input.route = &varelbo.route;
  input.title = "Varelbo, train 3874";
  const std::string page = route_sheet_html(input);
  const json data = embedded_data(page);

  EXPECT_EQ(data["line_length"], 115000);
  EXPECT_EQ(data["end"], 122000);
  EXPECT_EQ(unbase64(data["cells"]),
            read_file(std::filesystem::path(COMPILER_TESTDATA) / "Varelbo_3874.dat"));

  const Plan& pianta = *varelbo.route.pianta;
  ASSERT_EQ(data["plan"]["rows"], 121999);  // the last two rows are empty
  const std::vector<std::array<std::int32_t, 2>> cm =
      plan_from_page(unbase64(data["plan"]["cm"]), 121999);
  ASSERT_EQ(cm.size(), 121999u);
  double worst = 0;
  for (std::size_t r = 0; r < cm.size(); ++r) {
    for (std::size_t c = 0; c < 2; ++c) {
      worst = std::max(worst, std::fabs(cm[r][c] / 100.0 - (*plan_point(pianta, r))[c]));
    }
  }
  EXPECT_LE(worst, 0.005);

  std::size_t holding = 0;
  for (const TrackCell& cell : *varelbo.route.celle) holding += holds_something(cell) ? 1 : 0;
  ASSERT_EQ(data["objects"].size(), holding);
  std::size_t signals = 0;
  for (const json& object : data["objects"]) {
    signals += object["tipo"] == cell_kind::kSignal ? 1 : 0;
    if (object["cell"] == 1422) {
      EXPECT_EQ(object["heading"], "cell 1422, metre 71050: signal");
      EXPECT_EQ(object["lines"][0], "dato1 50: s1*10 + d1: s1 5, d1 0");
    }
  }
  EXPECT_EQ(signals, 16u);
  ASSERT_EQ(data["stations"].size(), 15u);
  EXPECT_EQ(data["stations"][0]["name"], "BRAMONTE TERME");
  EXPECT_EQ(data["stations"][0]["m"], 49500);
  EXPECT_EQ(data["stations"][0]["stops"], true);
  EXPECT_EQ(data["stations"][0]["time"], "9:00:00");
  EXPECT_EQ(data["stations"][1]["stops"], false);

  // The drawing thins the plan to what its pixels need, from the first row to the last.
  const std::string track = between(page, "id=\"plan-track\" class=\"track\" d=\"", "\"");
  const std::size_t points =
      static_cast<std::size_t>(std::count(track.begin(), track.end(), 'L')) + 1;
  EXPECT_GT(points, 100u);
  EXPECT_LT(points, 3000u);
  // The profile runs from the start to the end of the line, in metres.
  const std::string profile = between(page, "id=\"profile-line\" class=\"rise\" d=\"", "\"");
  EXPECT_TRUE(profile.starts_with("M0 0L")) << profile.substr(0, 40);
  EXPECT_NE(profile.find("L115000 "), std::string::npos);
  EXPECT_EQ(profile.find("L115050 "), std::string::npos);
}

// A station named </script><b> and a board that holds markup are shown as the texts they are,
// and break neither the page nor the SVG.
TEST(RouteSheetPage, TextsAreEscapedEverywhere) {
  const auto reading = read_descriptions(
      lines({"[generale]", "lunghezza percorso, 10000", "[curve]", "curvas4, 1000, 500",
             "[indicazioni]", "cartello_indicatore, 3000, (<img src=x onerror=alert(1)>)",
             "[fine]"}),
      lines({"[generale]", "aderenza, 0, 100", "velocita, 0, 100", "[stazioni]",
             "stazione, 2000, 2, 400, 1, 0, 0, 4,1,0, 2,1,1, 1, 9, 0, 0, </script><b>",
             "stazione, 6000, 28, 400, 0, 0, 0, 0,0,0, 0,0,0, 15, 9, 4, 0, A & \"B\" \x01\xE8",
             "[fine]"}));
  ASSERT_EQ(reading.state.codice_errore, 0);
  CompiledRoute route;
  route.pianta = reading.state.pianta;
  route.tabella_dati = reading.state.tabella_dati;
  route.celle = reading.state.celle;
  SheetInput input;
  input.route = &route;
  input.title = "<Linea>, train 1";
  input.problems = {{Severity::kWarning, "a.txt:1:1: warning: </script> & <b>", 2000}};
  input.checked = true;

  const std::string page = route_sheet_html(input);
  const std::string svg = route_sheet_svg(input);
  for (const std::string* text : {&page, &svg}) {
    EXPECT_EQ(text->find("<b>"), std::string::npos);
    EXPECT_EQ(text->find("<img"), std::string::npos);
    EXPECT_EQ(text->find("<Linea>"), std::string::npos);
    EXPECT_EQ(text->find('\x01'), std::string::npos);
    EXPECT_NE(text->find("&lt;/script&gt;&lt;b&gt;"), std::string::npos);
    EXPECT_NE(text->find("A &amp; &quot;B&quot; \\x01\xC3\xA8"), std::string::npos);
  }
  // The page's two scripts, and nothing else, end where a script ends.
  std::size_t closings = 0;
  for (std::size_t at = page.find("</script>"); at != std::string::npos;
       at = page.find("</script>", at + 1)) {
    ++closings;
  }
  EXPECT_EQ(closings, 2u);
  const json data = embedded_data(page);
  EXPECT_EQ(data["stations"][0]["name"], "</script><b>");
  EXPECT_EQ(data["stations"][1]["name"], "A & \"B\" \\x01\xC3\xA8");
  EXPECT_EQ(data["marks"][0]["texts"][0], "a.txt:1:1: warning: </script> & <b>");
}

// Whatever files of a route are there, the sheet draws what they hold and says what is missing.
TEST(RouteSheetPage, AnyFilesOfTheRoute) {
  const Varelbo varelbo;
  struct Case {
    const char* name;
    bool plan, data, track;
    std::vector<std::string> shown;
  };
  const Case cases[] = {
      {"the track file alone", false, false, true, {"no plan:", "id=\"profile-line\""}},
      {"the plan alone", true, false, false, {"id=\"plan-track\"", "no profile:"}},
      {"the general data file alone", false, true, false, {"no plan:", "no profile:"}},
      {"no file", false, false, false, {"no plan:", "no profile:"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CompiledRoute route;
    if (c.plan) route.pianta = varelbo.route.pianta;
    if (c.data) route.tabella_dati = varelbo.route.tabella_dati;
    if (c.track) route.celle = varelbo.route.celle;
    SheetInput input;
    input.route = &route;
    const std::string page = route_sheet_html(input);
    for (const std::string& shown : c.shown)
      EXPECT_NE(page.find(shown), std::string::npos) << shown;
    const json data = embedded_data(page);
    EXPECT_EQ(data["cells"].is_null(), !c.track);
    EXPECT_EQ(data["plan"].is_null(), !c.plan);
    EXPECT_EQ(data["stations"].size(), c.data ? 15u : 0u);
    EXPECT_EQ(data["end"], c.data || c.track || c.plan ? 122000 : 7000);
  }

  // A plan whose points run out, or turn into what no drawing holds, is drawn to there.
  CompiledRoute route;
  const Plan& whole = *varelbo.route.pianta;
  Plan cut(whole.size());
  cut.seed(whole.seeds()[0], whole.seeds()[1], whole.seeds()[2], whole.seeds()[3]);
  for (std::size_t i = 0; i < whole.computed(); ++i) {
    const bool at = i + 2 == 50000;
    cut.push_back(at ? std::numeric_limits<double>::infinity() : whole.xs()[i], whole.ys()[i]);
  }
  route.pianta = cut;
  SheetInput input;
  input.route = &route;
  const std::string page = route_sheet_html(input);
  EXPECT_EQ(embedded_data(page)["plan"]["rows"], 50000);
  EXPECT_NE(page.find("the plan is drawn to metre 49999: row 50000 holds a point that cannot be "
                      "drawn"),
            std::string::npos);
}

// Files that no compile step writes, as a decoder takes them: every kind of cell with data at
// the ends of their ranges, rows of extreme values and every byte in their texts, a plan that
// leaps. The sheet draws them and says what they hold.
TEST(RouteSheetPage, OddRoutes) {
  CompiledRoute route;
  std::vector<TrackCell> celle(400);
  for (std::size_t i = 0; i < celle.size(); ++i) {
    TrackCell& cell = celle[i];
    cell.tipo = static_cast<std::uint8_t>(i % 256);
    cell.dato1 = static_cast<std::int16_t>(i % 3 == 0 ? INT16_MIN : i % 3 == 1 ? INT16_MAX : -1);
    cell.dato2 = INT16_MIN;
    cell.dato4 = INT16_MAX;
    cell.dato5 = 255;
    cell.avviso = static_cast<std::uint8_t>(i * 7);
    cell.montagna = static_cast<std::uint8_t>(i);
    cell.velocita = 255;
    cell.pendenza = static_cast<std::uint8_t>(i % 2 ? 255 : 1);
    cell.aderenza = 255;
  }
  route.celle = celle;
  std::array<DataRow, data_row::kCount> table{};
  std::string every_byte;
  for (int b = 0; b < 256; ++b) every_byte += static_cast<char>(b);
  for (int r = 1; r <= 80; ++r) {
    DataRow& row = table[static_cast<std::size_t>(r)];
    row.classe = static_cast<std::uint8_t>(r * 3);
    row.valore1 = r % 2 ? INT32_MIN : INT32_MAX;
    row.valore2 = r % 2 ? INT32_MAX : INT32_MIN;
    row.valore3 = r % 3 ? INT32_MIN : INT32_MAX;
    row.valore4 = INT32_MIN;
    row.testo = every_byte;
  }
  table[data_row::kLineAndTrain].valore2 = -5;  // no line length: the cells tell it
  route.tabella_dati = table;
  Plan pianta(20000);
  pianta.seed(0, 0, 1, 0);
  for (std::size_t r = 2; r < pianta.size(); ++r) {
    const double leap = r % 1000 == 0 ? 1.9e7 : 0;
    pianta.push_back(static_cast<double>(r) + leap, -static_cast<double>(r % 7) - leap);
  }
  route.pianta = pianta;
  SheetInput input;
  input.route = &route;
  input.problems = {{Severity::kError, "far", INT32_MAX}, {Severity::kWarning, "before", -100}};

  const std::string page = route_sheet_html(input);
  // The drawings and the data; the page's own script comes last.
  for (const std::string& text : {page.substr(0, page.rfind("<script>")), route_sheet_svg(input)}) {
    EXPECT_FALSE(std::regex_search(text, std::regex(R"(\b(nan|inf|NaN|Infinity)\b)")));
    EXPECT_TRUE(std::none_of(text.begin(), text.end(), [](char c) {
      const auto byte = static_cast<unsigned char>(c);
      return byte < 0x20 && c != '\n' && c != '\t';
    }));
  }
  const json data = embedded_data(page);
  EXPECT_EQ(data["line_length"], (400 - 1) * 50 - kRunOut);
  EXPECT_EQ(data["objects"].size(), 400u);
  EXPECT_EQ(data["marks"][0]["m"], 0);  // clamped to the route
  EXPECT_EQ(data["marks"][1]["m"], (400 - 1) * 50);
}

}  // namespace
}  // namespace binario::authoring
