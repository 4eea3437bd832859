#ifndef BINARIO_AUTHORING_DIAGNOSTICS_EXPLANATIONS_H_
#define BINARIO_AUTHORING_DIAGNOSTICS_EXPLANATIONS_H_

// The long explanation of each warning: what it means, why it matters, an example of the
// mistake and what to write instead. They are the sections of warnings.md, beside this file,
// which the build embeds.

#include <optional>
#include <string_view>
#include <vector>

namespace binario::authoring {

// The names of the warnings that have an explanation, in the order of the text.
std::vector<std::string_view> explained_warnings();

// The explanation of the warning `name`, from its "## NAME" line to the next section; nothing
// for a name that has none.
std::optional<std::string_view> warning_explanation(std::string_view name);

}  // namespace binario::authoring

#endif  // BINARIO_AUTHORING_DIAGNOSTICS_EXPLANATIONS_H_
