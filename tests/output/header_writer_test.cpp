// The blocks at the head of the adjustment file, text for text.
#include "output/header_writer.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "output/failing_stream.h"

namespace trovisk {
namespace {

TEST(HeaderBlocks, DatumBlockWithTheDefaultDatum) {
  WorkingDatum datum;  // WGS 84
  std::ostringstream out;
  int status = -1;
  WriteDatumBlock(out, datum, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(out.str(),
            "! The data in this file will be associated with this Datum.\n"
            "$DATUM\n"
            "  WGS 84\n"
            "  6378137.0000\n"
            "  298.2572236\n"
            "\n");
}

TEST(HeaderBlocks, DatumBlockRoundsToItsDecimals) {
  WorkingDatum datum;
  datum.name = "Clarke 1866";
  datum.a = 6378206.4;
  datum.inverse_flattening = 294.9786982138982;
  std::ostringstream out;
  int status = -1;
  WriteDatumBlock(out, datum, status);
  EXPECT_EQ(out.str(),
            "! The data in this file will be associated with this Datum.\n"
            "$DATUM\n  Clarke 1866\n  6378206.4000\n  294.9786982\n\n");
}

TEST(HeaderBlocks, UnitsBlockLetters) {
  struct Case {
    int distance, angle;
    const char* text;
  } cases[] = {
      {0, 0, "$UNITS\nI\nD\n1\n\n"},  {1, 0, "$UNITS\nM\nD\n1\n\n"},
      {2, 0, "$UNITS\nU\nD\n1\n\n"},  {2, 1, "$UNITS\nU\nG\n1\n\n"},
      // Codes outside the table: metres, degrees.
      {7, 2, "$UNITS\nM\nD\n1\n\n"},  {-1, -1, "$UNITS\nM\nD\n1\n\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.distance << "/" << c.angle);
    std::ostringstream out;
    int status = -1;
    WriteUnitsBlock(out, c.distance, c.angle, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out.str(), c.text);
  }
}

TEST(HeaderBlocks, DefaultsBlockExactText) {
  std::ostringstream out;
  int status = -1;
  WriteDefaultsBlock(out, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(out.str(),
            "! Default observation SD's. Remove or change these to 0.0 to disable.\n"
            "! These values can be redefined or disabled anywhere in the file.\n"
            "$G_AZ_SD\n5.000\n\n"
            "$G_HOR_SD\n5.000\n\n"
            "$G_ZEN_SD\n5.000\n\n"
            "$G_CRD_SD\n0.00500\n\n"
            "! GPS Covariance Scaler. Set to 1.0 to disable.\n"
            "! This value can be redefined or disabled anywhere in the file.\n"
            "$S_XYZ_COV\n1.00000\n\n");
}

TEST(HeaderBlocks, StationTypeFollowsTheLocalSystemOption) {
  for (bool local : {true, false}) {
    SCOPED_TRACE(local);
    std::ostringstream out;
    int status = -1;
    WriteStationTypeBlock(out, local, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out.str(), local ? "$STATION_TYPE_FOR_OBS\n3D_NEU\n\n! 3D_GEO\n\n"
                               : "$STATION_TYPE_FOR_OBS\n3D_STATE\n\n! 3D_GEO\n\n");
  }
}

TEST(HeaderBlocks, EveryBlockReportsAFailingStream) {
  using Writer = std::function<void(std::ostream&, int&)>;
  const Writer writers[] = {
      [](std::ostream& out, int& status) { WriteDatumBlock(out, WorkingDatum{}, status); },
      [](std::ostream& out, int& status) { WriteUnitsBlock(out, 1, 0, status); },
      [](std::ostream& out, int& status) { WriteDefaultsBlock(out, status); },
      [](std::ostream& out, int& status) { WriteStationTypeBlock(out, false, status); },
  };
  for (std::size_t i = 0; i < std::size(writers); ++i) {
    SCOPED_TRACE(i);
    // A device that fills up part way through the block.
    testing::FailingStream out(10);
    int status = 0;
    writers[i](out, status);
    EXPECT_EQ(status, 1001);
    EXPECT_EQ(out.written().size(), 10u);
    // A good stream afterwards gives status 0 again: it is set on entry.
    std::ostringstream good;
    writers[i](good, status);
    EXPECT_EQ(status, 0);
  }
}

}  // namespace
}  // namespace trovisk
