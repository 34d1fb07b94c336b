// The numeric ids of the dialogs, their controls, the icon and the About
// command. The Windows resource script defines the same numbers.
#pragma once

namespace trovisk {

// Dialogs, icon and the system-menu command.
inline constexpr int kIddAbout = 100;
inline constexpr int kIddMain = 102;
inline constexpr int kIddMerge = 103;
inline constexpr int kIdiIcon = 128;
inline constexpr int kIdmAbout = 16;  // system-menu commands keep their low 4 bits clear

// Main dialog.
inline constexpr int kIdcConvert = 1000;
inline constexpr int kIdcSeedName = 1002;
inline constexpr int kIdcLatitude = 1003;
inline constexpr int kIdcLongitude = 1004;
inline constexpr int kIdcOutputFile = 1005;
inline constexpr int kIdcHeight = 1006;
inline constexpr int kIdcBrowseOutput = 1007;
inline constexpr int kIdcInputFile = 1008;
inline constexpr int kIdcBrowseInput = 1009;
inline constexpr int kIdcTolerance = 1010;
inline constexpr int kIdcNorth = 1011;
inline constexpr int kIdcEast = 1012;
inline constexpr int kIdcTolerance2d = 1013;  // first of the radio group
inline constexpr int kIdcTolerance3d = 1014;
inline constexpr int kIdcDatumName = 1015;
inline constexpr int kIdcMajorAxis = 1016;
inline constexpr int kIdcInverseFlattening = 1017;
inline constexpr int kIdcApproxGeodetic = 1018;
inline constexpr int kIdcApproxNee = 1019;
inline constexpr int kIdcElevation = 1020;
inline constexpr int kIdcAntennaToAntenna = 1037;
inline constexpr int kIdcLocalNee = 1038;
inline constexpr int kIdcCheckFiles = 1039;  // check report and plot beside the output
inline constexpr int kIdcGridCode = 1040;    // the projected grid's EPSG code

// Station merge dialog (its ids may repeat those of the main dialog).
inline constexpr int kIdcMergeSame = 1020;       // ends the dialog with 6
inline constexpr int kIdcMergeDifferent = 1021;  // ends the dialog with 7
inline constexpr int kIdcMergeNorth1 = 1022;     // read-only values of the first station
inline constexpr int kIdcMergeEast1 = 1023;
inline constexpr int kIdcMergeElevation1 = 1024;
inline constexpr int kIdcMergeNorth2 = 1025;  // and of the second
inline constexpr int kIdcMergeEast2 = 1026;
inline constexpr int kIdcMergeElevation2 = 1027;
inline constexpr int kIdcMergeSeparation = 1028;  // the distance between the two
inline constexpr int kIdcMergeCheckKind = 1029;   // which check found them (local or geodetic)
inline constexpr int kIdcMergeUse1 = 1030;        // "Use station:" radio buttons
inline constexpr int kIdcMergeUse2 = 1031;
inline constexpr int kIdcMergeName1 = 1032;  // name with its description
inline constexpr int kIdcMergeName2 = 1033;
// The answers for every pair of the group still to come; each ends the
// dialog with its own id.
inline constexpr int kIdcMergeSameForAll = 1034;
inline constexpr int kIdcMergeDifferentForAll = 1035;
inline constexpr int kIdcMergeGroup = 1036;  // the group's size and its pairs left

}  // namespace trovisk
