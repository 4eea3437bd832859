// What putting each file on the disk before its rename costs: the eight files of a varelbo run
// (2.5 MB, the 2.4 MB line plan among them) replaced through FileReplacement, which flushes each
// one, and the same files written, closed and renamed without the flush. The files go to a
// folder beside the current one's files (run it from a folder on the disk to measure, not on a
// tmpfs), removed at the end.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "io/files.h"
#include "io/native_files.h"

namespace binario {
namespace {

// The sizes of the eight files a varelbo run writes, in the order it writes them.
const std::vector<std::size_t> kRunFileSizes = {9706, 2610, 996, 974, 2549, 2439964, 4491, 36615};

class Folder {
 public:
  Folder() : path_(std::filesystem::current_path() / "files_benchmark.folder") {
    std::filesystem::create_directories(path_);
  }
  ~Folder() { std::filesystem::remove_all(path_); }
  std::string file(std::size_t i) const { return (path_ / ("file" + std::to_string(i))).string(); }

 private:
  std::filesystem::path path_;
};

void ReplaceRunFiles(benchmark::State& state) {
  const Folder folder;
  const std::string bytes(kRunFileSizes[5], 'x');
  for (auto _ : state) {
    for (std::size_t i = 0; i < kRunFileSizes.size(); ++i) {
      replace_file(folder.file(i), std::string_view(bytes).substr(0, kRunFileSizes[i]));
    }
  }
}
BENCHMARK(ReplaceRunFiles)->Unit(benchmark::kMillisecond)->UseRealTime();

void ReplaceRunFilesWithoutFlush(benchmark::State& state) {
  const Folder folder;
  const std::string bytes(kRunFileSizes[5], 'x');
  for (auto _ : state) {
    for (std::size_t i = 0; i < kRunFileSizes.size(); ++i) {
      const std::string temporary = folder.file(i) + ".tmp";
      native::File file = native::kNoFile;
      if (native::create_new(temporary, file) ||
          native::write_all(file, std::string_view(bytes).substr(0, kRunFileSizes[i])) ||
          native::close(file) || native::rename_replacing(temporary, folder.file(i))) {
        state.SkipWithError("a file call failed");
        return;
      }
    }
  }
}
BENCHMARK(ReplaceRunFilesWithoutFlush)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace binario

BENCHMARK_MAIN();
