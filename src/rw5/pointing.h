// One pointing of the instrument as an observation record gives it.
#pragma once

#include <array>
#include <string_view>

#include "rw5/null_value.h"

namespace trovisk {

// Values in radians and metres; kNullValue where the record had none.
struct Pointing {
  int line = 0;
  std::array<char, 4> code{};     // raw record code, NUL-terminated
  int from = 0;                   // occupied station
  int to = 0;                     // foresight (target) station
  bool face_right = false;        // "BR" or "FR": the circle reads 180 degrees round
  double direction = kNullValue;  // circle reading, angle right, in [0, 2 pi)
  double azimuth = kNullValue;
  double zenith = kNullValue;  // folded into [0, pi]
  double slope_distance = kNullValue;
  double horizontal_distance = kNullValue;
  double height_difference = kNullValue;
  double instrument_height = kNullValue;
  double target_height = kNullValue;

  void SetCode(std::string_view text) {
    code = {};
    for (std::size_t i = 0; i + 1 < code.size() && i < text.size(); ++i) code[i] = text[i];
  }
};

}  // namespace trovisk
