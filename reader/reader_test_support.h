#ifndef BINARIO_READER_READER_TEST_SUPPORT_H_
#define BINARIO_READER_READER_TEST_SUPPORT_H_

// Description files in memory for the reader tests, and small descriptions to build cases on.

#include <optional>
#include <string>
#include <vector>

#include "reader/memorizza_dati.h"

namespace binario::testing {

// Two description files in memory, with a log of what the readers did with them: "open line",
// "done train", ...
class MemoryFiles final : public DescriptionFiles {
 public:
  MemoryFiles(std::optional<std::string> line, std::optional<std::string> train)
      : line_(std::move(line)), train_(std::move(train)) {}

  std::optional<std::string> open(DescriptionFile file) override {
    log.push_back("open " + name(file));
    return file == DescriptionFile::kLine ? line_ : train_;
  }
  void done(DescriptionFile file) override { log.push_back("done " + name(file)); }

  std::vector<std::string> log;

 private:
  static std::string name(DescriptionFile file) {
    return file == DescriptionFile::kLine ? "line" : "train";
  }
  std::optional<std::string> line_;
  std::optional<std::string> train_;
};

struct Reading {
  RunState state;
  std::vector<std::string> log;
  ReadOutcome outcome;
};

// Reads the two descriptions as the scenario "Varelbo", train "3874".
inline Reading read_descriptions(std::optional<std::string> line, std::optional<std::string> train,
                                 std::int32_t modo = 1) {
  Reading reading;
  reading.state.nome_linea = "Varelbo";
  reading.state.numero_treno = "3874";
  reading.state.modo = modo;
  MemoryFiles files(std::move(line), std::move(train));
  reading.outcome = memorizza_dati(reading.state, files);
  reading.log = files.log;
  return reading;
}

// Lines joined with CR LF, the last one included.
inline std::string lines(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}

// A line description of a 10000 m line (numero_celle 340, so positions up to 16900 lie within
// the model) with `body` after its first body heading.
inline std::string small_line(const std::vector<std::string>& body = {}) {
  std::vector<std::string> all = {"[generale]", "lunghezza percorso, 10000", "[curve]"};
  all.insert(all.end(), body.begin(), body.end());
  all.push_back("[fine]");
  return lines(all);
}

// A train description with `records` after its "[generale]".
inline std::string small_train(const std::vector<std::string>& records = {}) {
  std::vector<std::string> all = {"[generale]"};
  all.insert(all.end(), records.begin(), records.end());
  all.push_back("[fine]");
  return lines(all);
}

}  // namespace binario::testing

#endif  // BINARIO_READER_READER_TEST_SUPPORT_H_
