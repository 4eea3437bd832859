#ifndef BINARIO_SCENARIO_TABLE_OF_LINES_H_
#define BINARIO_SCENARIO_TABLE_OF_LINES_H_

// Every writer carries its file as a table of lines: the file's lines from entry 0 on, exactly
// as they are written (blanks included), then the end marker, which is never written.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "io/files.h"

namespace binario {

// The most entries a table holds, end marker included.
inline constexpr std::size_t kTableEntries = 1001;

// The entry that follows a table's last line.
inline constexpr std::string_view kEndMarker = "riferimento fine del file";

using TableOfLines = std::span<const std::string_view>;

// The bytes of the table's file: each entry before the end marker followed by CR LF. Entries
// are bytes already (Windows-1252, one per character). Looks at no more than kTableEntries
// entries and never past the table's end.
std::string table_bytes(TableOfLines table);

// Replaces the file `file_name` whole with the table's lines. Failures of the system are
// thrown as std::system_error.
void write_table(const std::string& file_name, TableOfLines table,
                 Durability durability = Durability::kKept);

}  // namespace binario

#endif  // BINARIO_SCENARIO_TABLE_OF_LINES_H_
