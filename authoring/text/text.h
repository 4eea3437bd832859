#ifndef BINARIO_AUTHORING_TEXT_TEXT_H_
#define BINARIO_AUTHORING_TEXT_TEXT_H_

// The description files are Windows-1252, one byte a character. What an author is shown of
// them is UTF-8, as terminals and JSON take it, with every byte that is no character (a control
// byte, one of the five that Windows-1252 leaves undefined) shown as \xNN.

#include <charconv>
#include <concepts>
#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace binario::authoring {

// `bytes` as the author sees them.
std::string shown(std::string_view bytes);

// `bytes` as the author sees them, in single quotes, as a message names a field: 'pendenza'.
// Past kQuotedAtMost bytes, their start and their length: '(AAAA...' (70002 bytes).
inline constexpr std::size_t kQuotedAtMost = 60;
std::string quoted(std::string_view bytes);

// How many columns shown(`bytes`) takes on a terminal.
std::size_t shown_width(std::string_view bytes);

// `bytes`, whatever they hold, as valid UTF-8: the bytes of a valid UTF-8 sequence as they are,
// every other byte as its Windows-1252 character. For names the command line gave.
std::string as_utf8(std::string_view bytes);

// A text of the data table (Windows-1252 bytes) as UTF-8, every byte kept: each byte becomes
// its Windows-1252 character, and the five bytes that code has no character for (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) the control characters of the same number.
std::string windows_1252_to_utf8(std::string_view bytes);

// The inverse of windows_1252_to_utf8; nothing when `text` holds a character it never makes.
std::optional<std::string> utf8_to_windows_1252(std::string_view text);

// A part of a text that joined() puts together: a text, or a whole number in decimal.
class Part {
 public:
  Part(std::string_view text) : text_(text) {}
  Part(const char* text) : text_(text) {}
  Part(const std::string& text) : text_(text) {}
  template <std::integral T>
  requires(!std::same_as<T, char> && !std::same_as<T, bool>) Part(T number) {
    digits_ = static_cast<std::size_t>(
        std::to_chars(number_, number_ + sizeof number_, number).ptr - number_);
  }
  std::string_view text() const { return digits_ > 0 ? std::string_view(number_, digits_) : text_; }

 private:
  std::string_view text_;
  char number_[20];
  std::size_t digits_ = 0;
};

// The parts one after the other, made in one piece.
std::string joined(std::initializer_list<Part> parts);

// The length of the valid UTF-8 sequence of two or more bytes that starts `bytes`, or 0.
std::size_t utf8_sequence(std::string_view bytes);

}  // namespace binario::authoring

#endif  // BINARIO_AUTHORING_TEXT_TEXT_H_
