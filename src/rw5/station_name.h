// A station name, kept in the station record itself: names are told apart
// by their first 15 bytes, so no name needs memory of its own.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

namespace trovisk {

// Longest station name kept: characters 3 to 17 of a prefixed field.
inline constexpr std::size_t kMaxStationNameLength = 15;

class StationName {
 public:
  StationName() = default;
  StationName(std::string_view text) { assign(text); }    // NOLINT: names convert freely
  StationName(const char* text) { assign(text); }         // NOLINT
  StationName(const std::string& text) { assign(text); }  // NOLINT

  // Keeps the first kMaxStationNameLength bytes of `text`.
  void assign(std::string_view text) {
    size_ = static_cast<std::uint8_t>(text.size() < kMaxStationNameLength ? text.size()
                                                                          : kMaxStationNameLength);
    bytes_ = {};
    for (std::size_t i = 0; i < size_; ++i) bytes_[i] = text[i];
  }

  std::string_view view() const { return {bytes_.data(), size_}; }
  operator std::string_view() const { return view(); }  // NOLINT
  std::string str() const { return std::string(view()); }
  const char* data() const { return bytes_.data(); }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  friend bool operator==(const StationName& a, const StationName& b) {
    return a.view() == b.view();
  }
  friend bool operator==(const StationName& a, std::string_view b) { return a.view() == b; }
  friend bool operator==(const StationName& a, const char* b) { return a.view() == b; }
  friend bool operator==(const StationName& a, const std::string& b) { return a.view() == b; }
  // Names go into messages: "'" + name + "'".
  friend std::string operator+(std::string text, const StationName& name) {
    return text.append(name.view());
  }
  friend std::string operator+(const char* text, const StationName& name) {
    return std::string(text).append(name.view());
  }
  friend std::string operator+(const StationName& name, std::string_view text) {
    return name.str().append(text);
  }
  friend std::ostream& operator<<(std::ostream& out, const StationName& name) {
    return out << name.view();
  }

 private:
  std::array<char, kMaxStationNameLength> bytes_{};
  std::uint8_t size_ = 0;
};

}  // namespace trovisk
