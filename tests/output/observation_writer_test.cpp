// Observation records: the keyword chosen for each combination of values,
// their fields and units, the order of the section and its failures.
#include "output/observation_writer.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>

#include "output/failing_stream.h"

namespace trovisk {
namespace {

// Degrees, minutes and seconds to radians the way the raw file's angles arrive.
double Dms(double degrees, double minutes = 0.0, double seconds = 0.0) {
  return (degrees + minutes / 60.0 + seconds / 3600.0) / 57.29577951308232;
}

const std::string kMetresDegrees = "\n\n\n$UNITS\nM\nD\n1\n\n";
const std::string kComputed =
    "! Observation was computed - not measured. It has been commented out\n";

class ObservationSection : public ::testing::Test {
 protected:
  ObservationSection() {
    for (const char* name : {"A", "B", "C", "D"}) stations_.FindOrAdd(name, 1);
  }

  // An observation at A towards C (backsight B when `backsight`), numbered next.
  ObservationRecord& Add(bool backsight = false, const char* code = "SS") {
    ObservationRecord& record = observations_.emplace_back();
    record.sequence = static_cast<std::int64_t>(observations_.size() - 1);
    record.from = 1;
    record.backsight = backsight ? 2 : 0;
    record.to = 3;
    record.SetCode(code);
    return record;
  }

  std::string Write(int angle_code = 0, int distance_code = 1) {
    std::ostringstream out;
    Status status = Status::kCancelled;
    WriteObservationSection(out, stations_, observations_, angle_code, distance_code, status);
    EXPECT_EQ(status, Status::kOk);
    observations_.resize(1);
    return out.str();
  }

  ObservationDetail& Detail(ObservationRecord& o) { return observations_.Detail(o); }

  StationList stations_;
  ObservationList observations_ = ObservationList(1);
};

TEST_F(ObservationSection, HorizontalAngleWithEachPartOfItsPointing) {
  const std::string head = kMetresDegrees + "$OBS_DESC; FENCE\n";
  const struct {
    bool zenith, distance;
    const char* record;
  } cases[] = {
      {true, true, "$HOR_COMPACT; A; B; C; 45.102000; 5.000; 89.593000; 5.000; 123.45670; 0.00500"},
      {true, false, "$HOR_COMPACT; A; B; C; 45.102000; 5.000; 89.593000; 5.000; NOOBS; NOOBS"},
      {false, true, "$HOR_COMPACT; A; B; C; 45.102000; 5.000; NOOBS; NOOBS; 123.45670; 0.00500"},
      {false, false, "$HORIZ_ANGLE_ONLY; A; B; C; 45.102000; 5.000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.record);
    ObservationRecord& o = Add(true);
    o.horizontal_angle = Dms(45, 10, 20);
    if (c.zenith) o.zenith = Dms(89, 59, 30);
    if (c.distance) o.slope_distance = 123.4567;
    o.instrument_height = 1.5;  // the target height is missing: zero
    Detail(o).description = "FENCE";
    EXPECT_EQ(Write(), head + c.record + "; 1.50000; 0.00000\n\n");
  }
}

TEST_F(ObservationSection, AngleOntoItsOwnBacksightKeepsOnlyZenithAndDistance) {
  ObservationRecord& both = Add();
  both.backsight = 3;
  both.horizontal_angle = Dms(0);
  both.zenith = Dms(90);
  both.slope_distance = 10.0;
  // D merged into C: backsight D and foresight C are then one station.
  stations_[4].merge_link = 3;
  ObservationRecord& merged = Add();
  merged.backsight = 4;
  merged.horizontal_angle = Dms(12);
  merged.zenith = Dms(91);
  merged.target_height = 2.0;
  EXPECT_EQ(Write(), kMetresDegrees +
                         "$AZ_COMPACT; A; C; NOOBS; NOOBS; 90.000000; 5.000; 10.00000; 0.00500; "
                         "0.00000; 0.00000\n\n"
                         "$ZENITH_ONLY; A; C; 91.000000; 5.000; 0.00000; 2.00000\n\n");
}

TEST_F(ObservationSection, AzimuthZenithAndDistanceCombinations) {
  const std::string desc = "$OBS_DESC; CURB\n";
  const std::string az = desc + "$AZIMUTH_ONLY; A; C; 210.304500; 5.000; 1.20000; 1.80000\n\n";
  const std::string zen = desc + "$ZENITH_ONLY; A; C; 88.000000; 5.000; 1.20000; 1.80000\n\n";
  const std::string chord = desc + "$CHORD_ONLY; A; C; 0.50000; 0.00500; 1.20000; 1.80000\n\n";
  const std::string tail = "88.000000; 5.000; 0.50000; 0.00500; 1.20000; 1.80000\n\n";
  const struct {
    bool azimuth, zenith, distance;
    std::string records;
  } cases[] = {
      {true, false, false, az},
      {true, true, false, az + zen},
      {true, false, true, az + chord},
      {false, true, false, zen},
      {false, false, true, chord},
      {true, true, true, desc + "$AZ_COMPACT; A; C; 210.304500; 5.000; " + tail},
      {false, true, true, desc + "$AZ_COMPACT; A; C; NOOBS; NOOBS; " + tail},
      {false, false, false, ""},  // nothing measured: not even the description
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.azimuth << c.zenith << c.distance);
    ObservationRecord& o = Add();
    if (c.azimuth) o.azimuth = Dms(210, 30, 45);
    if (c.zenith) o.zenith = Dms(88);
    if (c.distance) o.slope_distance = 0.5;
    o.instrument_height = 1.2;
    o.target_height = 1.8;
    Detail(o).description = "CURB";
    EXPECT_EQ(Write(), kMetresDegrees + c.records);
  }
}

TEST_F(ObservationSection, BacksightAzimuthAndComputedObservationsAreCommentedOut) {
  ObservationRecord& bk = Add(false, "BK");
  bk.azimuth = Dms(350);
  bk.instrument_height = 1.6;
  Detail(bk).description = "own note, not written";
  Add(false, "BK");  // a backsight without azimuth writes nothing
  ObservationRecord& computed = Add(false, "OB");
  computed.azimuth = Dms(10);
  computed.zenith = Dms(88);
  computed.computed = true;
  Detail(computed).description = "FROM BK";
  EXPECT_EQ(Write(), kMetresDegrees + kComputed +
                         "! $OBS_DESC; BK Record - Computed Azimuth\n"
                         "! $AZIMUTH_ONLY; A; C; 350.000000; 5.000; 1.60000; 0.00000\n\n" +
                         kComputed +
                         "! $OBS_DESC; FROM BK\n"
                         "! $AZIMUTH_ONLY; A; C; 10.000000; 5.000; 0.00000; 0.00000\n\n"
                         "! $OBS_DESC; FROM BK\n"
                         "! $ZENITH_ONLY; A; C; 88.000000; 5.000; 0.00000; 0.00000\n\n");
}

TEST_F(ObservationSection, LengthsInInternationalFeet) {
  Add().height_difference = 1.0;
  Add().horizontal_distance = 100.0;
  ObservationRecord& chord = Add();
  chord.slope_distance = 100.0;
  chord.instrument_height = 1.0;
  // Lengths by 3.28083989501312; the chord's SD too, the other two SDs as given.
  EXPECT_EQ(Write(0, 0),
            "\n\n\n$UNITS\nI\nD\n1\n\n"
            "$HGTDIFF_COMPACT; A; C; 3.28084; 0.00500\n\n"
            "$HORIZ_DIST_ONLY; A; C; 328.08399; 0.00500\n\n"
            "$CHORD_ONLY; A; C; 328.08399; 0.01640; 3.28084; 0.00000\n\n");
}

TEST_F(ObservationSection, GpsVectorInUsSurveyFeet) {
  ObservationRecord& o = Add(false, "BL");
  Detail(o).dx = 1000.0;
  Detail(o).dy = -2000.0;
  Detail(o).dz = 500.5;
  Detail(o).covariance = {1e-6, 2e-7, 3e-6, -4e-7, 5e-7, 6e-6};  // packed XX, XY, YY, XZ, YZ, ZZ
  Detail(o).description = "RTK";
  ObservationRecord& partial = Add(false, "BL");
  Detail(partial).dx = 1.0;
  Detail(partial).dy = 2.0;
  Detail(partial).dz = 3.0;
  Detail(partial).covariance[2] = 1e-6;  // the other terms missing: written as zero
  partial.computed = true;
  ObservationRecord& incomplete = Add(false, "BL");
  Detail(incomplete).dx = 1.0;
  Detail(incomplete).dy = 2.0;  // no dz: no vector
  // Components by 3.28083333333333, covariance by its square 10.76386736111109,
  // in the order XX XY XZ YY YZ ZZ.
  EXPECT_EQ(Write(0, 2),
            "\n\n\n$UNITS\nU\nD\n1\n\n$OBS_DESC; RTK\n"
            "$GPS_COMPACT; A; C; 3280.83333; -6561.66667; 1642.05708; "
            "0.000010763867; 0.000002152773; -0.000004305547; 0.000032291602; "
            "0.000005381934; 0.000064583204\n\n" +
                kComputed +
                "! $GPS_COMPACT; A; C; 3.28083; 6.56167; 9.84250; 0.000000000000; "
                "0.000000000000; 0.000000000000; 0.000010763867; 0.000000000000; "
                "0.000000000000\n\n");
}

TEST_F(ObservationSection, GradsWithTheirStandardDeviation) {
  ObservationRecord& o = Add(true);
  o.horizontal_angle = 100.0 / 63.66197723675813;
  o.zenith = 99.5 / 63.66197723675813;
  EXPECT_EQ(Write(1, 1),
            "\n\n\n$UNITS\nM\nG\n1\n\n"
            "$HOR_COMPACT; A; B; C; 100.000000; 15.432; 99.500000; 15.432; NOOBS; "
            "NOOBS; 0.00000; 0.00000\n\n");
}

TEST_F(ObservationSection, MergedStationsAreNamedByTheirSurvivor) {
  stations_[1].merge_link = 4;  // A merged into D
  stations_[2].merge_link = 1;  // B merged into A, so into D as well
  Add(true).horizontal_angle = Dms(1, 2, 3);
  EXPECT_EQ(Write(),
            kMetresDegrees + "$HORIZ_ANGLE_ONLY; D; D; C; 1.020300; 5.000; 0.00000; 0.00000\n\n");
}

TEST_F(ObservationSection, OrderedBySequenceAndTheLaterOfTwoNumbersKept) {
  const std::pair<std::int64_t, double> entries[] = {{5, 5.0}, {2, 2.0}, {7, 7.1},   {200000, 9.0},
                                                     {7, 7.2}, {0, 0.5}, {-3, 0.25}, {7, 7.3}};
  for (const auto& [sequence, distance] : entries) {
    ObservationRecord& o = Add();
    o.sequence = sequence;
    o.horizontal_distance = distance;
  }
  std::string expected = kMetresDegrees;
  // Numbers beyond 99999 and below 1 are written too, in their place.
  for (const char* value : {"0.25000", "0.50000", "2.00000", "5.00000", "7.30000", "9.00000"}) {
    expected += std::string("$HORIZ_DIST_ONLY; A; C; ") + value + "; 0.00500\n\n";
  }
  EXPECT_EQ(Write(), expected);
}

TEST_F(ObservationSection, EveryPresentValueWrittenOnceAndNonNumbersNotAtAll) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  ObservationRecord& az = Add();
  az.kind = ObservationKind::kAzimuth;
  az.azimuth = Dms(1);
  az.horizontal_distance = 4.0;
  az.height_difference = -0.25;
  ObservationRecord& hz = Add(true);
  hz.horizontal_angle = Dms(3);
  hz.zenith = nan;
  hz.slope_distance = 2.0;
  hz.instrument_height = inf;
  ObservationRecord& nothing = Add(true);
  nothing.horizontal_angle = nan;
  nothing.azimuth = -inf;
  Detail(nothing).dx = nan;
  Detail(nothing).dy = 1.0;
  Detail(nothing).dz = 1.0;
  Detail(nothing).description = "no numbers";
  EXPECT_EQ(Write(), kMetresDegrees +
                         "$AZIMUTH_ONLY; A; C; 1.000000; 5.000; 0.00000; 0.00000\n\n"
                         "$HGTDIFF_COMPACT; A; C; -0.25000; 0.00500\n\n"
                         "$HORIZ_DIST_ONLY; A; C; 4.00000; 0.00500\n\n"
                         "$HOR_COMPACT; A; B; C; 3.000000; 5.000; NOOBS; NOOBS; 2.00000; "
                         "0.00500; 0.00000; 0.00000\n\n");
  observations_.clear();  // not even the reserved record
  EXPECT_EQ(Write(), kMetresDegrees);
}

TEST_F(ObservationSection, NamesOfEveryLengthWithTheirLineBreaksBlanked) {
  // The longest name kept, breaks at either end and in the middle, and a
  // station outside the list, which has no name.
  const struct {
    const char* name;
    const char* written;
  } cases[] = {
      {"FIFTEEN_CHARS_1", "FIFTEEN_CHARS_1"},
      {"\rSEVEN\nPQRSTU\r", " SEVEN PQRSTU "},
      {"ABCDEFG\rIJK", "ABCDEFG IJK"},
      {"X", "X"},
      {"EIGHT\r\n8", "EIGHT  8"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.written);
    const int index = stations_.FindOrAdd(c.name, 1);
    ObservationRecord& o = Add(true);
    o.from = index;
    o.to = index;
    o.horizontal_distance = 1.0;
    ObservationRecord& outside = Add();
    outside.to = 99;
    outside.horizontal_distance = 2.0;
    EXPECT_EQ(Write(), kMetresDegrees + "$HORIZ_DIST_ONLY; " + c.written + "; " + c.written +
                           "; 1.00000; 0.00500\n\n$HORIZ_DIST_ONLY; A; ; 2.00000; 0.00500\n\n");
  }
}

TEST_F(ObservationSection, AngleOntoTheBacksightToldByTheWholeName) {
  // Names alike in all but their length or one byte are different stations;
  // two records of one name are the same.
  const struct {
    const char* backsight;
    const char* foresight;
    bool same;
  } cases[] = {
      {"ABCDEFGHIJKLMN1", "ABCDEFGHIJKLMN2", false},
      {"ABCDEFGH1", "ABCDEFGH2", false},
      {"ABCDEFG", "ABCDEFGH", false},
      {"ABC", "ABD", false},
      {"ABCDEFGHIJKLMNO", "ABCDEFGHIJKLMNO", true},
      {"AB", "AB", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.backsight) + " / " + c.foresight);
    StationList stations;
    stations.FindOrAdd("AT", 1);
    const int backsight = stations.FindOrAdd(c.backsight, 1);
    const int foresight = stations.FindOrAdd("FORESIGHT", 1);
    stations[static_cast<std::size_t>(foresight)].name = c.foresight;
    ObservationList observations(1);
    ObservationRecord& o = observations.emplace_back();
    o.sequence = 1;
    o.from = 1;
    o.backsight = backsight;
    o.to = foresight;
    o.horizontal_angle = Dms(10);
    std::ostringstream out;
    Status status = Status::kCancelled;
    WriteObservationSection(out, stations, observations, 0, 1, status);
    const std::string record = std::string("$HORIZ_ANGLE_ONLY; AT; ") + c.backsight + "; " +
                               c.foresight + "; 10.000000; 5.000; 0.00000; 0.00000\n\n";
    EXPECT_EQ(out.str(), kMetresDegrees + (c.same ? "" : record));
  }
}

TEST_F(ObservationSection, FailingStreamGives1001AndStops) {
  for (int i = 0; i < 50000; ++i) Add(true).horizontal_angle = Dms(10);
  for (std::size_t capacity : {5, 100000}) {  // inside the units block, then further on
    SCOPED_TRACE(capacity);
    testing::FailingStream out(capacity);
    Status status = Status::kOk;
    WriteObservationSection(out, stations_, observations_, 0, 1, status);
    EXPECT_EQ(status, Status::kWriteError);
    EXPECT_EQ(out.written().size(), capacity);
  }
}

}  // namespace
}  // namespace trovisk
