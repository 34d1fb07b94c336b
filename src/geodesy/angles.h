// Angle and unit conversions. Angles are radians inside the system; the
// packed sexagesimal form DD.MMSSsssss and gons exist only at the edges.
#pragma once

namespace trovisk {

/// Packed DD.MMSSsssss (sign on the whole value) to radians.
double DmsToRadians(double packed);
/// Radians to packed DD.MMSSsssss, truncated, never rounded or carried.
double RadiansToDms(double radians);
/// Gons (400 to a turn) to radians and back.
double GonsToRadians(double gons);
double RadiansToGons(double radians);
/// One wrap into a turn: 2 pi stays 2 pi, a negative angle gets 2 pi once.
double NormalizeAngle(double radians);
/// a + b brought into one turn.
double AddAngles(double a, double b);
/// Four-quadrant arctangent of (x, y), result in [-pi, pi).
double QuadrantArctan(double x, double y);
/// Second four-quadrant arctangent, of y over x.
double PolarAngle(double y, double x);
/// +1.0 when x is 0 or more, else -1.0.
double SignOf(double x);
/// x minus its integer part truncated toward zero; that integer part.
double Frac(double x);
double Trunc(double x);
double Square(double x);
/// The value printed with "%*.*lf" (width 1, precision n) and read back.
double RoundToDecimals(double value, int decimals);

}  // namespace trovisk
