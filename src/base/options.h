// Every option of the main dialog, with its construction default. The
// dialog and the command line both fill one of these; the conversion reads it.
#pragma once

#include <string>

namespace trovisk {

// The datum used by default and when the entered one is out of range.
inline constexpr const char* kWgs84Name = "WGS 84";
inline constexpr double kWgs84SemiMajorAxis = 6378137.0;  // metres
inline constexpr double kWgs84InverseFlattening = 298.257223563;

struct ConverterOptions {
  std::string output_file;         // the Korvanta file to write
  std::string input_file;          // the RW5 (.rw5/.raw) file to read
  std::string seed_name;           // at most 15 characters
  double seed_latitude = 45.0;     // packed DD.MMSSsssss, positive north
  double seed_longitude = -120.0;  // packed DD.MMSSsssss, positive east
  double seed_height = 200.0;
  double tolerance = 0.05;  // metres, station-merge tolerance
  int tolerance_mode = 1;   // 0 = "2D tolerance check", 1 = "3D tolerance check"
  double datum_major_axis = kWgs84SemiMajorAxis;
  std::string datum_name = kWgs84Name;  // at most 15 characters
  double datum_inverse_flattening = kWgs84InverseFlattening;
  bool compute_approx_geodetic = false;
  bool compute_approx_nee = false;
  double seed_elevation = 200.0;
  double seed_east = 100000.0;
  double seed_north = 100000.0;
  bool gps_antenna_to_antenna = true;
  bool local_nee_system = false;
};

// The datum a conversion computes with: the entered one when it is in range,
// otherwise WGS 84; b and e2 derived from a and 1/f.
struct WorkingDatum {
  std::string name = kWgs84Name;
  double a = kWgs84SemiMajorAxis;  // metres
  double b = 0.0;                  // metres
  double inverse_flattening = kWgs84InverseFlattening;
  double e2 = 0.0;
};

// The datum the run computes with: the entered one when its name is not
// empty and a and 1/f are in range, otherwise WGS 84.
WorkingDatum ChooseWorkingDatum(const ConverterOptions& options);

}  // namespace trovisk
