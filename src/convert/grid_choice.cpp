// The grid is identified by its fit: every system whose area of use holds
// the job is tried on the points the collector stored both ways, and a
// system that puts them all within 5 mm of their grid coordinates is the
// job's grid.
#include "convert/grid_choice.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "geodesy/constants.h"
#include "geodesy/local_frame.h"
#include "geodesy/unit_text.h"

namespace trovisk {
namespace {

// Points tried on each candidate: enough to tell grids apart, spread over
// the whole job, and few enough that a million-point job stays quick.
constexpr std::size_t kMostTriedPoints = 64;
// The job lies in a system's area of use when its middle lies within this
// of the area (radians, about 10 km): areas of use are drawn loosely.
constexpr double kAreaMargin = 0.0016;
// Fits closer than this to each other are equally good (metres).
constexpr double kSameFit = 0.0001;
// Other fitting grids named in the message.
constexpr std::size_t kMostNamedAlternatives = 3;

struct BothWays {
  double latitude, longitude, height;
  double north, east, elevation;
};

std::vector<BothWays> PointsGivenBothWays(const StationList& stations) {
  std::vector<BothWays> points;
  for (std::size_t i = 1; i < stations.size(); ++i) {
    const StationRecord& s = stations[i];
    if (!s.has_geodetic || !s.has_nee || !s.nee_from_grid_note || s.merge_link != kNotMerged) {
      continue;
    }
    const BothWays p{s.latitude, s.longitude, s.height, s.north, s.east, s.elevation};
    if (std::isfinite(p.latitude) && std::isfinite(p.longitude) && std::isfinite(p.north) &&
        std::isfinite(p.east)) {
      points.push_back(p);
    }
  }
  return points;
}

// Evenly spread points of the job, at most kMostTriedPoints.
std::vector<BothWays> Spread(const std::vector<BothWays>& points) {
  if (points.size() <= kMostTriedPoints) return points;
  std::vector<BothWays> tried;
  for (std::size_t k = 0; k < kMostTriedPoints; ++k) {
    tried.push_back(points[k * (points.size() - 1) / (kMostTriedPoints - 1)]);
  }
  return tried;
}

// The largest distance between a point's grid coordinates and those the
// system gives its latitude and longitude (metres); stops early past `give_up`.
double WorstMisfit(const GridProjection& projection, const std::vector<BothWays>& points,
                   double give_up) {
  double worst = 0.0;
  for (const BothWays& p : points) {
    double east = 0.0;
    double north = 0.0;
    GridForward(projection, p.latitude, p.longitude, east, north);
    const double misfit = std::hypot(north - p.north, east - p.east);
    if (!(misfit <= give_up)) return std::isnan(misfit) ? HUGE_VAL : misfit;
    worst = std::max(worst, misfit);
  }
  return worst;
}

// A fit to the tenth of a millimetre, in the job's unit: "0.0001 m".
std::string FitText(double metres, int distance_unit_code) {
  char text[64];
  std::snprintf(text, sizeof text, "%.4f %s", metres * DistanceUnitFactor(distance_unit_code),
                DistanceUnitSymbol(distance_unit_code));
  return text;
}

std::string CodeText(const GridSystem& system) {
  std::string text = "EPSG:";
  text.append(std::to_string(system.code)).append(" (").append(system.name).append(")");
  return text;
}

// The grid's unit as the job's unit code, -1 when the job has no such unit.
int UnitCodeOf(const GridSystem& system) {
  constexpr double kSameUnit = 1e-9;
  if (std::fabs(system.unit - 1.0) < kSameUnit) return kUnitMetres;
  if (std::fabs(system.unit * kIntlFeetPerMetre - 1.0) < kSameUnit) return kUnitInternationalFeet;
  if (std::fabs(system.unit * kUsSurveyFeetPerMetre - 1.0) < kSameUnit) return kUnitUsSurveyFeet;
  return -1;
}

struct Fit {
  const GridSystem* system;
  double misfit;
};

GridChoice Chosen(const GridSystem& system, const std::vector<BothWays>& points) {
  GridChoice choice;
  choice.system = &system;
  choice.projection = PrepareGridProjection(system);
  for (const BothWays& p : points) {
    if (std::isfinite(p.height) && std::isfinite(p.elevation)) {
      choice.separations.Add(p.latitude, p.longitude, p.height - p.elevation);
    }
  }
  return choice;
}

}  // namespace

GridChoice ChooseGrid(const StationList& stations, int requested_code, int distance_unit_code,
                      const std::string& input_name, UserInterface& ui) {
  const std::vector<BothWays> points = PointsGivenBothWays(stations);
  const std::vector<BothWays> tried = Spread(points);
  const std::string count = std::to_string(points.size());
  const std::string prefix = input_name + ": ";

  if (requested_code != 0) {
    const GridSystem* system = FindGridSystem(requested_code);
    if (system == nullptr) {
      ui.Warn(prefix + "EPSG:" + std::to_string(requested_code) +
              " is no projected grid this program knows; north and east are taken as a plane at "
              "the seed");
      return {};
    }
    GridChoice choice = Chosen(*system, points);
    std::string text = prefix;
    text.append("grid ").append(CodeText(*system));
    if (!tried.empty()) {
      const double misfit = WorstMisfit(choice.projection, points, HUGE_VAL);
      text.append(misfit <= kGridFitTolerance ? ", which reproduces" : ", which misses")
          .append(" the collector's grid coordinates of ")
          .append(count)
          .append(" points by up to ")
          .append(FitText(misfit, distance_unit_code));
      if (misfit > kGridFitTolerance) {
        ui.Warn(text);
        return choice;
      }
    }
    ui.Inform(text);
    return choice;
  }

  if (tried.empty()) return {};
  // The job's middle, by its points' mean position.
  double latitude = 0.0;
  double longitude = 0.0;
  for (const BothWays& p : tried) {
    latitude += p.latitude;
    longitude += p.longitude;
  }
  latitude /= static_cast<double>(tried.size());
  longitude /= static_cast<double>(tried.size());

  std::vector<Fit> fits;
  const GridSystem* nearest = nullptr;
  double nearest_misfit = HUGE_VAL;
  for (const GridSystem& system : GridSystems()) {
    if (!InAreaOfUse(system, latitude, longitude, kAreaMargin)) continue;
    // Past the tolerance and the best so far, a grid is neither a fit nor the nearest.
    const double give_up = std::max(kGridFitTolerance, std::min(nearest_misfit, 1.0e6));
    const double misfit = WorstMisfit(PrepareGridProjection(system), tried, give_up);
    if (misfit < nearest_misfit) {
      nearest_misfit = misfit;
      nearest = &system;
    }
    if (misfit <= kGridFitTolerance) fits.push_back({&system, misfit});
  }
  if (fits.empty()) {
    std::string text = prefix;
    text.append("no known grid reproduces the collector's grid coordinates of ")
        .append(count)
        .append(" points to ")
        .append(LengthText(kGridFitTolerance, distance_unit_code));
    if (nearest != nullptr && nearest_misfit < 1.0e6) {
      text.append(" (the nearest, ")
          .append(CodeText(*nearest))
          .append(", misses by ")
          .append(LengthText(nearest_misfit, distance_unit_code))
          .append(")");
    }
    ui.Inform(text.append("; north and east are taken as a plane at the seed"));
    return {};
  }
  // Of the grids that fit, the one in the job's unit, then the closest fit,
  // then the lowest code.
  std::stable_sort(fits.begin(), fits.end(), [&](const Fit& x, const Fit& y) {
    const bool x_unit = UnitCodeOf(*x.system) == distance_unit_code;
    const bool y_unit = UnitCodeOf(*y.system) == distance_unit_code;
    if (x_unit != y_unit) return x_unit;
    if (std::fabs(x.misfit - y.misfit) > kSameFit) return x.misfit < y.misfit;
    return false;
  });
  GridChoice choice = Chosen(*fits.front().system, points);
  const double misfit = WorstMisfit(choice.projection, points, HUGE_VAL);
  std::string text = prefix;
  text.append("grid ")
      .append(CodeText(*choice.system))
      .append(" identified: it reproduces the collector's grid coordinates of ")
      .append(count)
      .append(" points to ")
      .append(FitText(misfit, distance_unit_code));
  if (fits.size() > 1) {
    text.append("; these fit as well:");
    for (std::size_t k = 1; k < fits.size() && k <= kMostNamedAlternatives; ++k) {
      text.append(" EPSG:").append(std::to_string(fits[k].system->code));
    }
    if (fits.size() > kMostNamedAlternatives + 1) text.append(" and more");
  }
  ui.Inform(text);
  return choice;
}

double GroundToGridFactor(const GridChoice& grid, const StationList& stations) {
  if (grid.system == nullptr) return 1.0;
  double north = 0.0;
  double east = 0.0;
  double elevation = 0.0;
  std::size_t count = 0;
  for (std::size_t i = 1; i < stations.size(); ++i) {
    const StationRecord& s = stations[i];
    if (!s.has_nee || s.merge_link != kNotMerged) continue;
    if (!std::isfinite(s.north) || !std::isfinite(s.east) || !std::isfinite(s.elevation)) continue;
    north += s.north;
    east += s.east;
    elevation += s.elevation;
    ++count;
  }
  if (count == 0) return 1.0;
  const double n = static_cast<double>(count);
  LocalFrame frame;
  frame.a = grid.projection.a;
  frame.e2 = grid.projection.e2;
  frame.grid = &grid.projection;
  frame.separations = &grid.separations;
  return GridFactorAt(frame, north / n, east / n, elevation / n);
}

}  // namespace trovisk
