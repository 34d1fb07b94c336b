// Averaging of face-left and face-right readings that may be missing.
#pragma once

namespace trovisk {

// Mean of two values; a missing one gives the other (missing if both are).
double AverageValues(double first, double second);
// Mean of a face-left direction a and a face-right direction b in radians:
// b is reduced by pi into one turn and the pair is averaged across zero.
double AverageAngles(double face_left, double face_right);

}  // namespace trovisk
