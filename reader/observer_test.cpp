// What the reading tells its observer, and that watching changes nothing.

#include "reader/observer.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "reader/reader_test_support.h"

namespace binario {
namespace {

using testing::lines;
using testing::MemoryFiles;
using testing::small_line;
using testing::small_train;

// Every report as one line of text, the fields by their text.
class Log final : public ReadingObserver {
 public:
  std::vector<std::string> events;

  void opened(DescriptionFile file, std::string_view bytes) override {
    bytes_[static_cast<int>(file)] = bytes;
    events.push_back("open " + name(file));
  }
  void field(DescriptionFile file, FieldRole role, FieldSpan span) override {
    static const char* const kRoles[] = {"passed over", "heading", "keyword",
                                         "comment",     "value",   "never read"};
    events.push_back(std::string(kRoles[static_cast<int>(role)]) + " '" + text(file, span) + "'");
  }
  void general_section_ended(FieldSpan span) override {
    events.push_back("body from '" + text(DescriptionFile::kLine, span) + "'");
  }
  void record_begin(DescriptionFile, RecordKind kind) override {
    events.push_back("begin " + std::to_string(static_cast<int>(kind)));
  }
  void record_end(DescriptionFile) override { events.push_back("end"); }
  void cell_written(std::int64_t index, CellPart part) override {
    static const char* const kParts[] = {"object", "mark", "scenery"};
    events.push_back("cell " + std::to_string(index) + " " + kParts[static_cast<int>(part)]);
  }
  void code_recorded(std::int32_t code, std::optional<std::int32_t> position) override {
    events.push_back("code " + std::to_string(code) +
                     (position ? " at " + std::to_string(*position) : ""));
  }
  void read_failed(DescriptionFile file, FieldSpan last, std::string_view) override {
    events.push_back("failed at '" + text(file, last) + "'");
  }

 private:
  static std::string name(DescriptionFile file) {
    return file == DescriptionFile::kLine ? "line" : "train";
  }
  std::string text(DescriptionFile file, FieldSpan span) const {
    return std::string(bytes_[static_cast<int>(file)].substr(span.begin, span.end - span.begin));
  }
  std::string_view bytes_[2];
};

std::vector<std::string> observe(const std::string& line, const std::string& train) {
  RunState state;
  state.nome_linea = "L";
  state.numero_treno = "1";
  state.modo = 1;
  MemoryFiles files(line, train);
  Log log;
  memorizza_dati(state, files, &log);
  return log.events;
}

TEST(ReadingObserver, ToldEveryFieldRecordCellAndCode) {
  const std::vector<std::string> events =
      observe(lines({"preambolo", "[generale]", "- commento", "lunghezza percorso, 10000",
                     "[curve]", "pendenza,  1000,  2", "velocita aderenza",
                     "cartello_indicatore,  "
                     "1000,  \"(A, B)\"",
                     "[fine]"}),
              lines({"[generale]", "segnale,  1000,  1, 5, 1, 0, 0, 0, 0, 0, 0, 0", "[fine]"}));
  const std::vector<std::string> expected = {
      "open line",
      "passed over 'preambolo'",
      "heading '[generale]'",
      "comment '- commento'",
      "keyword 'lunghezza percorso'",
      "begin 0",
      "value '10000'",
      "end",
      "keyword '[curve]'",
      "body from '[curve]'",
      "keyword 'pendenza'",
      "begin 8",
      "value '1000'",
      "value '2'",
      "end",
      "keyword 'velocita aderenza'",  // a train keyword in the line matches nothing
      "keyword 'cartello_indicatore'",
      "begin 12",
      "value '1000'",
      "value '\"(A, B)\"'",
      "cell 21 object",
      "end",
      "never read '[fine]'",
      "open train",
      "heading '[generale]'",
      "keyword 'segnale'",
      "begin 19",
      "value '1000'",
      "value '1'",
      "value '5'",
      "value '1'",
      "value '0'",
      "value '0'",
      "value '0'",
      "value '0'",
      "value '0'",
      "value '0'",
      "value '0'",
      "code 16 at 1000",  // the sign board holds the signal's cell
      "end",
  };
  EXPECT_EQ(events, expected);
}

TEST(ReadingObserver, AFailureCutsTheRecordShort) {
  const std::vector<std::string> events =
      observe(small_line({"pendenza,  4000", "pendenza,  5000,  2"}), small_train());
  const std::vector<std::string> tail(events.end() - 5, events.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"keyword 'pendenza'", "begin 8", "value '4000'",
                                            "failed at 'pendenza'", "code 25"}))
      << ::testing::PrintToString(events);
}

TEST(ReadingObserver, WatchingChangesNothing) {
  const std::string line = small_line(
      {"pendenza,  1000,  2", "montagna,  2000,  3000,  12", "cartello_indicatore,  2150,  (A)"});
  const std::string train =
      small_train({"velocita,  0,  100", "aderenza,  0,  90",
                   "stazione,  5000, 12,  400,  0, 0, 0,  0,0,0,  0,0,0,  0,  9, 0, 0, A",
                   "segnale,  4000,  1, 5, 1, 0, 0, 0, 0, 0, 0, 0",
                   "rallentamento,  6000,  60,  500,  0,  1,  0", "abbattimento,  8000,  70"});
  auto read = [&](ReadingObserver* observer) {
    RunState state;
    state.modo = 1;
    MemoryFiles files(line, train);
    memorizza_dati(state, files, observer);
    return state;
  };
  Log log;
  const RunState watched = read(&log);
  const RunState alone = read(nullptr);
  EXPECT_EQ(watched.celle, alone.celle);
  EXPECT_EQ(watched.pianta, alone.pianta);
  EXPECT_EQ(watched.tabella_dati, alone.tabella_dati);
  EXPECT_EQ(watched.codice_errore, 0);
}

}  // namespace
}  // namespace binario
