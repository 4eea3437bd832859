#include "scenario/table_of_lines.h"

#include <algorithm>

#include "io/files.h"

namespace binario {

std::string table_bytes(TableOfLines table) {
  std::string bytes;
  const std::size_t entries = std::min(table.size(), kTableEntries);
  for (std::size_t i = 0; i < entries && table[i] != kEndMarker; ++i) {
    bytes += table[i];
    bytes += "\r\n";
  }
  return bytes;
}

void write_table(const std::string& file_name, TableOfLines table, Durability durability) {
  replace_file(file_name, table_bytes(table), durability);
}

}  // namespace binario
