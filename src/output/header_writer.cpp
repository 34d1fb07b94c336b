// Datum, units, defaults and station-type blocks.
#include "output/header_writer.h"

#include "base/status.h"
#include "geodesy/constants.h"

namespace trovisk {
namespace {

void FinishBlock(OutputBuffer& buffer, Status& status) {
  status = buffer.Flush() ? Status::kOk : Status::kWriteError;
}

}  // namespace

char DistanceUnitLetter(int distance_code) {
  switch (distance_code) {
    case kUnitInternationalFeet:
      return 'I';
    case kUnitUsSurveyFeet:
      return 'U';
    default:
      return 'M';
  }
}

char AngleUnitLetter(int angle_code) { return angle_code == kAngleUnitGrads ? 'G' : 'D'; }

void AppendUnitsBlock(OutputBuffer& out, int distance_code, int angle_code) {
  out.Append("$UNITS\n");
  out.Append(DistanceUnitLetter(distance_code));
  out.Append('\n');
  out.Append(AngleUnitLetter(angle_code));
  out.Append("\n1\n\n");
}

void WriteDatumBlock(std::ostream& out, const WorkingDatum& datum, Status& status) {
  status = Status::kOk;
  OutputBuffer buffer(out);
  buffer.Append("! The data in this file will be associated with this Datum.\n$DATUM\n  ");
  buffer.AppendText(datum.name);
  buffer.Append("\n  ");
  buffer.AppendFixed(datum.a, 4);
  buffer.Append("\n  ");
  buffer.AppendFixed(datum.inverse_flattening, 7);
  buffer.Append("\n\n");
  FinishBlock(buffer, status);
}

void WriteUnitsBlock(std::ostream& out, int distance_code, int angle_code, Status& status) {
  status = Status::kOk;
  OutputBuffer buffer(out);
  AppendUnitsBlock(buffer, distance_code, angle_code);
  FinishBlock(buffer, status);
}

void WriteDefaultsBlock(std::ostream& out, Status& status) {
  status = Status::kOk;
  OutputBuffer buffer(out);
  buffer.Append(
      "! Default observation SD's. Remove or change these to 0.0 to disable.\n"
      "! These values can be redefined or disabled anywhere in the file.\n"
      "$G_AZ_SD\n");
  buffer.AppendFixed(kDefaultAzimuthSd, 3);
  buffer.Append("\n\n$G_HOR_SD\n");
  buffer.AppendFixed(kDefaultAzimuthSd, 3);
  buffer.Append("\n\n$G_ZEN_SD\n");
  buffer.AppendFixed(kDefaultZenithSd, 3);
  buffer.Append("\n\n$G_CRD_SD\n");
  buffer.AppendFixed(kDefaultDistanceSd, 5);
  buffer.Append(
      "\n\n! GPS Covariance Scaler. Set to 1.0 to disable.\n"
      "! This value can be redefined or disabled anywhere in the file.\n"
      "$S_XYZ_COV\n");
  buffer.AppendFixed(kGpsCovarianceScaler, 5);
  buffer.Append("\n\n");
  FinishBlock(buffer, status);
}

void WriteStationTypeBlock(std::ostream& out, bool local_nee_system, Status& status) {
  status = Status::kOk;
  OutputBuffer buffer(out);
  buffer.Append("$STATION_TYPE_FOR_OBS\n");
  buffer.Append(local_nee_system ? "3D_NEU" : "3D_STATE");
  buffer.Append("\n\n! 3D_GEO\n\n");
  FinishBlock(buffer, status);
}

}  // namespace trovisk
