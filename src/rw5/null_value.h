// The marker of a value the raw file did not supply.
#pragma once

namespace trovisk {

// Bits 0xC12E847E4CCCCCCD. A value is missing exactly when it compares equal.
inline constexpr double kNullValue = -999999.15;

inline constexpr bool IsMissing(double value) { return value == kNullValue; }
inline constexpr bool IsPresent(double value) { return value != kNullValue; }

}  // namespace trovisk
