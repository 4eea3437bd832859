#ifndef BINARIO_AUTHORING_DIAGNOSTICS_ACCOUNT_H_
#define BINARIO_AUTHORING_DIAGNOSTICS_ACCOUNT_H_

// The account of every line: what the reading made of each line of both description files. A
// heading, a comment passed over, a record with each field as written, as read and as stored
// (the cell, the table row or the plan rows, with any rounding, narrowing or clearing applied),
// a value of a record on another line, a line passed over and why, a line never read. It says
// also what a later record or the compile step made of what the line stored.

#include <cstddef>
#include <string>
#include <vector>

#include "authoring/diagnostics/reading.h"

namespace binario::authoring {

struct FieldAccount {
  std::string name;     // "position", "gradient"
  std::string written;  // as the author wrote it, without its surrounding blanks, shown
  std::string read;     // as the reader took it: "4300", "BRAMONTE"; "" when not read
  std::string stored;   // where it went and as what: "cell 87 (4300 m)", "row 84 valore2 = 3"
};

struct RecordAccount {
  int record = kNoRecord;  // in the reading's log
  std::string kind;        // "gradient", "station"
  std::string keyword;     // as written, shown
  bool complete = true;    // all its values were read and handled
  std::vector<FieldAccount> fields;
  std::vector<std::string> made;   // what it made beyond its fields
  std::vector<std::string> later;  // what a later record or the compile step did to it
};

struct LineAccount {
  DescriptionFile file = DescriptionFile::kLine;
  std::size_t line = 0;  // from 1
  // What each field on the line that begins no record was, a sentence each, in order.
  std::vector<std::string> fields;
  // The records whose keyword is on the line, in the order they were read.
  std::vector<RecordAccount> records;
};

// Every line of both files, the line description's first.
std::vector<LineAccount> account_of(const Reading& reading);

}  // namespace binario::authoring

#endif  // BINARIO_AUTHORING_DIAGNOSTICS_ACCOUNT_H_
