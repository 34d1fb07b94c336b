// Station records and merged-station names.
#include "output/station_writer.h"

#include <array>
#include <cstdint>

#include "base/status.h"
#include "geodesy/constants.h"
#include "output/header_writer.h"
#include "output/ordered_chunks.h"

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
  const char (*blanked)[TextCursor::kScratchBlock] = nullptr;

  void Put(TextCursor& out) const {
    if (blanked != nullptr) {
      out.PutShortScratch(*blanked, text.size());
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
    return {entry.text, entry.short_text ? &entry.blanked : nullptr};
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

// One thread's share of a station section: its text, its descriptions, and
// the unit written last before the stations it formats next.
class StationChunkWriter {
 public:
  StationChunkWriter(std::ostream& out, const StationList& stations, bool with_units)
      : text_(out), stations_(stations), descriptions_(stations), with_units_(with_units) {}

  OutputBuffer& text() { return text_; }

  void Format(std::size_t first, std::size_t last, bool write_geodetic, bool write_local,
              bool local_nee_system) {
    CatchUpTo(first);
    for (std::size_t i = first; i < last; ++i) {
      if (!StandsForItself(stations_, i)) continue;
      const StationRecord& station = stations_[i];
      if (with_units_ && station.distance_units != written_unit_) {
        AppendUnitsBlock(text_, station.distance_units, 0);
        written_unit_ = station.distance_units;
        factor_ = DistanceUnitFactor(written_unit_);
      }
      const NameWords name(station.name);  // loaded and checked once for up to three copies
      AppendStation(
          text_, write_geodetic, write_local, local_nee_system, ';', kMaxStationNameLength,
          [&name](TextCursor& text) { text.PutName(name); }, station.north * factor_,
          station.east * factor_, station.elevation * factor_, station.latitude, station.longitude,
          station.height * factor_, descriptions_.Of(i));
    }
    known_ = last;
  }

 private:
  // The unit in force before `first` is that of the last station written
  // before it: the stations this thread skipped (the other thread's) are
  // looked at from their end, so each is looked at once at most, and mostly
  // only the last of them.
  void CatchUpTo(std::size_t first) {
    if (!with_units_ || first <= known_) return;
    for (std::size_t i = first; i > known_; --i) {
      if (StandsForItself(stations_, i - 1)) {
        written_unit_ = stations_[i - 1].distance_units;
        factor_ = DistanceUnitFactor(written_unit_);
        break;
      }
    }
    known_ = first;
  }

  OutputBuffer text_;
  const StationList& stations_;
  DescriptionTexts descriptions_;
  const bool with_units_;
  std::size_t known_ = 1;  // the unit below is the one in force before this station
  int written_unit_ = -1;
  // A pass with both flags clear writes no lengths; its factor is that of
  // code -1, which is 1.0.
  double factor_ = DistanceUnitFactor(-1);
};

// Stations a thread formats at a time: some 200 KB of text.
constexpr std::size_t kStationsPerChunk = 2048;

}  // namespace

void WriteStations(std::ostream& out, const StationList& stations, bool write_geodetic,
                   bool write_local, bool local_nee_system, Status& status) {
  status = Status::kOk;
  {
    OutputBuffer head(out);
    head.Append("\n\n\n");
    if (!head.Flush()) {
      status = Status::kWriteError;
      return;
    }
  }
  const bool with_units = write_geodetic || write_local;
  StationChunkWriter writers[2] = {{out, stations, with_units}, {out, stations, with_units}};
  const bool written = FormatInOrder(
      1, stations.size(), kStationsPerChunk,
      [&](int worker, std::size_t first, std::size_t last) {
        writers[worker].Format(first, last, write_geodetic, write_local, local_nee_system);
      },
      [&](int worker) { return writers[worker].text().Flush(); });
  if (!written) status = Status::kWriteError;
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
