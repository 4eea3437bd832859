#ifndef BINARIO_READER_DESCRIPTION_READER_H_
#define BINARIO_READER_DESCRIPTION_READER_H_

// What the line reader and the train reader share: the fields of one description file, the
// loop over its records, and the ways a record ends the reading. Internal to reader/.

#include <cstdint>
#include <string_view>

#include "reader/error_codes.h"
#include "reader/field_reader.h"
#include "reader/readers.h"
#include "reader/track_model.h"

namespace binario {

// What the reading does after a record.
enum class Next {
  kGoOn,        // the next record
  kEndRecords,  // no more records: the reading ends as at the end of the file
  kStop,        // the reading stops; the file is done with already
};

class DescriptionReader {
 protected:
  DescriptionReader(RunState& state, ReaderFiles& files, DescriptionFile file,
                    std::string_view bytes)
      : state_(state), files_(files), file_(file), in_(bytes) {}

  // Reads records until the file ends or a record ends them; false when one stopped the
  // reading. Where a keyword is expected up to two fields with "-" in a row are passed over,
  // and the file's last field is never taken as a record. `record()` handles riga's keyword.
  template <typename Record>
  bool read_records(Record record) {
    for (;;) {
      if (in_.at_end()) return true;
      read_riga();
      if (in_.at_end()) return true;
      for (int skip = 0; skip < 2 && contains(state_.riga, "-"); ++skip) {
        read_riga();
        if (in_.at_end()) return true;
      }
      const Next next = record();
      if (next == Next::kStop) return false;
      if (next == Next::kEndRecords) return true;
    }
  }

  void read_riga() { state_.riga = in_.read_text(); }

  // Whether a record at `position` lies less than `margin` metres before the end of the model.
  bool beyond(std::int32_t position, std::int32_t margin = 100) const {
    return std::int64_t{position} + margin > std::int64_t{kCellLength} * state_.numero_celle;
  }
  // A record beyond the model ends the records, not the reading.
  Next beyond_model(std::int32_t position) {
    state_.codice_errore = error_code::kBeyondModel;
    state_.posizione_errore = position;
    return Next::kEndRecords;
  }
  // The reading stops with `code`: the file is done with, nothing more is read.
  Next stop(std::int32_t code) {
    files_.done(file_);
    state_.codice_errore = code;
    return Next::kStop;
  }
  Next stop_at(std::int32_t code, std::int32_t position) {
    stop(code);
    state_.posizione_errore = position;
    return Next::kStop;
  }

  RunState& state_;
  ReaderFiles& files_;
  const DescriptionFile file_;
  FieldReader in_;
};

}  // namespace binario

#endif  // BINARIO_READER_DESCRIPTION_READER_H_
