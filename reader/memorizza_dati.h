#ifndef BINARIO_READER_MEMORIZZA_DATI_H_
#define BINARIO_READER_MEMORIZZA_DATI_H_

#include <optional>
#include <string>

#include "reader/track_model.h"

namespace binario {

enum class DescriptionFile { kLine, kTrain };

class ReadingObserver;  // reader/observer.h

// Where the readers find the two description files, and what becomes of a file the readers are
// done with: the scenario program deletes it, the authoring tool leaves it alone.
class DescriptionFiles {
 public:
  virtual ~DescriptionFiles() = default;

  // The whole content of the file, or nothing when it does not exist. A file that exists but
  // cannot be read is a ReadFailure.
  virtual std::optional<std::string> open(DescriptionFile file) = 0;

  // The readers are done with the file, whether or not they opened it; called at most once per
  // file.
  virtual void done(DescriptionFile file) = 0;
};

// What the reading leaves besides the run state.
struct ReadOutcome {
  // For error code 25: what failed and where ("train description, line 12, column 5: ...").
  std::string failure;
};

// Reads the line description and then the train description into the run state: creates the
// track cells and the plan, fills the cells, the plan and the scenario data table, and places
// every marker. Errors are recorded in codice_errore and posizione_errore; the first one ends
// the reading (a position beyond the model ends only the line description's body). The files
// are handed back through done() at the points the reading is over with them.
// `observer`, when given, is told everything the reading does.
ReadOutcome memorizza_dati(RunState& state, DescriptionFiles& files,
                           ReadingObserver* observer = nullptr);

}  // namespace binario

#endif  // BINARIO_READER_MEMORIZZA_DATI_H_
