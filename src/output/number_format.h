// Fixed-point number text, byte for byte what printf "%1.<N>lf" writes.
#pragma once

#include <string>

namespace trovisk {

// Most decimals a caller may ask for; more are clamped to this.
inline constexpr int kMaxFixedDecimals = 20;

/// Appends `value` with exactly `decimals` decimals (0 to 20): at least one
/// integer digit, a point, no exponent, no grouping, correctly rounded from the
/// exact binary value as the C library's "%1.<decimals>lf" does in the C locale
/// ("-0.00000" for minus zero included). A value that is not finite is written
/// as zero with those decimals, so that "nan" or "inf" never reaches the file.
void AppendFixed(std::string& out, double value, int decimals);

/// The same text as a new string.
std::string FormatFixed(double value, int decimals);

/// Appends a packed angle DDD.MMSSsss (as RadiansToDms gives it) with
/// `decimals` decimals (4 or more). The packed value is not carried, so one a
/// hair under a whole minute prints as "MM60" or "59.596000"; the printed
/// seconds and minutes are carried here so that they always stay below 60.
void AppendPackedAngle(std::string& out, double packed, int decimals);

}  // namespace trovisk
