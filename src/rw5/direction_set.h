// A direction set: the face-left and face-right pointings at one station,
// reduced to one horizontal angle per target from the backsight reference.
#pragma once

#include <vector>

#include "rw5/pointing.h"

namespace trovisk {

// One observation a closed set gives: the combined pointing to a target and
// its horizontal angle from the reference target (missing for the reference
// target itself, whose pointing keeps only its zenith and distances).
struct SetObservation {
  Pointing pointing;  // direction already combined; face_right false
  int backsight = 0;  // the reference target
  double horizontal_angle = kNullValue;
};

// A face pair that disagrees more than the tolerances allow.
struct SetWarning {
  int line = 0;
  int station = 0;
  int target = 0;
  bool direction = false;   // else the slope distance
  double difference = 0.0;  // radians or metres
};

class DirectionSet {
 public:
  bool open() const { return open_; }
  int station() const { return station_; }
  bool has_foresight() const { return has_foresight_; }
  bool has_reference() const { return has_reference_; }

  void Open(int station);
  // A "BD"/"BR" record is a backsight pointing: the first one names the
  // reference target. Others are foresight pointings.
  void Add(const Pointing& pointing, bool backsight_record);
  // Combines the faces and closes the set, appending to `out` and `warnings`.
  void Close(std::vector<SetObservation>& out, std::vector<SetWarning>& warnings);

 private:
  bool open_ = false;
  int station_ = 0;
  int reference_ = 0;
  bool has_reference_ = false;
  bool has_foresight_ = false;
  std::vector<Pointing> pointings_;
};

}  // namespace trovisk
