// Realistic RW5 raw data files of any size, with consistent geometry.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace trovisk::bench {

// What to generate. The same options (seed included) give the same bytes.
struct GeneratorOptions {
  std::uint64_t seed = 1;
  std::int64_t record_count = 10000;  // lines written, notes included
  int distance_units = 1;             // "MO" UN code: 0 int. feet, 1 metres, 2 US feet
  int angle_units = 0;                // "MO" AU code: 1 grads, else packed degrees
  // Where the first setup stands: local north/east/elevation in metres, and
  // its geodetic position (packed DD.MMSS, positive north/east; metres).
  double origin_north = 100000.0;
  double origin_east = 100000.0;
  double origin_elevation = 200.0;
  double origin_latitude = 45.0;
  double origin_longitude = -120.0;
  double origin_height = 200.0;
  // Shares of setups observed in a particular way.
  double direction_set_rate = 0.15;   // the leg to the next setup by two direction sets
  double gps_session_rate = 0.05;     // a GPS session based on the setup
  double oriented_circle_rate = 0.0;  // "BC" equals "BS": the circle reads azimuths
  double check_shot_rate = 0.01;      // an earlier shot re-observed under a second name
  bool keep_truth = false;            // return every named point's true position
};

// A point as the generator placed it.
struct TruePoint {
  std::string name;
  double north = 0.0;  // metres, local system of the file
  double east = 0.0;
  double elevation = 0.0;
  double latitude = 0.0;  // radians
  double longitude = 0.0;
  double height = 0.0;  // ellipsoidal, metres
};

// What was written.
struct GeneratedSurvey {
  std::int64_t records = 0;  // lines
  std::int64_t bytes = 0;
  std::string seed_name;  // the first setup: at the origin, with its coordinates in "OC"
  std::int64_t setups = 0;
  std::int64_t sideshots = 0;            // "SS" records
  std::int64_t traverse_legs = 0;        // "TR" records
  std::int64_t direction_pointings = 0;  // "BD", "BR", "FD" and "FR" records
  std::int64_t gps_vectors = 0;          // "BL" records
  std::int64_t backsights = 0;           // "BK" records
  std::int64_t check_shots = 0;          // shots to a second name for an existing point
  std::int64_t notes = 0;                // "--" lines
  std::vector<TruePoint> truth;          // with keep_truth, in order of first appearance
};

// Writes exactly options.record_count lines to `out` (the last block may end
// early to hit the count) and describes what was written.
GeneratedSurvey GenerateRw5(const GeneratorOptions& options, std::ostream& out);
// The same into a string.
std::string GenerateRw5String(const GeneratorOptions& options, GeneratedSurvey* info = nullptr);

// Packed DDD.MMSS text of an angle in degrees, rounded to `second_decimals`
// decimals of an arc-second, minutes and seconds carried (59.99995" -> next minute).
std::string FormatPackedDegrees(double degrees, int second_decimals);

}  // namespace trovisk::bench
