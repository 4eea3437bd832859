#ifndef BINARIO_READER_READERS_H_
#define BINARIO_READER_READERS_H_

// The two halves of memorizza_dati and what they share. Internal to reader/.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "reader/keywords.h"
#include "reader/memorizza_dati.h"
#include "reader/observer.h"
#include "reader/track_model.h"

namespace binario {

// The description files as the readers use them: each is handed back once only.
class ReaderFiles {
 public:
  explicit ReaderFiles(DescriptionFiles& files) : files_(files) {}

  std::optional<std::string> open(DescriptionFile file) { return files_.open(file); }

  void done(DescriptionFile file) {
    bool& done = done_[static_cast<int>(file)];
    if (!done) {
      done = true;
      files_.done(file);
    }
  }

 private:
  DescriptionFiles& files_;
  std::array<bool, 2> done_{};
};

// Fills cells from `next` on with `write(i)`, advancing `next`, while `next` is below `until`;
// at least one cell is written, so a record out of order still closes one. Never writes past
// cell `last`.
template <typename Write>
void fill_cells(std::int32_t& next, std::int64_t until, std::int32_t last, Write write) {
  do {
    if (next > last) return;
    write(static_cast<std::size_t>(next));
    ++next;
  } while (next < until);
}

// `text` for the scenario data table, whose file holds a text of at most 65535 bytes; a longer
// one is a ReadFailure.
std::string table_text(std::string text);

// The line half. Gives the sign-board row for the train half, or nothing when the reading is
// over.
std::optional<std::int32_t> read_line_description(RunState& state, ReaderFiles& files,
                                                  ReadingObserver* observer);

// The train half; stations stay below `sign_board_limit`.
void read_train_description(RunState& state, ReaderFiles& files, std::int32_t sign_board_limit,
                            ReadingObserver* observer);

}  // namespace binario

#endif  // BINARIO_READER_READERS_H_
