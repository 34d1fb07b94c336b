// Setups ("BK") and the closing of direction sets.
#include <cmath>
#include <string>

#include "rw5/angle_reduction.h"
#include "rw5/field_splitter.h"
#include "rw5/record_reader.h"

namespace trovisk {

void RecordReader::ReadBacksight() {
  CloseDirectionSet();
  const auto first_observation = static_cast<std::int32_t>(data_.observations.size());
  Split(4);
  state_.occupied = 0;
  state_.backsight = 0;
  state_.backsight_azimuth = kNullValue;
  state_.backsight_circle = 0.0;
  state_.foresight_since_setup = false;
  for (std::string_view field : fields_) {
    if (HasPrefix(field, "OP")) {
      state_.occupied = Station(Name(field));
    } else if (HasPrefix(field, "BP")) {
      state_.backsight = Station(Name(field));
    } else if (HasPrefix(field, "BS")) {
      state_.backsight_azimuth = Angle(field);
      // The azimuth the collector computed to the backsight point: kept, but
      // written as derived rather than measured.
      if (state_.backsight != 0) {
        ObservationRecord observation;
        observation.kind = ObservationKind::kAzimuth;
        observation.SetCode("BK");
        observation.computed = true;
        observation.from = state_.occupied;
        observation.to = state_.backsight;
        observation.line = line_;
        observation.azimuth = state_.backsight_azimuth;
        observation.instrument_height = ToMetres(state_.instrument_height);
        observation.target_height = ToMetres(state_.target_height);
        AddObservation(observation);
      }
    } else if (HasPrefix(field, "BC")) {
      double circle = Angle(field);
      state_.backsight_circle = IsPresent(circle) ? ReduceToTurn(circle) : 0.0;
    }
  }
  Setup setup;
  setup.line = line_;
  setup.first_observation = first_observation;
  setup.occupied = state_.occupied;
  setup.backsight = state_.backsight;
  setup.backsight_azimuth = state_.backsight_azimuth;
  setup.backsight_circle = state_.backsight_circle;
  data_.setups.push_back(setup);
}

void RecordReader::CloseDirectionSet() { CloseSet(set_); }

void RecordReader::CloseSet(DirectionSet& set) {
  if (!set.open()) return;
  std::vector<SetObservation> set_observations;
  std::vector<SetWarning> set_warnings;
  set.Close(set_observations, set_warnings);
  auto name = [&](int station) {
    std::string quoted = "'";
    quoted.append(data_.stations[static_cast<std::size_t>(station)].name.view());
    return quoted += "'";
  };
  for (const SetWarning& warning : set_warnings) {
    std::string difference =
        warning.direction ? std::to_string(std::lround(warning.difference * kSecondsPerRadian)) +
                                "\" in direction"
                          : std::to_string(warning.difference) + " m in slope distance";
    Warn(warning.line, "the two faces to " + name(warning.target) + " at " + name(warning.station) +
                           " differ by " + difference);
  }
  for (const SetObservation& observation : set_observations) {
    const Pointing& p = observation.pointing;
    if (IsPresent(p.horizontal_angle) && IsMissing(observation.horizontal_angle) &&
        p.to != observation.backsight) {
      Warn(p.line,
           "direction to " + name(p.to) + " in a set without a backsight reading; not used");
    }
    AddPointing(p, observation.backsight, observation.horizontal_angle);
  }
}

}  // namespace trovisk
