// The record reader's working parts, shared by the files that handle one
// group of records each. Internal to the raw-file reader.
#pragma once

#include <istream>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "base/status.h"
#include "base/user_interface.h"
#include "rw5/direction_set.h"
#include "rw5/pointing.h"
#include "rw5/reader_options.h"
#include "rw5/record_codes.h"
#include "rw5/run_state.h"
#include "rw5/survey_data.h"

namespace trovisk {

class RecordReader {
 public:
  // `coordinates_only`: the first pass, which keeps the stations that carry
  // coordinates and the units, quietly.
  RecordReader(const ReaderOptions& options, SurveyData& data, UserInterface& ui,
               bool coordinates_only);

  void Read(std::istream& input, int& line_counter, Status& status);

 private:
  // One record: its line, code and the position of its first comma.
  void HandleRecord(std::string_view line, std::string_view code, std::size_t first_comma);
  void Split(std::size_t count);

  // Mode and heights (record_parser.cpp).
  void ReadMode(std::string_view line, std::size_t first_comma, bool from_note);
  void ReadHeights();

  // Field values (field_values.cpp).
  void Warn(int line, const std::string& what);
  // The number after a prefix of `prefix_length`; missing when the field
  // holds only its prefix (or blanks after it).
  double Value(std::string_view field, std::size_t prefix_length = 2);
  double Length(std::string_view field, std::size_t prefix_length = 2);  // file units to metres
  double Angle(std::string_view field);  // file angle unit to radians
  double ToMetres(double file_length) const;
  double ToRadians(double file_angle) const;
  // A station name: characters 3 to 17 of the field, blanks around it removed.
  std::string_view Name(std::string_view field, std::size_t prefix_length = 2);
  int Station(std::string_view name);  // the station's index, added when new
  // The rest of the line from a "--" field: the note with its commas.
  std::string_view Note(std::string_view field) const;
  void Describe(int station, std::string_view note);

  // Observation records and the add-observation step (observation_records.cpp).
  void ReadObservationRecord(std::string_view code);
  // A zenith in radians folded into [0, pi]; missing for 0 and outside a
  // circle, which is warned about, or added to `faults` when given.
  double Zenith(std::string_view field, std::string* faults = nullptr);
  void AddSinglePointing(const Pointing& pointing);
  // Files one pointing under its kinds: the horizontal angle or azimuth with
  // the zenith and slope distance, then the horizontal distance and the
  // height difference each on its own.
  void AddPointing(const Pointing& pointing, int backsight, double horizontal_angle);
  void AddObservation(ObservationRecord& observation);

  // Setups and direction sets (backsight.cpp).
  void ReadBacksight();
  // A reading to the backsight: before any foresight it replaces the circle
  // reading of the setup; after one, `check_stale` warns when they disagree.
  void NoteBacksightReading(const Pointing& pointing, bool check_stale);
  void CloseDirectionSet();
  // Files the observations of a set and warns about its face pairs.
  void CloseSet(DirectionSet& set);
  // A pointing whose fields are shifted or out of range: filed commented out
  // with the reason, as a single pointing from the backsight.
  void AddRejectedPointing(const Pointing& pointing, const std::string& reason);

  // Coordinates (coordinate_records.cpp).
  void ReadLocalCoordinates(bool occupy);
  void ReadBasePoint();

  // The coordinates the records store, the last store of each set winning
  // (coordinate_store.cpp). A store that moves a point beyond the tolerance
  // is reported with the lines of both.
  void StoreLocal(int station, double north, double east, double elevation, bool from_note);
  void StoreGeodetic(int station, double latitude, double longitude, double height);
  // "--Deleted Point ID(s): 5389 from the coordinate file ...": the points
  // lose what was stored before.
  void ReadDeletedPoints(std::string_view note);
  // End of the pass: points deleted and never stored again, and the grid
  // coordinates that came from notes.
  void ReportStores();

  // GPS vectors (gps_vectors.cpp).
  void ReadAntennaHeight();
  void ReadVector(std::string_view code);
  void ReadCovariance();
  void ReduceVectorsToMarks();

  // GPS points and the vectors receivers write (receiver_records.cpp).
  void ReadGpsPosition();
  // False, after a warning naming the point, for a packed latitude beyond 90
  // degrees or a longitude beyond a full turn.
  bool GeodeticInRange(double latitude, double longitude, std::string_view kind,
                       std::string_view name);
  void ReadReceiverVector(std::string_view code);
  void ReadReceiverCovariance(std::string_view code);
  void ReadTiltCorrection();

  // Vectors from receiver positions under a base (position_vectors.cpp).
  // A GPS point opens one; its accuracy note completes it, a receiver vector
  // to the same point replaces it, and the next record files it.
  void NoteBasePosition(const StationRecord& base);
  void OpenPositionVector(int point, const StationRecord& mark);
  void ReadAccuracyNote(std::string_view note);
  void NoteReceiverVector(int point);
  void ClosePositionVector();
  void ReportPointsWithoutBase();

  // Resection readings kept only in notes (resection_notes.cpp).
  void ReadResectionNote(std::string_view note);
  void ReadResectionReading(std::string_view note);
  void CloseResection();
  // The vector the variance, covariance and tilt records complete; null
  // (after a warning) when none comes right before them.
  ObservationRecord* PendingVector(std::string_view code);

  // Data kept in notes (data_notes.cpp).
  void HandleDataNote(std::string_view note);
  void ApplyModeNote(std::string_view note);
  void ReadGridNote(std::string_view note);

  const ReaderOptions& options_;
  SurveyData& data_;
  UserInterface& ui_;
  bool coordinates_only_;
  RecordCodeChecker code_checker_;
  RunState state_;
  DirectionSet set_;
  int line_ = 0;
  std::string_view line_text_;
  std::size_t first_comma_ = 0;
  std::vector<std::string_view> fields_;
  std::size_t first_observation_ = 0;          // index of the first observation of this read
  std::unordered_set<std::string> cut_names_;  // long names already warned about
  std::string rejection_;  // while not empty, observations are filed as not usable
  int last_stored_point_ =
      0;  // the point the record just read stored or measured, for its grid note
  std::size_t vectors_read_ = 0;
  std::size_t naming_records_ = 0;  // first pass: records that may name a new station
  // Antenna height above the mark (metres) of each base point, by station index.
  std::unordered_map<int, double> base_antenna_heights_;
  // What this pass stored for a point, and where.
  struct StoredSet {
    bool present = false;
    double first = 0.0, second = 0.0, third = 0.0;  // N, E, elevation; or lat, lon, height
    int first_line = 0;                             // the first record that stored these values
    int last_line = 0;                              // the last that stored them again
    int records = 0;
    bool from_note = false;
  };
  struct StationStores {
    StoredSet local;
    StoredSet geodetic;
    int deleted_line = 0;  // the last deletion, 0 for none
  };
  std::unordered_map<int, StationStores> stores_;

  // The base mark in force, earth-centred (metres), and the vector of the
  // last GPS point, open until the next record.
  bool base_known_ = false;
  double base_x_ = 0.0, base_y_ = 0.0, base_z_ = 0.0;
  struct PositionVector {
    bool open = false;
    bool replaced = false;  // a receiver vector to the same point came
    int point = 0;
    int base = 0;
    int line = 0;
    double dx = 0.0, dy = 0.0, dz = 0.0;
    double latitude = 0.0, longitude = 0.0;
    double horizontal_rms = kNullValue, vertical_rms = kNullValue;  // metres
  };
  PositionVector position_vector_;
  // GPS points stored with no base in force (station, line), and the bases:
  // a point the base was then set up on is no point without a base.
  std::vector<std::pair<int, int>> points_without_base_;
  std::vector<int> bases_;

  // The resection whose readings the notes give.
  DirectionSet resection_;
  int resection_station_ = 0;
  double resection_instrument_height_ = kNullValue;  // file units
  std::size_t readings_from_notes_ = 0;
  int first_reading_line_ = 0;
};

}  // namespace trovisk
