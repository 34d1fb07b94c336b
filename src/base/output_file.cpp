// Writing the output through a temporary file that replaces the final one.
#include "base/output_file.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <random>

#include "base/utf8_path.h"

namespace trovisk {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kWriteBufferSize = 1 << 20;

// A name in the output's folder that no other run picks: the output name
// with a random suffix, tried until one does not exist.
std::string TemporaryNameBeside(const std::string& path) {
  std::random_device device;
  std::mt19937_64 generator(
      device() ^
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%012llx.tmp",
                  static_cast<unsigned long long>(generator() & 0xffffffffffffULL));
    std::string candidate = path + suffix;
    std::error_code error;
    if (!fs::exists(Utf8Path(candidate), error) && !error) return candidate;
  }
  return {};
}

}  // namespace

OutputFile::~OutputFile() { Abandon(); }

bool OutputFile::Open(const std::string& path) {
  Abandon();
  path_ = path;
  if (path == "-") {
    to_standard_output_ = true;
    open_ = true;
    return true;
  }
  std::error_code error;
  fs::file_status status = fs::status(Utf8Path(path), error);
  bool direct = !error && fs::exists(status) && !fs::is_regular_file(status);
  if (fs::is_directory(status)) return false;
  temporary_path_ = direct ? std::string() : TemporaryNameBeside(path);
  if (!direct && temporary_path_.empty()) return false;
  buffer_.resize(kWriteBufferSize);
  file_.rdbuf()->pubsetbuf(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
  file_.open(Utf8Path(direct ? path : temporary_path_),
             std::ios::out | std::ios::binary | std::ios::trunc);
  if (!file_.is_open()) {
    temporary_path_.clear();
    return false;
  }
  open_ = true;
  return true;
}

std::ostream& OutputFile::stream() {
  if (to_standard_output_) return std::cout;
  return file_;
}

bool OutputFile::Commit() {
  if (!open_) return false;
  open_ = false;
  if (to_standard_output_) {
    std::cout.flush();
    return static_cast<bool>(std::cout);
  }
  file_.flush();
  bool good = static_cast<bool>(file_);
  file_.close();
  good = good && !file_.fail();
  if (temporary_path_.empty()) return good;
  std::error_code error;
  if (good) {
    fs::rename(Utf8Path(temporary_path_), Utf8Path(path_), error);
    good = !error;
  }
  if (!good) fs::remove(Utf8Path(temporary_path_), error);
  temporary_path_.clear();
  return good;
}

void OutputFile::Abandon() {
  if (file_.is_open()) file_.close();
  open_ = false;
  if (!temporary_path_.empty()) {
    std::error_code error;
    fs::remove(Utf8Path(temporary_path_), error);
    temporary_path_.clear();
  }
}

bool IsSameFile(const std::string& first, const std::string& second) {
  std::error_code error;
  bool same = fs::equivalent(Utf8Path(first), Utf8Path(second), error);
  return !error && same;
}

}  // namespace trovisk
