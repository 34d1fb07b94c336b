// Named constants of the angle, unit and ellipsoid computations.
#pragma once

namespace trovisk {

inline constexpr double kPi = 3.141592653589793;
inline constexpr double kHalfPi = 1.5707963267948966;
inline constexpr double kTwoPi = 6.283185307179586;
inline constexpr double kThreeHalvesPi = 4.71238898038469;
inline constexpr double kDegreesPerRadian = 57.29577951308232;
inline constexpr double kGonsPerRadian = 63.66197723675813;
inline constexpr double kOneSixtieth = 0.016666666666666666;
inline constexpr double kOneThirtySixHundredth = 0.0002777777777777778;
// Pushes packed angles stored a hair below their decimal (10.3) up, so that
// minutes and seconds do not drop by one; about 1e-7 arc-second. Also the
// convergence tolerance of the latitude iteration.
inline constexpr double kPackingGuard = 4.848e-13;

// Distance unit codes of the raw file and the output file.
inline constexpr int kUnitInternationalFeet = 0;
inline constexpr int kUnitMetres = 1;
inline constexpr int kUnitUsSurveyFeet = 2;
inline constexpr double kIntlFeetPerMetre = 3.28083989501312;      // distance unit 0
inline constexpr double kUsSurveyFeetPerMetre = 3.28083333333333;  // distance unit 2

// Angle unit code 1 means grads; any other value degrees in packed DDD.MMSS.
inline constexpr int kAngleUnitGrads = 1;

// Feet per metre of a distance unit code; metres (1.0) for any unknown code.
inline constexpr double DistanceUnitFactor(int unit_code) {
  return unit_code == kUnitInternationalFeet ? kIntlFeetPerMetre
         : unit_code == kUnitUsSurveyFeet    ? kUsSurveyFeetPerMetre
                                             : 1.0;
}

}  // namespace trovisk
