// Names and symbols of the distance units, and lengths written in them.
#include "geodesy/unit_text.h"

#include <cstdio>

#include "geodesy/constants.h"

namespace trovisk {

const char* DistanceUnitName(int distance_unit_code) {
  switch (distance_unit_code) {
    case kUnitInternationalFeet:
      return "international feet";
    case kUnitUsSurveyFeet:
      return "US survey feet";
    default:
      return "metres";
  }
}

const char* DistanceUnitSymbol(int distance_unit_code) {
  switch (distance_unit_code) {
    case kUnitInternationalFeet:
      return "ft";
    case kUnitUsSurveyFeet:
      return "US ft";
    default:
      return "m";
  }
}

std::string LengthText(double metres, int distance_unit_code) {
  char text[64];
  std::snprintf(text, sizeof text, "%.3f %s", metres * DistanceUnitFactor(distance_unit_code),
                DistanceUnitSymbol(distance_unit_code));
  return text;
}

}  // namespace trovisk
