// One measured quantity set of the raw file, filed under one kind.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "rw5/measurement.h"
#include "rw5/null_value.h"

namespace trovisk {

// The kind an observation is filed under, chosen by its first present value
// in this order: horizontal angle, azimuth, GPS vector, then the rest.
enum class ObservationKind : std::uint8_t {
  kNone = 0,
  kHorizontalAngle,     // backsight-to-foresight angle, with zenith and slope distance
  kAzimuth,             // azimuth, with zenith and slope distance
  kGpsVector,           // ECEF components and covariance
  kZenithDistance,      // zenith and/or slope distance without a horizontal value
  kHorizontalDistance,  // "HD"
  kHeightDifference,    // "CE"
};

// The parts few observations have, kept beside the list so that the many
// angle and distance observations stay small: a GPS vector with its
// covariance, a note, and why a record could not be used.
struct ObservationDetail {
  double dx = kNullValue, dy = kNullValue, dz = kNullValue;  // metres, earth-centred
  // Packed lower triangle: XX, XY, YY, XZ, YZ, ZZ (square metres).
  std::array<double, 6> covariance{kNullValue, kNullValue, kNullValue,
                                   kNullValue, kNullValue, kNullValue};
  std::string description;
  // Not empty for a record the reader could not use as a measurement (its
  // fields shifted or out of range): written commented out with this reason.
  std::string rejected_because;
};

struct ObservationRecord : Measurement {
  std::int32_t sequence = 0;  // order of arrival, from 1
  // Station indices into the StationList; 0 means no station.
  std::int32_t from = 0;       // occupied station (GPS: base)
  std::int32_t backsight = 0;  // backsight station of a horizontal angle
  std::int32_t to = 0;         // foresight station (GPS: rover)
  std::int32_t line = 0;       // raw file line the observation came from
  std::int32_t detail = 0;     // index of its ObservationDetail in the list; 0: none
  ObservationKind kind = ObservationKind::kNone;
  bool moved = false;     // carried from a direction set into the main array
  bool computed = false;  // derived, not measured: written commented out
};

// Observations in arrival order, with the details of those that have any;
// index 0 is a reserved empty record.
class ObservationList {
 public:
  ObservationList() = default;
  // `count` empty records.
  explicit ObservationList(std::size_t count) : records_(count) {}
  ObservationList(std::initializer_list<ObservationRecord> records) : records_(records) {}

  std::size_t size() const { return records_.size(); }
  bool empty() const { return records_.empty(); }
  ObservationRecord& operator[](std::size_t index) { return records_[index]; }
  const ObservationRecord& operator[](std::size_t index) const { return records_[index]; }
  ObservationRecord& back() { return records_.back(); }
  const ObservationRecord& back() const { return records_.back(); }
  auto begin() { return records_.begin(); }
  auto end() { return records_.end(); }
  auto begin() const { return records_.begin(); }
  auto end() const { return records_.end(); }

  void push_back(const ObservationRecord& record) { records_.push_back(record); }
  ObservationRecord& emplace_back() { return records_.emplace_back(); }
  void reserve(std::size_t count) { records_.reserve(count); }
  // Shortens the list; details of the records dropped are dropped with them.
  void resize(std::size_t count);
  void clear();
  void assign(std::size_t count, const ObservationRecord& record);

  // The record's detail, added (every value missing) when it has none yet.
  // The record may still be outside the list: its index goes with it.
  ObservationDetail& Detail(ObservationRecord& record);
  // The record's detail, or one with every value missing when it has none.
  const ObservationDetail& Detail(const ObservationRecord& record) const;

 private:
  std::vector<ObservationRecord> records_;
  std::vector<ObservationDetail> details_;  // index i holds detail i + 1
};

}  // namespace trovisk
