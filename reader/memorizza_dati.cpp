#include "reader/memorizza_dati.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>

#include "reader/error_codes.h"
#include "reader/keywords.h"
#include "reader/observer.h"
#include "reader/read_failure.h"
#include "reader/readers.h"

namespace binario {

namespace {

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

}  // namespace

std::string table_text(std::string text) {
  if (text.size() > UINT16_MAX) {
    throw ReadFailure("a text of " + std::to_string(text.size()) +
                      " bytes is longer than the 65535 the data table holds");
  }
  return text;
}

bool contains(std::string_view text, std::string_view word) {
  return text.find(word) != std::string_view::npos;
}

bool contains_any_case(std::string_view text, std::string_view word) {
  return std::search(text.begin(), text.end(), word.begin(), word.end(),
                     [](char a, char b) { return lower(a) == lower(b); }) != text.end() ||
         word.empty();
}

ReadOutcome memorizza_dati(RunState& state, DescriptionFiles& description_files,
                           ReadingObserver* observer) {
  ReaderFiles files(description_files);
  const char* reading = "line description";
  try {
    const std::optional<std::int32_t> sign_board_row =
        read_line_description(state, files, observer);
    if (!sign_board_row) return {};
    reading = "train description";
    read_train_description(state, files, *sign_board_row, observer);
    return {};
  } catch (const ReadFailure& failure) {
    // Any run-time failure ends the reading: both files go, the position stays as it was.
    files.done(DescriptionFile::kLine);
    files.done(DescriptionFile::kTrain);
    state.codice_errore = error_code::kReadFailure;
    if (observer != nullptr) observer->code_recorded(error_code::kReadFailure, std::nullopt);
    return {std::string(reading) + ", " + failure.what()};
  }
}

}  // namespace binario
