#ifndef BINARIO_BENCH_GENERATED_LINE_H_
#define BINARIO_BENCH_GENERATED_LINE_H_

// Description files of a line of any length, for the benchmarks: the compile step's, and the
// route sheet's.

#include <cstdint>
#include <string>
#include <utility>

namespace binario {

// A line of `km` kilometres with a curve, a gradient change and a signal every kilometre, a
// station every 10 km, and a scenery span and a sign board every 20 km (up to the tables
// limits).
inline std::pair<std::string, std::string> generated_line(std::int32_t km) {
  const std::int32_t length = km * 1000;
  std::string line = "[generale]\r\nlunghezza percorso, " + std::to_string(length) + "\r\n";
  std::string curves = "[curve]\r\n", gradients = "[pendenze]\r\n", scenery = "[montagne]\r\n";
  std::string boards = "[indicazioni]\r\n";
  std::string train = "[generale]\r\naderenza, 0, 100\r\nvelocita, 0, 100\r\n";
  std::string signals, stations;
  int station = 0;
  for (std::int32_t p = 1000; p + 1000 < length; p += 1000) {
    curves += std::string(p % 2000 ? "curvas" : "curvad") + std::to_string(1 + p / 1000 % 6) +
              ", " + std::to_string(p) + ", 400\r\n";
    gradients +=
        "pendenza, " + std::to_string(p) + ", " + std::to_string(p / 1000 % 25 - 12) + "\r\n";
    if (p % 20000 == 10000) {  // the span tables hold 80 spans
      scenery +=
          "montagna, " + std::to_string(p + 500) + ", " + std::to_string(p + 3000) + ", 11\r\n";
    }
    if (p % 20000 == 0 && station < 40) {
      boards += "cartello_indicatore, " + std::to_string(p + 250) + ", (BOARD)\r\n";
    }
    if (p % 10000 == 5000 && station < 40) {
      ++station;
      stations += "stazione, " + std::to_string(p) +
                  ", 12, 400, 0,0,0, 0,0,0, 0,0,0, 15, 9,0,0, STAZIONE\r\n";
    } else if (p % 1000 == 0 && p % 10000 != 5000) {
      signals += "segnale, " + std::to_string(p + 550) + ", 1, 5, 1, 0, 0, 0, 0,0,0, 0\r\n";
    }
  }
  line += curves + gradients + scenery + boards + "[fine]\r\n";
  train += stations + signals + "[fine]\r\n";
  return {line, train};
}

}  // namespace binario

#endif  // BINARIO_BENCH_GENERATED_LINE_H_
