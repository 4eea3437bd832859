#ifndef BINARIO_COMPILER_ROUTE_FILES_IN_FOLDER_H_
#define BINARIO_COMPILER_ROUTE_FILES_IN_FOLDER_H_

// The compiled route files written to disk, each replacing an older file whole: its pieces go to
// a temporary file beside it, which takes the file's name once all of it is on the disk.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "compiler/memorizza_percorso.h"
#include "io/files.h"

namespace binario {

class RouteFilesInFolder final : public RouteFileSink {
 public:
  // `name` gives the full name of each file.
  explicit RouteFilesInFolder(std::function<std::string(ScenarioFile)> name)
      : name_(std::move(name)) {}

  void begin(ScenarioFile file) override {
    path_ = name_(file);
    file_ = std::make_unique<FileReplacement>(path_);
  }
  void write(std::string_view bytes) override { file_->write(bytes); }
  void finish() override {
    file_->commit();
    file_.reset();
    written.push_back(path_);
  }

  // The files written, in order.
  std::vector<std::string> written;

 private:
  std::function<std::string(ScenarioFile)> name_;
  std::string path_;
  std::unique_ptr<FileReplacement> file_;  // the file begun, until it is finished
};

}  // namespace binario

#endif  // BINARIO_COMPILER_ROUTE_FILES_IN_FOLDER_H_
