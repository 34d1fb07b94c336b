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

}  // namespace trovisk
