#include "authoring/diagnostics/render.h"

#include <map>

#include "authoring/text/text.h"

namespace binario::authoring {

namespace {

// A source line longer than this many bytes is shown in part: the stretch that starts a few
// bytes before the caret.
constexpr std::size_t kShownOfALine = 120;
constexpr std::size_t kShownBeforeCaret = 40;

class Renderer {
 public:
  Renderer(const SourceText& line, const SourceText& train) : line_(line), train_(train) {}

  const SourceText& source(DescriptionFile file) const {
    return file == DescriptionFile::kLine ? line_ : train_;
  }

  // "PATH:LINE:COLUMN: severity: message", then the line and its caret.
  void located(std::string& out, Span at, const char* severity, const std::string& message,
               const std::string& suffix) const {
    const SourceText& text = source(at.file);
    const Location where = text.locate(at.begin);
    out += text.path() + ":" + std::to_string(where.line) + ":" + std::to_string(where.column) +
           ": " + severity + ": " + message + suffix + "\n";
    quote(out, text, where.line, at);
  }

  // The line, or of a long one the stretch around the caret, and the caret under its place.
  void quote(std::string& out, const SourceText& text, std::size_t line, Span at) const {
    const std::string_view whole = text.line_text(line);
    const std::size_t begin = at.begin - text.line_begin(line);
    std::size_t from = 0;
    std::size_t to = whole.size();
    if (whole.size() > kShownOfALine) {
      from = begin > kShownBeforeCaret ? begin - kShownBeforeCaret : 0;
      to = std::min(whole.size(), from + kShownOfALine);
    }
    const std::string_view bytes = whole.substr(from, to - from);
    const std::string cut_before = from > 0 ? "..." : "";
    std::string number = std::to_string(line);
    if (number.size() < 5) number.insert(0, 5 - number.size(), ' ');
    out += number + " | " + cut_before + shown(bytes) + (to < whole.size() ? "..." : "") + "\n";
    const std::size_t end =
        std::min(std::max(at.end, at.begin + 1) - text.line_begin(line), std::max(to, begin + 1)) -
        from;
    std::string caret = "      | " + std::string(cut_before.size(), ' ');
    for (std::size_t i = 0; i + from < begin && i < bytes.size(); ++i) {
      caret +=
          bytes[i] == '\t' ? std::string("\t") : std::string(shown_width(bytes.substr(i, 1)), ' ');
    }
    caret += '^';
    std::size_t width = 0;
    for (std::size_t i = begin - from + 1; i < end && i < bytes.size(); ++i) {
      width += shown_width(bytes.substr(i, 1));
    }
    caret.append(width, '~');
    out += caret + "\n";
  }

  void diagnostic(std::string& out, const Diagnostic& d) const {
    if (d.whole_file) {
      out += source(d.at.file).path() + ": " + severity_word(d.severity) + ": " + d.message + " " +
             tag(d) + "\n";
    } else {
      located(out, d.at, severity_word(d.severity), d.message, " " + tag(d));
    }
    for (const Note& note : d.notes) {
      if (note.at && note.at->end != 0) {
        located(out, *note.at, "note", note.message, "");
      } else {
        out += "note: " + note.message + "\n";
      }
    }
  }

 private:
  const SourceText& line_;
  const SourceText& train_;
};

}  // namespace

std::string tag(const Diagnostic& diagnostic) {
  if (diagnostic.severity == Severity::kError) {
    return "[code " + std::to_string(diagnostic.code) + "]";
  }
  return "[" + diagnostic.check + "]";
}

std::string render(const std::vector<Diagnostic>& diagnostics, const SourceText& line,
                   const SourceText& train) {
  const Renderer renderer(line, train);
  std::string out;
  std::map<std::pair<DescriptionFile, std::string>, std::size_t> counts;
  for (const Diagnostic& d : diagnostics) {
    if (++counts[{d.at.file, tag(d)}] > kShownOfOneKind) continue;
    renderer.diagnostic(out, d);
  }
  for (const auto& [kind, count] : counts) {
    if (count <= kShownOfOneKind) continue;
    out += renderer.source(kind.first).path() + ": note: and " +
           std::to_string(count - kShownOfOneKind) + " more like this " + kind.second + "\n";
  }
  return out;
}

}  // namespace binario::authoring
