// Train 3874, a regional train from Bramonte Terme to Portelia Brignole: its make-up, clock,
// adhesion, speed limits, stations and timetable, and the signals along its way.

#include <iterator>
#include <string_view>

#include "scenario/writers.h"

namespace binario {

namespace {

constexpr std::string_view kLines[] = {
    "[generale]",
    "numero vetture,    3",
    "percentuale massa frenata,    150",
    "sabbia,    300",
    "orologio,    8               59            30 ",
    "[aderenze]",
    "aderenza,   0,    100",
    "[vel_limite]",
    "velocita,   48400,    35",
    "velocita,   50000,   110",
    "velocita,   63400,    35",
    "velocita,   65150,   110",
    "velocita,  103250,    35",
    "velocita,  104600,    60",
    "velocita,  107300,   110",
    "velocita,  109950,    30",
    // Position, type, length, nine attributes, the stop in seconds, the time (hours, minutes,
    // seconds) and the name.
    "[stazioni]",
    "stazione,   49500,  2,  500,  1, 0, 0,  4,1,0,  2,1,1,    1,   9, 0, 0, BRAMONTE TERME",
    "stazione,   52150, 28,  400,  0, 0, 0,  0,0,0,  0,0,0,   15,   9, 4, 0, VISONE",
    "stazione,   56850, 28,  400,  0, 0, 0,  0,0,0,  0,0,0,   15,   9, 9, 0, PRASCO - CREMOLINO",
    "stazione,   62350, 12,  400,  0, 0, 0,  1,1,0,  3,4,1,   15,   9,15, 0, MOLARE",
    "stazione,   64500,  2,  500,  1, 0, 0,  4,1,0,  2,1,1,   30,   9,19, 0, OLBEA",
    "stazione,   72800, 12,  400,  0, 0, 0,  1,1,0,  4,1,1,   15,   9,29, 0, ROSSIGLIONE",
    "stazione,   78250, 12,  400,  0, 0, 0,  1,1,0,  4,1,1,   15,   9,35, 0, CAMPO LIGURE - MASONE",
    "stazione,   85100, 12,  400,  0, 0, 0,  1,1,0,  4,1,1,   15,   9,43, 0, MELE",
    "stazione,   89300, 28,  400,  0, 0, 0,  0,0,0,  0,0,0,   15,   9,50, 0, PORTELIA VALCERA",
    "stazione,   95200, 28,  400,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, Portelia Cerosa",
    "stazione,   97650, 28,  400,  0, 0, 0,  0,0,0,  0,0,0,   15,   9,59, 0, PORTELIA ROVENTI",
    "stazione,   99600, 28,  400,  0, 0, 0,  0,0,0,  0,0,0,   15,  10, 2, 0, PORTELIA COSTALTA",
    "stazione,  104300, 12,  600,  0, 1, 0,  1,1,0,  5,6,1,   30,  10, 9, 0, PORTELIA DARSENA",
    "stazione,  107000,  2,  600,  1, 1, 0,  4,1,0,  2,1,1,   30,  10,16, 0, PORTELIA P. PRINCIPE",
    "stazione,  111000,  2,  600,  1, 1, 0,  1,1,0,  2,1,1,    0,  10,22, 0, PORTELIA BRIGNOLE",
    "[rallentamenti]",
    "[segnali]",
    "segnale,   60600,   1, 5, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   61950,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   63400,   2, 2, 3,  0, 0,    0,  0,0,0, 0",
    "segnale,   71050,   1, 5, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   72400,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   76500,   1, 5, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   77850,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   83350,   1, 5, 1,  0, 0,    1,  3,1,0, 0",
    "segnale,   84700,   2, 3, 1,  0, 0,    2,  2,1,0, 0",
    "segnale,   99200,   1, 4, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,  100550,   2, 4, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,  101900,   1, 3, 1,  0, 0,    1,  3,1,0, 0",
    "segnale,  103250,   2, 2, 3,  1, 0,    2,  3,1,1, 220",
    "segnale,  105950,   2, 2, 3,  1, 0,    2,  2,1,1, 0",
    "segnale,  108600,   1, 3, 4,  1, 0,    1,  3,1,1, 0",
    "segnale,  109950,   2, 2, 3,  1, 0,    2,  2,1,1, 0",
    "[codici]",
    "[fine]",
    kEndMarker,
};
static_assert(std::size(kLines) <= kTableEntries);

}  // namespace

TableOfLines treno_table() { return kLines; }

// The run reads the file back and deletes it: it is written as a scratch file.
void dati_treno(const std::string& file_name) {
  write_table(file_name, kLines, Durability::kScratch);
}

}  // namespace binario
