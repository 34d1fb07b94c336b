// The Windows resource header, when present, gives every control the number
// the core uses for it (IDC_SEED_NAME == kIdcSeedName, ...).
#include "base/control_ids.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace trovisk {
namespace {

// clang-format off
#define TROVISK_ID(name) {#name, name}
const std::map<std::string, int> kIds = {
    TROVISK_ID(kIddAbout), TROVISK_ID(kIddMain), TROVISK_ID(kIddMerge), TROVISK_ID(kIdiIcon),
    TROVISK_ID(kIdmAbout), TROVISK_ID(kIdcConvert), TROVISK_ID(kIdcSeedName),
    TROVISK_ID(kIdcLatitude), TROVISK_ID(kIdcLongitude), TROVISK_ID(kIdcOutputFile),
    TROVISK_ID(kIdcHeight), TROVISK_ID(kIdcBrowseOutput), TROVISK_ID(kIdcInputFile),
    TROVISK_ID(kIdcBrowseInput), TROVISK_ID(kIdcTolerance), TROVISK_ID(kIdcNorth),
    TROVISK_ID(kIdcEast), TROVISK_ID(kIdcTolerance2d), TROVISK_ID(kIdcTolerance3d),
    TROVISK_ID(kIdcDatumName), TROVISK_ID(kIdcMajorAxis), TROVISK_ID(kIdcInverseFlattening),
    TROVISK_ID(kIdcApproxGeodetic), TROVISK_ID(kIdcApproxNee), TROVISK_ID(kIdcElevation),
    TROVISK_ID(kIdcAntennaToAntenna), TROVISK_ID(kIdcLocalNee), TROVISK_ID(kIdcCheckFiles),
    TROVISK_ID(kIdcMergeSame),
    TROVISK_ID(kIdcMergeDifferent), TROVISK_ID(kIdcMergeNorth1), TROVISK_ID(kIdcMergeEast1),
    TROVISK_ID(kIdcMergeElevation1), TROVISK_ID(kIdcMergeNorth2), TROVISK_ID(kIdcMergeEast2),
    TROVISK_ID(kIdcMergeElevation2), TROVISK_ID(kIdcMergeSeparation),
    TROVISK_ID(kIdcMergeCheckKind), TROVISK_ID(kIdcMergeUse1), TROVISK_ID(kIdcMergeUse2),
    TROVISK_ID(kIdcMergeName1), TROVISK_ID(kIdcMergeName2), TROVISK_ID(kIdcMergeSameForAll),
    TROVISK_ID(kIdcMergeDifferentForAll), TROVISK_ID(kIdcMergeGroup),
};
#undef TROVISK_ID
// clang-format on

// "IDC_SEED_NAME" -> "kIdcSeedName", "IDC_TOLERANCE_2D" -> "kIdcTolerance2d".
std::string ConstantName(const std::string& macro) {
  std::string name = "k";
  bool word_start = true;
  for (char c : macro) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c != '_') name += static_cast<char>(word_start ? std::toupper(u) : std::tolower(u));
    word_start = c == '_';
  }
  return name;
}

TEST(ControlIds, TheWindowsResourceHeaderAgrees) {
  std::ifstream header(TROVISK_SOURCE_DIR "/src/app/win32/resource.h");
  if (!header) GTEST_SKIP() << "no Windows resource header in this checkout";
  std::string line;
  int compared = 0;
  while (std::getline(header, line)) {
    std::istringstream words(line);
    std::string directive, macro, value;
    if (!(words >> directive >> macro >> value) || directive != "#define") continue;
    auto found = kIds.find(ConstantName(macro));
    char* end = nullptr;
    long number = std::strtol(value.c_str(), &end, 0);
    if (found == kIds.end() || *end != '\0') continue;  // not one of ours, or not a plain number
    SCOPED_TRACE(macro);
    EXPECT_EQ(number, found->second);
    ++compared;
  }
  EXPECT_GT(compared, 0) << "no id of the resource header has a name known here";
}

}  // namespace
}  // namespace trovisk
