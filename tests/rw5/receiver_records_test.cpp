// GPS points and receiver vectors: positions, antenna heights, the vector
// with its variances, covariances and tilt, and the reduction to the marks.
#include <gtest/gtest.h>

#include <string>

#include "rw5/parse_helper.h"

namespace trovisk {
namespace {

using testing::Dms;
using testing::kTenthMillimetre;
using testing::Parse;
using testing::Parsed;

// Latitude and longitude written to the hundred-millionth of a second.
constexpr double kPackedPrecision = 4.85e-10;

TEST(ReceiverRecords, GpsPointGivesTheMarkBelowTheRoverAntenna) {
  struct Case {
    const char* name;
    std::string records;
    bool antenna_to_antenna;
    double latitude, longitude, height;  // radians, metres
    std::string description;
    std::size_t warnings;  // each has no base: no vector, reported once
  };
  const Case cases[] = {
      {"west longitude, metres job",
       "MO,UN1\nLS,HR2.1319\nGPS,PN7,LA45.3015,LN-66.0730,EL20.5,--IRON PIN\n", true,
       Dms(45, 30, 15), -Dms(66, 7, 30), 20.5 - 2.1319, "IRON PIN", 1},
      {"fractional seconds",
       "LS,HR2.0701\nGPS,PN7,LA45.230548803665,LN-65.485666331479,EL85.046681,--\n", true,
       Dms(45, 23, 5.48803665), -Dms(65, 48, 56.66331479), 85.046681 - 2.0701, "", 1},
      // The rover height is in the job's unit (6.5616... US ft = 2 m); the
      // ellipsoidal height is metres in any job.
      {"south and east, US survey feet job",
       "MO,UN2\nLS,HI5.0,HR6.56166666666666\nGPS,PN7,LA-33.5200,LN151.1230,EL-5.0,--BM 12\n", true,
       -Dms(33, 52), Dms(151, 12, 30), -7.0, "BM 12", 1},
      {"vectors mark to mark: the height as written",
       "LS,HR2.1319\nGPS,PN7,LA45.3015,LN-66.0730,EL20.5,--\n", false, Dms(45, 30, 15),
       -Dms(66, 7, 30), 20.5, "", 1},
      {"the last LS counts, not a shot's HR",
       "LS,HR1.5\nBK,OP1,BP2,BS0,BC0\nSS,OP1,FP3,AR1,SD5,HR9.0\nGPS,PN7,LA1,LN1,EL10\n", true,
       Dms(1), Dms(1), 8.5, "", 1},
      {"no rover height known: the antenna's, reported once",
       "GPS,PN7,LA1,LN1,EL10\nGPS,PN8,LA1,LN1,EL10\n", true, Dms(1), Dms(1), 10.0, "", 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ReaderOptions options;
    options.gps_antenna_to_antenna = c.antenna_to_antenna;
    Parsed p;
    Parse(c.records, p, options);
    const StationRecord& s = p.Station("7");
    ASSERT_EQ(s.name, "7");
    ASSERT_TRUE(s.has_geodetic);
    EXPECT_FALSE(s.has_nee);
    EXPECT_NEAR(s.latitude, c.latitude, kPackedPrecision);
    EXPECT_NEAR(s.longitude, c.longitude, kPackedPrecision);
    EXPECT_NEAR(s.height, c.height, kTenthMillimetre);
    EXPECT_EQ(p.Description("7"), c.description);
    EXPECT_EQ(p.ui.warnings.size(), c.warnings);
    EXPECT_TRUE(p.ui.messages.empty());
  }
}

TEST(ReceiverRecords, GpsPointsAreInTheFirstPassAndTheLastPositionWins) {
  std::istringstream input(
      "LS,HR2.0\nGPS,PN7,LA10,LN20,EL30,--FIRST\nGPS,PN7,LA11,LN21,EL31,--SECOND\n"
      "GPS,PN8,LA,LN21,EL31\nGPS,LA1,LN1,EL1\nGPS,PN9,LA95,LN0,EL1\n");
  SurveyData data;
  testing::ScriptedUi ui;
  int line = 0;
  Status status = Status::kOk;
  ReadStationCoordinates(input, ReaderOptions{}, data, ui, line, status);
  ASSERT_EQ(status, Status::kOk);
  // Only the point with a usable position; quietly.
  ASSERT_EQ(data.stations.size(), 2u);
  EXPECT_NEAR(data.stations[1].height, 29.0, kTenthMillimetre);
  EXPECT_TRUE(ui.warnings.empty());

  ParseRecords(input, ReaderOptions{}, data, ui, line, status);
  ASSERT_EQ(status, Status::kOk);
  const StationRecord& s = data.stations[1];
  EXPECT_NEAR(s.latitude, Dms(11), kPackedPrecision);
  EXPECT_NEAR(s.height, 29.0, kTenthMillimetre);
  EXPECT_EQ(data.stations.Description(1), "SECOND");  // notes follow the last record, as for "SP"
  // 8 without latitude and 9 beyond the pole are kept without a position;
  // the nameless point is not kept.
  EXPECT_FALSE(data.stations[data.stations.Find("8")].has_geodetic);
  EXPECT_FALSE(data.stations[data.stations.Find("9")].has_geodetic);
  EXPECT_EQ(data.stations.size(), 4u);
  // 8, 9 and the nameless point; 7 moved; no base for the points.
  EXPECT_EQ(ui.warnings.size(), 5u);
  EXPECT_EQ(data.observations.size(), 1u);  // a position is no observation
}

TEST(ReceiverRecords, BaseAntennaComesOffOnlyForVectorsBetweenAntennas) {
  const char* record =
      "BP,PN0,LA47.474185904626,LN-64.562336846073,EL0.6305,AG2.0000,PA0.1319,ATAPC,SRBASE,--\n";
  for (bool antenna_to_antenna : {true, false}) {
    SCOPED_TRACE(antenna_to_antenna);
    ReaderOptions options;
    options.gps_antenna_to_antenna = antenna_to_antenna;
    Parsed p;
    Parse(record, p, options);
    const StationRecord& s = p.Station("0");
    ASSERT_TRUE(s.has_geodetic);
    EXPECT_NEAR(s.height, antenna_to_antenna ? 0.6305 - 2.1319 : 0.6305, kTenthMillimetre);
  }
}

// Base B on the equator at 0° (normal +X) with its antenna 1.5 + 0.1 m up;
// base C at 180° (normal -X) 1.0 m up; rover R at 90° east (normal +Y) under
// a 2.0 m rover antenna. Mark to mark, a vector gains base height times the
// base normal and loses rover height times the rover normal.
const char kTwoBases[] =
    "MO,AD0,UN1,SF1.00000000,EC0,EO0.0,AU0\n"
    "BP,PNB,LA0.0000,LN0.0000,EL10.0,AG1.5,PA0.1,ATAPC,SRBASE,--\n"
    "BP,PNC,LA0.0000,LN180.0000,EL5.0,AG1.0,PA0.0,ATAPC,SRBASE,--\n"
    "LS,HR2.0\n"
    "GPS,PNR,LA0.0000,LN90.0000,EL12.0,--\n"
    "G0,2024/09/30 11:31:44,(Average) - Base ID read at rover: B\n"
    "G1,BPB,PNR,DX10,DY20,DZ30\n"
    "G0,2024/09/30 11:35:00,(Average) - Base ID read at rover: C\n"
    "G1,BPC,PNR,DX10,DY20,DZ30\n";

TEST(ReceiverRecords, VectorFromTheNamedBaseReducedWithThatBasesAntenna) {
  struct Case {
    bool antenna_to_antenna;
    double from_b[3], from_c[3];
  };
  const Case cases[] = {
      {true, {11.6, 18.0, 30.0}, {9.0, 18.0, 30.0}},
      {false, {10.0, 20.0, 30.0}, {10.0, 20.0, 30.0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.antenna_to_antenna);
    ReaderOptions options;
    options.gps_antenna_to_antenna = c.antenna_to_antenna;
    Parsed p;
    Parse(kTwoBases, p, options);
    EXPECT_TRUE(p.ui.warnings.empty());
    auto vectors = p.OfKind(ObservationKind::kGpsVector);
    ASSERT_EQ(vectors.size(), 2u);
    ASSERT_EQ(p.Observations().size(), 2u);  // "G0" adds nothing
    const double* expected[] = {c.from_b, c.from_c};
    const char* bases[] = {"B", "C"};
    for (std::size_t i = 0; i < 2; ++i) {
      SCOPED_TRACE(bases[i]);
      const auto& v = vectors[i];
      EXPECT_STREQ(v.Code(), "G1");
      EXPECT_EQ(p.Name(v.from) + ">" + p.Name(v.to), std::string(bases[i]) + ">R");
      EXPECT_NEAR(v.dx, expected[i][0], kTenthMillimetre);
      EXPECT_NEAR(v.dy, expected[i][1], kTenthMillimetre);
      EXPECT_NEAR(v.dz, expected[i][2], kTenthMillimetre);
    }
  }
}

TEST(ReceiverRecords, VariancesCovariancesAndTiltCompleteTheVectorBeforeThem) {
  // A US survey feet job: receiver values stay metres and square metres.
  Parsed p;
  ReaderOptions options;
  options.gps_antenna_to_antenna = false;
  Parse(
      "MO,UN2\nBP,PNB\n"
      "G0,header\n"
      "G1,BPB,PNR,DX-319.79487,DY-112.98052,DZ31.94987\n"
      "--GT,PNR,SW2334,ST127922600,EW2334,ET127932600\n"  // a note between is no record
      "G2,VX0.00002140,VY0.00004641,VZ0.00004893\n"
      "G3,XY-0.00001748,XZ0.00001595,YZ-0.00002837\n"
      "G4,DX0.00100,DY-0.00200,DZ0.00300\n"
      "G1,BPB,PNS,DX1,DY2,DZ3\n"
      "G0,header\n"
      "G2,VX1,VY1,VZ1\n"  // a new header: no vector before it any more
      "G3,XY1,XZ1,YZ1\n",
      p, options);
  auto vectors = p.OfKind(ObservationKind::kGpsVector);
  ASSERT_EQ(vectors.size(), 2u);
  const auto& v = vectors[0];
  EXPECT_NEAR(v.dx, -319.79387, kTenthMillimetre);
  EXPECT_NEAR(v.dy, -112.98252, kTenthMillimetre);
  EXPECT_NEAR(v.dz, 31.95287, kTenthMillimetre);
  // Packed lower triangle XX, XY, YY, XZ, YZ, ZZ.
  const double expected[6] = {0.00002140, -0.00001748, 0.00004641,
                              0.00001595, -0.00002837, 0.00004893};
  for (std::size_t i = 0; i < 6; ++i) EXPECT_DOUBLE_EQ(v.covariance[i], expected[i]) << i;
  for (double term : vectors[1].covariance) EXPECT_TRUE(IsMissing(term));
  EXPECT_EQ(p.ui.warnings.size(), 2u);  // the two records after the second header
}

TEST(ReceiverRecords, IncompleteVectorsAreKeptAndReported) {
  struct Case {
    const char* records;
    const char* from;
    const char* to;
    std::size_t warnings;
  };
  const Case cases[] = {
      {"BP,PNB\nG1,PNR,DX1,DY2,DZ3\n", "B", "R", 0},  // the base of the last "BP"
      {"G1,PNR,DX1,DY2,DZ3\n", "", "R", 1},
      {"BP,PNB\nG1,BPB,DX1,DY2,DZ3\n", "B", "", 1},
      {"BP,PNB\nG1,BPB,PNR,DX1,DY,DZ3\n", "B", "R", 1},
      {"G4,DX1,DY1,DZ1\n", nullptr, nullptr, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.records);
    Parsed p;
    Parse(c.records, p);
    auto vectors = p.OfKind(ObservationKind::kGpsVector);
    EXPECT_EQ(p.ui.warnings.size(), c.warnings);
    if (c.from == nullptr) {
      EXPECT_TRUE(vectors.empty());
      continue;
    }
    ASSERT_EQ(vectors.size(), 1u);
    EXPECT_EQ(p.Name(vectors[0].from), c.from);
    EXPECT_EQ(p.Name(vectors[0].to), c.to);
  }
}

}  // namespace
}  // namespace trovisk
