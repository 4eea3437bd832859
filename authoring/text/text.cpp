#include "authoring/text/text.h"

#include <cstdint>

namespace binario::authoring {

namespace {

// The characters of bytes 0x80 to 0x9F in Windows-1252; the five it leaves undefined keep
// their own number.
constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The character of a byte, the undefined ones and the controls included.
char32_t character_of(unsigned char byte) {
  return byte >= 0x80 && byte <= 0x9F ? kHigh[byte - 0x80] : byte;
}

// The character of a byte, or 0 when the byte is to be shown as \xNN: a control byte or one
// the code page leaves undefined.
char32_t character(unsigned char byte) {
  if (byte == '\t') return byte;
  const char32_t c = character_of(byte);
  return c < 0x20 || (c >= 0x7F && c < 0xA0) ? 0 : c;
}

void append_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void append_escape(std::string& out, unsigned char byte) {
  constexpr char kHex[] = "0123456789ABCDEF";
  out += "\\x";
  out += kHex[byte >> 4];
  out += kHex[byte & 0xF];
}

}  // namespace

std::string shown(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char b : bytes) {
    const auto byte = static_cast<unsigned char>(b);
    if ((byte >= 0x20 && byte < 0x7F) || byte == '\t') {
      out += b;  // itself
    } else if (const char32_t c = character(byte); c != 0) {
      append_utf8(out, c);
    } else {
      append_escape(out, byte);
    }
  }
  return out;
}

std::string quoted(std::string_view bytes) {
  if (bytes.size() <= kQuotedAtMost) return "'" + shown(bytes) + "'";
  return "'" + shown(bytes.substr(0, kQuotedAtMost - 3)) + "...' (" + std::to_string(bytes.size()) +
         " bytes)";
}

std::size_t shown_width(std::string_view bytes) {
  std::size_t width = 0;
  for (char b : bytes) width += character(static_cast<unsigned char>(b)) != 0 ? 1 : 4;
  return width;
}

std::string joined(std::initializer_list<Part> parts) {
  std::size_t size = 0;
  for (const Part& part : parts) size += part.text().size();
  std::string out;
  out.reserve(size);
  for (const Part& part : parts) out += part.text();
  return out;
}

std::size_t utf8_sequence(std::string_view bytes) {
  if (bytes.empty()) return 0;
  const auto lead = static_cast<unsigned char>(bytes[0]);
  std::size_t length = 0;
  std::uint32_t min = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, min = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, min = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, min = 0x10000;
  } else {
    return 0;
  }
  if (bytes.size() < length) return 0;
  std::uint32_t code = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(bytes[i]);
    if ((next & 0xC0) != 0x80) return 0;
    code = (code << 6) | (next & 0x3F);
  }
  if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

std::string as_utf8(std::string_view bytes) {
  std::string out;
  for (std::size_t i = 0; i < bytes.size();) {
    if (const std::size_t length = utf8_sequence(bytes.substr(i)); length > 0) {
      out += bytes.substr(i, length);
      i += length;
      continue;
    }
    const auto byte = static_cast<unsigned char>(bytes[i++]);
    const char32_t c = byte < 0x80 ? byte : character(byte);
    append_utf8(out, c != 0 ? c : 0xFFFD);
  }
  return out;
}

std::string windows_1252_to_utf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char byte : bytes) append_utf8(out, character_of(static_cast<unsigned char>(byte)));
  return out;
}

std::optional<std::string> utf8_to_windows_1252(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t n = lead < 0x80             ? 1
                          : (lead & 0xE0) == 0xC0 ? 2
                          : (lead & 0xF0) == 0xE0 ? 3
                                                  : 0;
    if (n == 0 || i + n > text.size()) return std::nullopt;
    char32_t c = n == 1 ? lead : n == 2 ? (lead & 0x1F) : (lead & 0x0F);
    for (std::size_t k = 1; k < n; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      c = (c << 6) | (next & 0x3F);
    }
    i += n;
    bool found = false;
    for (int byte = 0; byte < 256 && !found; ++byte) {
      if (character_of(static_cast<unsigned char>(byte)) == c) {
        // Only the shortest form is one windows_1252_to_utf8 makes.
        std::string again;
        append_utf8(again, c);
        if (again.size() != n) return std::nullopt;
        out += static_cast<char>(byte);
        found = true;
      }
    }
    if (!found) return std::nullopt;
  }
  return out;
}

}  // namespace binario::authoring
