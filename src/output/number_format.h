// Fixed-point number text, byte for byte what printf "%1.<N>lf" writes.
#pragma once

#include <cstddef>
#include <string>

namespace trovisk {

// Most decimals a caller may ask for; more are clamped to this.
inline constexpr int kMaxFixedDecimals = 20;
// Room the Write functions need: the largest finite double has 309 integer
// digits; with a sign, a point, the most decimals and a carried degree the
// text always fits.
inline constexpr std::size_t kMaxFixedLength = 1 + 309 + 1 + kMaxFixedDecimals + 8;

/// Writes `value` with exactly `decimals` decimals (0 to 20) at `out`, which
/// must have room for kMaxFixedLength characters, and returns the end of the
/// text: as the C library's "%1.<decimals>lf" writes it in the C locale,
/// "-0.00000" for a small negative value included. A value that is not finite
/// is written as zero with those decimals, so that "nan" or "inf" never
/// reaches the file.
char* WriteFixed(char* out, double value, int decimals);

/// The same text as a string.
std::string FormatFixed(double value, int decimals);

/// Writes a packed angle DDD.MMSSsss (as RadiansToDms gives it) with
/// `decimals` decimals (4 or more) at `out` (room for kMaxFixedLength) and
/// returns the end. The packed value is not carried, so one a hair under a
/// whole minute rounds to "MM60" or "59.60"; the printed seconds and minutes
/// are carried here so that they always stay below 60.
char* WritePackedAngle(char* out, double packed, int decimals);

}  // namespace trovisk
