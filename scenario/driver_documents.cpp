// The three documents for the driver: the author's notes, the slowdown order and the train
// sheet. Fixed text, written for a person to read beside the simulator.

#include <iterator>
#include <string_view>

#include "scenario/writers.h"

namespace binario {

namespace {

// Italian prose in Windows-1252: "\xE8" is e grave, "\xF9" u grave.
constexpr std::string_view kNote[] = {
    "La linea Varelbo \xE8 percorsa oggi da treni regionali che fermano in tutte le stazioni, ",
    "svolti con elettrotreni a due o tre casse; di tanto in tanto la percorre anche qualche",
    "treno merci, soprattutto di notte. La linea \xE8 interamente elettrificata ed \xE8 a",
    "semplice binario, tranne un breve tratto a doppio binario all'interno della galleria",
    "del Turchino. Il percorso \xE8 riprodotto con una precisione di circa l'80 per cento: ",
    "la riproduzione nasce da numerosi viaggi di rilievo fatti in treno, dalle carte militari",
    "in scala 1:25000 e dai modelli altimetrici digitali del terreno. Chi dovesse notare ",
    "incongruenze nelle pendenze, nelle curve o nella posizione dei segnali e dei cartelli",
    "\xE8 pregato di segnalarle all'autore, in modo che le prossime versioni dello scenario",
    "possano essere sempre pi\xF9 fedeli alla linea vera.",
    "",
    " Buon viaggio.",
    "",
    "                                                     Ottavio Renzagli",
    "                                                 (via dei Castagni 7 - Olbea)",
    kEndMarker,
};
static_assert(std::size(kNote) <= kTableEntries);

// This train runs with no slowdown, so the order carries one line across its table instead of
// rows.
constexpr std::string_view kRallentamenti[] = {
    "",
    "                               Modulo M. 3",
    "                           ORDINE DI RALLENTAMENTO",
    " ________________________________________________________________________________",
    "  ",
    "  Linea  Varelbo",
    "",
    "  Si ordina al macchinista del treno 3874 di effettuare i seguenti rallentamenti",
    "  _______________________________________________________________________________",
    " |   |                            |Inizio dopo |          |         |            |",
    " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|",
    " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |",
    " |___|____________________________|____________|__________|_________|____________|",
    " |   |                            |            |          |         |            |",
    " |                   N E S S U N A     P R E S C R I Z I O N E                   |",
    " |___|____________________________|____________|__________|_________|____________|",
    "              ",
    kEndMarker,
};
static_assert(std::size(kRallentamenti) <= kTableEntries);

// The stations, chainages and times agree with the train description's stations.
constexpr std::string_view kScheda[] = {
    "  ___________________                                             ________________",
    " |                   |                   SCHEDA                  |                |",
    " |   TRENO n. 3874   |                                           |     V100 A     |",
    " |___________________|              da: Bramonte Terme           |      150%      |",
    "                                     a: Portelia Brignole        |________________|",
    "  ___________________                                             ________________",
    " |                   |                                           |                |",
    " |  CLASSIFICAZIONE  |                                           | MASSA BLOCCATA |",
    " |     REGIONALE     |                                           |      230T      |",
    " |___________________|                                           |________________|",
    "",
    "  ________________________________________________________________________________",
    " | vel.| vel.|          | no  |                            |                |     |",
    " | lim.|marc.| progr.km | r.s.|   localita' di servizio    |     orario     | rec |",
    " |_____|_____|__________|_____|____________________________|________________|_____|",
    " | 100 |  90 |   49+500 |     | BRAMONTE TERME             |           9.00 |     |",
    " |     |     |   52+150 |     | VISONE                     |  9.03     9.04 |     |",
    " |     |     |   56+850 |     | PRASCO - CREMOLINO         |  9.08     9.09 | 0,5 |",
    " | 100 |  90 |   62+350 |     | MOLARE                     |  9.14     9.15 | 0,5 |",
    " | 100 |  90 |   64+500 |     | OLBEA                      |  9.18     9.19 |     |",
    " | 100 |  90 |   72+800 |     | ROSSIGLIONE                |  9.28     9.29 |  1  |",
    " | 100 |  90 |   78+250 |     | CAMPO LIGURE - MASONE      |  9.34     9.35 |  1  |",
    " | 100 |  90 |   85+100 |     | MELE                       |  9.42     9.43 |  1  |",
    " |     |     |   89+300 |     | PORTELIA VALCERA           |  9.49     9.50 | 0,5 |",
    " |     |     |   95+200 |     | Portelia Cerosa            |      --.--     |     |",
    " |     |     |   97.650 |     | PORTELIA ROVENTI           |  9.58     9.59 |  1  |",
    " |     |     |   99+600 |     | PORTELIA COSTALTA          | 10.01    10.02 |     |",
    " | 160 |  90 |  104+300 |     | PORTELIA DARSENA           | 10.07    10.09 |     |",
    " | 135 |  90 |  107+000 |     | PORTELIA P. PRINCIPE       | 10.14    10.16 |     |",
    " |     |     |  111+000 |     | PORTELIA BRIGNOLE          | 10.22          |     |",
    " |_____|_____|__________|_____|____________________________|________________|_____|",
    kEndMarker,
};
static_assert(std::size(kScheda) <= kTableEntries);

}  // namespace

TableOfLines note_table() { return kNote; }
TableOfLines rallentamenti_table() { return kRallentamenti; }
TableOfLines scheda_table() { return kScheda; }

void dati_note(const std::string& file_name) { write_table(file_name, kNote); }
void dati_rallentamenti(const std::string& file_name) { write_table(file_name, kRallentamenti); }
void dati_scheda(const std::string& file_name) { write_table(file_name, kScheda); }

}  // namespace binario
