#ifndef BINARIO_IO_FILES_H_
#define BINARIO_IO_FILES_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace binario {

// Whether a file must come through a power cut whole.
enum class Durability {
  kKept,     // put on the disk before it takes its name: the programs' results
  kScratch,  // read back and deleted by the same run: a power cut loses nothing it needs
};

// A file being written whole under its final name, in as many pieces as the writer likes: the
// bytes go to a new temporary file beside the target, which replaces the target in one step when
// commit() has put them on the disk. Until then the target is the older file, whole; after it,
// the new one, whole; and no temporary file stays behind a failure. Every output file of every
// program goes through this class.
//
// The caller holds the folder's FolderLock (io/folder_lock.h): temporaries of the target left
// in the folder can then only be those of a run that was killed, and they are removed.
//
// Failures are std::system_error carrying the failure's number and description; after one, the
// temporary file is gone and the object may only be destroyed.
class FileReplacement {
 public:
  // Removes the temporaries an earlier run left for `path`, then creates a temporary file for
  // it under a new name (`path`.XXXXXXXX.tmp, eight hexadecimal digits) that nothing else has:
  // whatever stands at that name makes the creation fail, so a link planted there is never
  // followed.
  explicit FileReplacement(std::string path, Durability durability = Durability::kKept);
  // Removes the temporary file unless commit() succeeded.
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // Appends `bytes` to the new content.
  void write(std::string_view bytes);

  // Puts the new content on the disk, closes it and renames it over the target.
  void commit();

  const std::string& temporary() const { return temporary_; }

 private:
  // Closes and removes the temporary file, ignoring any failure: one is being reported.
  void abandon() noexcept;
  // Reports `error` about the target, after abandoning the temporary file.
  [[noreturn]] void fail(std::error_code error);

  std::string path_;
  Durability durability_;
  std::string temporary_;
  std::intptr_t file_;  // native::File; native::kNoFile once closed
};

// Writes `bytes` as the whole content of the file `path`, creating it or replacing an older one,
// through a FileReplacement.
void replace_file(const std::string& path, std::string_view bytes,
                  Durability durability = Durability::kKept);

// The whole content of the file `path`, or nothing when there is no such file. A file that
// exists but cannot be read is a std::system_error.
std::optional<std::string> read_file_if_exists(const std::string& path);

// Deletes the file `path` if there is one. A file that cannot be deleted is a std::system_error.
void remove_file(const std::string& path);

}  // namespace binario

#endif  // BINARIO_IO_FILES_H_
