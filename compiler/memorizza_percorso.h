#ifndef BINARIO_COMPILER_MEMORIZZA_PERCORSO_H_
#define BINARIO_COMPILER_MEMORIZZA_PERCORSO_H_

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "reader/memorizza_dati.h"
#include "reader/track_model.h"
#include "scenario/file_names.h"

namespace binario {

// Where the compile step puts the compiled route files (the line plan file, the general data
// file, the track file). Each file is begun, written in pieces as it is encoded, and finished;
// a file begun and not finished, a failure having come on the way, must leave nothing of itself
// where the file belongs. Failures of the system are thrown as std::system_error.
class RouteFileSink {
 public:
  virtual ~RouteFileSink() = default;
  virtual void begin(ScenarioFile file) = 0;
  virtual void write(std::string_view bytes) = 0;
  virtual void finish() = 0;
};

// The compiled route files kept in memory, whole, by file.
class RouteFilesInMemory final : public RouteFileSink {
 public:
  void begin(ScenarioFile file) override {
    current_ = file;
    files[file].clear();
  }
  void write(std::string_view bytes) override { files[current_] += bytes; }
  void finish() override {}

  std::map<ScenarioFile, std::string> files;

 private:
  ScenarioFile current_ = ScenarioFile::kLinePlan;
};

// The compiled route files encoded, as the compile step must, and dropped.
class NoRouteFiles final : public RouteFileSink {
 public:
  void begin(ScenarioFile) override {}
  void write(std::string_view) override {}
  void finish() override {}
};

// The two description files as texts in memory: the readers take them as they are, and nothing
// becomes of them when the readers are done. Nothing stands for a file that does not exist.
class DescriptionTexts final : public DescriptionFiles {
 public:
  DescriptionTexts(std::optional<std::string> line, std::optional<std::string> train)
      : line_(std::move(line)), train_(std::move(train)) {}
  std::optional<std::string> open(DescriptionFile file) override {
    return file == DescriptionFile::kLine ? line_ : train_;
  }
  void done(DescriptionFile) override {}

 private:
  std::optional<std::string> line_;
  std::optional<std::string> train_;
};

// The value of every speed check point the completion pass places.
inline constexpr std::int16_t kMarkerSpeed = 180;
// The stamps the compile step puts on every compiled route. The simulator checks them: never
// change them.
inline constexpr std::int16_t kTableStamp = 610;   // tabella_dati row 85, parola1
inline constexpr std::int16_t kTrackStamp = 5121;  // cell 1, dato1

struct CompileOutcome {
  // "1250" or "1251" when a stamp check failed: the compile step then wrote nothing, and the
  // run must end through the error box with this number.
  std::string errore;
  // The description of the run-time failure behind error code 25, if any.
  std::string read_failure;
};

// The smaller of x and y; x on a tie.
template <typename T>
constexpr T minimo(T x, T y) {
  return x > y ? y : x;
}

// Completes the track cells with the speed check points the description files do not state:
// before signals near slowdown warning boards, before and inside slowdowns, and after them.
// Conflicts are recorded as errors 11, 12 and 13; the pass goes on. `observer`, when given, is
// told of every cell written and every code recorded.
void complete_track(RunState& state, ReadingObserver* observer = nullptr);

// The compile step: reads the two description files into the run state (modo = j), completes
// the track cells, stamps the model with its fixed marks and competition codes, and writes the
// compiled route files, the line plan file only when modo is not 0. When the reading left no
// track model, nothing is completed or written. `observer`, when given, watches the reading and
// the completion.
CompileOutcome memorizza_percorso(RunState& state, std::int32_t j, DescriptionFiles& descriptions,
                                  RouteFileSink& output, ReadingObserver* observer = nullptr);

}  // namespace binario

#endif  // BINARIO_COMPILER_MEMORIZZA_PERCORSO_H_
