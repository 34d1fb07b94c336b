// What one pointing of the instrument measures, and the code of the record
// that gave it: shared by the pointings of the reader and the observations
// it files them under.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "rw5/null_value.h"

namespace trovisk {

// Angles in radians, lengths in metres; kNullValue where not measured.
struct Measurement {
  // Clockwise to the target, in [0, 2 pi): in an observation from the
  // backsight, in a pointing from the circle's zero (the circle reading).
  double horizontal_angle = kNullValue;
  double azimuth = kNullValue;
  double zenith = kNullValue;  // folded into [0, pi]
  double slope_distance = kNullValue;
  double horizontal_distance = kNullValue;
  double height_difference = kNullValue;
  double instrument_height = kNullValue;
  double target_height = kNullValue;
  std::array<char, 4> code{};  // raw record code, NUL-terminated ("BK", "SS", "G1")

  // Keeps the code's first three characters, up to a NUL.
  void SetCode(std::string_view text) {
    code = {};
    for (std::size_t i = 0; i + 1 < code.size() && i < text.size() && text[i] != '\0'; ++i) {
      code[i] = text[i];
    }
  }
  const char* Code() const { return code.data(); }
};

}  // namespace trovisk
