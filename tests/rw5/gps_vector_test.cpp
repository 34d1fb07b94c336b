// GPS vectors: components and covariance in file units, and the reduction
// from antenna to mark along the ellipsoid normal at each end.
#include <gtest/gtest.h>

#include <string>

#include "rw5/parse_helper.h"

namespace trovisk {
namespace {

using testing::kTenthMillimetre;
using testing::Parse;
using testing::Parsed;

// US survey feet: the vector is (100, -200, 300) m, the antennas 1.0 m (base)
// and 2.0 m (rover) high, the covariance terms those of XX 1e-3, XY 2e-4,
// XZ 3e-4, YY 4e-3, YZ 5e-4 and ZZ 6e-3 m², each times 3.28083333333333².
const char kVectorJob[] =
    "MO,AD0,UN2,SF1.0,EC0,EO0.0,AU0\n"
    "BP,PNROV,LA45.0030,LN-66.0100,HT20.0\n"
    "BP,PNBASE,LA45.0000,LN-66.0000,HT10.0\n"
    "AH,DCBASE,MA1,ME0,RA3.28083333333333\n"
    "AH,DCROVER,MA2,ME0,RA6.56166666666666\n"
    "BL,DC1,PNROV,DX328.083333333333,DY-656.166666666666,DZ984.249999999999,--mark,GM1,CL1\n"
    "CV,DC1,SV5,SC1,XX0.01076386736111109,XY0.002152773472222218,XZ0.003229160208333327,"
    "YY0.04305546944444436,YZ0.005381933680555545,ZZ0.06458320416666653\n";

TEST(GpsVectors, VectorInUsSurveyFeetWithItsCovariance) {
  ReaderOptions options;
  options.gps_antenna_to_antenna = false;
  Parsed p;
  Parse(kVectorJob, p, options);
  auto vectors = p.OfKind(ObservationKind::kGpsVector);
  ASSERT_EQ(vectors.size(), 1u);
  const auto& v = vectors[0];
  EXPECT_EQ(p.Name(v.from) + ">" + p.Name(v.to), "BASE>ROV");
  EXPECT_NEAR(v.dx, 100.0, kTenthMillimetre);
  EXPECT_NEAR(v.dy, -200.0, kTenthMillimetre);
  EXPECT_NEAR(v.dz, 300.0, kTenthMillimetre);
  // Packed lower triangle: XX, XY, YY, XZ, YZ, ZZ.
  const double expected[6] = {1e-3, 2e-4, 4e-3, 3e-4, 5e-4, 6e-3};
  for (std::size_t i = 0; i < 6; ++i) EXPECT_NEAR(v.covariance[i], expected[i], 1e-12) << i;
  EXPECT_NEAR(v.instrument_height, 1.0, kTenthMillimetre);
  EXPECT_NEAR(v.target_height, 2.0, kTenthMillimetre);
  EXPECT_EQ(p.Description("ROV"), "mark");
  EXPECT_TRUE(p.ui.warnings.empty());
}

TEST(GpsVectors, AntennaToMarkAlongTheNormalAtEachEnd) {
  struct Case {
    std::string job;
    double seed_latitude, seed_longitude;  // radians
    double dx, dy, dz;
  };
  const double degree = 3.14159265358979323846 / 180.0;
  const Case cases[] = {
      // Worked with n = (cos(lat) cos(lon), cos(lat) sin(lon), sin(lat)):
      // v + 1.0 n(45°, -66°) - 2.0 n(45°00'30", -66°01'00").
      {kVectorJob, 0, 0, 99.71285321108361, -199.35404648838238, 299.2926875447474},
      // Neither end known, no base antenna: v - 2.0 n at the seed, 45°, -120°.
      {"MO,UN2\nBP,PNBASE\nAH,DCROVER,MA2,ME0,RA6.56166666666666\n"
       "BL,DC1,PNROV,DX328.083333333333,DY-656.166666666666,DZ984.249999999999\n",
       45 * degree, -120 * degree, 100.70710678118655, -198.77525512860842, 298.5857864376269},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.job);
    ReaderOptions options;
    options.fallback_latitude = c.seed_latitude;
    options.fallback_longitude = c.seed_longitude;
    Parsed p;
    Parse(c.job, p, options);
    auto vectors = p.OfKind(ObservationKind::kGpsVector);
    ASSERT_EQ(vectors.size(), 1u);
    EXPECT_NEAR(vectors[0].dx, c.dx, kTenthMillimetre);
    EXPECT_NEAR(vectors[0].dy, c.dy, kTenthMillimetre);
    EXPECT_NEAR(vectors[0].dz, c.dz, kTenthMillimetre);
  }
}

TEST(GpsVectors, OnlyTheRecordRightAfterAVectorIsItsCovariance) {
  Parsed p;
  Parse(
      "CV,XX1,XY0,XZ0,YY1,YZ0,ZZ1\nBP,PNB\nBL,DC1,PNR1,DX1,DY2,DZ3\nLS,HR1\n"
      "CV,XX1,XY0,XZ0,YY1,YZ0,ZZ1\nBL,DC1,PNR2,DX1,DY2\n",
      p);
  auto vectors = p.OfKind(ObservationKind::kGpsVector);
  ASSERT_EQ(vectors.size(), 2u);  // the incomplete one is kept too
  for (const auto& v : vectors) EXPECT_TRUE(IsMissing(v.covariance[0]));
  // Two covariances without their vector and one vector without a component.
  EXPECT_EQ(p.ui.warnings.size(), 3u);
}

}  // namespace
}  // namespace trovisk
