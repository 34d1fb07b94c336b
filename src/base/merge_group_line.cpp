// The merge offer's group line, shared by the console and the dialog.
#include "base/merge_group_line.h"

namespace trovisk {

std::string MergeGroupLine(const MergeOffer& offer) {
  const int left = offer.group_pairs_left;
  std::string line = "Group of " + std::to_string(offer.group_stations) + " stations: ";
  line += std::to_string(left);
  line += left == 1 ? " pair remains." : " pairs remain.";
  return line;
}

}  // namespace trovisk
