#include "authoring/diagnostics/reading_log.h"

namespace binario::authoring {

int ReadingLog::record_of_value(DescriptionFile file, std::size_t index) const {
  const std::vector<LoggedField>& fields = fields_[static_cast<int>(file)];
  return index < fields.size() ? fields[index].record : kNoRecord;
}

int ReadingLog::writer(std::int64_t cell, CellPart part) const {
  const std::vector<int>& writers = writers_.by_part[static_cast<int>(part)];
  if (cell < 0 || static_cast<std::size_t>(cell) >= writers.size()) return kNoRecord;
  return writers[static_cast<std::size_t>(cell)];
}

void ReadingLog::opened(DescriptionFile file, std::string_view bytes) {
  const int f = static_cast<int>(file);
  opened_[f] = true;
  reading_ = file;
  // A field and its separator take two bytes at the least, and most take four or more: room
  // for a field every four bytes spares growing the tables as the file is read.
  const std::size_t fields = bytes.size() / 4 + 1;
  fields_[f].reserve(fields_[f].size() + fields);
  values_.reserve(values_.size() + fields);
}

void ReadingLog::field(DescriptionFile file, FieldRole role, FieldSpan span) {
  const int f = static_cast<int>(file);
  const bool value = role == FieldRole::kValue && open_ != kNoRecord;
  fields_[f].push_back({role, value ? open_ : kNoRecord, span});
  if (role == FieldRole::kKeyword) keyword_[f] = fields_[f].size() - 1;
  if (value) {
    values_.push_back(fields_[f].size() - 1);
    ++records_[static_cast<std::size_t>(open_)].values.size_;
  }
}

void ReadingLog::general_section_ended(FieldSpan) {
  body_start_ = fields_[static_cast<int>(DescriptionFile::kLine)].size() - 1;
}

void ReadingLog::record_begin(DescriptionFile file, RecordKind kind) {
  records_.push_back({kind, file, keyword_[static_cast<int>(file)], LoggedRun(values_), false,
                      LoggedRun(writes_)});
  open_ = static_cast<int>(records_.size()) - 1;
}

void ReadingLog::record_end(DescriptionFile) {
  if (open_ == kNoRecord) return;
  LoggedRecord& record = records_[static_cast<std::size_t>(open_)];
  record.complete = true;
  // A line length creates the track cells anew: whatever wrote them before is gone.
  if (record.kind == RecordKind::kLineLength) reset_writers();
  open_ = kNoRecord;
}

void ReadingLog::reset_writers() {
  for (std::vector<int>& writers : writers_.by_part) writers.assign(state_.celle.size(), kNoRecord);
  writers_.tipo.assign(state_.celle.size(), 0);
}

void ReadingLog::cell_written(std::int64_t index, CellPart part) {
  if (writers_.tipo.size() != state_.celle.size()) reset_writers();
  const auto i = static_cast<std::size_t>(index);
  std::vector<int>& writers = writers_.by_part[static_cast<int>(part)];
  const std::uint8_t after = state_.celle[i].tipo;
  const int writer = open_ != kNoRecord ? open_ : kCompletion;
  const CellWrite write{index, part, writers_.tipo[i], after, writers[i]};
  writers[i] = writer;
  writers_.tipo[i] = after;
  if (open_ != kNoRecord) {
    writes_.push_back(write);
    ++records_[static_cast<std::size_t>(open_)].writes.size_;
  } else {
    completion_.push_back(write);
  }
}

void ReadingLog::code_recorded(std::int32_t code, std::optional<std::int32_t> position) {
  codes_.push_back({code, position, open_, reading_});
}

void ReadingLog::read_failed(DescriptionFile file, FieldSpan last, std::string_view what) {
  failure_ = LoggedFailure{file, last, std::string(what), open_};
  open_ = kNoRecord;
}

}  // namespace binario::authoring
