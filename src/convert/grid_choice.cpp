// The grid is identified by its fit: every system whose area of use holds
// the job is tried on the points the collector stored both ways, and a
// system that puts them all within 5 mm of their grid coordinates is the
// job's grid; failing that, one that does so once moved by a common offset
// of a few metres, which is the same grid to the job.
#include "convert/grid_choice.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>
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
// The largest common offset taken as the same grid moved (metres): an
// uncorrected base position is a few metres off; other grids are kilometres.
constexpr double kMostShift = 25.0;
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

// How a system's grid coordinates of the points differ from the
// collector's: the largest distance as they stand, and after the mean offset
// is taken out, a grid moved by one offset being the same grid to a surveyor.
struct Misfit {
  double worst = HUGE_VAL;   // metres
  double shift_north = 0.0;  // the mean offset, collector's minus the system's
  double shift_east = 0.0;
  double worst_shifted = HUGE_VAL;
  std::size_t within = 0;  // points the system puts within the tolerance as it stands
};

Misfit MisfitOf(const GridProjection& projection, const std::vector<BothWays>& points) {
  std::vector<std::pair<double, double>> offsets;
  offsets.reserve(points.size());
  Misfit m;
  for (const BothWays& p : points) {
    double east = 0.0;
    double north = 0.0;
    GridForward(projection, p.latitude, p.longitude, east, north);
    offsets.emplace_back(p.north - north, p.east - east);
    m.shift_north += offsets.back().first;
    m.shift_east += offsets.back().second;
  }
  if (offsets.empty()) return {0.0, 0.0, 0.0, 0.0, 0};
  m.shift_north /= static_cast<double>(offsets.size());
  m.shift_east /= static_cast<double>(offsets.size());
  m.worst = m.worst_shifted = 0.0;
  for (const auto& [north, east] : offsets) {
    m.worst = std::max(m.worst, std::hypot(north, east));
    if (std::hypot(north, east) <= kGridFitTolerance) ++m.within;
    m.worst_shifted =
        std::max(m.worst_shifted, std::hypot(north - m.shift_north, east - m.shift_east));
  }
  if (!std::isfinite(m.worst) || !std::isfinite(m.worst_shifted)) return {};
  return m;
}

bool FitsAsItStands(const Misfit& m) { return m.worst <= kGridFitTolerance; }

bool FitsMoved(const Misfit& m) {
  return m.worst_shifted <= kGridFitTolerance &&
         std::hypot(m.shift_north, m.shift_east) <= kMostShift;
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
  Misfit misfit;
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

// The chosen grid moved onto the collector's when only a common offset
// parts them, and what is said of the fit: ": it reproduces ...".
std::string Settle(GridChoice& choice, const std::vector<BothWays>& points,
                   int distance_unit_code) {
  const Misfit m = MisfitOf(choice.projection, points);
  std::string fit = "reproduces the collector's grid coordinates of ";
  fit.append(std::to_string(points.size())).append(" points to ");
  if (FitsAsItStands(m) || !FitsMoved(m)) {
    return ": it " + fit.append(FitText(m.worst, distance_unit_code));
  }
  choice.projection.shift_north = m.shift_north;
  choice.projection.shift_east = m.shift_east;
  const double factor = DistanceUnitFactor(distance_unit_code);
  const char* symbol = DistanceUnitSymbol(distance_unit_code);
  char moved[128];
  std::snprintf(moved, sizeof moved, ", moved by %.4f %s north and %.4f %s east",
                m.shift_north * factor, symbol, m.shift_east * factor, symbol);
  return std::string(moved)
      .append(
          " (the collector's grid is shifted, as when a base stands on an uncorrected "
          "position): it then ")
      .append(fit)
      .append(FitText(m.worst_shifted, distance_unit_code));
}

}  // namespace

GridChoice ChooseGrid(const StationList& stations, int requested_code, int distance_unit_code,
                      const std::string& input_name, UserInterface& ui) {
  const std::vector<BothWays> points = PointsGivenBothWays(stations);
  const std::vector<BothWays> tried = Spread(points);
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
    if (points.empty()) {
      ui.Inform(text);
      return choice;
    }
    const Misfit m = MisfitOf(choice.projection, points);
    if (!FitsAsItStands(m) && !FitsMoved(m)) {
      ui.Warn(text.append(", which misses the collector's grid coordinates of ")
                  .append(std::to_string(points.size()))
                  .append(" points by up to ")
                  .append(FitText(m.worst, distance_unit_code)));
      return choice;
    }
    ui.Inform(text.append(Settle(choice, points, distance_unit_code)));
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

  std::vector<Fit> exact;
  std::vector<Fit> moved;
  const GridSystem* nearest = nullptr;
  double nearest_misfit = HUGE_VAL;
  for (const GridSystem& system : GridSystems()) {
    if (!InAreaOfUse(system, latitude, longitude, kAreaMargin)) continue;
    const Misfit m = MisfitOf(PrepareGridProjection(system), tried);
    if (m.worst < nearest_misfit) {
      nearest_misfit = m.worst;
      nearest = &system;
    }
    if (FitsAsItStands(m)) exact.push_back({&system, m});
    if (!FitsAsItStands(m) && FitsMoved(m)) moved.push_back({&system, m});
  }
  std::vector<Fit>& fits = exact.empty() ? moved : exact;
  if (fits.empty()) {
    std::string text = prefix;
    text.append("no known grid reproduces the collector's grid coordinates of ")
        .append(std::to_string(points.size()))
        .append(" points to ")
        .append(LengthText(kGridFitTolerance, distance_unit_code));
    if (nearest != nullptr && std::isfinite(nearest_misfit)) {
      const Misfit m = MisfitOf(PrepareGridProjection(*nearest), points);
      text.append(" (the nearest, ").append(CodeText(*nearest));
      if (m.within > 0) {
        text.append(", reproduces ").append(std::to_string(m.within)).append(" of them and");
      }
      text.append(" misses by up to ").append(LengthText(m.worst, distance_unit_code)).append(")");
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
    const double x_fit = exact.empty() ? x.misfit.worst_shifted : x.misfit.worst;
    const double y_fit = exact.empty() ? y.misfit.worst_shifted : y.misfit.worst;
    if (std::fabs(x_fit - y_fit) > kSameFit) return x_fit < y_fit;
    return false;
  });
  GridChoice choice = Chosen(*fits.front().system, points);
  std::string text = prefix;
  text.append("grid ")
      .append(CodeText(*choice.system))
      .append(" identified")
      .append(Settle(choice, points, distance_unit_code));
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
  // The middle by medians, which a few stray coordinates cannot drag away.
  std::vector<double> norths;
  std::vector<double> easts;
  std::vector<double> elevations;
  for (std::size_t i = 1; i < stations.size(); ++i) {
    const StationRecord& s = stations[i];
    if (!s.has_nee || s.merge_link != kNotMerged) continue;
    if (!std::isfinite(s.north) || !std::isfinite(s.east) || !std::isfinite(s.elevation)) continue;
    norths.push_back(s.north);
    easts.push_back(s.east);
    elevations.push_back(s.elevation);
  }
  if (norths.empty()) return 1.0;
  auto median = [](std::vector<double>& values) {
    auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
  };
  LocalFrame frame;
  frame.a = grid.projection.a;
  frame.e2 = grid.projection.e2;
  frame.grid = &grid.projection;
  frame.separations = &grid.separations;
  return GridFactorAt(frame, median(norths), median(easts), median(elevations));
}

}  // namespace trovisk
