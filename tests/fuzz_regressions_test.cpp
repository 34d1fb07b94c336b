// Replays every input a fuzz target once failed on through the same entry
// code, and runs the entries on a spread of inputs without the fuzzer.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "rw5_generator.h"
#include "support/fuzz_entries.h"

namespace trovisk::fuzzing {
namespace {

namespace fs = std::filesystem;

using Entry = std::string (*)(const std::uint8_t*, std::size_t);

struct Target {
  const char* name;  // folder under tests/data/fuzz-regressions, as scripts/fuzz.sh saves them
  Entry entry;
};

const Target kTargets[] = {
    {"conversion", FuzzConversion},
    {"settings", FuzzSettings},
    {"writer", FuzzWriter},
};

std::string Feed(Entry entry, const std::string& bytes) {
  return entry(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

std::string ReadWhole(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(FuzzRegressionsTest, EverySavedInputPasses) {
  for (const Target& target : kTargets) {
    fs::path folder = fs::path(TROVISK_TEST_DATA_DIR) / "fuzz-regressions" / target.name;
    if (!fs::is_directory(folder)) continue;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
      if (entry.is_regular_file() && entry.path().extension() != ".md")
        files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
      SCOPED_TRACE(file.string());
      EXPECT_EQ(Feed(target.entry, ReadWhole(file)), "");
    }
  }
}

std::string RandomBytes(std::mt19937_64& random, std::size_t size) {
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xff);
  return bytes;
}

// Records of every size around the true one, and strings without their NUL.
TEST(FuzzEntriesTest, SettingsOfAnySizeReadSafely) {
  std::mt19937_64 random(7);
  for (std::size_t size : {0, 1, 15, 16, 88, 89, 349, 608, 609, 1119, 1120, 1121, 4096}) {
    SCOPED_TRACE(size);
    EXPECT_EQ(Feed(FuzzSettings, RandomBytes(random, size)), "");
    EXPECT_EQ(Feed(FuzzSettings, std::string(size, '\xff')), "");  // no NUL anywhere
    EXPECT_EQ(Feed(FuzzSettings, std::string(size, 'A')), "");
  }
}

// Generated surveys of several sizes, units and angle units, whole and cut at
// random byte positions, then with random bytes flipped.
TEST(FuzzEntriesTest, ConversionHoldsOnGeneratedAndDamagedFiles) {
  std::mt19937_64 random(3);
  for (int units : {0, 1, 2}) {
    bench::GeneratorOptions options;
    options.record_count = 400;
    options.distance_units = units;
    options.angle_units = units == 2 ? 1 : 0;
    options.gps_session_rate = 0.5;
    options.check_shot_rate = 0.5;
    options.seed = static_cast<std::uint64_t>(units) + 5;
    std::string file = bench::GenerateRw5String(options);
    SCOPED_TRACE(units);
    EXPECT_EQ(Feed(FuzzConversion, file), "");
    for (int i = 0; i < 20; ++i) {
      std::string damaged = file.substr(0, random() % file.size());
      for (int flips = 0; flips < 8 && !damaged.empty(); ++flips) {
        damaged[random() % damaged.size()] = static_cast<char>(random() & 0xff);
      }
      EXPECT_EQ(Feed(FuzzConversion, damaged), "");
    }
  }
}

TEST(FuzzEntriesTest, WritersHoldOnRandomRecords) {
  std::mt19937_64 random(11);
  for (int i = 0; i < 300; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Feed(FuzzWriter, RandomBytes(random, 64 + static_cast<std::size_t>(i) * 13)), "");
  }
}

}  // namespace
}  // namespace trovisk::fuzzing
