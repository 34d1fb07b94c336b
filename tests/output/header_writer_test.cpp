// The blocks at the head of the adjustment file, text for text.
#include "output/header_writer.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "output/failing_stream.h"

namespace trovisk {
namespace {

using Writer = std::function<void(std::ostream&, Status&)>;

std::string Written(const Writer& writer) {
  std::ostringstream out;
  Status status = Status::kCancelled;
  writer(out, status);
  EXPECT_EQ(status, Status::kOk);
  return out.str();
}

TEST(HeaderBlocks, DatumDefaultsAndStationTypeText) {
  EXPECT_EQ(Written([](auto& out, Status& s) { WriteDatumBlock(out, WorkingDatum{}, s); }),
            "! The data in this file will be associated with this Datum.\n"
            "$DATUM\n  WGS 84\n  6378137.0000\n  298.2572236\n\n");
  EXPECT_EQ(Written(WriteDefaultsBlock),
            "! Default observation SD's. Remove or change these to 0.0 to disable.\n"
            "! These values can be redefined or disabled anywhere in the file.\n"
            "$G_AZ_SD\n5.000\n\n$G_HOR_SD\n5.000\n\n$G_ZEN_SD\n5.000\n\n$G_CRD_SD\n0.00500\n\n"
            "! GPS Covariance Scaler. Set to 1.0 to disable.\n"
            "! This value can be redefined or disabled anywhere in the file.\n"
            "$S_XYZ_COV\n1.00000\n\n");
  EXPECT_EQ(Written([](auto& out, Status& s) { WriteStationTypeBlock(out, true, s); }),
            "$STATION_TYPE_FOR_OBS\n3D_NEU\n\n! 3D_GEO\n\n");
  EXPECT_EQ(Written([](auto& out, Status& s) { WriteStationTypeBlock(out, false, s); }),
            "$STATION_TYPE_FOR_OBS\n3D_STATE\n\n! 3D_GEO\n\n");
}

TEST(HeaderBlocks, UnitsBlockLetters) {
  // Codes outside the table are metres and degrees.
  const struct {
    int distance, angle;
    const char* letters;
  } cases[] = {{0, 0, "I\nD"}, {1, 0, "M\nD"}, {2, 0, "U\nD"},
               {2, 1, "U\nG"}, {7, 2, "M\nD"}, {-1, -1, "M\nD"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.distance << "/" << c.angle);
    EXPECT_EQ(Written([&](auto& out, Status& s) { WriteUnitsBlock(out, c.distance, c.angle, s); }),
              std::string("$UNITS\n") + c.letters + "\n1\n\n");
  }
}

TEST(HeaderBlocks, EveryBlockReportsAFailingStream) {
  const Writer writers[] = {
      [](std::ostream& out, Status& s) { WriteDatumBlock(out, WorkingDatum{}, s); },
      [](std::ostream& out, Status& s) { WriteUnitsBlock(out, 1, 0, s); }, WriteDefaultsBlock,
      [](std::ostream& out, Status& s) { WriteStationTypeBlock(out, false, s); }};
  for (const Writer& writer : writers) {
    testing::FailingStream out(10);  // fills up part way through the block
    Status status = Status::kOk;
    writer(out, status);
    EXPECT_EQ(status, Status::kWriteError);
    EXPECT_EQ(out.written().size(), 10u);
    Written(writer);  // status is set again on entry: 0 on a good stream
  }
}

}  // namespace
}  // namespace trovisk
