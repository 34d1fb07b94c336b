// Reduction of a direction set to horizontal angles from its reference target.
#include "rw5/direction_set.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "rw5/angle_reduction.h"
#include "rw5/averaging.h"

namespace trovisk {
namespace {

// The face-left equivalent direction of a face pair; either may be absent.
double CombineDirections(const Pointing* left, const Pointing* right) {
  double l = left ? left->horizontal_angle : kNullValue;
  double r = right ? right->horizontal_angle : kNullValue;
  if (IsPresent(l) && IsPresent(r)) return ReduceToTurn(AverageAngles(l, r));
  if (IsPresent(l)) return l;
  if (IsPresent(r)) return ReduceToTurn(r - kPi);
  return kNullValue;
}

double Field(const Pointing* p, double Pointing::*member) { return p ? p->*member : kNullValue; }

// One pointing from a face pair: averaged values, heights and line of the
// face-left pointing when there is one.
Pointing CombinePair(const Pointing* left, const Pointing* right) {
  const Pointing& first = left ? *left : *right;
  Pointing combined = first;
  combined.face_right = false;
  combined.horizontal_angle = CombineDirections(left, right);
  combined.azimuth = kNullValue;
  for (double Pointing::*member : {&Pointing::zenith, &Pointing::slope_distance,
                                   &Pointing::horizontal_distance, &Pointing::height_difference}) {
    combined.*member = AverageValues(Field(left, member), Field(right, member));
  }
  for (double Pointing::*member : {&Pointing::instrument_height, &Pointing::target_height}) {
    if (IsMissing(combined.*member)) combined.*member = Field(right, member);
  }
  return combined;
}

void CheckFaces(const Pointing& left, const Pointing& right, int station,
                std::vector<SetWarning>& warnings) {
  int line = std::max(left.line, right.line);
  if (IsPresent(left.horizontal_angle) && IsPresent(right.horizontal_angle)) {
    double difference =
        std::fabs(AngleDifference(right.horizontal_angle - kPi, left.horizontal_angle));
    if (difference > kFaceToleranceAngle) {
      warnings.push_back({line, station, left.to, true, difference});
    }
  }
  if (IsPresent(left.slope_distance) && IsPresent(right.slope_distance)) {
    double difference = std::fabs(left.slope_distance - right.slope_distance);
    if (difference > kFaceToleranceDistance) {
      warnings.push_back({line, station, left.to, false, difference});
    }
  }
}

}  // namespace

void DirectionSet::Open(int station) {
  open_ = true;
  station_ = station;
  reference_ = 0;
  has_reference_ = false;
  has_foresight_ = false;
  pointings_.clear();
}

void DirectionSet::Add(const Pointing& pointing, bool backsight_record) {
  if (backsight_record && !has_reference_) {
    reference_ = pointing.to;
    has_reference_ = true;
  }
  if (!(has_reference_ && pointing.to == reference_)) has_foresight_ = true;
  pointings_.push_back(pointing);
}

void DirectionSet::Close(std::vector<SetObservation>& out, std::vector<SetWarning>& warnings) {
  if (!open_) return;
  open_ = false;
  // Group the pointings by target, in order of the target's first pointing,
  // the reference target first.
  std::unordered_map<int, std::size_t> group_of_target;
  std::vector<std::size_t> group_of_pointing;
  if (has_reference_) group_of_target.emplace(reference_, 0);
  for (const Pointing& p : pointings_) {
    auto [it, inserted] = group_of_target.try_emplace(p.to, group_of_target.size());
    group_of_pointing.push_back(it->second);
  }
  std::vector<std::size_t> order(pointings_.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return group_of_pointing[a] < group_of_pointing[b];
  });

  double reference_direction = kNullValue;
  for (std::size_t begin = 0; begin < order.size();) {
    std::size_t group = group_of_pointing[order[begin]];
    std::size_t end = begin;
    std::vector<std::size_t> left;
    std::vector<std::size_t> right;
    while (end < order.size() && group_of_pointing[order[end]] == group) {
      const Pointing& p = pointings_[order[end]];
      (p.face_right ? right : left).push_back(order[end]);
      ++end;
    }
    bool is_reference = has_reference_ && group == 0;
    // The i-th face-left pointing pairs with the i-th face-right one; an
    // unpaired pointing stands alone, so that no pointing is lost.
    std::size_t pairs = std::max(left.size(), right.size());
    for (std::size_t i = 0; i < pairs; ++i) {
      const Pointing* face_left = i < left.size() ? &pointings_[left[i]] : nullptr;
      const Pointing* face_right = i < right.size() ? &pointings_[right[i]] : nullptr;
      if (face_left && face_right) CheckFaces(*face_left, *face_right, station_, warnings);
      SetObservation observation;
      observation.pointing = CombinePair(face_left, face_right);
      observation.backsight = has_reference_ ? reference_ : 0;
      if (is_reference) {
        if (i == 0) reference_direction = observation.pointing.horizontal_angle;
      } else if (IsPresent(observation.pointing.horizontal_angle) &&
                 IsPresent(reference_direction)) {
        observation.horizontal_angle =
            ReduceToTurn(observation.pointing.horizontal_angle - reference_direction);
      }
      out.push_back(observation);
    }
    begin = end;
  }
  pointings_.clear();
}

}  // namespace trovisk
