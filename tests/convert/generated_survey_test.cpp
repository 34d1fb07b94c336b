// A whole conversion of a generated survey, whose true coordinates are known:
// every observation arrives and every station's approximate coordinates land
// on its true position.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "base/message_table.h"
#include "convert/conversion.h"
#include "rw5_generator.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace trovisk {
namespace {

using testing::ScriptedUi;
using testing::TempDir;

// Sideshots recomputed from printed angles and distances, vectors from
// printed components and antenna heights: a few tenths of a millimetre each.
constexpr double kPosition = 2e-3;        // metres
constexpr double kEarthRadius = 6.371e6;  // metres per radian, near enough for a tolerance

TEST(GeneratedSurvey, ConvertsToTheTruePositionsInEveryUnit) {
  for (int units : {1, 0, 2}) {
    SCOPED_TRACE(units);
    bench::GeneratorOptions generator;
    generator.record_count = 6000;
    generator.distance_units = units;
    generator.angle_units = units == 2 ? 1 : 0;
    generator.oriented_circle_rate = 0.3;
    generator.gps_session_rate = 0.3;
    generator.keep_truth = true;
    bench::GeneratedSurvey survey;
    TempDir dir;
    ConverterOptions options;
    options.input_file = dir.Write("survey.rw5", bench::GenerateRw5String(generator, &survey));
    options.output_file = dir.File("survey.txt");
    options.seed_name = survey.seed_name;
    options.compute_approx_geodetic = true;
    options.compute_approx_nee = true;
    options.local_nee_system = true;
    // The seed as entered, in the file's unit.
    const double factor = units == 0 ? 3.28083989501312 : units == 2 ? 3.28083333333333 : 1.0;
    options.seed_north = generator.origin_north * factor;
    options.seed_east = generator.origin_east * factor;
    options.seed_elevation = generator.origin_elevation * factor;
    options.seed_height = generator.origin_height * factor;
    ScriptedUi ui;
    SurveyData data;
    ConversionOutcome outcome = RunConversion(options, ui, data);

    EXPECT_EQ(outcome.message_id, kMsgSuccessWithApprox);
    EXPECT_EQ(outcome.uncomputed_count, 0);
    // Every sideshot, traverse leg and vector is an observation of its own;
    // direction sets and backsights add theirs.
    EXPECT_GE(static_cast<std::int64_t>(data.observations.size()) - 1,
              survey.sideshots + survey.check_shots + survey.traverse_legs + survey.gps_vectors);
    EXPECT_EQ(static_cast<std::int64_t>(ui.merge_offers.size()), survey.check_shots);
    int compared = 0;
    for (const bench::TruePoint& truth : survey.truth) {
      int index = data.stations.Find(truth.name);
      ASSERT_GT(index, 0) << truth.name;
      const StationRecord& s = data.stations[static_cast<std::size_t>(index)];
      ASSERT_TRUE(s.has_nee && s.has_geodetic) << truth.name;
      EXPECT_NEAR(s.north, truth.north, kPosition) << truth.name;
      EXPECT_NEAR(s.east, truth.east, kPosition) << truth.name;
      EXPECT_NEAR(s.elevation, truth.elevation, kPosition) << truth.name;
      EXPECT_NEAR(s.latitude, truth.latitude, kPosition / kEarthRadius) << truth.name;
      EXPECT_NEAR(s.longitude, truth.longitude,
                  kPosition / (kEarthRadius * std::cos(truth.latitude)))
          << truth.name;
      EXPECT_NEAR(s.height, truth.height, kPosition) << truth.name;
      ++compared;
    }
    EXPECT_GT(compared, 3000);
  }
}

}  // namespace
}  // namespace trovisk
