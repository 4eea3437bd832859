#include "io/files.h"

#include <random>
#include <stdexcept>
#include <vector>

#include "io/native_files.h"

namespace binario {

namespace {

constexpr std::string_view kTemporarySuffix = ".tmp";
constexpr std::size_t kRandomDigits = 8;

// The folder of `path` and the file's own name in it.
std::pair<std::string, std::string> split(const std::string& path) {
  const std::size_t separator = path.find_last_of(native::kSeparators);
  if (separator == std::string::npos) return {".", path};
  return {separator == 0 ? path.substr(0, 1) : path.substr(0, separator),
          path.substr(separator + 1)};
}

bool is_hex_digits(std::string_view text) {
  return text.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

// Whether `entry` is a temporary file of the file named `name`: NAME.XXXXXXXX.tmp, or NAME.tmp,
// the one fixed name that earlier versions of the programs used.
bool is_temporary_of(std::string_view entry, std::string_view name) {
  if (!entry.starts_with(name) || !entry.ends_with(kTemporarySuffix)) return false;
  std::string_view middle = entry.substr(name.size());
  middle.remove_suffix(kTemporarySuffix.size());
  return middle.empty() || (middle.size() == 1 + kRandomDigits && middle[0] == '.' &&
                            is_hex_digits(middle.substr(1)));
}

// Removes what a killed run left of its temporaries of `path`. A folder that cannot be listed is
// passed over: creating the temporary then reports what is wrong with it.
void remove_leftover_temporaries(const std::string& path) {
  const auto [folder, name] = split(path);
  std::vector<std::string> entries;
  if (native::list_folder(folder, entries)) return;
  for (const std::string& entry : entries) {
    if (!is_temporary_of(entry, name)) continue;
    const std::string leftover = path.substr(0, path.size() - name.size()) + entry;
    const std::error_code error = native::remove(leftover);
    if (error && !native::is_not_found(error)) {
      throw std::system_error(error, "cannot delete " + leftover);
    }
  }
}

std::string random_digits() {
  static std::random_device entropy;
  const std::uint32_t value = entropy();
  std::string digits(kRandomDigits, '0');
  for (std::size_t i = 0; i < kRandomDigits; ++i) {
    digits[kRandomDigits - 1 - i] = "0123456789abcdef"[(value >> (4 * i)) & 0xF];
  }
  return digits;
}

}  // namespace

FileReplacement::FileReplacement(std::string path, Durability durability)
    : path_(std::move(path)), durability_(durability), file_(native::kNoFile) {
  remove_leftover_temporaries(path_);
  std::error_code error;
  // A name already taken is tried again under another: only a planted file can take one.
  for (int attempt = 0; attempt < 8; ++attempt) {
    temporary_ = path_ + "." + random_digits() + std::string(kTemporarySuffix);
    native::File file = native::kNoFile;
    error = native::create_new(temporary_, file);
    if (!error) {
      file_ = file;
      return;
    }
    if (!native::is_already_there(error)) break;
  }
  throw std::system_error(error, "cannot create " + temporary_);
}

FileReplacement::~FileReplacement() { abandon(); }

void FileReplacement::write(std::string_view bytes) {
  if (file_ == native::kNoFile) throw std::logic_error("write after the end of " + path_);
  if (const std::error_code error = native::write_all(file_, bytes)) fail(error);
}

void FileReplacement::commit() {
  if (file_ == native::kNoFile) throw std::logic_error("commit after the end of " + path_);
  // The bytes are put on the disk before the rename. Without this a power cut shortly after
  // the run can leave the target empty or cut short, the rename having reached the disk before
  // the data (ext4 without auto_da_alloc, XFS, NTFS): the older file is gone and the new one is
  // not there. On an ext4 disk it costs 2 to 3 ms a run of varelbo (eight files, 2.5 MB) when the
  // disk is quiet, and up to 40 ms when other work keeps it busy (bench/files_benchmark.cpp); a
  // run takes some 12 ms without it, and is started by hand: worth it. The folder is not
  // flushed: a power cut may bring back the older file, whole, which the next run replaces.
  // A scratch file (the description files, read back and deleted by the same run) is not
  // flushed: it never outlives the run, and its flush would only cost the run time.
  if (durability_ == Durability::kKept) {
    if (const std::error_code error = native::flush_to_disk(file_)) fail(error);
  }
  const std::error_code closed = native::close(file_);
  file_ = native::kNoFile;
  if (closed) fail(closed);
  if (const std::error_code error = native::rename_replacing(temporary_, path_)) fail(error);
  temporary_.clear();
}

void FileReplacement::abandon() noexcept {
  if (file_ != native::kNoFile) static_cast<void>(native::close(file_));
  file_ = native::kNoFile;
  if (!temporary_.empty()) static_cast<void>(native::remove(temporary_));
  temporary_.clear();
}

void FileReplacement::fail(std::error_code error) {
  abandon();
  throw std::system_error(error, "cannot write " + path_);
}

void replace_file(const std::string& path, std::string_view bytes, Durability durability) {
  FileReplacement file(path, durability);
  file.write(bytes);
  file.commit();
}

std::optional<std::string> read_file_if_exists(const std::string& path) {
  native::File file = native::kNoFile;
  if (const std::error_code error = native::open_for_reading(path, file)) {
    if (native::is_not_found(error)) return std::nullopt;
    throw std::system_error(error, "cannot open " + path);
  }
  std::string bytes;
  std::vector<char> buffer(1 << 16);
  for (;;) {
    std::size_t count = 0;
    if (const std::error_code error =
            native::read_some(file, buffer.data(), buffer.size(), count)) {
      static_cast<void>(native::close(file));
      throw std::system_error(error, "cannot read " + path);
    }
    if (count == 0) break;
    bytes.append(buffer.data(), count);
  }
  // A failure to close what was read whole is reported all the same: the system said something
  // went wrong with the file.
  if (const std::error_code error = native::close(file)) {
    throw std::system_error(error, "cannot read " + path);
  }
  return bytes;
}

void remove_file(const std::string& path) {
  const std::error_code error = native::remove(path);
  if (error && !native::is_not_found(error)) {
    throw std::system_error(error, "cannot delete " + path);
  }
}

}  // namespace binario
