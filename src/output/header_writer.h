// The blocks at the head of the adjustment file: datum, units, default
// standard deviations and the station type of the observations.
#pragma once

#include <ostream>

#include "base/options.h"
#include "base/status.h"
#include "output/output_buffer.h"

namespace trovisk {

// Default standard deviations of the adjustment: arc-seconds for angles
// (azimuths and horizontal angles share one), metres for distances.
inline constexpr double kDefaultAzimuthSd = 5.0;
inline constexpr double kDefaultZenithSd = 5.0;
inline constexpr double kDefaultDistanceSd = 0.005;
inline constexpr double kGpsCovarianceScaler = 1.0;

/// The letter of a distance unit code in the file: "I", "M" or "U" ("M" for
/// an unknown code, whose factor is 1.0 too).
char DistanceUnitLetter(int distance_code);
/// "G" for angle code 1 (grads), else "D" (packed degrees).
char AngleUnitLetter(int angle_code);

// Each writer sets status to 0 on entry and to 1001 when the stream's error
// indicator is set after its writes.

/// "$DATUM" with the datum's name, semi-major axis and inverse flattening.
void WriteDatumBlock(std::ostream& out, const WorkingDatum& datum, Status& status);
/// "$UNITS" with the distance and angle letters of the two codes.
void WriteUnitsBlock(std::ostream& out, int distance_code, int angle_code, Status& status);
/// The default observation standard deviations and the GPS covariance scaler.
void WriteDefaultsBlock(std::ostream& out, Status& status);
/// "$STATION_TYPE_FOR_OBS": "3D_NEU" for a local north/east/elevation system,
/// "3D_STATE" for a projected one.
void WriteStationTypeBlock(std::ostream& out, bool local_nee_system, Status& status);

/// The units block into a buffer, for the writers that open sections with one.
void AppendUnitsBlock(OutputBuffer& out, int distance_code, int angle_code);

}  // namespace trovisk
