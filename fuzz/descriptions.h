#ifndef BINARIO_FUZZ_DESCRIPTIONS_H_
#define BINARIO_FUZZ_DESCRIPTIONS_H_

// Running the readers and the compile step on description bytes, for the fuzz targets.

#include <optional>
#include <string>
#include <string_view>

#include "compiler/memorizza_percorso.h"

namespace binario::fuzz {

class Descriptions final : public DescriptionFiles {
 public:
  Descriptions(std::string_view line, std::string_view train) : line_(line), train_(train) {}
  std::optional<std::string> open(DescriptionFile file) override {
    return std::string(file == DescriptionFile::kLine ? line_ : train_);
  }
  void done(DescriptionFile) override {}

 private:
  std::string_view line_;
  std::string_view train_;
};

inline RunState identity() {
  RunState state;
  state.nome_linea = "Varelbo";
  state.numero_treno = "3874";
  return state;
}

// A small line the train target runs on: 20 km, some objects to run into.
inline constexpr std::string_view kSmallLine =
    "[generale]\r\nlunghezza percorso, 20000\r\n"
    "progressiva chilometrica uno, 0, 500, 1\r\n[curve]\r\ncurvas5, 1000, 300\r\n"
    "pendenza, 2000, -12\r\nmontagna, 3000, 5000, 11\r\n"
    "indicatori_vmax, 6000, 60, 60, 60, 0, 60, 60, 60, 0\r\n"
    "cartello_indicatore, 7000, (PONTE)(fiume)(50 m)\r\n[fine]\r\n";

// A small train the line target runs with.
inline constexpr std::string_view kSmallTrain =
    "[generale]\r\naderenza, 0, 100\r\nvelocita, 0, 60\r\n"
    "stazione, 10000, 12, 400, 0,0,0, 0,0,0, 0,0,0, 15, 9,0,0, STAZIONE\r\n"
    "segnale, 12000, 1, 5, 1, 0, 0, 0, 0,0,0, 0\r\n"
    "rallentamento, 14000, 60, 500, 0, 1, 0\r\n[fine]\r\n";

}  // namespace binario::fuzz

#endif  // BINARIO_FUZZ_DESCRIPTIONS_H_
