// Observation records: the keyword chosen for each combination of values,
// their fields and units, the order of the section and its failures.
#include "output/observation_writer.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>

#include "output/failing_stream.h"

namespace trovisk {
namespace {

// Packed DDD.MMSS to radians the way the raw file's angles arrive.
double Dms(double degrees, double minutes, double seconds) {
  return (degrees + minutes / 60.0 + seconds / 3600.0) / 57.29577951308232;
}

constexpr const char* kMetresDegrees = "\n\n\n$UNITS\nM\nD\n1\n\n";
constexpr const char* kComputed =
    "! Observation was computed - not measured. It has been commented out\n";

class ObservationSection : public ::testing::Test {
 protected:
  ObservationSection() {
    for (const char* name : {"A", "B", "C", "D"}) stations_.FindOrAdd(name, 1, 0);
  }

  // An observation at A, backsight B, foresight C, with the next sequence number.
  ObservationRecord& Add(const char* code = "SS") {
    ObservationRecord record;
    record.sequence = static_cast<std::int64_t>(observations_.size());
    record.from = 1;
    record.backsight = 2;
    record.to = 3;
    record.SetCode(code);
    observations_.push_back(record);
    return observations_.back();
  }

  std::string Write(int angle_code = 0, int distance_code = 1, int expected_status = 0) {
    std::ostringstream out;
    int status = -1;
    WriteObservationSection(out, stations_, observations_, angle_code, distance_code, status);
    EXPECT_EQ(status, expected_status);
    return out.str();
  }

  StationList stations_;
  ObservationList observations_{ObservationRecord{}};
};

TEST_F(ObservationSection, HorizontalAngleWithEachPartOfItsPointing) {
  struct Case {
    bool zenith, distance;
    const char* record;
  } cases[] = {
      {true, true,
       "$HOR_COMPACT; A; B; C; 45.102000; 5.000; 89.593000; 5.000; 123.45670; 0.00500; "
       "1.50000; 0.00000\n\n"},
      {true, false,
       "$HOR_COMPACT; A; B; C; 45.102000; 5.000; 89.593000; 5.000; NOOBS; NOOBS; 1.50000; "
       "0.00000\n\n"},
      {false, true,
       "$HOR_COMPACT; A; B; C; 45.102000; 5.000; NOOBS; NOOBS; 123.45670; 0.00500; 1.50000; "
       "0.00000\n\n"},
      {false, false, "$HORIZ_ANGLE_ONLY; A; B; C; 45.102000; 5.000; 1.50000; 0.00000\n\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.record);
    observations_.resize(1);
    ObservationRecord& o = Add();
    o.horizontal_angle = Dms(45, 10, 20);
    if (c.zenith) o.zenith = Dms(89, 59, 30);
    if (c.distance) o.slope_distance = 123.4567;
    o.instrument_height = 1.5;
    o.description = "FENCE";
    EXPECT_EQ(Write(), std::string(kMetresDegrees) + "$OBS_DESC; FENCE\n" + c.record);
  }
}

TEST_F(ObservationSection, AngleOntoItsOwnBacksightKeepsOnlyZenithAndDistance) {
  ObservationRecord& both = Add();
  both.backsight = 3;
  both.horizontal_angle = Dms(0, 0, 0);
  both.zenith = Dms(90, 0, 0);
  both.slope_distance = 10.0;
  ObservationRecord& zenith_only = Add();
  zenith_only.backsight = 3;
  zenith_only.horizontal_angle = Dms(12, 0, 0);
  zenith_only.zenith = Dms(91, 0, 0);
  zenith_only.target_height = 2.0;
  // D merged into C: backsight D and foresight C are then one station.
  stations_[4].merge_link = 3;
  ObservationRecord& merged = Add();
  merged.backsight = 4;
  merged.horizontal_angle = Dms(1, 0, 0);
  merged.slope_distance = 5.0;
  EXPECT_EQ(Write(), std::string(kMetresDegrees) +
                         "$AZ_COMPACT; A; C; NOOBS; NOOBS; 90.000000; 5.000; 10.00000; 0.00500; "
                         "0.00000; 0.00000\n\n"
                         "$ZENITH_ONLY; A; C; 91.000000; 5.000; 0.00000; 2.00000\n\n"
                         "$CHORD_ONLY; A; C; 5.00000; 0.00500; 0.00000; 0.00000\n\n");
}

TEST_F(ObservationSection, AzimuthZenithAndDistanceCombinations) {
  const std::string desc = "$OBS_DESC; CURB\n";
  const std::string az = "$AZIMUTH_ONLY; A; C; 210.304500; 5.000; 1.20000; 1.80000\n\n";
  const std::string zen = "$ZENITH_ONLY; A; C; 88.000000; 5.000; 1.20000; 1.80000\n\n";
  const std::string chord = "$CHORD_ONLY; A; C; 0.50000; 0.00500; 1.20000; 1.80000\n\n";
  struct Case {
    bool azimuth, zenith, distance;
    std::string records;
  } cases[] = {
      {true, false, false, desc + az},
      {true, true, false, desc + az + desc + zen},
      {true, false, true, desc + az + desc + chord},
      {false, true, false, desc + zen},
      {false, false, true, desc + chord},
      {true, true, true,
       desc + "$AZ_COMPACT; A; C; 210.304500; 5.000; 88.000000; 5.000; 0.50000; 0.00500; "
              "1.20000; 1.80000\n\n"},
      {false, true, true,
       desc + "$AZ_COMPACT; A; C; NOOBS; NOOBS; 88.000000; 5.000; 0.50000; 0.00500; 1.20000; "
              "1.80000\n\n"},
      // Nothing measured: not even the description.
      {false, false, false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.azimuth << c.zenith << c.distance);
    observations_.resize(1);
    ObservationRecord& o = Add();
    o.backsight = 0;
    if (c.azimuth) o.azimuth = Dms(210, 30, 45);
    if (c.zenith) o.zenith = Dms(88, 0, 0);
    if (c.distance) o.slope_distance = 0.5;
    o.instrument_height = 1.2;
    o.target_height = 1.8;
    o.description = "CURB";
    EXPECT_EQ(Write(), kMetresDegrees + c.records);
  }
}

TEST_F(ObservationSection, BacksightAzimuthIsWrittenCommentedOut) {
  ObservationRecord& bk = Add("BK");
  bk.to = 2;
  bk.azimuth = Dms(350, 0, 0);
  bk.instrument_height = 1.6;
  bk.target_height = 1.8;
  bk.description = "own note, not written";
  Add("BK").to = 2;  // a backsight without azimuth writes nothing
  EXPECT_EQ(Write(), std::string(kMetresDegrees) + kComputed +
                         "! $OBS_DESC; BK Record - Computed Azimuth\n"
                         "! $AZIMUTH_ONLY; A; B; 350.000000; 5.000; 1.60000; 1.80000\n\n");
}

TEST_F(ObservationSection, ComputedObservationsAreCommentedOutLineByLine) {
  ObservationRecord& o = Add("OB");
  o.backsight = 0;
  o.azimuth = Dms(10, 0, 0);
  o.zenith = Dms(88, 0, 0);
  o.computed = true;
  o.description = "FROM BK";
  EXPECT_EQ(Write(), std::string(kMetresDegrees) + kComputed +
                         "! $OBS_DESC; FROM BK\n"
                         "! $AZIMUTH_ONLY; A; C; 10.000000; 5.000; 0.00000; 0.00000\n\n"
                         "! $OBS_DESC; FROM BK\n"
                         "! $ZENITH_ONLY; A; C; 88.000000; 5.000; 0.00000; 0.00000\n\n");
}

TEST_F(ObservationSection, HeightDifferenceAndHorizontalDistanceInFeet) {
  ObservationRecord& dh = Add();
  dh.height_difference = 1.0;
  dh.description = "CE";
  ObservationRecord& hd = Add();
  hd.horizontal_distance = 100.0;
  hd.instrument_height = 3.0;  // not part of the record
  // Lengths scale by 3.28083989501312; their SD is written as given.
  EXPECT_EQ(Write(0, 0), "\n\n\n$UNITS\nI\nD\n1\n\n"
                         "$OBS_DESC; CE\n$HGTDIFF_COMPACT; A; C; 3.28084; 0.00500\n\n"
                         "$HORIZ_DIST_ONLY; A; C; 328.08399; 0.00500\n\n");
}

TEST_F(ObservationSection, SlopeDistanceSdAndHeightsScaleWithTheUnit) {
  ObservationRecord& o = Add();
  o.backsight = 0;
  o.slope_distance = 100.0;
  o.instrument_height = 1.0;
  EXPECT_EQ(Write(0, 0), "\n\n\n$UNITS\nI\nD\n1\n\n"
                         "$CHORD_ONLY; A; C; 328.08399; 0.01640; 3.28084; 0.00000\n\n");
}

TEST_F(ObservationSection, GpsVectorInUsSurveyFeet) {
  ObservationRecord& o = Add("BL");
  o.backsight = 0;
  o.dx = 1000.0;
  o.dy = -2000.0;
  o.dz = 500.5;
  // Packed XX, XY, YY, XZ, YZ, ZZ.
  o.covariance = {1e-6, 2e-7, 3e-6, -4e-7, 5e-7, 6e-6};
  o.description = "RTK";
  ObservationRecord& partial = Add("BL");
  partial.dx = 1.0;
  partial.dy = 2.0;
  partial.dz = 3.0;
  partial.covariance[2] = 1e-6;  // the others missing: written as zero
  partial.computed = true;
  ObservationRecord& incomplete = Add("BL");
  incomplete.dx = 1.0;
  incomplete.dy = 2.0;  // no dz: no vector
  // Components by 3.28083333333333, covariance by its square 10.76386736111109,
  // in the order XX XY XZ YY YZ ZZ.
  EXPECT_EQ(Write(0, 2), "\n\n\n$UNITS\nU\nD\n1\n\n"
                         "$OBS_DESC; RTK\n"
                         "$GPS_COMPACT; A; C; 3280.83333; -6561.66667; 1642.05708; "
                         "0.000010763867; 0.000002152773; -0.000004305547; 0.000032291602; "
                         "0.000005381934; 0.000064583204\n\n" +
                             std::string(kComputed) +
                             "! $GPS_COMPACT; A; C; 3.28083; 6.56167; 9.84250; 0.000000000000; "
                             "0.000000000000; 0.000000000000; 0.000010763867; 0.000000000000; "
                             "0.000000000000\n\n");
}

TEST_F(ObservationSection, GradsWithTheirStandardDeviation) {
  ObservationRecord& o = Add();
  o.horizontal_angle = 100.0 / 63.66197723675813;
  o.zenith = 99.5 / 63.66197723675813;
  EXPECT_EQ(Write(1, 1), "\n\n\n$UNITS\nM\nG\n1\n\n"
                         "$HOR_COMPACT; A; B; C; 100.000000; 15.432; 99.500000; 15.432; NOOBS; "
                         "NOOBS; 0.00000; 0.00000\n\n");
}

TEST_F(ObservationSection, MergedStationsAreNamedByTheirSurvivor) {
  stations_[1].merge_link = 4;  // A merged into D
  stations_[2].merge_link = 1;  // B merged into A, so into D as well
  ObservationRecord& o = Add();
  o.horizontal_angle = Dms(1, 2, 3);
  EXPECT_EQ(Write(), std::string(kMetresDegrees) +
                         "$HORIZ_ANGLE_ONLY; D; D; C; 1.020300; 5.000; 0.00000; 0.00000\n\n");
}

TEST_F(ObservationSection, OrderedBySequenceAndTheLaterOfTwoNumbersKept) {
  struct Entry {
    std::int64_t sequence;
    double distance;
  } entries[] = {{5, 5.0}, {2, 2.0}, {7, 7.1}, {200000, 9.0}, {7, 7.2}, {0, 0.5}, {-3, 0.25},
                 {7, 7.3}};
  for (const Entry& e : entries) {
    ObservationRecord& o = Add();
    o.sequence = e.sequence;
    o.backsight = 0;
    o.horizontal_distance = e.distance;
  }
  auto line = [](const char* value) {
    return std::string("$HORIZ_DIST_ONLY; A; C; ") + value + "; 0.00500\n\n";
  };
  // Numbers beyond 99999 and below 1 are written too, in their place.
  EXPECT_EQ(Write(), kMetresDegrees + line("0.25000") + line("0.50000") + line("2.00000") +
                         line("5.00000") + line("7.30000") + line("9.00000"));
}

TEST_F(ObservationSection, EveryPresentValueIsWrittenOnce) {
  ObservationRecord& o = Add();
  o.kind = ObservationKind::kAzimuth;
  o.backsight = 0;
  o.azimuth = Dms(1, 0, 0);
  o.horizontal_distance = 4.0;
  o.height_difference = -0.25;
  EXPECT_EQ(Write(), std::string(kMetresDegrees) +
                         "$AZIMUTH_ONLY; A; C; 1.000000; 5.000; 0.00000; 0.00000\n\n"
                         "$HGTDIFF_COMPACT; A; C; -0.25000; 0.00500\n\n"
                         "$HORIZ_DIST_ONLY; A; C; 4.00000; 0.00500\n\n");
}

TEST_F(ObservationSection, ValuesThatAreNoNumberAreNotObserved) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  ObservationRecord& o = Add();
  o.horizontal_angle = Dms(3, 0, 0);
  o.zenith = nan;
  o.slope_distance = 2.0;
  o.instrument_height = inf;
  ObservationRecord& nothing = Add();
  nothing.horizontal_angle = nan;
  nothing.azimuth = -inf;
  nothing.dx = nan;
  nothing.dy = 1.0;
  nothing.dz = 1.0;
  nothing.description = "dropped";
  EXPECT_EQ(Write(), std::string(kMetresDegrees) +
                         "$HOR_COMPACT; A; B; C; 3.000000; 5.000; NOOBS; NOOBS; 2.00000; "
                         "0.00500; 0.00000; 0.00000\n\n");
}

TEST_F(ObservationSection, EmptyListsWriteOnlyTheHead) {
  EXPECT_EQ(Write(), kMetresDegrees);
  observations_.clear();  // not even the reserved record
  EXPECT_EQ(Write(), kMetresDegrees);
}

TEST_F(ObservationSection, FailingStreamGives1001AndStops) {
  for (int i = 0; i < 50000; ++i) Add().horizontal_angle = Dms(10, 0, 0);
  // The device fails inside the units block: nothing more is tried.
  {
    testing::FailingStream out(5);
    int status = 0;
    WriteObservationSection(out, stations_, observations_, 0, 1, status);
    EXPECT_EQ(status, 1001);
    EXPECT_EQ(out.written(), "\n\n\n$U");
  }
  // The device fails part way through the observations.
  {
    testing::FailingStream out(100000);
    int status = 0;
    WriteObservationSection(out, stations_, observations_, 0, 1, status);
    EXPECT_EQ(status, 1001);
    EXPECT_EQ(out.written().size(), 100000u);
  }
}

}  // namespace
}  // namespace trovisk
