// Takes typed values off the front of a fuzz input, like libFuzzer's
// FuzzedDataProvider but without depending on it; an exhausted input gives zeros.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

namespace trovisk::fuzzing {

class FuzzBytes {
 public:
  FuzzBytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool empty() const { return position_ >= size_; }

  std::uint8_t Byte() { return position_ < size_ ? data_[position_++] : 0; }

  // An integer in [low, high], from as few bytes as the range needs.
  std::int64_t Range(std::int64_t low, std::int64_t high) {
    std::uint64_t span = static_cast<std::uint64_t>(high) - static_cast<std::uint64_t>(low);
    std::uint64_t value = 0;
    for (std::uint64_t seen = 0; seen < span && !empty(); seen = (seen << 8) | 0xff) {
      value = (value << 8) | Byte();
    }
    if (span != std::numeric_limits<std::uint64_t>::max()) value %= span + 1;
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(low) + value);
  }

  bool Bool() { return (Byte() & 1) != 0; }

  // A double that is often one of the values that break arithmetic or
  // formatting, otherwise any bit pattern or a plain survey-sized number.
  double Double() {
    static constexpr double kSpecial[] = {0.0,
                                          -0.0,
                                          1.0,
                                          -1.0,
                                          0.5,
                                          1e-300,
                                          4.9e-324,
                                          1e15,
                                          -1e15,
                                          1e300,
                                          -1e300,
                                          std::numeric_limits<double>::max(),
                                          std::numeric_limits<double>::lowest(),
                                          std::numeric_limits<double>::infinity(),
                                          -std::numeric_limits<double>::infinity(),
                                          std::numeric_limits<double>::quiet_NaN(),
                                          -std::numeric_limits<double>::quiet_NaN(),
                                          -999999.15,
                                          3.141592653589793,
                                          6.283185307179586,
                                          0.0000125,
                                          2.5e-6,
                                          999999.999995};
    std::uint8_t choice = Byte();
    if (choice < 96) return kSpecial[choice % (sizeof kSpecial / sizeof kSpecial[0])];
    if (choice < 176) {
      std::uint64_t bits = 0;
      for (int i = 0; i < 8; ++i) bits = (bits << 8) | Byte();
      double value;
      std::memcpy(&value, &bits, sizeof value);
      return value;
    }
    return static_cast<double>(Range(-100000000, 100000000)) / 1000.0;
  }

  // Up to max_length characters, each mapped into `alphabet`.
  std::string Text(std::size_t max_length, const char* alphabet) {
    std::size_t alphabet_size = std::strlen(alphabet);
    std::size_t length = static_cast<std::size_t>(Range(0, static_cast<std::int64_t>(max_length)));
    std::string text;
    for (std::size_t i = 0; i < length && !empty(); ++i) text += alphabet[Byte() % alphabet_size];
    return text;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t position_ = 0;
};

}  // namespace trovisk::fuzzing
