// Every option of the main dialog, with its construction default. The
// dialog and the command line both fill one of these; the conversion reads it.
#pragma once

#include <string>

namespace trovisk {

struct ConverterOptions {
  std::string output_file;  // the Korvanta file to write
  std::string input_file;   // the RW5 (.rw5/.raw) file to read
  std::string seed_name;    // at most 15 characters
  double seed_latitude = 45.0;     // packed DD.MMSSsssss, positive north
  double seed_longitude = -120.0;  // packed DD.MMSSsssss, positive east
  double seed_height = 200.0;
  double tolerance = 0.05;  // metres, station-merge tolerance
  int tolerance_mode = 1;   // 0 = "2D tolerance check", 1 = "3D tolerance check"
  double datum_major_axis = 6378137.0;
  std::string datum_name = "WGS 84";  // at most 15 characters
  double datum_inverse_flattening = 298.257223563;
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
  std::string name = "WGS 84";
  double a = 6378137.0;
  double b = 0.0;
  double inverse_flattening = 298.257223563;
  double e2 = 0.0;
};

}  // namespace trovisk
