#include "authoring/diagnostics/explanations.h"

namespace binario::authoring {

// warnings.md, embedded by the build.
std::string_view warning_explanations_text();

namespace {

constexpr std::string_view kHeading = "\n## ";

// Where each section begins: the offset of its "## " line.
std::vector<std::size_t> section_starts(std::string_view text) {
  std::vector<std::size_t> starts;
  for (std::size_t at = text.find(kHeading); at != std::string_view::npos;
       at = text.find(kHeading, at + 1)) {
    starts.push_back(at + 1);
  }
  return starts;
}

std::string_view section_name(std::string_view text, std::size_t start) {
  const std::size_t begin = start + kHeading.size() - 1;
  const std::size_t end = text.find('\n', begin);
  return text.substr(begin, (end == std::string_view::npos ? text.size() : end) - begin);
}

}  // namespace

std::vector<std::string_view> explained_warnings() {
  const std::string_view text = warning_explanations_text();
  std::vector<std::string_view> names;
  for (std::size_t start : section_starts(text)) names.push_back(section_name(text, start));
  return names;
}

std::optional<std::string_view> warning_explanation(std::string_view name) {
  const std::string_view text = warning_explanations_text();
  const std::vector<std::size_t> starts = section_starts(text);
  for (std::size_t i = 0; i < starts.size(); ++i) {
    if (section_name(text, starts[i]) != name) continue;
    const std::size_t end = i + 1 < starts.size() ? starts[i + 1] : text.size();
    std::string_view section = text.substr(starts[i], end - starts[i]);
    while (section.ends_with("\n\n")) section.remove_suffix(1);
    return section;
  }
  return std::nullopt;
}

}  // namespace binario::authoring
