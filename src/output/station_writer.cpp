// Station records and merged-station names.
#include "output/station_writer.h"

#include <array>
#include <cstdint>

#include "convert/status.h"
#include "geodesy/constants.h"
#include "output/header_writer.h"

namespace trovisk {
namespace {


// Decimals of the station fields.
constexpr int kLengthDecimals = 5;
constexpr int kPackedAngleDecimals = 9;

// Numbers one station's records may hold, and room for all else but names
// and the description: keywords, separators and the constant fields.
constexpr std::size_t kStationNumbers = 10;
constexpr std::size_t kStationTextRoom = 256;

// A station stands for itself when no merge link leads away from it. A link
// that points nowhere (outside the list) is no merge either, so such a station
// is written and observations keep its name.
bool StandsForItself(const StationList& stations, std::size_t index) {
  if (stations[index].merge_link == kNotMerged) return true;  // nearly all: no call
  return stations.Resolve(static_cast<int>(index)) == static_cast<int>(index);
}

// A text a station's records write: its bytes as given, and a copy with its
// line breaks already blanked, of TextCursor::kScratchBlock readable bytes,
// when it is short (else null, and it is blanked as it is written).
struct StationText {
  std::string_view text;
  const char* blanked = nullptr;

  void Put(TextCursor& out) const {
    if (blanked != nullptr) {
      out.PutScratch(blanked, text.size());
    } else {
      out.PutText(text);
    }
  }
};

// The texts of descriptions already written, by their number in the list's
// pool: descriptions recur from station to station ("GROUND", "EP"), and a
// kept one is copied whole rather than fetched and blanked again.
class DescriptionTexts {
 public:
  explicit DescriptionTexts(const StationList& stations) : stations_(stations) {}

  StationText Of(std::size_t index) {
    const std::int32_t id = stations_[index].description;
    if (id == 0) return {};  // none
    Entry& entry = entries_[static_cast<std::uint32_t>(id) % kEntries];
    if (entry.id != id) {
      entry.text = stations_.Description(index);
      entry.id = id;
      entry.short_text = entry.text.size() <= sizeof entry.blanked;
      if (entry.short_text) WriteLineText(entry.blanked, entry.text);
    }
    return {entry.text, entry.short_text ? entry.blanked : nullptr};
  }

 private:
  static constexpr std::size_t kEntries = 256;
  struct Entry {
    std::int32_t id = 0;  // 0: empty
    bool short_text = false;
    std::string_view text;
    char blanked[TextCursor::kScratchBlock] = {};
  };

  const StationList& stations_;
  std::array<Entry, kEntries> entries_{};
};

// One station's records; `put_name` writes its name (at most `name_size`
// bytes), up to three times.
template <typename PutName>
void AppendStation(OutputBuffer& out, bool write_geodetic, bool write_local, bool local_nee_system,
                   char delimiter, std::size_t name_size, const PutName& put_name, double north,
                   double east, double elevation, double latitude, double longitude, double height,
                   const StationText& description) {
  TextCursor text =
      out.Reserve(kStationTextRoom + kStationNumbers * kMaxFixedLength +
                  3 * (name_size + TextCursor::kScratchBlock) + description.text.size());
  const char field[2] = {delimiter, ' '};
  const char zero_field[5] = {delimiter, ' ', '0', '.', '0'};
  auto separator = std::string_view(field, sizeof field);
  auto zero = std::string_view(zero_field, sizeof zero_field);
  // The elevation, written up to three times below, is made text once and
  // first: copying a text right after writing it would read back stores
  // still in flight, which stalls the processor. A pass that writes
  // descriptions only has no use for it.
  char elevation_text[kMaxFixedLength];
  std::size_t elevation_length = 0;
  if (write_geodetic || write_local) {
    elevation_length = static_cast<std::size_t>(
        WriteFixed<kLengthDecimals>(elevation_text, elevation) - elevation_text);
  }
  if (write_geodetic) {
    text.Put("$GEO_COMPACT");
    text.Put(separator);
    put_name(text);
    text.Put(separator);
    text.PutRadiansAsPackedAngle<kPackedAngleDecimals>(latitude);
    text.Put(zero);
    text.Put(separator);
    text.PutRadiansAsPackedAngle<kPackedAngleDecimals>(longitude);
    text.Put(zero);
    text.Put(separator);
    text.PutScratch(elevation_text, elevation_length);
    text.Put(zero);
    text.Put(separator);
    // The geoid separation implied by the two heights.
    text.PutFixed<kLengthDecimals>(height - elevation);
    text.Put(zero);
    text.Put(separator);
    text.PutFixed<kLengthDecimals>(height);
    for (int i = 0; i < 4; ++i) text.Put(zero);
    text.Put('\n');
  }
  if (write_local) {
    text.Put(local_nee_system ? std::string_view("$LOCAL_NEUE_COMPACT")
                              : std::string_view("$STATE_ELEV_COMPACT"));
    text.Put(separator);
    put_name(text);
    text.Put(separator);
    text.PutFixed<kLengthDecimals>(north);
    text.Put(separator);
    text.PutFixed<kLengthDecimals>(east);
    text.Put(separator);
    text.PutScratch(elevation_text, elevation_length);
    if (local_nee_system) {
      // The local system's up component is the elevation itself.
      text.Put(separator);
      text.PutScratch(elevation_text, elevation_length);
    }
    text.Put('\n');
  }
  if (description.text.empty()) {
    text.Put('\n');
  } else {
    text.Put("$STA_DESC");
    text.Put(separator);
    put_name(text);
    text.Put(separator);
    description.Put(text);
    text.Put("\n\n");
  }
  out.Commit(text);
}

}  // namespace

void AppendOneStation(OutputBuffer& out, bool write_geodetic, bool write_local,
                      bool local_nee_system, char delimiter, std::string_view name, double north,
                      double east, double elevation, double latitude, double longitude,
                      double height, std::string_view description) {
  // A short name, written up to three times, is blanked once.
  char name_text[TextCursor::kScratchBlock] = {};
  StationText name_field{name};
  if (name.size() <= sizeof name_text) {
    WriteLineText(name_text, name);
    name_field.blanked = name_text;
  }
  AppendStation(
      out, write_geodetic, write_local, local_nee_system, delimiter, name.size(),
      [&name_field](TextCursor& text) { name_field.Put(text); }, north, east, elevation, latitude,
      longitude, height, StationText{description});
}

void WriteOneStation(std::ostream& out, bool write_geodetic, bool write_local,
                     bool local_nee_system, char delimiter, std::string_view name, double north,
                     double east, double elevation, double latitude, double longitude,
                     double height, std::string_view description, int& status) {
  status = kStatusOk;
  OutputBuffer buffer(out);
  AppendOneStation(buffer, write_geodetic, write_local, local_nee_system, delimiter, name, north,
                   east, elevation, latitude, longitude, height, description);
  if (!buffer.Flush()) status = kStatusWriteError;
}

void WriteStations(std::ostream& out, const StationList& stations, bool write_geodetic,
                   bool write_local, bool local_nee_system, int& status) {
  status = kStatusOk;
  OutputBuffer buffer(out);
  buffer.Append("\n\n\n");
  DescriptionTexts descriptions(stations);
  int written_unit = -1;
  // A pass with both flags clear writes no lengths; its factor is that of
  // code -1, which is 1.0.
  double factor = DistanceUnitFactor(written_unit);
  for (std::size_t i = 1; i < stations.size(); ++i) {
    if (!StandsForItself(stations, i)) continue;
    const StationRecord& station = stations[i];
    if ((write_geodetic || write_local) && station.distance_units != written_unit) {
      AppendUnitsBlock(buffer, station.distance_units, 0);
      written_unit = station.distance_units;
      factor = DistanceUnitFactor(written_unit);
    }
    const NameWords name(station.name);  // loaded and checked once for up to three copies
    AppendStation(
        buffer, write_geodetic, write_local, local_nee_system, ';', kMaxStationNameLength,
        [&name](TextCursor& text) { text.PutName(name); }, station.north * factor,
        station.east * factor, station.elevation * factor, station.latitude, station.longitude,
        station.height * factor, descriptions.Of(i));
    if (!buffer.FlushIfFull()) {
      status = kStatusWriteError;
      return;
    }
  }
  if (!buffer.Flush()) status = kStatusWriteError;
}

int ResolveStationName(const StationList& stations, std::string_view name, std::string& out) {
  int index = stations.Find(name);
  if (index <= 0) {
    out.assign(name);
    return kNameNotFound;
  }
  int survivor = stations.Resolve(index);
  out = stations[static_cast<std::size_t>(survivor)].name.str();
  return survivor == index ? kNameOwn : kNameOfMergeSurvivor;
}

std::string_view ResolvedStationName(const StationList& stations, int index) {
  int survivor = stations.Resolve(index);
  if (survivor <= 0 || static_cast<std::size_t>(survivor) >= stations.size()) return {};
  return stations[static_cast<std::size_t>(survivor)].name.view();
}

}  // namespace trovisk
