// Fixed-point number text, byte for byte what printf "%1.<N>lf" writes.
#pragma once

#include <cstddef>
#include <string>

namespace trovisk {

// Most decimals a caller may ask for; more are clamped to this.
inline constexpr int kMaxFixedDecimals = 20;
// Room the Write functions may use: the largest finite double has 309 integer
// digits; with a sign, a point and the most decimals the text always fits.
inline constexpr std::size_t kMaxFixedLength = 1 + 309 + 1 + kMaxFixedDecimals + 8;

/// Writes `value` with exactly `decimals` decimals (0 to 20) at `out`, which
/// must have room for kMaxFixedLength characters, and returns the end of the
/// text: at least one integer digit, a point, no exponent, no grouping,
/// correctly rounded from the exact binary value as the C library's
/// "%1.<decimals>lf" does in the C locale ("-0.00000" for minus zero
/// included). A value that is not finite is written as zero with those
/// decimals, so that "nan" or "inf" never reaches the file.
char* WriteFixed(char* out, double value, int decimals);

/// Writes a packed angle DDD.MMSSsss (as RadiansToDms gives it) with
/// `decimals` decimals (4 or more) at `out` (room for kMaxFixedLength) and
/// returns the end. The packed value is not carried, so one a hair under a
/// whole minute prints as "MM60" or "59.596000"; the printed seconds and
/// minutes are carried here so that they always stay below 60.
char* WritePackedAngle(char* out, double packed, int decimals);

/// The same two for decimals known when compiling, 0 to 12 (4 to 12 for a
/// packed angle), which spares choosing the way of writing at each call.
template <int kDecimals>
char* WriteFixed(char* out, double value);
template <int kDecimals>
char* WritePackedAngle(char* out, double packed);

/// The packed form of an angle in radians, RadiansToDms(radians), written
/// byte for byte as WritePackedAngle<kDecimals> writes it (6 or 9 decimals).
/// The digits come straight from the degrees, minutes and seconds whenever
/// they are certain, which spares forming the packed number and scaling it
/// back; any other angle takes that longer way.
template <int kDecimals>
char* WriteRadiansAsPackedAngle(char* out, double radians);

/// WriteFixed appended to a string.
void AppendFixed(std::string& out, double value, int decimals);

/// The same text as a new string.
std::string FormatFixed(double value, int decimals);

/// WritePackedAngle appended to a string.
void AppendPackedAngle(std::string& out, double packed, int decimals);

}  // namespace trovisk
