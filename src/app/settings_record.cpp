// Encoding, decoding and storing the settings record.
#include "app/settings_record.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "base/output_file.h"
#include "base/utf8_path.h"

namespace trovisk {

namespace {

// Byte offsets of the fields; every byte not named here is zero.
constexpr std::size_t kApproxGeodeticAt = 0;
constexpr std::size_t kMajorAxisAt = 8;
constexpr std::size_t kDatumNameAt = 16;
constexpr std::size_t kInverseFlatteningAt = 32;
constexpr std::size_t kSeedNameAt = 40;
constexpr std::size_t kLatitudeAt = 56;
constexpr std::size_t kLongitudeAt = 64;
constexpr std::size_t kHeightAt = 72;
constexpr std::size_t kToleranceAt = 80;
constexpr std::size_t kTwoDimensionalAt = 88;  // 1 = 2D check, 0 = 3D
constexpr std::size_t kOutputFileAt = 89;
constexpr std::size_t kInputFileAt = 349;
constexpr std::size_t kApproxNeeAt = 609;
constexpr std::size_t kNorthAt = 616;
constexpr std::size_t kEastAt = 624;
constexpr std::size_t kElevationAt = 632;
constexpr std::size_t kAntennaToAntennaAt = 640;
constexpr std::size_t kLocalNeeAt = 641;

constexpr std::size_t kNameFieldSize = 16;
constexpr std::size_t kFileFieldSize = kMaxStoredFileName + 1;

void PutDouble(SettingsRecord& record, std::size_t at, double value) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  for (std::size_t i = 0; i < 8; ++i) {
    record[at + i] = static_cast<unsigned char>((bits >> (8 * i)) & 0xffU);
  }
}

double GetDouble(const SettingsRecord& record, std::size_t at) {
  std::uint64_t bits = 0;
  for (std::size_t i = 0; i < 8; ++i) bits |= static_cast<std::uint64_t>(record[at + i]) << (8 * i);
  double value = 0.0;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// Copies at most field_size - 1 bytes, so the field always ends in a NUL.
void PutText(SettingsRecord& record, std::size_t at, std::size_t field_size,
             const std::string& text) {
  std::size_t length = std::min(text.size(), field_size - 1);
  std::memcpy(record.data() + at, text.data(), length);
}

// The text up to its NUL, or the whole field when it has none.
std::string GetText(const SettingsRecord& record, std::size_t at, std::size_t field_size) {
  const unsigned char* begin = record.data() + at;
  const unsigned char* end = std::find(begin, begin + field_size, 0);
  return std::string(begin, end);
}

// A file name is stored whole or not at all: a cut path would name another file.
void PutFileName(SettingsRecord& record, std::size_t at, const std::string& name, bool& dropped) {
  if (name.size() > kMaxStoredFileName) {
    dropped = true;
    return;
  }
  PutText(record, at, kFileFieldSize, name);
}

}  // namespace

SettingsRecord EncodeSettings(const ConverterOptions& options, bool* name_dropped) {
  SettingsRecord record{};
  bool dropped = false;
  record[kApproxGeodeticAt] = options.compute_approx_geodetic ? 1 : 0;
  PutDouble(record, kMajorAxisAt, options.datum_major_axis);
  PutText(record, kDatumNameAt, kNameFieldSize, options.datum_name);
  PutDouble(record, kInverseFlatteningAt, options.datum_inverse_flattening);
  PutText(record, kSeedNameAt, kNameFieldSize, options.seed_name);
  PutDouble(record, kLatitudeAt, options.seed_latitude);
  PutDouble(record, kLongitudeAt, options.seed_longitude);
  PutDouble(record, kHeightAt, options.seed_height);
  PutDouble(record, kToleranceAt, options.tolerance);
  record[kTwoDimensionalAt] = options.tolerance_mode == 0 ? 1 : 0;
  PutFileName(record, kOutputFileAt, options.output_file, dropped);
  PutFileName(record, kInputFileAt, options.input_file, dropped);
  record[kApproxNeeAt] = options.compute_approx_nee ? 1 : 0;
  PutDouble(record, kNorthAt, options.seed_north);
  PutDouble(record, kEastAt, options.seed_east);
  PutDouble(record, kElevationAt, options.seed_elevation);
  record[kAntennaToAntennaAt] = options.gps_antenna_to_antenna ? 1 : 0;
  record[kLocalNeeAt] = options.local_nee_system ? 1 : 0;
  if (name_dropped != nullptr) *name_dropped = dropped;
  return record;
}

void DecodeSettings(const unsigned char* bytes, std::size_t size, ConverterOptions& options) {
  SettingsRecord record{};
  if (bytes != nullptr) std::memcpy(record.data(), bytes, std::min(size, record.size()));
  options.compute_approx_geodetic = record[kApproxGeodeticAt] != 0;
  options.datum_major_axis = GetDouble(record, kMajorAxisAt);
  options.datum_name = GetText(record, kDatumNameAt, kNameFieldSize);
  options.datum_inverse_flattening = GetDouble(record, kInverseFlatteningAt);
  options.seed_name = GetText(record, kSeedNameAt, kNameFieldSize);
  options.seed_latitude = GetDouble(record, kLatitudeAt);
  options.seed_longitude = GetDouble(record, kLongitudeAt);
  options.seed_height = GetDouble(record, kHeightAt);
  options.tolerance = GetDouble(record, kToleranceAt);
  options.tolerance_mode = record[kTwoDimensionalAt] != 0 ? 0 : 1;
  options.output_file = GetText(record, kOutputFileAt, kFileFieldSize);
  options.input_file = GetText(record, kInputFileAt, kFileFieldSize);
  options.compute_approx_nee = record[kApproxNeeAt] != 0;
  options.seed_north = GetDouble(record, kNorthAt);
  options.seed_east = GetDouble(record, kEastAt);
  options.seed_elevation = GetDouble(record, kElevationAt);
  options.gps_antenna_to_antenna = record[kAntennaToAntennaAt] != 0;
  options.local_nee_system = record[kLocalNeeAt] != 0;
}

bool ReadSettingsFile(const std::string& path, ConverterOptions& options) {
  std::error_code error;
  if (std::filesystem::is_directory(Utf8Path(path), error)) return false;
  std::ifstream file(Utf8Path(path), std::ios::in | std::ios::binary);
  if (!file.is_open()) return false;
  SettingsRecord bytes{};
  file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (file.bad()) return false;
  DecodeSettings(bytes.data(), static_cast<std::size_t>(file.gcount()), options);
  return true;
}

bool WriteSettingsFile(const std::string& path, const ConverterOptions& options,
                       bool* name_dropped) {
  SettingsRecord record = EncodeSettings(options, name_dropped);
  if (path.empty()) return false;
  OutputFile file;
  // "-" would mean standard output to OutputFile; here it is a file of that name.
  if (!file.Open(path == "-" ? "./-" : path)) return false;
  file.stream().write(reinterpret_cast<const char*>(record.data()),
                      static_cast<std::streamsize>(record.size()));
  return file.Commit();
}

std::string SettingsPathBeside(const std::string& program_path) {
  std::size_t cut = program_path.find_last_of("\\/:");
  std::string folder = cut == std::string::npos ? std::string() : program_path.substr(0, cut + 1);
  if (!folder.empty() && folder.back() == ':') folder += '\\';
  return folder + kSettingsFileName;
}

}  // namespace trovisk
