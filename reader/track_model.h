#ifndef BINARIO_READER_TRACK_MODEL_H_
#define BINARIO_READER_TRACK_MODEL_H_

// The run state: everything that lives for one run and that more than one routine reads or
// writes. Its heart is the track model, the route cut into 50 m cells; beside it stand the plan
// (x, y of the track for every metre), the scenario data table and the scalars.
//
// The compiled route files are encoded from these types field by field; the field orders and
// widths below are theirs and must never change.

#include <array>
#include <cstdint>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace binario {

// Values of TrackCell::tipo. They are written to the track file: never change them.
namespace cell_kind {
inline constexpr std::uint8_t kNone = 0;
inline constexpr std::uint8_t kSignal = 1;
inline constexpr std::uint8_t kSlowdownEnd = 2;
inline constexpr std::uint8_t kSlowdownStart = 3;
inline constexpr std::uint8_t kSlowdownWarning = 4;
inline constexpr std::uint8_t kSlowdownApproach = 5;
inline constexpr std::uint8_t kSpeedBoards = 6;
inline constexpr std::uint8_t kStationStop = 10;
inline constexpr std::uint8_t kSceneryMark = 11;
inline constexpr std::uint8_t kSpeedCheck = 12;
inline constexpr std::uint8_t kSpeedCheckWithoutValue = 13;
inline constexpr std::uint8_t kSignBoard = 14;
}  // namespace cell_kind

// One 50 m slot of the route and what stands or happens in it.
struct TrackCell {
  std::uint8_t tipo = 0;   // kind of point object, one of cell_kind
  std::int16_t dato1 = 0;  // the object's data; their meaning depends on tipo
  std::int16_t dato2 = 0;
  std::int16_t dato3 = 0;
  std::int16_t dato4 = 0;
  std::uint8_t dato5 = 0;     // a signal's time value
  std::uint8_t avviso = 0;    // approach mark before a signal or a station stop
  std::uint8_t montagna = 0;  // scenery kind, 0 for none
  std::uint8_t velocita = 0;  // line speed / 5
  std::uint8_t pendenza = 0;  // gradient + 100
  std::uint8_t aderenza = 0;  // adhesion

  friend bool operator==(const TrackCell&, const TrackCell&) = default;
};

// A cell takes a new point object when it holds nothing or only a scenery mark.
constexpr bool is_free(const TrackCell& cell) {
  return cell.tipo == cell_kind::kNone || cell.tipo == cell_kind::kSceneryMark;
}

// What an entry of the plan holds: nothing (never computed), a 16-bit integer (the two seed
// rows) or a double (every computed row). The plan file records which, so it matters.
enum class PlanTag : std::uint8_t { kEmpty, kInt16, kDouble };

struct PlanEntry {
  PlanTag tag = PlanTag::kEmpty;
  std::int16_t integer = 0;  // for kInt16
  double real = 0;           // for kDouble

  friend bool operator==(const PlanEntry&, const PlanEntry&) = default;
};

// The plan: x (column 0) and y (column 1) of the track, in metres, at every metre of the route,
// rows 0 to size() - 1. Rows 0 and 1 hold the seeds once the reading has put them there, rows 2
// on the doubles it computed, one row after the other, and every row after those is empty. That
// is the shape of every plan there is, so the plan keeps no tag per entry: each entry's tag
// follows from its row. The computed rows cost their doubles and nothing more.
// An allocator that leaves the doubles a vector grows by unwritten: the plan writes each one
// itself, and no page of its room is touched before its row is.
template <typename T>
struct UnwrittenAllocator : std::allocator<T> {
  using value_type = T;
  template <typename U>
  struct rebind {
    using other = UnwrittenAllocator<U>;
  };
  UnwrittenAllocator() = default;
  template <typename U>
  UnwrittenAllocator(const UnwrittenAllocator<U>&) noexcept {}
  template <typename U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

class Plan {
 public:
  Plan() = default;
  // A plan of `rows` rows, every entry empty.
  explicit Plan(std::size_t rows) : rows_(rows) {}

  std::size_t size() const { return rows_; }
  bool empty() const { return rows_ == 0; }

  // Rows 0 and 1 become (x0, y0) and (x1, y1). The plan must have both rows, and no computed row.
  void seed(std::int16_t x0, std::int16_t y0, std::int16_t x1, std::int16_t y1);
  bool seeded() const { return seeded_; }
  // x0, y0, x1, y1.
  const std::array<std::int16_t, 4>& seeds() const { return seeds_; }

  // Room for `computed` rows after the seeds, taken once.
  void reserve(std::size_t computed);
  // Sets the next row, 2 + computed(): the plan must be seeded and have that row.
  void push_back(double x, double y) {
    x_.push_back(x);
    y_.push_back(y);
  }
  // The next `count` rows, to be written, every one, through the two pointers it gives (x and
  // y) before the plan is used again. For the reader's runs of steps.
  std::pair<double*, double*> extend(std::size_t count) {
    const std::size_t at = x_.size();
    x_.resize(at + count);
    y_.resize(at + count);
    return {x_.data() + at, y_.data() + at};
  }
  // The rows computed after the seeds: rows 2 to computed() + 1.
  std::size_t computed() const { return x_.size(); }
  std::span<const double> xs() const { return x_; }
  std::span<const double> ys() const { return y_; }

  PlanTag tag(std::size_t row) const {
    if (!seeded_) return PlanTag::kEmpty;
    if (row < 2) return PlanTag::kInt16;
    return row - 2 < x_.size() ? PlanTag::kDouble : PlanTag::kEmpty;
  }
  // The entry of row `row`, column `column` (0 for x, 1 for y).
  PlanEntry entry(std::size_t row, int column) const;

  friend bool operator==(const Plan&, const Plan&) = default;

 private:
  std::size_t rows_ = 0;
  bool seeded_ = false;
  std::array<std::int16_t, 4> seeds_{};
  std::vector<double, UnwrittenAllocator<double>> x_;
  std::vector<double, UnwrittenAllocator<double>> y_;
};

// A record of the scenario data table.
struct DataRow {
  std::uint8_t classe = 0;
  std::int32_t valore1 = 0;
  std::int32_t valore2 = 0;
  std::int32_t valore3 = 0;
  std::uint8_t marca = 0;
  std::string testo;  // bytes, one per character
  std::int16_t parola1 = 0;
  std::int16_t parola2 = 0;
  std::int16_t parola3 = 0;
  std::int16_t parola4 = 0;
  std::int16_t parola5 = 0;
  std::uint8_t ottetto1 = 0;
  std::uint8_t ottetto2 = 0;
  std::uint8_t ottetto3 = 0;
  std::uint8_t ottetto4 = 0;
  std::int32_t valore4 = 0;

  friend bool operator==(const DataRow&, const DataRow&) = default;
};

// Rows of tabella_dati with a fixed purpose. Stations take rows 1 upward, sign-board texts
// rows 80 downward.
namespace data_row {
inline constexpr int kCount = 87;
inline constexpr int kFirstSignBoard = 80;
inline constexpr int kChainageTre = 81;
inline constexpr int kChainageDue = 82;
inline constexpr int kChainageUno = 83;
inline constexpr int kLineAndTrain = 84;   // line length, braked mass, number of coaches
inline constexpr int kLineIdentity = 85;   // backgrounds, nome_linea, stamp, competition code
inline constexpr int kTrainIdentity = 86;  // signal repetition, numero_treno, sand, clock
}  // namespace data_row

// The longest line the model takes, in metres.
inline constexpr std::int32_t kMaxLineLength = 1000000;

// The plan and the cells run this far past the end of the line, in metres.
inline constexpr std::int32_t kRunOut = 7000;

// The length of route that one track cell covers, in metres.
inline constexpr std::int32_t kCellLength = 50;

// The number of scenery spans the span tables hold; entry 0 is never used.
inline constexpr int kMaxSceneryEntries = 81;

struct RunState {
  // Identity, set first thing in the run; every file name is built from it.
  std::string nome_linea;
  std::string numero_treno;

  std::int32_t modo = 0;  // non-zero: the plan exists and curves are read
  std::string riga;       // the field most recently read

  std::int32_t lunghezza_pianta = 0;  // line length + kRunOut: the last row of the plan
  std::int32_t numero_celle = 0;      // the last index of celle
  std::int32_t numero_montagne = 0;   // scenery spans recorded so far

  // Error status: 0, or the code of the latest recorded error and the route position it
  // relates to (metres).
  std::int32_t codice_errore = 0;
  std::int32_t posizione_errore = 0;

  std::vector<TrackCell> celle;  // cells 0 to numero_celle; empty until a line length is read
  Plan pianta;                   // rows 0 to lunghezza_pianta; empty when there is no plan
  std::array<DataRow, data_row::kCount> tabella_dati;
  std::array<std::int32_t, kMaxSceneryEntries> montagne_inizio{};
  std::array<std::int32_t, kMaxSceneryEntries> montagne_fine{};
};

// Creates the track cells, every field zero, for a line of the given length (0 to
// kMaxLineLength metres), and, when modo is non-zero, the plan with every entry empty.
// Anything the state held in them before is gone. Throws std::invalid_argument for a length
// out of range: the reader refuses those first.
void create_track_model(RunState& state, std::int32_t line_length);

}  // namespace binario

#endif  // BINARIO_READER_TRACK_MODEL_H_
