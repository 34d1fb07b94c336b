// The end-of-run counts of the observations written.
#include "convert/written_report.h"

#include <cstddef>

#include "rw5/observation.h"

namespace trovisk {
namespace {

struct KindName {
  ObservationKind kind;
  const char* name;
};

constexpr KindName kKindNames[] = {
    {ObservationKind::kHorizontalAngle, "horizontal angles"},
    {ObservationKind::kAzimuth, "azimuths"},
    {ObservationKind::kZenithDistance, "zeniths and slope distances without an angle"},
    {ObservationKind::kHorizontalDistance, "horizontal distances"},
    {ObservationKind::kHeightDifference, "height differences"},
    {ObservationKind::kGpsVector, "GPS vectors"},
};

}  // namespace

void ReportWritten(UserInterface& ui, const std::string& input_name,
                   const WrittenObservations& written) {
  std::size_t live = 0;
  for (const KindName& kind : kKindNames) {
    const std::size_t count = written.by_kind[static_cast<std::size_t>(kind.kind)];
    live += count;
    ui.Inform(std::string(kind.name) + " written: " + std::to_string(count));
  }
  ui.Inform("observations written commented out (computed or not usable): " +
            std::to_string(written.commented_out));
  if (live == 0) {
    ui.Warn(input_name +
            ": no observation written: the file holds no supported measurement records "
            "(angles, distances, GPS vectors, or GPS positions under a base)");
  }
}

}  // namespace trovisk
