#include "authoring/diagnostics/record_kinds.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <vector>

#include "authoring/text/text.h"
#include "reader/keywords.h"

namespace binario::authoring {

namespace {

using F = FieldInfo;
constexpr Storage k16 = Storage::kInt16;
constexpr Storage k8 = Storage::kUint8;

constexpr F kLength[] = {{"length", "m"}};
constexpr F kChainage[] = {{"first value", ""}, {"second value", ""}, {"flag", ""}};
constexpr F kBackground[] = {{"value", ""}};
constexpr F kRepetition[] = {{"first value", ""}, {"second value", ""}};
constexpr F kGradient[] = {{"position", "m"}, {"gradient", "\xE2\x80\xB0"}};
constexpr F kCurve[] = {{"start", "m"}, {"length", "m"}};
constexpr F kScenery[] = {{"start", "m"}, {"end", "m"}, {"kind", ""}};
constexpr F kSpeedBoards[] = {{"position", "m"}, {"vas", "km/h"},  {"vbs", "km/h"},
                              {"vcs", "km/h"},   {"strisces", ""}, {"vad", "km/h"},
                              {"vbd", "km/h"},   {"vcd", "km/h"},  {"strisced", ""}};
constexpr F kSignBoard[] = {{"position", "m"}, {"text", "", Storage::kText}};
constexpr F kBrakedMass[] = {{"braked-mass percentage", "%"}};
constexpr F kCars[] = {{"number of cars", ""}};
constexpr F kSpeed[] = {{"position", "m"}, {"speed", "km/h"}};
constexpr F kAdhesion[] = {{"position", "m"}, {"adhesion", ""}};
constexpr F kClock[] = {{"hours", "", k16}, {"minutes", "", k16}, {"seconds", "", k16}};
constexpr F kSand[] = {{"value", "", k16}};
constexpr F kSignal[] = {{"position", "m"}, {"sx", ""},   {"s1", ""},   {"s2", ""},
                         {"s3", ""},        {"rapp", ""}, {"dx", ""},   {"d1", ""},
                         {"d2", ""},        {"d3", ""},   {"tempo", ""}};
constexpr F kSlowdown[] = {{"start", "m"}, {"speed", "km/h"}, {"length", "m"},
                           {"f_tt", ""},   {"f_ta", ""},      {"d_v", ""}};
constexpr F kSpeedCheck[] = {{"position", "m"}, {"value", ""}};
constexpr F kStation[] = {
    {"position", "m"},           {"type", "", k8},     {"length", "m"},      {"marca", "", k8},
    {"ottetto4", "", k8},        {"ottetto3", "", k8}, {"parola1", "", k16}, {"parola2", "", k16},
    {"ottetto1", "", k8},        {"parola3", "", k16}, {"parola4", "", k16}, {"parola5", "", k16},
    {"ottetto2", "", k8},        {"hours", ""},        {"minutes", ""},      {"seconds", ""},
    {"name", "", Storage::kText}};

using D = DescriptionFile;
using K = RecordKind;
using S = Section;

const KindInfo kKinds[] = {
    {K::kLineLength, D::kLine, S::kGeneral, "lunghezza percorso", "line length", kLength},
    {K::kChainageTre, D::kLine, S::kGeneral, "progressiva chilometrica tre",
     "chainage reference 'tre'", kChainage},
    {K::kChainageDue, D::kLine, S::kGeneral, "progressiva chilometrica due",
     "chainage reference 'due'", kChainage},
    {K::kChainageUno, D::kLine, S::kGeneral, "progressiva chilometrica uno",
     "chainage reference 'uno'", kChainage},
    {K::kBackgroundUno, D::kLine, S::kGeneral, "sfondo uno", "background 'uno'", kBackground},
    {K::kBackgroundDue, D::kLine, S::kGeneral, "sfondo due", "background 'due'", kBackground},
    {K::kBackgroundTre, D::kLine, S::kGeneral, "sfondo tre", "background 'tre'", kBackground},
    {K::kSignalRepetition, D::kLine, S::kGeneral, "ripetizione segnali 4 codici",
     "signal repetition", kRepetition},
    {K::kGradient, D::kLine, S::kBody, "pendenza", "gradient", kGradient},
    {K::kCurve, D::kLine, S::kBody, "curvas4", "curve", kCurve},
    {K::kScenery, D::kLine, S::kBody, "montagna", "scenery span", kScenery},
    {K::kSpeedBoards, D::kLine, S::kBody, "indicatori_vmax", "maximum-speed boards", kSpeedBoards},
    {K::kSignBoard, D::kLine, S::kBody, "cartello_indicatore", "sign board", kSignBoard},
    {K::kBrakedMass, D::kTrain, S::kTrain, "percentuale massa frenata", "braked mass", kBrakedMass},
    {K::kCars, D::kTrain, S::kTrain, "numero vetture", "number of cars", kCars},
    {K::kSpeed, D::kTrain, S::kTrain, "velocita", "line speed", kSpeed},
    {K::kAdhesion, D::kTrain, S::kTrain, "aderenza", "adhesion", kAdhesion},
    {K::kClock, D::kTrain, S::kTrain, "orologio", "clock", kClock},
    {K::kSand, D::kTrain, S::kTrain, "sabbia", "sand", kSand},
    {K::kSignal, D::kTrain, S::kTrain, "segnale", "signal", kSignal},
    {K::kSlowdown, D::kTrain, S::kTrain, "rallentamento", "slowdown", kSlowdown},
    {K::kSpeedCheck, D::kTrain, S::kTrain, "abbattimento", "speed check point", kSpeedCheck},
    {K::kStation, D::kTrain, S::kTrain, "stazione", "station", kStation},
};

std::string lowered_and_trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return "";
  const std::size_t last = text.find_last_not_of(" \t");
  std::string out(text.substr(first, last - first + 1));
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// The keywords an author may mean in each section, as written.
std::vector<std::string> candidates(Section section) {
  std::vector<std::string> words;
  for (const KindInfo& info : kKinds) {
    if (info.section != section) continue;
    if (info.kind == RecordKind::kCurve) {
      for (char side : {'s', 'd'}) {
        for (char digit = '1'; digit <= '6'; ++digit)
          words.push_back({'c', 'u', 'r', 'v', 'a', side, digit});
      }
    } else if (info.kind == RecordKind::kSignalRepetition) {
      words.push_back("ripetizione segnali 4 codici");
      words.push_back("ripetizione segnali 9 codici");
    } else {
      words.emplace_back(info.keyword);
    }
  }
  return words;
}

}  // namespace

const KindInfo& kind_info(RecordKind kind) { return kKinds[static_cast<int>(kind)]; }

std::span<const KindInfo> all_kinds() { return kKinds; }

std::string lowered(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool recognised_as(RecordKind kind, std::string_view field) {
  return recognised_as(kind, field, lowered(field));
}

bool recognised_as(RecordKind kind, std::string_view field, std::string_view field_lowered) {
  // The words are written in lower case: found in the lowered field, each is found whatever
  // the case, as the readers find it.
  auto any = [&](std::string_view word) {
    return field_lowered.find(word) != std::string_view::npos;
  };
  auto exact = [&](std::string_view word) { return contains(field, word); };
  switch (kind) {
    case K::kLineLength:
      return any("percorso") && any("lunghezza");
    case K::kChainageTre:
      return exact("tre") && exact("progressiva");
    case K::kChainageDue:
      return exact("due") && exact("progressiva");
    case K::kChainageUno:
      return exact("uno") && exact("progressiva");
    case K::kBackgroundUno:
      return exact("sfondo") && exact("uno");
    case K::kBackgroundDue:
      return exact("sfondo") && exact("due");
    case K::kBackgroundTre:
      return exact("sfondo") && exact("tre");
    case K::kSignalRepetition:
      return exact("segnali") && exact("ripetizione");
    case K::kGradient:
      return any("pendenza");
    case K::kCurve:
      return any("curva");
    case K::kScenery:
      return any("montagna");
    case K::kSpeedBoards:
      return any("indicatori_v");
    case K::kSignBoard:
      return any("cartello") && any("indicat");
    case K::kBrakedMass:
      return any("massa") && any("frenata");
    case K::kCars:
      return any("vetture");
    case K::kSpeed:
      return any("velocit");
    case K::kAdhesion:
      return any("aderenza");
    case K::kClock:
      return any("orologio");
    case K::kSand:
      return any("sabbia");
    case K::kSignal:
      return any("segnale");
    case K::kSlowdown:
      return any("rallentamento");
    case K::kSpeedCheck:
      return any("abbattimento");
    case K::kStation:
      return any("stazione");
  }
  return false;
}

bool is_written_keyword(RecordKind kind, std::string_view field) {
  // No keyword is as long as this: a longer field is none, and is not worth lowering.
  constexpr std::size_t kLonger = 32;
  const std::size_t first = field.find_first_not_of(" \t");
  const std::string_view trimmed =
      first == std::string_view::npos
          ? std::string_view()
          : field.substr(first, field.find_last_not_of(" \t") - first + 1);
  if (trimmed.size() >= kLonger) return false;
  char lower[kLonger];
  std::transform(trimmed.begin(), trimmed.end(), lower, [](char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  });
  const std::string_view word(lower, trimmed.size());
  if (kind == RecordKind::kCurve) {
    return word.size() == 7 && word.starts_with("curva") && (word[5] == 's' || word[5] == 'd') &&
           word[6] >= '1' && word[6] <= '6';
  }
  if (kind == RecordKind::kSignalRepetition) {
    return word == "ripetizione segnali 4 codici" || word == "ripetizione segnali 9 codici";
  }
  if (kind == RecordKind::kSpeed && word == "velocit\xE0") return true;  // with its accent
  return word == kind_info(kind).keyword;
}

std::size_t edit_distance(std::string_view a, std::string_view b) {
  return edit_distance_within(a, b, std::max(a.size(), b.size()));
}

std::size_t edit_distance_within(std::string_view a, std::string_view b, std::size_t bound) {
  const std::size_t far = bound + 1;
  if (a.size() < b.size()) std::swap(a, b);  // the distance is symmetric; rows along the shorter
  if (a.size() - b.size() > bound) return far;
  // What the two share at their start and at their end takes no edit.
  while (!b.empty() && a.front() == b.front()) {
    a.remove_prefix(1);
    b.remove_prefix(1);
  }
  while (!b.empty() && a.back() == b.back()) {
    a.remove_suffix(1);
    b.remove_suffix(1);
  }
  if (b.empty()) return std::min(a.size(), far);
  // Three rows of the table, i - 2 to i, each entry capped at `far`. A distance of at most
  // `bound` passes only through the cells within `bound` of the diagonal: only those are
  // computed, and the ones next to them read as `far`.
  const std::size_t width = b.size() + 1;
  std::array<std::size_t, 3 * 64> room;
  std::vector<std::size_t> large;
  std::size_t* rows = room.data();
  if (3 * width > room.size()) {
    large.resize(3 * width);
    rows = large.data();
  }
  std::fill(rows, rows + 3 * width, far);
  auto row = [&](std::size_t i) { return rows + i % 3 * width; };
  for (std::size_t j = 0; j < width && j <= bound; ++j) row(0)[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t* d = row(i);
    const std::size_t* up = row(i - 1);
    const std::size_t* up2 = row(i + 1);  // row i - 2
    const std::size_t from = i > bound ? i - bound : 1;
    const std::size_t to = std::min(b.size(), i + bound);
    d[from - 1] = from == 1 ? std::min(i, far) : far;
    std::size_t least = d[from - 1];
    for (std::size_t j = from; j <= to; ++j) {
      const std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
      std::size_t v = std::min({up[j] + 1, d[j - 1] + 1, up[j - 1] + cost});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        v = std::min(v, up2[j - 2] + 1);
      }
      d[j] = std::min(v, far);
      least = std::min(least, d[j]);
    }
    // Each row's least is at most one more than the row before's, and comes from it or from
    // the row before that at a cost of 1: past a row with nothing within the bound, no row has.
    if (least == far) return far;
  }
  return row(a.size())[b.size()];
}

std::string_view nearest_keyword(std::string_view field, Section section) {
  static const std::array<std::vector<std::string>, 3> kCandidates = {
      candidates(Section::kGeneral), candidates(Section::kBody), candidates(Section::kTrain)};
  const std::string word = lowered_and_trimmed(field);
  if (word.size() < 4 || word.size() > 40) return {};
  const std::size_t allowed = word.size() >= 6 ? 2 : 1;
  std::string_view best;
  std::size_t best_distance = allowed + 1;
  // Only a candidate nearer than the best so far can take its place.
  for (const std::string& candidate : kCandidates[static_cast<int>(section)]) {
    if (best_distance == 0) break;
    const std::size_t d = edit_distance_within(word, candidate, best_distance - 1);
    if (d < best_distance) {
      best = candidate;
      best_distance = d;
    }
  }
  return best;
}

std::optional<std::pair<std::size_t, std::size_t>> near_general_heading(const SourceText& text) {
  for (std::size_t line = 1; line <= text.line_count(); ++line) {
    const std::string_view whole = text.line_text(line);
    const std::size_t first = whole.find_first_not_of(" \t");
    if (first == std::string_view::npos || whole[first] != '[') continue;
    const std::size_t last = whole.find_last_not_of(" \t");
    if (whole[last] != ']' || contains_any_case(whole, "[generale]")) continue;
    std::string inner;
    for (char c : whole.substr(first + 1, last - first - 1)) {
      if (c != ' ' && c != '\t')
        inner += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (edit_distance_within(inner, "generale", 2) <= 2) {
      const std::size_t begin = text.line_begin(line) + first;
      return std::pair{begin, text.line_begin(line) + last + 1};
    }
  }
  return std::nullopt;
}

std::string near_heading_words(std::string_view line) {
  return "'" + shown(line) +
         "' is not the heading '[generale]': the reader looks for '[generale]' as it is "
         "written here, with no blank or other letter inside the brackets";
}

}  // namespace binario::authoring
