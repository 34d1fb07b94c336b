// Approximate coordinates for every station: the seed ties the local system
// to the ellipsoid, the observations carry coordinates to the other stations,
// and every station ends with both local and geodetic values where possible.
#pragma once

#include <string>

#include "approx/station_report.h"
#include "base/user_interface.h"
#include "geodesy/geoid_separation.h"
#include "geodesy/grid_projection.h"
#include "rw5/survey_data.h"

namespace trovisk {

struct ApproximateInputs {
  bool do_geodetic = false;  // the user asked for geodetic coordinates (and entered the seed's)
  bool do_nee = false;       // the user asked for local coordinates (and entered the seed's)
  std::string seed_name;
  // As entered: latitude and longitude packed DD.MMSSsssss, height in the
  // run's distance unit.
  double seed_latitude_dms = 45.0;
  double seed_longitude_dms = -120.0;
  double seed_height = 200.0;
  // As entered, in the run's distance unit.
  double seed_north = 100000.0;
  double seed_east = 100000.0;
  double seed_elevation = 200.0;
  double unit_factor = 1.0;  // feet per metre of the run's distance unit (1 for metres)
  // The working datum.
  double a = 6378137.0;
  double e2 = 0.0066943799901413165;
  // Local NEE rather than a projected grid. A local system, and a projected
  // one whose grid is not known, is taken as the plane tangent at the seed.
  bool local_nee_system = false;
  // The projected grid, when known (used only when not local), and the
  // geoid separations the file gives; both borrowed for the call.
  const GridProjection* grid = nullptr;
  const GeoidSeparations* separations = nullptr;
  int distance_unit_code = 1;  // of the job, for the warnings
  // The seed station's coordinates as the raw file gave them: metres, radians.
  bool file_has_nee = false;
  double file_north = 0.0;
  double file_east = 0.0;
  double file_elevation = 0.0;
  bool file_has_geodetic = false;
  double file_latitude = 0.0;
  double file_longitude = 0.0;
  double file_height = 0.0;
  bool allow_prompts = true;
};

/// Gives the stations approximate local and geodetic coordinates. Asks
/// whether to use the file's seed coordinates instead of the entered ones
/// (local first, then geodetic) when the file has them and the user entered
/// that set. Returns the number of stations left without geodetic
/// coordinates; `report`, when given, tells where every station's values came
/// from and why the others could not be computed, and states the same count.
int ComputeApproximateCoordinates(SurveyData& data, const ApproximateInputs& inputs,
                                  UserInterface& ui, StationReport* report = nullptr);

}  // namespace trovisk
