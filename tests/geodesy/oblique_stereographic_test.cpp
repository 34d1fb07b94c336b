// Oblique stereographic grids checked against PROJ's sterea around each
// origin, by round trips, and by the New Brunswick grid coordinates a data
// collector stored beside its GNSS positions.
#include "geodesy/oblique_stereographic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "geodesy/angles.h"
#include "geodesy/projection_checks.h"

namespace trovisk {
namespace {

using testing::GroundGap;
using testing::kHundredthMillimetre;
using testing::kTenthMillimetre;
using testing::Point;

constexpr double kPi = std::numbers::pi;

double Rad(double degrees) { return degrees * kPi / 180.0; }

struct GridCase {
  const char* name;
  double a, inverse_flattening;
  double lat0_deg, lon0_deg, k0, false_easting, false_northing;
  ObliqueStereographicGrid Grid() const {
    const double f = 1.0 / inverse_flattening;
    return {a, f * (2.0 - f), Rad(lat0_deg), Rad(lon0_deg), k0, false_easting, false_northing};
  }
  std::string ProjString() const {
    std::ostringstream s;
    s.precision(17);
    s << "+proj=sterea +a=" << a << " +rf=" << inverse_flattening << " +lat_0=" << lat0_deg
      << " +lon_0=" << lon0_deg << " +k=" << k0 << " +x_0=" << false_easting
      << " +y_0=" << false_northing;
    return s.str();
  }
};

constexpr double kGrs80A = 6378137.0;
constexpr double kGrs80InverseFlattening = 298.257222101;

const GridCase kNewBrunswick = {"New Brunswick, GRS 80",
                                kGrs80A,
                                kGrs80InverseFlattening,
                                46.5,
                                -66.5,
                                0.999912,
                                2500000.0,
                                7500000.0};

const GridCase kGrids[] = {
    kNewBrunswick,
    {"Netherlands, Bessel", 6377397.155, 299.1528128, 52.15616055555555, 5.38763888888889,
     0.9999079, 155000.0, 463000.0},
    {"Prince Edward Island, GRS 80", kGrs80A, kGrs80InverseFlattening, 47.25, -63.0, 0.999912,
     400000.0, 800000.0},
    {"southern origin, International 1924", 6378388.0, 297.0, -33.5, 151.0, 1.0, 100000.0,
     200000.0},
    {"origin on the equator, WGS 84", 6378137.0, 298.257223563, 0.0, 30.0, 0.9999, 0.0, 0.0},
};

// A 9 by 9 spread within 2 degrees of the origin, edges included.
std::vector<Point> AroundOrigin(const GridCase& g) {
  std::vector<Point> points;
  for (int i = -4; i <= 4; ++i) {
    for (int j = -4; j <= 4; ++j) {
      points.push_back({Rad(g.lat0_deg + 0.5 * i), Rad(g.lon0_deg + 0.5 * j)});
    }
  }
  return points;
}

TEST(ObliqueStereographic, OriginMapsToTheFalseEastingAndNorthing) {
  for (const GridCase& g : kGrids) {
    SCOPED_TRACE(g.name);
    const ObliqueStereographicSphere sphere = PrepareObliqueStereographic(g.Grid());
    double e = 0.0, n = 0.0, lat = 1.0, lon = 1.0;
    ObliqueStereographicForward(sphere, Rad(g.lat0_deg), Rad(g.lon0_deg), e, n);
    EXPECT_NEAR(e, g.false_easting, kHundredthMillimetre);
    EXPECT_NEAR(n, g.false_northing, kHundredthMillimetre);
    ObliqueStereographicReverse(sphere, g.false_easting, g.false_northing, lat, lon);
    EXPECT_LT(GroundGap(g.a, Rad(g.lat0_deg), Rad(g.lon0_deg), lat, lon), kHundredthMillimetre);
  }
}

TEST(ObliqueStereographic, RoundTripReturnsThePoint) {
  for (const GridCase& g : kGrids) {
    SCOPED_TRACE(g.name);
    const ObliqueStereographicSphere sphere = PrepareObliqueStereographic(g.Grid());
    testing::ExpectRoundTrips(
        g.a, AroundOrigin(g),
        [&](double lat, double lon, double& e, double& n) {
          ObliqueStereographicForward(sphere, lat, lon, e, n);
        },
        [&](double e, double n, double& lat, double& lon) {
          ObliqueStereographicReverse(sphere, e, n, lat, lon);
        });
  }
}

#ifdef TROVISK_HAVE_PROJ
TEST(ObliqueStereographic, AgreesWithProjAroundTheOrigin) {
  for (const GridCase& g : kGrids) {
    SCOPED_TRACE(g.name);
    const ProjOracle proj(g.ProjString());
    ASSERT_TRUE(proj.Ready());
    const ObliqueStereographicSphere sphere = PrepareObliqueStereographic(g.Grid());
    testing::ExpectAgreesWithProj(
        proj, g.a, AroundOrigin(g),
        [&](double lat, double lon, double& e, double& n) {
          ObliqueStereographicForward(sphere, lat, lon, e, n);
        },
        [&](double e, double n, double& lat, double& lon) {
          ObliqueStereographicReverse(sphere, e, n, lat, lon);
        });
  }
}
#else
TEST(ObliqueStereographic, AgreesWithProjAroundTheOrigin) { GTEST_SKIP() << "PROJ not found"; }
#endif

// A GNSS position (packed DD.MMSSsss, west negative) and the grid north and
// east the collector stored for it on the next line, in metres.
struct StoredFix {
  int line;
  double lat_packed, lon_packed;
  double north, east;
};

// The value glued to a field's prefix ("LA47.47" -> 47.47) in a comma list.
bool FieldValue(const std::string& line, const std::string& prefix, double& value) {
  std::istringstream fields(line);
  std::string field;
  while (std::getline(fields, field, ',')) {
    if (field.rfind(prefix, 0) == 0) {
      value = std::strtod(field.c_str() + prefix.size(), nullptr);
      return true;
    }
  }
  return false;
}

std::vector<StoredFix> ReadStoredFixes(const std::filesystem::path& file) {
  std::vector<StoredFix> fixes;
  std::ifstream in(file);
  std::string line, previous;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    StoredFix fix{number, 0.0, 0.0, 0.0, 0.0};
    if (line.rfind("--GS,", 0) == 0 && previous.rfind("GPS,", 0) == 0 &&
        FieldValue(previous, "LA", fix.lat_packed) && FieldValue(previous, "LN", fix.lon_packed) &&
        FieldValue(line, "N ", fix.north) && FieldValue(line, "E ", fix.east)) {
      fixes.push_back(fix);
    }
    previous = line;
  }
  return fixes;
}

std::filesystem::path CorpusDir() {
  if (const char* dir = std::getenv("TROVISK_CORPUS_DIR")) return dir;
  return TROVISK_CORPUS_DIR;
}

TEST(ObliqueStereographic, NewBrunswickGridMatchesTheCollectorsStoredCoordinates) {
  const std::filesystem::path file = CorpusDir() / "jl-24163AT250529.rw5";
  if (!std::filesystem::exists(file)) GTEST_SKIP() << file << " absent";
  const std::vector<StoredFix> fixes = ReadStoredFixes(file);
  ASSERT_FALSE(fixes.empty());
  const ObliqueStereographicSphere sphere = PrepareObliqueStereographic(kNewBrunswick.Grid());
  for (const StoredFix& fix : fixes) {
    SCOPED_TRACE("line " + std::to_string(fix.line));
    double e = 0.0, n = 0.0;
    ObliqueStereographicForward(sphere, DmsToRadians(fix.lat_packed), DmsToRadians(fix.lon_packed),
                                e, n);
    EXPECT_NEAR(n, fix.north, kTenthMillimetre);
    EXPECT_NEAR(e, fix.east, kTenthMillimetre);
  }
}

}  // namespace
}  // namespace trovisk
