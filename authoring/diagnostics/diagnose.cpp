#include "authoring/diagnostics/diagnose.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <iterator>
#include <memory>
#include <optional>
#include <set>
#include <string_view>
#include <tuple>

#include "authoring/diagnostics/checks.h"
#include "authoring/diagnostics/errors.h"
#include "authoring/diagnostics/reading.h"
#include "authoring/diagnostics/reading_log.h"
#include "authoring/diagnostics/record_kinds.h"
#include "reader/error_codes.h"
#include "reader/track_model.h"

namespace binario::authoring {

namespace {

// The most readings one diagnosis makes.
constexpr int kMaxReadings = 100;

// A line description that gives the longest track and holds nothing: the train description
// is read against it when the real one gives no track at all.
constexpr std::string_view kStandInLine =
    "[generale]\r\nlunghezza percorso, 1000000\r\n[fine corpo]\r\n[fine]\r\n";

using Text = std::shared_ptr<const SourceText>;

// One reading, with everything its diagnostics refer to.
struct Pass {
  Text line;
  Text train;
  RunState state;
  std::unique_ptr<ReadingLog> log;
  CompileOutcome outcome;
  bool stand_in_line = false;

  Reading reading() const { return Reading(*line, *train, state, *log, stand_in_line); }
};

std::unique_ptr<Pass> compile(Text line, Text train, const std::string& nome_linea,
                              const std::string& numero_treno, std::int32_t modo,
                              RouteFileSink& output, bool stand_in_line) {
  auto pass = std::make_unique<Pass>();
  pass->line = std::move(line);
  pass->train = std::move(train);
  pass->stand_in_line = stand_in_line;
  pass->state.nome_linea = nome_linea;
  pass->state.numero_treno = numero_treno;
  pass->log = std::make_unique<ReadingLog>(pass->state);
  DescriptionTexts files(pass->line->bytes(), pass->train->bytes());
  pass->outcome = memorizza_percorso(pass->state, modo, files, output, pass->log.get());
  return pass;
}

// `text` with lines `first` to `last` made blank, every offset kept.
SourceText without_lines(const SourceText& text, std::size_t first, std::size_t last) {
  std::string bytes = text.bytes();
  for (std::size_t line = first; line <= last && line <= text.line_count(); ++line) {
    std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(text.line_begin(line)),
              bytes.begin() + static_cast<std::ptrdiff_t>(text.line_end(line)), ' ');
  }
  return SourceText(text.path(), std::move(bytes));
}

// Two diagnostics alike in all but their notes and the end of their span are told once.
bool alike(const Diagnostic& a, const Diagnostic& b) {
  return a.severity == b.severity && a.code == b.code && a.at.file == b.at.file &&
         a.at.begin == b.at.begin && a.whole_file == b.whole_file && a.check == b.check &&
         a.message == b.message;
}

std::size_t hash_of(const Diagnostic& d) {
  // The message's length, start and end tell messages apart well enough, at any length.
  const std::string_view message = d.message;
  constexpr std::size_t kEnds = 32;
  std::size_t h = message.size() <= 2 * kEnds
                      ? std::hash<std::string_view>()(message)
                      : std::hash<std::string_view>()(message.substr(0, kEnds)) ^
                            (std::hash<std::string_view>()(message.substr(message.size() - kEnds)) +
                             message.size());
  for (const std::size_t part :
       {std::hash<std::string_view>()(d.check), d.at.begin, static_cast<std::size_t>(d.code),
        static_cast<std::size_t>(d.severity) * 4 + static_cast<std::size_t>(d.at.file) * 2 +
            d.whole_file}) {
    h ^= part + 0x9e3779b97f4a7c15 + (h << 6) + (h >> 2);
  }
  return h;
}

// Diagnostics in the order told, each once: of those alike, the first.
class Told {
 public:
  // Adds `d` unless one alike was told; whether it was added, as last().
  bool add(Diagnostic d) {
    const std::size_t hash = hash_of(d);
    if (find(d, hash) != kEmpty) return false;
    told_.push_back(std::move(d));
    hashes_.push_back(hash);
    place(told_.size() - 1);
    return true;
  }
  // Whether one alike the one that `other` told as its i-th was told here.
  bool has(const Told& other, std::size_t i) const {
    return find(other.told_[i], other.hashes_[i]) != kEmpty;
  }
  Diagnostic& last() { return told_.back(); }
  std::vector<Diagnostic>& told() { return told_; }

 private:
  static constexpr std::uint32_t kEmpty = UINT32_MAX;

  // The place in told_ of the one alike `d`, or kEmpty.
  std::uint32_t find(const Diagnostic& d, std::size_t hash) const {
    if (slots_.empty()) return kEmpty;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t s = hash & mask;; s = (s + 1) & mask) {
      const std::uint32_t i = slots_[s];
      if (i == kEmpty || (hashes_[i] == hash && alike(told_[i], d))) return i;
    }
  }
  // Enters told_[i] in the table, which stays at most half full.
  void place(std::size_t i) {
    if (2 * told_.size() > slots_.size()) {
      slots_.assign(std::bit_ceil(std::max<std::size_t>(64, 4 * told_.size())), kEmpty);
      for (std::size_t j = 0; j < i; ++j) enter(j);
    }
    enter(i);
  }
  void enter(std::size_t i) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t s = hashes_[i] & mask;
    while (slots_[s] != kEmpty) s = (s + 1) & mask;
    slots_[s] = static_cast<std::uint32_t>(i);
  }

  std::vector<Diagnostic> told_;
  std::vector<std::size_t> hashes_;   // of each in told_
  std::vector<std::uint32_t> slots_;  // places in told_ by hash, kEmpty where none; 2^n of them
};

// A line length written in kilometres (42 for 42 km) puts nearly every record past the end of
// the line, and many beyond the track: each is then a consequence, not a mistake of its own.
// When the records' positions all lie within the line read as kilometres, the diagnostics they
// make are folded into one, at the line length, which names the likely cause.
void fold_kilometres(std::vector<Diagnostic>& all, const Reading& reading) {
  const ReadingLog& log = reading.log();
  const LoggedRecord* length = nullptr;
  for (const LoggedRecord& record : log.records()) {
    if (record.kind == RecordKind::kLineLength && record.complete) length = &record;
  }
  if (length == nullptr) return;
  const std::int64_t metres = reading.number(*length, 0).value_or(0);
  if (metres <= 0 || metres >= 1000) return;
  const std::int64_t as_kilometres = metres * 1000;
  auto consequence = [&](const Diagnostic& d) {
    return d.position_m && *d.position_m > metres && *d.position_m <= as_kilometres + kRunOut &&
           ((d.severity == Severity::kError && d.code == error_code::kBeyondModel) ||
            d.check == "past-line-end");
  };
  std::int64_t farthest = 0;
  std::set<std::pair<int, std::size_t>> lines;  // the lines of the records it concerns
  for (const Diagnostic& d : all) {
    if (d.position_m && *d.position_m > as_kilometres + kRunOut) return;  // not kilometres, then
    if (!consequence(d)) continue;
    lines.insert({static_cast<int>(d.at.file), reading.source(d.at.file).line_of(d.at.begin)});
    farthest = std::max<std::int64_t>(farthest, *d.position_m);
  }
  const std::size_t count = lines.size();
  if (count < 3) return;
  const auto first = std::find_if(all.begin(), all.end(), consequence);
  const auto error = std::find_if(all.begin(), all.end(), [&](const Diagnostic& d) {
    return consequence(d) && d.severity == Severity::kError;
  });
  Diagnostic folded = error != all.end() ? *error : *first;
  folded.at = reading.value_span(*length, 0);
  folded.whole_file = false;
  folded.position_m = static_cast<std::int32_t>(metres);
  folded.message = "a line length of " + std::to_string(metres) +
                   " m, while the records lie as far as " + std::to_string(farthest) +
                   " m: the length is most likely in kilometres; write it in metres, " +
                   std::to_string(as_kilometres);
  std::vector<Note> notes;
  const Diagnostic& cause = error != all.end() ? *error : *first;
  notes.push_back({cause.at, "the first record it leaves " +
                                 std::string(error != all.end() ? "beyond the track"
                                                                : "past the end of the line") +
                                 ": " + cause.message});
  notes.push_back({std::nullopt, "and " + std::to_string(count - 1) +
                                     " more records like it, each a consequence of the length, "
                                     "are not reported one by one"});
  for (Note& note : folded.notes) {
    if (note.at) continue;
    if (note.message.starts_with("the reading stopped here")) {
      note.message.replace(0, 24, "the reading stopped at that record");
    }
    notes.push_back(std::move(note));
  }
  folded.notes = std::move(notes);
  std::erase_if(all, [&](const Diagnostic& d) {
    return consequence(d) || (d.check == "not-multiple-of-50" && d.at.begin == folded.at.begin &&
                              d.at.file == folded.at.file);
  });
  all.push_back(std::move(folded));
}

}  // namespace

Diagnosis diagnose(const SourceText& line, const SourceText& train, const std::string& nome_linea,
                   const std::string& numero_treno, std::int32_t modo, RouteFileSink& output,
                   bool with_account) {
  // The caller's texts, which outlive the diagnosis, are read as they are.
  const Text line_text(Text(), &line);
  const Text train_text(Text(), &train);
  const std::unique_ptr<Pass> first =
      compile(line_text, train_text, nome_linea, numero_treno, modo, output, false);
  Diagnosis diagnosis;

  // The errors of every reading, then the warnings about each file. Each reading is let go once
  // its warnings are told, so that a diagnosis holds two at the most besides the first.
  Told errors;
  Told warnings[2];  // about the line description, about the train description
  // The warnings about fields and records from every reading; those about order and the model
  // from the last reading of each file, which read the most of it. A reading that read the same
  // line description as the one before it finds the same in it: it is asked only when it is the
  // last.
  auto check = [&](const Pass& pass, bool last_of_line, bool last_of_train, bool line_as_before) {
    if (!line_as_before || last_of_line) {
      for (Diagnostic& d : check_reading(pass.reading(), DescriptionFile::kLine, last_of_line)) {
        warnings[0].add(std::move(d));
      }
    }
    for (Diagnostic& d : check_reading(pass.reading(), DescriptionFile::kTrain, last_of_train)) {
      warnings[1].add(std::move(d));
    }
  };

  Explained explained = explain_codes(first->reading(), first->outcome.errore, true);
  const std::optional<Span> first_stop = explained.stopped_at;
  for (Diagnostic& d : explained.errors) errors.add(std::move(d));

  // The kinds of record any reading read: a later reading passes over the record at fault, which
  // may be its file's only record of its kind.
  std::set<RecordKind> kinds_read;
  auto note_kinds = [&](const Pass& pass) {
    for (const LoggedRecord& r : pass.log->records()) kinds_read.insert(r.kind);
  };
  note_kinds(*first);

  // Read on past each record that stopped the reading.
  const Pass* last = first.get();
  std::unique_ptr<Pass> further;  // the last reading after the first
  bool last_line_as_before = false;
  bool stand_in_used = false;
  for (int readings = 1; readings < kMaxReadings; ++readings) {
    std::unique_ptr<Pass> next;
    bool line_as_before = true;
    NoRouteFiles discard;
    if (explained.read_on) {
      const Lines& lines = *explained.read_on;
      const bool on_line = lines.file == DescriptionFile::kLine;
      Text blanked = std::make_shared<const SourceText>(
          without_lines(on_line ? *last->line : *last->train, lines.first, lines.last));
      line_as_before = !on_line;
      next = compile(on_line ? blanked : last->line, on_line ? last->train : blanked, nome_linea,
                     numero_treno, last->stand_in_line ? 0 : modo, discard, last->stand_in_line);
    } else if (explained.no_model && !stand_in_used && !last->stand_in_line) {
      stand_in_used = true;
      line_as_before = false;
      next = compile(std::make_shared<const SourceText>(line.path(), std::string(kStandInLine)),
                     last->train, nome_linea, numero_treno, 0, discard, true);
    } else {
      break;
    }
    // The reading before is not the last: its warnings are told now, and it is let go.
    check(*last, !last->stand_in_line && next->stand_in_line, false, last_line_as_before);
    further = std::move(next);
    last = further.get();
    note_kinds(*last);
    last_line_as_before = line_as_before;
    explained = explain_codes(last->reading(), "", false);
    for (Diagnostic& d : explained.errors) {
      if (last->stand_in_line && d.at.file == DescriptionFile::kLine) continue;
      if (!errors.add(std::move(d)) || !first_stop) continue;
      errors.last().notes.push_back({*first_stop,
                                     "the reading stopped at this error; the one above was "
                                     "found by reading on past it, and the compiled files do "
                                     "not reflect it"});
    }
  }
  check(*last, !last->stand_in_line, true, last_line_as_before);
  for (Diagnostic& d : check_encoding(line, DescriptionFile::kLine)) warnings[0].add(std::move(d));
  for (Diagnostic& d : check_encoding(train, DescriptionFile::kTrain)) {
    warnings[1].add(std::move(d));
  }

  // An error and a warning are never alike; the warnings about the train description follow
  // those about the line as they were told.
  std::vector<bool> told_of_line(warnings[1].told().size());
  for (std::size_t i = 0; i < told_of_line.size(); ++i) {
    told_of_line[i] = warnings[0].has(warnings[1], i);
  }
  std::vector<Diagnostic> all = std::move(errors.told());
  std::move(warnings[0].told().begin(), warnings[0].told().end(), std::back_inserter(all));
  for (std::size_t i = 0; i < told_of_line.size(); ++i) {
    if (!told_of_line[i]) all.push_back(std::move(warnings[1].told()[i]));
  }

  fold_kilometres(all, first->reading());

  // A later reading passes over the record at fault, which may be the file's only record of
  // its kind: the file is not short of it, and the error at it says what became of it.
  std::erase_if(all, [&](const Diagnostic& d) {
    if (d.check != "missing-records") return false;
    return std::any_of(kinds_read.begin(), kinds_read.end(), [&](RecordKind kind) {
      return d.message.find("no '" + std::string(kind_info(kind).keyword) + "' record") !=
             std::string::npos;
    });
  });

  // A keyword spelled oddly is no news at a record an error already points at.
  std::set<std::pair<int, std::size_t>> errors_at;
  for (const Diagnostic& d : all) {
    if (d.severity == Severity::kError) errors_at.insert({static_cast<int>(d.at.file), d.at.begin});
  }
  std::erase_if(all, [&](const Diagnostic& d) {
    return d.check == "keyword-spelling" &&
           errors_at.contains({static_cast<int>(d.at.file), d.at.begin});
  });
  // In order of file and place, those alike in order as told: the places are sorted, and each
  // diagnostic moved once.
  std::vector<std::pair<std::tuple<int, bool, std::size_t>, std::size_t>> order;
  order.reserve(all.size());
  for (std::size_t i = 0; i < all.size(); ++i) {
    order.push_back({{static_cast<int>(all[i].at.file), !all[i].whole_file, all[i].at.begin}, i});
  }
  std::stable_sort(order.begin(), order.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  diagnosis.diagnostics.reserve(all.size());
  for (const auto& [place, i] : order) diagnosis.diagnostics.push_back(std::move(all[i]));
  diagnosis.sources = cell_sources(first->reading());
  if (with_account) diagnosis.account = account_of(first->reading());
  diagnosis.state = std::move(first->state);
  diagnosis.outcome = first->outcome;
  return diagnosis;
}

}  // namespace binario::authoring
