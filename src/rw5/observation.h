// One measured quantity set of the raw file, filed under one kind.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "rw5/null_value.h"

namespace trovisk {

// The kind an observation is filed under, chosen by its first present value
// in this order: horizontal angle, azimuth, GPS vector, then the rest.
enum class ObservationKind : std::uint8_t {
  kNone = 0,
  kHorizontalAngle,     // backsight-to-foresight angle, with zenith and slope distance
  kAzimuth,             // azimuth, with zenith and slope distance
  kGpsVector,           // ECEF components and covariance
  kZenithDistance,      // zenith and/or slope distance without a horizontal value
  kHorizontalDistance,  // "HD"
  kHeightDifference,    // "CE"
};

struct ObservationRecord {
  std::int64_t sequence = 0;  // order of arrival, from 1
  // Station indices into the StationList; 0 means no station.
  std::int32_t from = 0;       // occupied station (GPS: base)
  std::int32_t backsight = 0;  // backsight station of a horizontal angle
  std::int32_t to = 0;         // foresight station (GPS: rover)
  std::int32_t line = 0;       // raw file line the observation came from
  ObservationKind kind = ObservationKind::kNone;
  std::array<char, 4> code{};  // raw record code, NUL-terminated ("BK", "SS", "G1")
  bool moved = false;          // carried from a direction set into the main array
  bool computed = false;       // derived, not measured: written commented out

  // Angles in radians, lengths in metres; kNullValue where not measured.
  double horizontal_angle = kNullValue;
  double azimuth = kNullValue;
  double zenith = kNullValue;
  double slope_distance = kNullValue;
  double horizontal_distance = kNullValue;
  double height_difference = kNullValue;
  double instrument_height = kNullValue;
  double target_height = kNullValue;
  double dx = kNullValue, dy = kNullValue, dz = kNullValue;
  // Packed lower triangle: XX, XY, YY, XZ, YZ, ZZ (square metres).
  std::array<double, 6> covariance{kNullValue, kNullValue, kNullValue,
                                   kNullValue, kNullValue, kNullValue};
  std::string description;

  void SetCode(const char* text) {
    code = {};
    for (std::size_t i = 0; i + 1 < code.size() && text[i] != '\0'; ++i) code[i] = text[i];
  }
  const char* Code() const { return code.data(); }
};

// Observations in arrival order; index 0 is a reserved empty record.
using ObservationList = std::vector<ObservationRecord>;

}  // namespace trovisk
