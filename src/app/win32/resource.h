// Resource and control ids of the Windows dialogs, shared by the .rc, the
// dialog code and the UI test driver.
#pragma once

// Dialogs, icon and the system-menu command.
#define IDD_ABOUT 100
#define IDD_MAIN 102
#define IDD_MERGE 103
#define IDI_ICON 128
#define IDM_ABOUT 16  // below 0xF000 with the low four bits clear, as system commands must be

// Main dialog controls.
#define IDC_CONVERT 1000
#define IDC_SEED_NAME 1002
#define IDC_LATITUDE 1003
#define IDC_LONGITUDE 1004
#define IDC_OUTPUT_FILE 1005
#define IDC_HEIGHT 1006
#define IDC_BROWSE_OUTPUT 1007
#define IDC_INPUT_FILE 1008
#define IDC_BROWSE_INPUT 1009
#define IDC_TOLERANCE 1010
#define IDC_NORTH 1011
#define IDC_EAST 1012
#define IDC_TOLERANCE_2D 1013
#define IDC_TOLERANCE_3D 1014
#define IDC_DATUM_NAME 1015
#define IDC_MAJOR_AXIS 1016
#define IDC_INVERSE_FLATTENING 1017
#define IDC_APPROX_GEODETIC 1018
#define IDC_APPROX_NEE 1019
#define IDC_ELEVATION 1020
#define IDC_ANTENNA_TO_ANTENNA 1037
#define IDC_LOCAL_NEE 1038
#define IDC_CHECK_FILES 1039
#define IDC_GRID_CODE 1040

// Merge dialog controls.
#define IDC_MERGE_SAME 1020
#define IDC_MERGE_DIFFERENT 1021
#define IDC_MERGE_NORTH1 1022
#define IDC_MERGE_EAST1 1023
#define IDC_MERGE_ELEVATION1 1024
#define IDC_MERGE_NORTH2 1025
#define IDC_MERGE_EAST2 1026
#define IDC_MERGE_ELEVATION2 1027
#define IDC_MERGE_SEPARATION 1028
#define IDC_MERGE_CHECK_KIND 1029
#define IDC_MERGE_USE1 1030
#define IDC_MERGE_USE2 1031
#define IDC_MERGE_NAME1 1032
#define IDC_MERGE_NAME2 1033
#define IDC_MERGE_SAME_FOR_ALL 1034
#define IDC_MERGE_DIFFERENT_FOR_ALL 1035
#define IDC_MERGE_GROUP 1036

// About box text line that carries the version.
#define IDC_ABOUT_VERSION 1100

// Message texts in the string table, by their message numbers.
#define IDS_ABOUT_MENU 101
#define IDS_WRITE_ERROR 1001
#define IDS_OUT_OF_MEMORY 1002
#define IDS_READ_ERROR 1003
#define IDS_STATION_NOT_FOUND 2111
#define IDS_NO_INPUT_NAME 2112
#define IDS_NO_OUTPUT_NAME 2113
#define IDS_CANNOT_OPEN 2114
#define IDS_OUTPUT_IS_INPUT 2115
#define IDS_FILE_NAME_TOO_LONG 2116
#define IDS_CODE_NOT_SUPPORTED 2121
#define IDS_USE_FILE_GEODETIC 2122
#define IDS_USE_FILE_NEE 2123
#define IDS_SUCCESS_WITH_APPROX 2211
#define IDS_CANCELLED 2212
#define IDS_SUCCESS 2213
#define IDS_ENTER_NUMBER 3001
#define IDS_ENTER_NUMBER_BETWEEN 3002
#define IDS_ENTER_FEWER_CHARACTERS 3003
#define IDS_UNKNOWN_GRID 3004
