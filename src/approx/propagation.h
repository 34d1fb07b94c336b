// Propagation of approximate coordinates through the observations, from the
// seed and every station that already has coordinates.
#pragma once

#include "approx/station_report.h"
#include "geodesy/local_frame.h"
#include "rw5/survey_data.h"

namespace trovisk {

struct PropagationSummary {
  int fixed = 0;   // stations given coordinates by this call
  int passes = 0;  // passes run (each spreads as far as the measurements reach)
  int waves = 0;   // rounds of "collect every determination, then combine"
};

// Stops the passes even if each still fixes something; every pass but the
// first only follows elevations taken from neighbours, so few are ever needed.
inline constexpr int kMaxPropagationPasses = 100;

/// Fixes every station the observations determine. A station with local
/// coordinates only is also given geodetic ones through `frame`, and one with
/// geodetic only local ones, so that total-station and GPS work meet. Stations
/// merged into others are left alone (their observations count for the
/// surviving station). When `report` is given, its entries (resized to the
/// station list) receive where each newly fixed station came from, how its
/// independent determinations agree, and why the others stayed unknown.
PropagationSummary PropagateCoordinates(SurveyData& data, const LocalFrame& frame,
                                        StationReport* report = nullptr);

}  // namespace trovisk
