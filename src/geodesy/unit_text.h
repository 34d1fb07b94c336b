// The distance units as reports and warnings name them.
#pragma once

#include <string>

namespace trovisk {

// "metres", "international feet" or "US survey feet" for a unit code.
const char* DistanceUnitName(int distance_unit_code);
// "m", "ft" or "US ft".
const char* DistanceUnitSymbol(int distance_unit_code);
// A length given in metres, written in the unit to the thousandth: "0.123 ft".
std::string LengthText(double metres, int distance_unit_code);

}  // namespace trovisk
