#ifndef BINARIO_READER_READERS_H_
#define BINARIO_READER_READERS_H_

// The two halves of memorizza_dati and what they share. Internal to reader/.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "reader/memorizza_dati.h"
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

// Whether `text` contains `word`, letter case and all.
bool contains(std::string_view text, std::string_view word);

// Whether `text` contains `word`, whatever the case of their letters.
bool contains_any_case(std::string_view text, std::string_view word);

// The line half. Gives the sign-board row for the train half, or nothing when the reading is
// over.
std::optional<std::int32_t> read_line_description(RunState& state, ReaderFiles& files);

// The train half; stations stay below `sign_board_limit`.
void read_train_description(RunState& state, ReaderFiles& files, std::int32_t sign_board_limit);

}  // namespace binario

#endif  // BINARIO_READER_READERS_H_
