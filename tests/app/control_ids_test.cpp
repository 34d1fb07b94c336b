// The control ids the dialogs are built with, and the Windows resource
// header agreeing with them when it is present.
#include "app/control_ids.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace trovisk {
namespace {

struct NamedId {
  const char* name;
  int value;
  int expected;  // the number the dialogs and the settings prompts rely on
};

const NamedId kIds[] = {
    {"kIddAbout", kIddAbout, 100},
    {"kIddMain", kIddMain, 102},
    {"kIddMerge", kIddMerge, 103},
    {"kIdiIcon", kIdiIcon, 128},
    {"kIdmAbout", kIdmAbout, 16},
    {"kIdcConvert", kIdcConvert, 1000},
    {"kIdcSeedName", kIdcSeedName, 1002},
    {"kIdcLatitude", kIdcLatitude, 1003},
    {"kIdcLongitude", kIdcLongitude, 1004},
    {"kIdcOutputFile", kIdcOutputFile, 1005},
    {"kIdcHeight", kIdcHeight, 1006},
    {"kIdcBrowseOutput", kIdcBrowseOutput, 1007},
    {"kIdcInputFile", kIdcInputFile, 1008},
    {"kIdcBrowseInput", kIdcBrowseInput, 1009},
    {"kIdcTolerance", kIdcTolerance, 1010},
    {"kIdcNorth", kIdcNorth, 1011},
    {"kIdcEast", kIdcEast, 1012},
    {"kIdcTolerance2d", kIdcTolerance2d, 1013},
    {"kIdcTolerance3d", kIdcTolerance3d, 1014},
    {"kIdcDatumName", kIdcDatumName, 1015},
    {"kIdcMajorAxis", kIdcMajorAxis, 1016},
    {"kIdcInverseFlattening", kIdcInverseFlattening, 1017},
    {"kIdcApproxGeodetic", kIdcApproxGeodetic, 1018},
    {"kIdcApproxNee", kIdcApproxNee, 1019},
    {"kIdcElevation", kIdcElevation, 1020},
    {"kIdcAntennaToAntenna", kIdcAntennaToAntenna, 1037},
    {"kIdcLocalNee", kIdcLocalNee, 1038},
    {"kIdcMergeSame", kIdcMergeSame, 1020},
    {"kIdcMergeDifferent", kIdcMergeDifferent, 1021},
    {"kIdcMergeNorth1", kIdcMergeNorth1, 1022},
    {"kIdcMergeElevation2", kIdcMergeElevation2, 1027},
    {"kIdcMergeUse1", kIdcMergeUse1, 1030},
    {"kIdcMergeUse2", kIdcMergeUse2, 1031},
    {"kIdcMergeName1", kIdcMergeName1, 1032},
    {"kIdcMergeName2", kIdcMergeName2, 1033},
};

TEST(ControlIds, MatchTheDialogLayout) {
  for (const NamedId& id : kIds) {
    SCOPED_TRACE(id.name);
    EXPECT_EQ(id.value, id.expected);
  }
}

// "IDC_SEED_NAME" -> "kIdcSeedName", "IDC_TOLERANCE_2D" -> "kIdcTolerance2d".
std::string ConstantName(const std::string& macro) {
  std::string name = "k";
  bool word_start = true;
  for (char c : macro) {
    if (c == '_') {
      word_start = true;
      continue;
    }
    unsigned char u = static_cast<unsigned char>(c);
    name += static_cast<char>(word_start ? std::toupper(u) : std::tolower(u));
    word_start = false;
  }
  return name;
}

TEST(ControlIds, TheWindowsResourceHeaderAgrees) {
  std::ifstream header(TROVISK_SOURCE_DIR "/src/app/win32/resource.h");
  if (!header) GTEST_SKIP() << "no Windows resource header in this checkout";
  std::map<std::string, int> ours;
  for (const NamedId& id : kIds) ours[id.name] = id.value;
  std::string line;
  int compared = 0;
  while (std::getline(header, line)) {
    std::istringstream words(line);
    std::string directive, macro, value;
    if (!(words >> directive >> macro >> value) || directive != "#define") continue;
    auto found = ours.find(ConstantName(macro));
    char* end = nullptr;
    long number = std::strtol(value.c_str(), &end, 0);
    if (found == ours.end() || *end != '\0') continue;  // not one of ours, or not a plain number
    SCOPED_TRACE(macro);
    EXPECT_EQ(number, found->second);
    ++compared;
  }
  EXPECT_GT(compared, 0) << "no id of the resource header has a name known here";
}

}  // namespace
}  // namespace trovisk
