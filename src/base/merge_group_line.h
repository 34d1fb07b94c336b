// The line the merge offer shows about the group its pair belongs to.
#pragma once

#include <string>

#include "base/user_interface.h"

namespace trovisk {

// "Group of 5 stations: 3 pairs remain." (the pair shown is one of them).
std::string MergeGroupLine(const MergeOffer& offer);

}  // namespace trovisk
