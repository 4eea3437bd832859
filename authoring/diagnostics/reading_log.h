#ifndef BINARIO_AUTHORING_DIAGNOSTICS_READING_LOG_H_
#define BINARIO_AUTHORING_DIAGNOSTICS_READING_LOG_H_

// Everything one compile step reported to its observer, kept in order: the fields of each file
// with their roles, the records with their values, which record wrote which cell and what the
// cell held before, and every code.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "reader/observer.h"
#include "reader/track_model.h"

namespace binario::authoring {

// The writer of a cell that no record wrote.
inline constexpr int kNoRecord = -1;
inline constexpr int kCompletion = -2;  // the compile step's completion pass

struct LoggedField {
  FieldRole role;
  int record;  // the record it is a value of, or kNoRecord
  FieldSpan span;
};

struct CellWrite {
  std::int64_t index;
  CellPart part;
  std::uint8_t tipo_before;  // for kObject: the kind the cell held before, and now
  std::uint8_t tipo_after;
  int previous_writer;  // the record (or kNoRecord, kCompletion) that wrote this part before
};

// What one record holds of one of its log's tables, which keep every record's in turn: its
// value fields or its cell writes.
template <typename T>
class LoggedRun {
 public:
  LoggedRun() = default;
  explicit LoggedRun(const std::vector<T>& table) : table_(&table), begin_(table.size()) {}

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const T& operator[](std::size_t i) const { return (*table_)[begin_ + i]; }
  const T* begin() const { return table_ == nullptr ? nullptr : table_->data() + begin_; }
  const T* end() const { return begin() + size_; }

 private:
  friend class ReadingLog;
  const std::vector<T>* table_ = nullptr;
  std::size_t begin_ = 0;
  std::size_t size_ = 0;
};

struct LoggedRecord {
  RecordKind kind;
  DescriptionFile file;
  std::size_t keyword;            // index of its keyword in fields(file)
  LoggedRun<std::size_t> values;  // indices of its value fields in fields(file)
  bool complete = false;          // all its values were read and handled
  LoggedRun<CellWrite> writes;
};

struct LoggedCode {
  std::int32_t code;
  std::optional<std::int32_t> position;
  int record;            // the record being read when it was recorded, or kNoRecord
  DescriptionFile file;  // the file being read then
};

struct LoggedFailure {
  DescriptionFile file;
  FieldSpan last;  // the last field read
  std::string what;
  int record;  // the record it cut short, or kNoRecord
};

class ReadingLog final : public ReadingObserver {
 public:
  // `state` is the run state the compile step fills, read to see what each write left.
  explicit ReadingLog(const RunState& state) : state_(state) {}
  // Its records point into its tables.
  ReadingLog(const ReadingLog&) = delete;
  ReadingLog& operator=(const ReadingLog&) = delete;

  const std::vector<LoggedField>& fields(DescriptionFile file) const {
    return fields_[static_cast<int>(file)];
  }
  bool was_opened(DescriptionFile file) const { return opened_[static_cast<int>(file)]; }
  const std::vector<LoggedRecord>& records() const { return records_; }
  const std::vector<LoggedCode>& codes() const { return codes_; }
  const std::optional<LoggedFailure>& failure() const { return failure_; }
  // The markers and caps of the completion pass.
  const std::vector<CellWrite>& completion() const { return completion_; }
  // Where the line description's general section ended, if it did.
  std::optional<std::size_t> body_start() const { return body_start_; }

  // The record whose value the field at `index` of `file` is, or kNoRecord.
  int record_of_value(DescriptionFile file, std::size_t index) const;
  // The record that last wrote `part` of `cell`, kCompletion, or kNoRecord.
  int writer(std::int64_t cell, CellPart part) const;
  // The record that wrote the object standing in `cell` now.
  int object_writer(std::int64_t cell) const { return writer(cell, CellPart::kObject); }

  void opened(DescriptionFile file, std::string_view bytes) override;
  void field(DescriptionFile file, FieldRole role, FieldSpan span) override;
  void general_section_ended(FieldSpan span) override;
  void record_begin(DescriptionFile file, RecordKind kind) override;
  void record_end(DescriptionFile file) override;
  void cell_written(std::int64_t index, CellPart part) override;
  void code_recorded(std::int32_t code, std::optional<std::int32_t> position) override;
  void read_failed(DescriptionFile file, FieldSpan last, std::string_view what) override;

 private:
  struct Writers {
    std::vector<int> by_part[3];
    std::vector<std::uint8_t> tipo;  // the kind each cell held at the last report
  };
  void reset_writers();

  const RunState& state_;
  std::vector<LoggedField> fields_[2];
  std::size_t keyword_[2] = {0, 0};  // the last field read where a keyword is expected
  bool opened_[2] = {false, false};
  std::vector<LoggedRecord> records_;
  // The value fields and the cell writes of every record, each record's in a run: a record's
  // values and writes are all told while it is the one being read.
  std::vector<std::size_t> values_;
  std::vector<CellWrite> writes_;
  int open_ = kNoRecord;  // the record being read
  DescriptionFile reading_ = DescriptionFile::kLine;
  std::vector<LoggedCode> codes_;
  std::optional<LoggedFailure> failure_;
  std::vector<CellWrite> completion_;
  std::optional<std::size_t> body_start_;
  Writers writers_;
};

}  // namespace binario::authoring

#endif  // BINARIO_AUTHORING_DIAGNOSTICS_READING_LOG_H_
