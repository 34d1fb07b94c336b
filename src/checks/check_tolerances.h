// How far a measurement may differ from what the coordinates or the other
// measurements say before a check flags it.
#pragma once

namespace trovisk {

struct CheckTolerances {
  double angle_seconds = 30.0;  // horizontal angles and zeniths, arc-seconds
  double distance = 0.03;       // horizontal distances: metres ...
  double distance_ppm = 50.0;   // ... plus parts per million of the distance
  double height = 0.05;         // height differences, metres
};

}  // namespace trovisk
