// The parts the route sheet is made of, each tested on its own: the thinning of the plan, its
// encoding for the page, the words and numbers of chainage and elevation, base64, and the
// escapes that keep texts texts in JSON and XML; and the problems as the sheet lists them.

#include "authoring/sheet/route_sheet.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <utility>

#include "authoring/diagnostics/render.h"
#include "authoring/text/text.h"
#include "reader/track_model.h"

namespace binario::authoring {

std::vector<std::size_t> thin_polyline(const std::vector<PlanPoint>& points, double tolerance) {
  const std::size_t n = points.size();
  std::vector<std::size_t> kept;
  if (n <= 2) {
    for (std::size_t i = 0; i < n; ++i) kept.push_back(i);
    return kept;
  }
  // First the points closer than half the tolerance to the last one kept go: no pixel needs
  // them, and what is left for the second pass is about as many points as the line is long in
  // pixels. Each of them stays within half the tolerance of a point that the second pass sees.
  const double half = tolerance / 2;
  std::vector<std::size_t> near;
  near.push_back(0);
  for (std::size_t i = 1; i + 1 < n; ++i) {
    const PlanPoint& last = points[near.back()];
    const double dx = points[i].x - last.x;
    const double dy = points[i].y - last.y;
    if (dx * dx + dy * dy >= half * half) near.push_back(i);
  }
  near.push_back(n - 1);

  // Then Douglas-Peucker with the other half, without recursion: a long line must not run out
  // of stack.
  auto distance2 = [&](const PlanPoint& p, const PlanPoint& a, const PlanPoint& b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double ex = a.x + t * dx - p.x;
    const double ey = a.y + t * dy - p.y;
    return ex * ex + ey * ey;
  };
  const std::size_t m = near.size();
  std::vector<char> keep(m, 0);
  keep[0] = keep[m - 1] = 1;
  std::vector<std::pair<std::size_t, std::size_t>> stack = {{0, m - 1}};
  const double limit = half * half;
  while (!stack.empty()) {
    const auto [a, b] = stack.back();
    stack.pop_back();
    if (b <= a + 1) continue;
    double worst = -1;
    std::size_t at = a;
    for (std::size_t i = a + 1; i < b; ++i) {
      const double d = distance2(points[near[i]], points[near[a]], points[near[b]]);
      if (d > worst) {
        worst = d;
        at = i;
      }
    }
    if (worst > limit) {
      keep[at] = 1;
      stack.emplace_back(a, at);
      stack.emplace_back(at, b);
    }
  }
  for (std::size_t i = 0; i < m; ++i) {
    if (keep[i]) kept.push_back(near[i]);
  }
  return kept;
}

std::string encode_plan_centimetres(const std::vector<std::array<std::int32_t, 2>>& rows) {
  std::string out;
  out.reserve(2 * rows.size() + 16);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < 2; ++c) {
      const std::int32_t value = rows[r][c];
      if (r >= 2) {
        const std::int64_t guess = 2 * std::int64_t{rows[r - 1][c]} - rows[r - 2][c];
        const std::int64_t d = value - guess;
        if (d >= -127 && d <= 127) {
          out += static_cast<char>(static_cast<std::uint8_t>(d & 0xFF));
          continue;
        }
      }
      out += static_cast<char>(kPlanWhole);
      const auto u = static_cast<std::uint32_t>(value);
      for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((u >> shift) & 0xFF);
    }
  }
  return out;
}

std::string chainage(std::int64_t metre) {
  const bool negative = metre < 0;
  const std::int64_t m = negative ? -metre : metre;
  const std::string rest = std::to_string(1000 + m % 1000).substr(1);
  return std::string("km ") + (negative ? "-" : "") + std::to_string(m / 1000) + "+" + rest;
}

int gradient_per_mille(const TrackCell& cell) {
  return cell.pendenza == 0 ? 0 : static_cast<int>(cell.pendenza) - 100;
}

std::int64_t elevation_mm(const std::vector<TrackCell>& celle, std::int64_t metre) {
  const auto n = static_cast<std::int64_t>(celle.size());
  const std::int64_t m = std::max<std::int64_t>(metre, 0);
  const std::int64_t cell = m / kCellLength;
  std::int64_t mm = 0;
  for (std::int64_t k = 0; k < std::min(cell, n); ++k) {
    mm += std::int64_t{kCellLength} * gradient_per_mille(celle[static_cast<std::size_t>(k)]);
  }
  if (cell < n) {
    mm += (m - cell * kCellLength) * gradient_per_mille(celle[static_cast<std::size_t>(cell)]);
  }
  return mm;
}

std::string base64(std::string_view bytes) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const std::uint32_t v = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << 16 |
                            static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + 1]))
                                << 8 |
                            static_cast<unsigned char>(bytes[i + 2]);
    out += kDigits[v >> 18];
    out += kDigits[(v >> 12) & 63];
    out += kDigits[(v >> 6) & 63];
    out += kDigits[v & 63];
  }
  const std::size_t rest = bytes.size() - i;
  if (rest > 0) {
    std::uint32_t v = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << 16;
    if (rest == 2) v |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8;
    out += kDigits[v >> 18];
    out += kDigits[(v >> 12) & 63];
    out += rest == 2 ? kDigits[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

std::string json_quoted(std::string_view utf8) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    switch (c) {
      case '"':
        out += "\\\"";
        continue;
      case '\\':
        out += "\\\\";
        continue;
      case '\n':
        out += "\\n";
        continue;
      case '\t':
        out += "\\t";
        continue;
      default:
        break;
    }
    if (c < 0x20 || c == '<' || c == '>' || c == '&') {
      out += "\\u00";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else if (c == 0xE2 && i + 2 < utf8.size() &&
               static_cast<unsigned char>(utf8[i + 1]) == 0x80 &&
               (static_cast<unsigned char>(utf8[i + 2]) & 0xFE) == 0xA8) {
      // U+2028 and U+2029 end a line in older script parsers.
      out += static_cast<unsigned char>(utf8[i + 2]) == 0xA8 ? "\\u2028" : "\\u2029";
      i += 2;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string xml_escaped(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (char ch : utf8) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
          out += "\xEF\xBF\xBD";  // U+FFFD: XML has no place for the other control characters
        } else {
          out += ch;
        }
    }
  }
  return out;
}

std::vector<SheetProblem> sheet_problems(const Diagnosis& diagnosis, const SourceText& line,
                                         const SourceText& train) {
  std::vector<SheetProblem> problems;
  for (const Diagnostic& d : diagnosis.diagnostics) {
    if (d.severity == Severity::kNote) continue;
    const std::string rendered = render({d}, line, train);
    problems.push_back(
        {d.severity, as_utf8(rendered.substr(0, rendered.find('\n'))), d.position_m});
  }
  return problems;
}

}  // namespace binario::authoring
