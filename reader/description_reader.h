#ifndef BINARIO_READER_DESCRIPTION_READER_H_
#define BINARIO_READER_DESCRIPTION_READER_H_

// What the line reader and the train reader share: the fields of one description file, the
// loop over its records, and the ways a record ends the reading. Internal to reader/.

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "reader/error_codes.h"
#include "reader/field_reader.h"
#include "reader/observer.h"
#include "reader/read_failure.h"
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
                    std::string_view bytes, ReadingObserver* observer)
      : state_(state), files_(files), file_(file), in_(bytes), observer_(observer) {
    if (observer_ != nullptr) observer_->opened(file, bytes);
  }

  // Runs `body`, telling the observer of a run-time failure before it goes on to the one place
  // that handles it.
  template <typename Body>
  auto reporting_failures(Body body) {
    try {
      return body();
    } catch (const ReadFailure& failure) {
      if (observer_ != nullptr) observer_->read_failed(file_, in_.last_field(), failure.what());
      throw;
    }
  }

  // Reads records until the file ends or a record ends them; false when one stopped the
  // reading. Where a keyword is expected up to two fields with "-" in a row are passed over,
  // and the file's last field is never taken as a record. `record()` handles riga's keyword.
  template <typename Record>
  bool read_records(Record record) {
    for (;;) {
      if (in_.at_end()) return true;
      if (!read_keyword()) return true;
      for (int skip = 0; skip < 2 && contains(state_.riga, "-"); ++skip) {
        note(FieldRole::kComment);
        if (!read_keyword()) return true;
      }
      note(FieldRole::kKeyword);
      const Next next = record();
      if (next == Next::kStop) return false;
      if (next == Next::kEndRecords) return true;
    }
  }

  void read_riga() { state_.riga = in_.read_text(); }
  // Reads riga where a keyword is expected; false, and the field is never read, when it is the
  // file's last.
  bool read_keyword() {
    read_riga();
    if (!in_.at_end()) return true;
    note(FieldRole::kNeverRead);
    return false;
  }

  // The value fields of a record.
  std::int32_t read_int32() {
    const std::int32_t value = in_.read_int32();
    note(FieldRole::kValue);
    return value;
  }
  // A value that must fit a narrower field: the field is read, then it must fit.
  template <typename T>
  T read_int() {
    return must_fit<T>(read_int32());
  }
  std::string read_text() {
    std::string text = in_.read_text();
    note(FieldRole::kValue);
    return text;
  }

  // Tells the observer the role of the field read last.
  void note(FieldRole role) {
    if (observer_ != nullptr) observer_->field(file_, role, in_.last_field());
  }

  // The span of one record for the observer: begun at construction, ended when it goes out of
  // scope, unless a failure cuts it short.
  class Record {
   public:
    Record(DescriptionReader& reader, RecordKind kind)
        : observer_(reader.observer_), file_(reader.file_) {
      if (observer_ != nullptr) observer_->record_begin(file_, kind);
    }
    ~Record() {
      if (observer_ != nullptr && std::uncaught_exceptions() == failures_) {
        observer_->record_end(file_);
      }
    }
    Record(const Record&) = delete;
    Record& operator=(const Record&) = delete;

   private:
    ReadingObserver* observer_;
    DescriptionFile file_;
    int failures_ = std::uncaught_exceptions();
  };

  // Whether a record at `position` lies less than `margin` metres before the end of the model.
  bool beyond(std::int32_t position, std::int32_t margin = 100) const {
    return std::int64_t{position} + margin > std::int64_t{kCellLength} * state_.numero_celle;
  }
  // A record beyond the model ends the records, not the reading.
  Next beyond_model(std::int32_t position) {
    record_code(error_code::kBeyondModel, position);
    return Next::kEndRecords;
  }
  // The reading stops with `code`: the file is done with, nothing more is read.
  Next stop(std::int32_t code) {
    files_.done(file_);
    state_.codice_errore = code;
    if (observer_ != nullptr) observer_->code_recorded(code, std::nullopt);
    return Next::kStop;
  }
  Next stop_at(std::int32_t code, std::int32_t position) {
    files_.done(file_);
    record_code(code, position);
    return Next::kStop;
  }
  void record_code(std::int32_t code, std::int32_t position) {
    state_.codice_errore = code;
    state_.posizione_errore = position;
    if (observer_ != nullptr) observer_->code_recorded(code, position);
  }

  RunState& state_;
  ReaderFiles& files_;
  const DescriptionFile file_;
  FieldReader in_;
  ReadingObserver* const observer_;
};

}  // namespace binario

#endif  // BINARIO_READER_DESCRIPTION_READER_H_
