// A fresh folder under the system's temporary directory, removed with its
// contents when the test ends.
#pragma once

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace trovisk::testing {

class TempDir {
 public:
  TempDir() {
    std::random_device device;
    static std::atomic<unsigned> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("trovisk-test-" + std::to_string(device()) + "-" + std::to_string(++counter));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

  // Writes `bytes` to a file of the folder and returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const {
    std::ofstream file(path_ / name, std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return File(name);
  }

 private:
  std::filesystem::path path_;
};

}  // namespace trovisk::testing
