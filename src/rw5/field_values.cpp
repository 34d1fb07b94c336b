// Reading the values, names and notes of record fields, in the units of the run.
#include <string>

#include "geodesy/angles.h"
#include "rw5/field_splitter.h"
#include "rw5/record_codes.h"
#include "rw5/record_reader.h"

namespace trovisk {
namespace {

bool IsNameBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

void RecordReader::Warn(int line, const std::string& what) {
  // The first pass reads the same records as the record parser, which warns.
  if (coordinates_only_) return;
  ui_.Warn(options_.input_name + ":" + std::to_string(line) + ": " + what);
}

double RecordReader::Value(std::string_view field, std::size_t prefix_length) {
  bool non_finite = false;
  double value = ReadValue(AfterPrefix(field, prefix_length), non_finite);
  if (non_finite) {
    Warn(line_, "value '" + std::string(field) + "' is not a finite number; taken as missing");
  }
  return value;
}

double RecordReader::ToMetres(double file_length) const {
  return IsPresent(file_length) ? file_length / DistanceUnitFactor(state_.distance_units)
                                : kNullValue;
}

double RecordReader::Length(std::string_view field, std::size_t prefix_length) {
  return ToMetres(Value(field, prefix_length));
}

double RecordReader::Angle(std::string_view field) { return ToRadians(Value(field)); }

double RecordReader::ToRadians(double value) const {
  if (IsMissing(value)) return kNullValue;
  return state_.angle_units == kAngleUnitGrads ? GonsToRadians(value) : DmsToRadians(value);
}

std::string_view RecordReader::Name(std::string_view field, std::size_t prefix_length) {
  std::string_view rest = AfterPrefix(field, prefix_length);
  std::size_t first = 0;
  while (first < rest.size() && IsNameBlank(rest[first])) ++first;
  rest = rest.substr(first);
  while (!rest.empty() && IsNameBlank(rest.back())) rest.remove_suffix(1);
  if (rest.size() > kMaxStationNameLength) {
    // Names are kept to 15 characters; two names alike that far become one.
    if (cut_names_.emplace(rest).second) {
      Warn(line_, "station name '" + std::string(rest) + "' cut to '" +
                      std::string(rest.substr(0, kMaxStationNameLength)) + "'");
    }
    rest = rest.substr(0, kMaxStationNameLength);
    while (!rest.empty() && IsNameBlank(rest.back())) rest.remove_suffix(1);
  }
  return rest;
}

int RecordReader::Station(std::string_view name) {
  return data_.stations.FindOrAdd(name, state_.distance_units);
}

std::string_view RecordReader::Note(std::string_view field) const {
  // Fields are views into the line: the note runs from this field to the
  // end of the line, commas and all.
  std::size_t start = static_cast<std::size_t>(field.data() - line_text_.data()) + 2;
  return start < line_text_.size() ? line_text_.substr(start) : std::string_view();
}

void RecordReader::Describe(int station, std::string_view note) {
  // An empty note leaves an earlier description in place.
  if (station <= 0 || IsBlank(note)) return;
  data_.stations.SetDescription(static_cast<std::size_t>(station), note);
}

}  // namespace trovisk
