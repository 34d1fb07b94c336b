// Realistic RW5 raw data files: setups, traverses, sideshots, direction sets
// and GPS sessions over a surveyed area whose true coordinates are known.
#include "rw5_generator.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <random>
#include <sstream>
#include <unordered_map>

namespace trovisk::bench {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kDegreesPerRadian = 180.0 / kPi;
// WGS 84: the ellipsoid the GPS positions and vectors of the file are on.
constexpr double kSemiMajorAxis = 6378137.0;
constexpr double kEccentricitySquared = 0.0066943799901413165;
constexpr double kIntlFeetPerMetre = 3.28083989501312;
constexpr double kUsSurveyFeetPerMetre = 3.28083333333333;

// Layout of the surveyed area: the traverse runs along east-west lanes and
// turns north at the end of each one, so that areas never overlap.
constexpr double kLaneLength = 5000.0;  // metres
constexpr double kLaneSpacing = 500.0;
constexpr double kMinimumClearance = 1.0;  // between any two distinct points
constexpr double kIndexCell = 2.0;         // spatial index cell, >= the clearance

struct Ecef {
  double x = 0.0, y = 0.0, z = 0.0;
};

struct Geodetic {
  double latitude = 0.0, longitude = 0.0, height = 0.0;  // radians, metres
};

struct Point {
  double north = 0.0, east = 0.0, elevation = 0.0;  // metres
};

Ecef GeodeticToEcef(const Geodetic& g) {
  double sin_lat = std::sin(g.latitude);
  double nv = kSemiMajorAxis / std::sqrt(1.0 - kEccentricitySquared * sin_lat * sin_lat);
  double r = (nv + g.height) * std::cos(g.latitude);
  return {r * std::cos(g.longitude), r * std::sin(g.longitude),
          ((1.0 - kEccentricitySquared) * nv + g.height) * sin_lat};
}

Geodetic EcefToGeodetic(const Ecef& c) {
  double p = std::hypot(c.x, c.y);
  Geodetic g;
  g.longitude = std::atan2(c.y, c.x);
  g.latitude = std::atan2(c.z, p * (1.0 - kEccentricitySquared));
  for (int i = 0; i < 20; ++i) {
    double sin_lat = std::sin(g.latitude);
    double nv = kSemiMajorAxis / std::sqrt(1.0 - kEccentricitySquared * sin_lat * sin_lat);
    g.height = p / std::cos(g.latitude) - nv;
    g.latitude = std::atan2(c.z, p * (1.0 - kEccentricitySquared * nv / (nv + g.height)));
  }
  double sin_lat = std::sin(g.latitude);
  double nv = kSemiMajorAxis / std::sqrt(1.0 - kEccentricitySquared * sin_lat * sin_lat);
  g.height = p / std::cos(g.latitude) - nv;
  return g;
}

// Unit vector of the ellipsoid normal (local up) at a position.
Ecef Normal(const Geodetic& g) {
  return {std::cos(g.latitude) * std::cos(g.longitude),
          std::cos(g.latitude) * std::sin(g.longitude), std::sin(g.latitude)};
}

double PackedToDegrees(double packed) {
  double sign = packed < 0.0 ? -1.0 : 1.0;
  double v = std::fabs(packed) + 1e-12;
  double d = std::floor(v);
  double m = std::floor((v - d) * 100.0);
  double s = (v - d) * 10000.0 - m * 100.0;
  return sign * (d + m / 60.0 + s / 3600.0);
}

double NormalizeDegrees(double degrees) {
  double d = std::fmod(degrees, 360.0);
  return d < 0.0 ? d + 360.0 : d;
}

// Uniform doubles from the 64-bit engine itself: the library distributions
// differ between standard libraries, and the files must not.
class Random {
 public:
  explicit Random(std::uint64_t seed) : engine_(seed) {}
  double Uniform() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }
  double Uniform(double low, double high) { return low + (high - low) * Uniform(); }
  int Integer(int low, int high) {  // inclusive
    return low + static_cast<int>(engine_() % static_cast<std::uint64_t>(high - low + 1));
  }
  bool Chance(double probability) { return Uniform() < probability; }

 private:
  std::mt19937_64 engine_;
};

// Lines into a large buffer, stopping silently once the budget is used.
class LineSink {
 public:
  LineSink(std::ostream& out, std::int64_t budget) : out_(out), budget_(budget) {
    buffer_.reserve(kFlushSize + 1024);
  }
  ~LineSink() { Flush(); }

  bool Full() const { return written_ >= budget_; }
  std::int64_t lines() const { return written_; }
  std::int64_t bytes() const { return bytes_; }

#if defined(__GNUC__)
  __attribute__((format(printf, 2, 3)))
#endif
  bool
  Line(const char* format, ...) {
    if (Full()) return false;
    char line[512];
    va_list args;
    va_start(args, format);
    int length = std::vsnprintf(line, sizeof line - 2, format, args);
    va_end(args);
    if (length < 0) length = 0;
    if (length > static_cast<int>(sizeof line) - 3) length = static_cast<int>(sizeof line) - 3;
    buffer_.append(line, static_cast<std::size_t>(length));
    buffer_.append("\r\n");  // collectors write CR LF
    bytes_ += length + 2;
    ++written_;
    if (buffer_.size() >= kFlushSize) Flush();
    return true;
  }

  void Flush() {
    out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
  }

 private:
  static constexpr std::size_t kFlushSize = 1 << 20;
  std::ostream& out_;
  std::int64_t budget_;
  std::int64_t written_ = 0;
  std::int64_t bytes_ = 0;
  std::string buffer_;
};

// Points by 2 m cell, so that a new point is checked against its neighbours only.
class SpatialIndex {
 public:
  void Add(const Point& p) {
    std::uint64_t key = Key(Cell(p.north), Cell(p.east));
    auto [it, inserted] = heads_.try_emplace(key, -1);
    next_.push_back(it->second);
    points_.push_back(p);
    it->second = static_cast<std::int32_t>(points_.size() - 1);
    (void)inserted;
  }

  bool IsClear(const Point& p, double clearance) const {
    std::int64_t cn = Cell(p.north), ce = Cell(p.east);
    for (std::int64_t dn = -1; dn <= 1; ++dn) {
      for (std::int64_t de = -1; de <= 1; ++de) {
        auto it = heads_.find(Key(cn + dn, ce + de));
        if (it == heads_.end()) continue;
        for (std::int32_t i = it->second; i >= 0; i = next_[static_cast<std::size_t>(i)]) {
          const Point& q = points_[static_cast<std::size_t>(i)];
          if (std::hypot(q.north - p.north, q.east - p.east) < clearance) return false;
        }
      }
    }
    return true;
  }

 private:
  static std::int64_t Cell(double v) {
    return static_cast<std::int64_t>(std::floor(v / kIndexCell));
  }
  static std::uint64_t Key(std::int64_t n, std::int64_t e) {
    return (static_cast<std::uint64_t>(n) << 32) ^ (static_cast<std::uint64_t>(e) & 0xffffffffULL);
  }
  std::unordered_map<std::uint64_t, std::int32_t> heads_;
  std::vector<std::int32_t> next_;
  std::vector<Point> points_;
};

const char* const kFeatureCodes[] = {"TREE",     "FENCE",    "CURB",   "EP",   "MH 1200",
                                     "IRON PIN", "BLDG COR", "GROUND", "POLE", "WALL"};

class Generator {
 public:
  Generator(const GeneratorOptions& options, std::ostream& out)
      : options_(options),
        sink_(out, options.record_count),
        random_(options.seed),
        factor_(options.distance_units == 0   ? kIntlFeetPerMetre
                : options.distance_units == 2 ? kUsSurveyFeetPerMetre
                                              : 1.0),
        grads_(options.angle_units == 1) {
    origin_ = {options.origin_north, options.origin_east, options.origin_elevation};
    origin_geodetic_ = {PackedToDegrees(options.origin_latitude) / kDegreesPerRadian,
                        PackedToDegrees(options.origin_longitude) / kDegreesPerRadian,
                        options.origin_height};
    origin_ecef_ = GeodeticToEcef(origin_geodetic_);
  }

  GeneratedSurvey Run() {
    WriteHeader();
    Point control{origin_.north + 12.0, origin_.east - 148.0,
                  Terrain(origin_.north + 12.0, origin_.east - 148.0)};
    AddPoint("CP1", control);
    if (sink_.Line("SP,PNCP1,N %.4f,E %.4f,EL%.4f,--CONTROL", Len(control.north), Len(control.east),
                   Len(control.elevation))) {
      Written("CP1");
    }
    info_.seed_name = TraverseName(next_traverse_);
    Point station = origin_;
    AddPoint(info_.seed_name, station);
    std::string backsight_name = "CP1";
    Point backsight = control;
    std::string name = info_.seed_name;
    while (!sink_.Full()) {
      Setup(name, station, backsight_name, backsight);
      Sideshots();
      if (random_.Chance(options_.gps_session_rate)) GpsSession();
      Point next = NextTraversePoint(station);
      std::string next_name = TraverseName(++next_traverse_);
      AddPoint(next_name, next);
      if (random_.Chance(options_.direction_set_rate)) {
        DirectionSets(next_name, next);
      } else {
        if (Shot("TR", next_name, next, "TRAV")) ++info_.traverse_legs;
      }
      backsight_name = name;
      backsight = station;
      name = next_name;
      station = next;
    }
    sink_.Flush();
    KeepWrittenTruth();
    info_.records = sink_.lines();
    info_.bytes = sink_.bytes();
    return std::move(info_);
  }

 private:
  double Len(double metres) const { return metres * factor_; }

  static std::string Numbered(const char* prefix, int number) {
    std::string name = prefix;
    name += std::to_string(number);
    return name;
  }
  static std::string TraverseName(int number) { return Numbered("T", number); }

  // A smooth terrain, equal to the origin's elevation at the origin.
  double Terrain(double north, double east) const {
    double dn = north - origin_.north, de = east - origin_.east;
    return origin_.elevation + 25.0 * std::sin(de / 700.0) + 15.0 * std::cos(dn / 900.0) - 15.0;
  }

  // Local north/east/elevation are a horizon plane at the origin: this is
  // how every position meets the ellipsoid.
  Ecef ToEcef(const Point& p) const {
    double e = p.east - origin_.east, n = p.north - origin_.north,
           u = p.elevation - origin_.elevation;
    double sl = std::sin(origin_geodetic_.latitude), cl = std::cos(origin_geodetic_.latitude);
    double so = std::sin(origin_geodetic_.longitude), co = std::cos(origin_geodetic_.longitude);
    return {-so * e - sl * co * n + cl * co * u + origin_ecef_.x,
            co * e - sl * so * n + cl * so * u + origin_ecef_.y, cl * n + sl * u + origin_ecef_.z};
  }

  void AddPoint(const std::string& name, const Point& p, bool index = true) {
    if (index) index_.Add(p);
    if (!options_.keep_truth) return;
    Geodetic g = EcefToGeodetic(ToEcef(p));
    truth_index_[name] = info_.truth.size();
    info_.truth.push_back({name, p.north, p.east, p.elevation, g.latitude, g.longitude, g.height});
    truth_written_.push_back(false);
  }

  // A line naming the point made it into the file: the point is part of the truth.
  void Written(const std::string& name) {
    auto it = truth_index_.find(name);
    if (it != truth_index_.end()) truth_written_[it->second] = true;
  }

  // Points placed for lines that did not fit the record count are dropped.
  void KeepWrittenTruth() {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < info_.truth.size(); ++i) {
      if (!truth_written_[i]) continue;
      if (kept != i) info_.truth[kept] = std::move(info_.truth[i]);
      ++kept;
    }
    info_.truth.resize(kept);
  }

  std::string Angle(double degrees) const {
    if (grads_) {
      char text[32];
      double gons = NormalizeDegrees(degrees) * 400.0 / 360.0;
      std::snprintf(text, sizeof text, "%.5f", gons >= 399.999995 ? 0.0 : gons);
      return text;
    }
    return FormatPackedDegrees(NormalizeDegrees(degrees), 1);
  }

  std::string Zenith(double degrees) const {
    if (grads_) {
      char text[32];
      std::snprintf(text, sizeof text, "%.5f", degrees * 400.0 / 360.0);
      return text;
    }
    return FormatPackedDegrees(degrees, 1);
  }

  void WriteHeader() {
    sink_.Line("JB,NMJOB%04llu,DT06-15-2024,TM07:30:00",
               static_cast<unsigned long long>(options_.seed % 10000));
    sink_.Line("MO,AD0,UN%d,SF1.00000000,EC0,EO0.0,AU%d", options_.distance_units,
               options_.angle_units);
    Note("Equipment: total station, EDM mode: fine, prism constant 0.0 mm");
    Note("Generated survey, seed %llu", static_cast<unsigned long long>(options_.seed));
  }

#if defined(__GNUC__)
  __attribute__((format(printf, 2, 3)))
#endif
  void
  Note(const char* format, ...) {
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (sink_.Line("--%s", text)) ++info_.notes;
  }

  void TimeNote() {
    minutes_ += random_.Integer(1, 9);
    Note("TM%02d:%02d:%02d", 7 + (minutes_ / 60) % 12, minutes_ % 60, random_.Integer(0, 59));
  }

  void Setup(const std::string& name, const Point& station, const std::string& backsight_name,
             const Point& backsight) {
    ++info_.setups;
    occupied_name_ = name;
    occupied_ = station;
    backsight_name_ = backsight_name;
    backsight_ = backsight;
    instrument_height_ = random_.Uniform(1.40, 1.70);
    target_height_ = random_.Uniform(1.50, 2.00);
    backsight_azimuth_ = Azimuth(station, backsight);
    circle_zero_ = random_.Chance(options_.oriented_circle_rate) ? backsight_azimuth_ : 0.0;
    if (sink_.Line("OC,OP%s,N %.4f,E %.4f,EL%.4f,--SETUP", name.c_str(), Len(station.north),
                   Len(station.east), Len(station.elevation))) {
      Written(name);
    }
    sink_.Line("LS,HI%.4f,HR%.4f", Len(instrument_height_), Len(target_height_));
    if (sink_.Line("BK,OP%s,BP%s,BS%s,BC%s", name.c_str(), backsight_name.c_str(),
                   Angle(backsight_azimuth_).c_str(), Angle(circle_zero_).c_str())) {
      ++info_.backsights;
    }
    if (random_.Chance(0.3)) TimeNote();
    setup_shots_.clear();
  }

  static double Azimuth(const Point& from, const Point& to) {
    return NormalizeDegrees(std::atan2(to.east - from.east, to.north - from.north) *
                            kDegreesPerRadian);
  }

  // One pointing from the occupied station: circle reading, zenith and slope
  // distance between instrument and target, face left or right.
  // False when the file is already complete.
  bool Shot(const char* code, const std::string& target_name, const Point& target, const char* note,
            bool face_right = false) {
    double hd = std::hypot(target.north - occupied_.north, target.east - occupied_.east);
    double dh = (target.elevation + target_height_) - (occupied_.elevation + instrument_height_);
    double reading = Azimuth(occupied_, target) - backsight_azimuth_ + circle_zero_;
    double zenith = std::atan2(hd, dh) * kDegreesPerRadian;
    if (face_right) {
      reading += 180.0;
      zenith = 360.0 - zenith;
    }
    if (!sink_.Line("%s,OP%s,FP%s,AR%s,ZE%s,SD%.4f,--%s", code, occupied_name_.c_str(),
                    target_name.c_str(), Angle(reading).c_str(), Zenith(zenith).c_str(),
                    Len(std::hypot(hd, dh)), note)) {
      return false;
    }
    Written(target_name);
    return true;
  }

  void Sideshots() {
    int count = random_.Integer(10, 40);
    for (int i = 0; i < count && !sink_.Full(); ++i) {
      if (random_.Chance(0.08)) {
        target_height_ = random_.Uniform(1.30, 2.50);
        sink_.Line("LS,HI%.4f,HR%.4f", Len(instrument_height_), Len(target_height_));
      }
      Point p;
      bool found = false;
      for (int attempt = 0; attempt < 10 && !found; ++attempt) {
        double bearing = random_.Uniform(0.0, 2.0 * kPi);
        double distance = random_.Uniform(5.0, 150.0);
        p.north = occupied_.north + distance * std::cos(bearing);
        p.east = occupied_.east + distance * std::sin(bearing);
        found = index_.IsClear(p, kMinimumClearance);
      }
      if (!found) continue;
      p.elevation = Terrain(p.north, p.east) + random_.Uniform(-1.5, 1.5);
      std::string name = std::to_string(next_shot_++);
      AddPoint(name, p);
      setup_shots_.push_back(p);
      if (Shot("SS", name, p, kFeatureCodes[random_.Integer(0, 9)])) ++info_.sideshots;
      if (random_.Chance(0.05)) Note("Check, see sketch %d", random_.Integer(1, 99));
    }
    if (!setup_shots_.empty() && random_.Chance(options_.check_shot_rate)) {
      // The same point shot again under a new name, a centimetre or two off:
      // what the station merge is there to catch.
      Point p = setup_shots_[static_cast<std::size_t>(
          random_.Integer(0, static_cast<int>(setup_shots_.size()) - 1))];
      p.north += random_.Uniform(-0.01, 0.01);
      p.east += random_.Uniform(-0.01, 0.01);
      p.elevation += random_.Uniform(-0.005, 0.005);
      std::string name = Numbered("CHK", next_check_++);
      AddPoint(name, p, false);
      if (Shot("SS", name, p, "CHECK")) ++info_.check_shots;
    }
  }

  // The next traverse station: along the lane, steered back to its centre
  // line, turning north at the lane's end.
  Point NextTraversePoint(const Point& from) {
    double lane_north = origin_.north + lane_ * kLaneSpacing;
    double lane_start = origin_.east + (lane_direction_ > 0.0 ? 0.0 : kLaneLength);
    double along = (from.east - lane_start) * lane_direction_;
    bool turning = along >= kLaneLength;
    Point next;
    for (int attempt = 0; attempt < 10; ++attempt) {
      double length = random_.Uniform(120.0, 280.0);
      double heading;  // radians from north
      if (turning) {
        heading = 0.0;  // northwards to the next lane
      } else {
        double steer = std::clamp((lane_north - from.north) / 400.0, -0.5, 0.5);
        heading =
            lane_direction_ * kPi / 2.0 - lane_direction_ * steer + random_.Uniform(-0.25, 0.25);
      }
      next.north = from.north + length * std::cos(heading);
      next.east = from.east + length * std::sin(heading);
      if (index_.IsClear(next, kMinimumClearance)) break;
    }
    if (turning && next.north >= lane_north + kLaneSpacing - 150.0) {
      ++lane_;
      lane_direction_ = -lane_direction_;
    }
    next.elevation = Terrain(next.north, next.east);
    return next;
  }

  // Two sets of directions to the backsight and the next station, in the
  // order BD, FD, FR, BR, with the collector's mean as a note.
  void DirectionSets(const std::string& next_name, const Point& next) {
    Note("Set Collection with Obs Order 123...321...");
    for (int set = 0; set < 2 && !sink_.Full(); ++set) {
      sink_.Line("LS,HI%.4f,HR%.4f", Len(instrument_height_), Len(target_height_));
      info_.direction_pointings +=
          Shot("BD", backsight_name_, backsight_, "") + Shot("FD", next_name, next, "") +
          Shot("FR", next_name, next, "", true) + Shot("BR", backsight_name_, backsight_, "", true);
    }
    double hd = std::hypot(next.north - occupied_.north, next.east - occupied_.east);
    double dh = (next.elevation + target_height_) - (occupied_.elevation + instrument_height_);
    Note("SS,OP%s,FP%s,AR%s,ZE%s,SD%.4f", occupied_name_.c_str(), next_name.c_str(),
         Angle(Azimuth(occupied_, next) - backsight_azimuth_).c_str(),
         Zenith(std::atan2(hd, dh) * kDegreesPerRadian).c_str(), Len(std::hypot(hd, dh)));
  }

  // A GPS base on the occupied station and rovers on new points around it:
  // vectors between antenna phase centres with their covariance.
  void GpsSession() {
    Note("GPS session, base %s", occupied_name_.c_str());
    Geodetic base = EcefToGeodetic(ToEcef(occupied_));
    double base_antenna = random_.Uniform(1.5, 2.0);
    double phase_offset = 0.1319;
    // As collectors write it: EL is the ellipsoidal height (metres) of the
    // antenna's phase centre; the antenna height and phase offset lead down to
    // the mark, whose grid coordinates follow in a "--GS" note.
    sink_.Line("BP,PN%s,LA%s,LN%s,EL%.4f,AG%.4f,PA%.4f,ATAPC,SRBASE,--", occupied_name_.c_str(),
               FormatPackedDegrees(base.latitude * kDegreesPerRadian, 6).c_str(),
               FormatPackedDegrees(base.longitude * kDegreesPerRadian, 6).c_str(),
               base.height + base_antenna + phase_offset, base_antenna, phase_offset);
    Note("GS,PN%s,N %.4f,E %.4f,EL%.4f,--Base", occupied_name_.c_str(), Len(occupied_.north),
         Len(occupied_.east), Len(occupied_.elevation));
    sink_.Line("AH,DCBASE,MA%.4f,ME0,RA%.4f", Len(base_antenna), Len(base_antenna + phase_offset));
    Ecef base_ecef = GeodeticToEcef(base);
    Ecef base_up = Normal(base);
    double base_ra = base_antenna + phase_offset;
    Ecef base_phase{base_ecef.x + base_ra * base_up.x, base_ecef.y + base_ra * base_up.y,
                    base_ecef.z + base_ra * base_up.z};
    int rovers = random_.Integer(3, 8);
    double rover_antenna = random_.Uniform(1.8, 2.2);
    for (int r = 0; r < rovers && !sink_.Full(); ++r) {
      Point p;
      bool found = false;
      for (int attempt = 0; attempt < 10 && !found; ++attempt) {
        double bearing = random_.Uniform(0.0, 2.0 * kPi);
        double distance = random_.Uniform(200.0, 2000.0);
        p.north = occupied_.north + distance * std::cos(bearing);
        p.east = occupied_.east + distance * std::sin(bearing);
        found = index_.IsClear(p, kMinimumClearance);
      }
      if (!found) continue;
      p.elevation = Terrain(p.north, p.east) + random_.Uniform(-1.0, 1.0);
      std::string name = Numbered("G", next_rover_++);
      AddPoint(name, p);
      if (r == 0 || random_.Chance(0.2)) {
        rover_antenna = random_.Uniform(1.8, 2.2);
        sink_.Line("AH,DCROVER,MA%.4f,ME0,RA%.4f", Len(rover_antenna),
                   Len(rover_antenna + phase_offset));
      }
      Geodetic rover = EcefToGeodetic(ToEcef(p));
      Ecef rover_ecef = GeodeticToEcef(rover);
      Ecef rover_up = Normal(rover);
      double rover_ra = rover_antenna + phase_offset;
      double dx = rover_ecef.x + rover_ra * rover_up.x - base_phase.x;
      double dy = rover_ecef.y + rover_ra * rover_up.y - base_phase.y;
      double dz = rover_ecef.z + rover_ra * rover_up.z - base_phase.z;
      if (sink_.Line("BL,DC0,PN%s,DX%.4f,DY%.4f,DZ%.4f,--,GM0,CL0,HP0.0100,VP0.0200", name.c_str(),
                     Len(dx), Len(dy), Len(dz))) {
        Written(name);
        ++info_.gps_vectors;
      }
      // A positive definite covariance: standard deviations of 3 to 15 mm
      // and correlations within +-0.3.
      double sx = random_.Uniform(0.003, 0.015), sy = random_.Uniform(0.003, 0.015),
             sz = random_.Uniform(0.005, 0.015);
      double rxy = random_.Uniform(-0.3, 0.3), rxz = random_.Uniform(-0.3, 0.3),
             ryz = random_.Uniform(-0.3, 0.3);
      double f2 = factor_ * factor_;
      sink_.Line("CV,DC0,SV%d,SC1.0,XX%.10f,XY%.10f,XZ%.10f,YY%.10f,YZ%.10f,ZZ%.10f",
                 random_.Integer(6, 14), sx * sx * f2, rxy * sx * sy * f2, rxz * sx * sz * f2,
                 sy * sy * f2, ryz * sy * sz * f2, sz * sz * f2);
      Note("GS,PN%s,N %.4f,E %.4f,EL%.4f,--", name.c_str(), Len(p.north), Len(p.east),
           Len(p.elevation));
    }
  }

  const GeneratorOptions& options_;
  LineSink sink_;
  Random random_;
  double factor_;  // file length units per metre
  bool grads_;
  GeneratedSurvey info_;
  SpatialIndex index_;
  std::unordered_map<std::string, std::size_t> truth_index_;  // with keep_truth
  std::vector<bool> truth_written_;
  Point origin_;
  Geodetic origin_geodetic_;
  Ecef origin_ecef_;

  std::string occupied_name_;
  Point occupied_;
  double instrument_height_ = 1.5;
  double target_height_ = 1.8;
  double backsight_azimuth_ = 0.0;  // degrees
  double circle_zero_ = 0.0;        // circle reading on the backsight, degrees
  std::vector<Point> setup_shots_;
  std::string backsight_name_;
  Point backsight_;

  int next_traverse_ = 1;
  int next_shot_ = 1000;
  int next_rover_ = 1;
  int next_check_ = 1;
  int lane_ = 0;
  double lane_direction_ = 1.0;  // +1 eastwards, -1 westwards
  int minutes_ = 30;
};

}  // namespace

std::string FormatPackedDegrees(double degrees, int second_decimals) {
  second_decimals = std::clamp(second_decimals, 0, 9);
  long long scale = 1;
  for (int i = 0; i < second_decimals; ++i) scale *= 10;
  bool negative = degrees < 0.0;
  long long units = std::llround(std::fabs(degrees) * 3600.0 * static_cast<double>(scale));
  long long whole_seconds = units / scale;
  long long fraction = units % scale;
  long long d = whole_seconds / 3600;
  long long m = (whole_seconds / 60) % 60;
  long long s = whole_seconds % 60;
  char text[96];
  if (second_decimals > 0) {
    std::snprintf(text, sizeof text, "%s%lld.%02lld%02lld%0*lld", negative && units ? "-" : "", d,
                  m, s, second_decimals, fraction);
  } else {
    std::snprintf(text, sizeof text, "%s%lld.%02lld%02lld", negative && units ? "-" : "", d, m, s);
  }
  return text;
}

GeneratedSurvey GenerateRw5(const GeneratorOptions& options, std::ostream& out) {
  Generator generator(options, out);
  return generator.Run();
}

std::string GenerateRw5String(const GeneratorOptions& options, GeneratedSurvey* info) {
  std::ostringstream out;
  GeneratedSurvey survey = GenerateRw5(options, out);
  if (info != nullptr) *info = std::move(survey);
  return out.str();
}

}  // namespace trovisk::bench
