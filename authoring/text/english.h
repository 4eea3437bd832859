#ifndef BINARIO_AUTHORING_TEXT_ENGLISH_H_
#define BINARIO_AUTHORING_TEXT_ENGLISH_H_

// The English of the messages: the article a word takes, and its possessive.

#include <string>
#include <string_view>

namespace binario::authoring {

// "an" before a word that begins with a vowel, a quote or not, else "a": "an 'indicatori_vmax'",
// "a gradient". Words are the system's own, English or Italian, whose vowels sound as vowels.
inline std::string article(std::string_view word) {
  const std::size_t first = word.find_first_not_of("'");
  const bool vowel = first != std::string_view::npos &&
                     std::string_view("aeiouAEIOU").find(word[first]) != std::string_view::npos;
  return vowel ? "an" : "a";
}

// `word` with its article: "an adhesion", "a speed check".
inline std::string with_article(std::string_view word) {
  return article(word) + " " + std::string(word);
}

// `noun`'s possessive: "the station's", "the maximum-speed boards'".
inline std::string possessive(std::string_view noun) {
  return std::string(noun) + (noun.ends_with('s') ? "'" : "'s");
}

}  // namespace binario::authoring

#endif  // BINARIO_AUTHORING_TEXT_ENGLISH_H_
