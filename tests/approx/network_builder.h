// Builds survey data whose observations are exact, computed from stations of
// known true coordinates, so that computed coordinates can be compared with
// the truth.
#pragma once

#include <cmath>
#include <map>
#include <string>

#include "geodesy/constants.h"
#include "geodesy/ellipsoid.h"
#include "geodesy/local_frame.h"
#include "rw5/survey_data.h"

namespace trovisk::testing {

class NetworkBuilder {
 public:
  struct Truth {
    double north = 0.0;
    double east = 0.0;
    double elevation = 0.0;
  };

  // The frame in which GPS vectors are generated and in which local and
  // geodetic coordinates correspond.
  explicit NetworkBuilder(const LocalFrame& frame) : frame_(frame) {}

  // A station of the survey with its true coordinates (metres); the data
  // only learns of it through observations unless it is made known.
  int Station(const std::string& name, double north, double east, double elevation) {
    truth_[name] = {north, east, elevation};
    return data_.stations.FindOrAdd(name, kUnitMetres);
  }
  void KnownLocal(const std::string& name) {
    StationRecord& s = Record(name);
    const Truth& t = truth_.at(name);
    s.north = t.north;
    s.east = t.east;
    s.elevation = t.elevation;
    s.has_nee = true;
  }
  void KnownGeodetic(const std::string& name) {
    StationRecord& s = Record(name);
    const Truth& t = truth_.at(name);
    LocalToGeodetic(frame_, t.north, t.east, t.elevation, s.latitude, s.longitude, s.height);
    s.has_geodetic = true;
  }

  // A horizontal angle at `at` from `backsight` to `foresight`, with zenith
  // and slope distance unless `with_distance` is false.
  ObservationRecord& Angle(const std::string& at, const std::string& backsight,
                           const std::string& foresight, bool with_distance = true) {
    ObservationRecord& o = Add(ObservationKind::kHorizontalAngle, "SS", at, foresight);
    o.backsight = Index(backsight);
    double angle = Azimuth(at, foresight) - Azimuth(at, backsight);
    o.horizontal_angle = angle < 0.0 ? angle + kTwoPi : angle;
    if (with_distance) Pointing(o, at, foresight);
    return o;
  }
  // An azimuth observation, with zenith and slope distance unless told otherwise.
  ObservationRecord& AzimuthTo(const std::string& from, const std::string& to,
                               bool with_distance = true, const char* code = "SS") {
    ObservationRecord& o = Add(ObservationKind::kAzimuth, code, from, to);
    o.azimuth = Azimuth(from, to);
    if (with_distance) Pointing(o, from, to);
    return o;
  }
  ObservationRecord& ZenithAndDistance(const std::string& from, const std::string& to) {
    ObservationRecord& o = Add(ObservationKind::kZenithDistance, "SS", from, to);
    Pointing(o, from, to);
    return o;
  }
  ObservationRecord& HorizontalDistance(const std::string& from, const std::string& to) {
    ObservationRecord& o = Add(ObservationKind::kHorizontalDistance, "SS", from, to);
    o.horizontal_distance = PlaneDistance(from, to);
    return o;
  }
  ObservationRecord& HeightDifference(const std::string& from, const std::string& to) {
    ObservationRecord& o = Add(ObservationKind::kHeightDifference, "SS", from, to);
    o.height_difference = truth_.at(to).elevation - truth_.at(from).elevation;
    return o;
  }
  // An earth-centred vector between the true positions of two stations.
  ObservationRecord& Gps(const std::string& from, const std::string& to) {
    ObservationRecord& o = Add(ObservationKind::kGpsVector, "G1", from, to);
    double x1, y1, z1, x2, y2, z2;
    Ecef(from, x1, y1, z1);
    Ecef(to, x2, y2, z2);
    ObservationDetail& vector = data_.observations.Detail(o);
    vector.dx = x2 - x1;
    vector.dy = y2 - y1;
    vector.dz = z2 - z1;
    return o;
  }

  // True plane azimuth and distance between two stations.
  double Azimuth(const std::string& from, const std::string& to) const {
    const Truth& a = truth_.at(from);
    const Truth& b = truth_.at(to);
    double az = std::atan2(b.east - a.east, b.north - a.north);
    return az < 0.0 ? az + kTwoPi : az;
  }
  double PlaneDistance(const std::string& from, const std::string& to) const {
    const Truth& a = truth_.at(from);
    const Truth& b = truth_.at(to);
    return std::hypot(b.north - a.north, b.east - a.east);
  }

  const Truth& TrueCoordinates(const std::string& name) const { return truth_.at(name); }
  const std::map<std::string, Truth>& AllTruth() const { return truth_; }
  int Index(const std::string& name) const { return data_.stations.Find(name); }
  StationRecord& Record(const std::string& name) {
    return data_.stations[static_cast<std::size_t>(Index(name))];
  }
  SurveyData& data() { return data_; }
  const LocalFrame& frame() const { return frame_; }

  // Instrument and target heights of the pointings that follow (metres).
  double instrument_height = 1.52;
  double target_height = 1.80;

 private:
  ObservationRecord& Add(ObservationKind kind, const char* code, const std::string& from,
                         const std::string& to) {
    ObservationRecord o;
    o.sequence = static_cast<std::int32_t>(data_.observations.size());
    o.line = static_cast<std::int32_t>(data_.observations.size() + 10);
    o.kind = kind;
    o.SetCode(code);
    o.from = Index(from);
    o.to = Index(to);
    data_.observations.push_back(o);
    return data_.observations.back();
  }
  // Zenith and slope distance from the instrument's axis to the target.
  void Pointing(ObservationRecord& o, const std::string& from, const std::string& to) const {
    double horizontal = PlaneDistance(from, to);
    double rise =
        (truth_.at(to).elevation + target_height) - (truth_.at(from).elevation + instrument_height);
    o.zenith = std::atan2(horizontal, rise);
    o.slope_distance = std::hypot(horizontal, rise);
    o.instrument_height = instrument_height;
    o.target_height = target_height;
  }
  void Ecef(const std::string& name, double& x, double& y, double& z) const {
    const Truth& t = truth_.at(name);
    LocalToEcef(frame_.seed_latitude, frame_.seed_longitude, t.east - frame_.seed_east,
                t.north - frame_.seed_north, t.elevation - frame_.seed_elevation, frame_.seed_x,
                frame_.seed_y, frame_.seed_z, x, y, z);
  }

  LocalFrame frame_;
  SurveyData data_;
  std::map<std::string, Truth> truth_;
};

}  // namespace trovisk::testing
