#ifndef BINARIO_READER_OBSERVER_H_
#define BINARIO_READER_OBSERVER_H_

// What the reading and the compile step do, told to whoever watches: every field read and the
// role it played, every record with its kind, the cells each record wrote, every code recorded.
// The scenario program passes no observer; the authoring tool builds its diagnostics from these
// reports. An observer only watches: nothing it is told lets it change the model.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "reader/memorizza_dati.h"

namespace binario {

// Where a field stands in its file: the byte offsets of its first byte and of the byte after its
// last, leading blanks and separator excluded. An empty field has begin == end.
struct FieldSpan {
  std::size_t begin = 0;
  std::size_t end = 0;
};

// The part a field played in the reading.
enum class FieldRole {
  kPassedOver,  // before the "[generale]" heading
  kHeading,     // the "[generale]" heading itself
  kKeyword,     // where a keyword is expected; it may begin records or match nothing
  kComment,     // where a keyword is expected, held "-" and was passed over
  kValue,       // a value of the record being read
  kNeverRead,   // the file's last field, where a keyword is expected: never interpreted
};

// The kinds of record, in the order the readers test a keyword against them.
enum class RecordKind {
  // The line description's general section.
  kLineLength,
  kChainageTre,
  kChainageDue,
  kChainageUno,
  kBackgroundUno,
  kBackgroundDue,
  kBackgroundTre,
  kSignalRepetition,
  // The line description's body.
  kGradient,
  kCurve,
  kScenery,
  kSpeedBoards,
  kSignBoard,
  // The train description.
  kBrakedMass,
  kCars,
  kSpeed,
  kAdhesion,
  kClock,
  kSand,
  kSignal,
  kSlowdown,
  kSpeedCheck,
  kStation,
};

// What a write put into a track cell.
enum class CellPart {
  kObject,        // tipo and the object's data
  kApproachMark,  // avviso
  kScenery,       // montagna
};

class ReadingObserver {
 public:
  virtual ~ReadingObserver() = default;

  // The reading opened `file`, whose bytes stay valid until the compile step returns.
  virtual void opened(DescriptionFile /*file*/, std::string_view /*bytes*/) {}
  // A field was read.
  virtual void field(DescriptionFile /*file*/, FieldRole /*role*/, FieldSpan /*span*/) {}
  // The line description's general section ended at this field, which is read as a keyword
  // first and is the first field of the body's reading.
  virtual void general_section_ended(FieldSpan /*span*/) {}
  // The keyword field just read begins a record of `kind`; its values follow as kValue fields
  // until record_end(). A keyword may begin several records, one after the other.
  virtual void record_begin(DescriptionFile /*file*/, RecordKind /*kind*/) {}
  // The record's values are all read and handled. A record that a failure cuts short gets
  // read_failed() instead.
  virtual void record_end(DescriptionFile /*file*/) {}
  // Cell `index` was written, by the record being read or, outside any record, by the compile
  // step's completion pass.
  virtual void cell_written(std::int64_t /*index*/, CellPart /*part*/) {}
  // A code was recorded in codice_errore, with the position set with it, if any.
  virtual void code_recorded(std::int32_t /*code*/, std::optional<std::int32_t> /*position*/) {}
  // A run-time failure ended the reading of `file` (code 25 follows). `last` is the last field
  // read: the field at fault when reading it failed.
  virtual void read_failed(DescriptionFile /*file*/, FieldSpan /*last*/,
                           std::string_view /*what*/) {}
};

}  // namespace binario

#endif  // BINARIO_READER_OBSERVER_H_
