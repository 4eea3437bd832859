#include "authoring/starter/starter.h"

#include <initializer_list>
#include <string_view>

namespace binario::authoring {

namespace {

std::string joined(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (std::string_view line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

}  // namespace

std::string starter_line_description() {
  return joined({
      "- Line description written by binario new: a line of 8 km with one record of each kind.",
      "- Each record is one line: its keyword then its values. A line that holds a '-'",
      "- and no comma is a comment the reader passes over; at most two may stand in a row",
      "- (ten in the general section).",
      "[generale]",
      "- the length of the line in metres: the track runs on 7000 m past its end",
      "lunghezza percorso,    8000",
      "- a chainage reference: two values in multiples of 50; a flag (1 adds 100 to the second)",
      "progressiva chilometrica uno,    0,    0,    0",
      "- the three backgrounds the simulator draws",
      "sfondo uno,    1",
      "sfondo due,    1",
      "sfondo tre,    1",
      "- signal repetition with 4 (or 9) codes: two positions in multiples of 50 (0 for none)",
      "ripetizione segnali 4 codici,    0,    0",
      "[curve]",
      "- a curve: start and length in metres; curvas turns left and curvad right; 1 to 6 its class",
      "curvas4,    1000,    400",
      "curvad3,    3000,    600",
      "[pendenze]",
      "- a gradient in per mille (from -100 to 155) in force from its position on",
      "pendenza,    0,    0",
      "pendenza,    2000,    8",
      "pendenza,    5000,    -5",
      "[montagne]",
      "- a scenery span: start and end in metres and its kind (above 10: a mark every 200 m)",
      "montagna,    4000,    4600,    11",
      "[indicazioni]",
      "- maximum-speed boards: position; speeds a b c and stripes of one side; the same of the "
      "other",
      "indicatori_vmax,    1950,    80,    80,    80,    0,    80,    80,    80,    0",
      "[cartelli]",
      "- a sign board: position and up to three lines of text in brackets",
      "cartello_indicatore,    2500,    (PONTE       )(rio Chiaro  )(       120 m)",
      "[fine]",
  });
}

std::string starter_train_description(const std::string& numero_treno) {
  return "- Train description written by binario new: train " + numero_treno +
         " on the line of the same name.\r\n" +
         joined({
             "- Each record is one line: its keyword then its values. A line that holds a '-'",
             "- and no comma is a comment the reader passes over; at most two may stand in a row.",
             "[generale]",
             "- braked-mass percentage and number of cars",
             "percentuale massa frenata,    150",
             "numero vetture,    3",
             "- sand and the clock at the start: hours minutes seconds",
             "sabbia,    300",
             "orologio,    8    0    0",
             "[aderenze]",
             "- adhesion in force from its position on",
             "aderenza,    0,    100",
             "[vel_limite]",
             "- line speed in km/h (in steps of 5) in force from its position on",
             "velocita,    0,    80",
             "velocita,    6000,    60",
             "[stazioni]",
             "- a station: position; type (below 25 the train stops there); length; ten "
             "attributes;",
             "- the time as hours minutes seconds; its name. In the order the train meets them.",
             "stazione,    1000,  12,  400,  0, 0, 0,  0,0,0,  0,0,0,  0,    8, 0, 0, ORIGINE",
             "stazione,    4500,  28,  400,  0, 0, 0,  0,0,0,  0,0,0,  0,    8, 4, 0, MEZZAVIA",
             "stazione,    7000,  12,  400,  0, 0, 0,  0,0,0,  0,0,0,  0,    8, 7, 0, CAPOLINEA",
             "[segnali]",
             "- a signal: position; sx s1 s2 s3 rapp; dx d1 d2 d3; tempo",
             "segnale,    3000,   1, 5, 1,  0, 0,    0,  0,0,0, 0",
             "segnale,    6500,   1, 5, 1,  0, 0,    0,  0,0,0, 0",
             "[rallentamenti]",
             "- a slowdown: start; speed; length; f_tt; f_ta (1 asks for approach cells); d_v",
             "rallentamento,    5200,  60,  300,  0,  1,  0",
             "[abbattimenti]",
             "- a speed check point: position and its speed value",
             "abbattimento,    2600,  100",
             "[fine]",
         });
}

}  // namespace binario::authoring
