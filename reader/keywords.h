#ifndef BINARIO_READER_KEYWORDS_H_
#define BINARIO_READER_KEYWORDS_H_

// How the readers find a keyword in a field: as a substring, with or without regard to letter
// case. The authoring tool asks the same questions of the fields it explains.

#include <string_view>

namespace binario {

// Whether `text` contains `word`, letter case and all.
bool contains(std::string_view text, std::string_view word);

// Whether `text` contains `word`, whatever the case of their letters.
bool contains_any_case(std::string_view text, std::string_view word);

}  // namespace binario

#endif  // BINARIO_READER_KEYWORDS_H_
