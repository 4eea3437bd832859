#include "compiler/competition_codes.h"

#include <string>

namespace binario {

namespace {

constexpr std::string_view kPadding = "mmnnooppqqrrssttuuvvwwxxyy";
constexpr std::size_t kCodeLength = 25;

// The lower case of a Windows-1252 letter; any other byte as it is.
unsigned char lower_1252(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
  if (c == 0x8A || c == 0x8C || c == 0x8E) return c + 0x10;  // S, OE, Z with caron or ligature
  if (c == 0x9F) return 0xFF;                                // Y with diaeresis
  return c;
}

// The code text, left in riga, and the sum of its character codes weighted by `weight`.
template <typename Weight>
std::int32_t code(RunState& state, Weight weight) {
  std::string text = state.tabella_dati[data_row::kTrainIdentity].testo +
                     state.tabella_dati[data_row::kLineIdentity].testo;
  for (char& c : text) c = static_cast<char>(lower_1252(static_cast<unsigned char>(c)));
  text += kPadding;
  state.riga = text;
  std::int32_t sum = 0;
  for (std::size_t i = 1; i <= kCodeLength; ++i) {
    sum += static_cast<unsigned char>(text[i - 1]) * weight(static_cast<std::int32_t>(i));
  }
  return sum;
}

}  // namespace

std::int32_t codice_gara_og(RunState& state) {
  return code(state, [](std::int32_t) { return 1; });
}

std::int32_t codice_gara_st(RunState& state) {
  return code(state, [](std::int32_t i) { return i; });
}

}  // namespace binario
