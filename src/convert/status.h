// Status codes that every step of a conversion run passes back by reference.
#pragma once

namespace trovisk {

// 0 is good; any other positive value stops the run. Values other than the
// three below (for example an unsupported code the user declined) mean the
// run was cancelled.
inline constexpr int kStatusOk = 0;
inline constexpr int kStatusWriteError = 1001;
inline constexpr int kStatusOutOfMemory = 1002;
inline constexpr int kStatusReadError = 1003;
inline constexpr int kStatusCancelled = 2212;
// Options that do not pass validation: the run does not start.
inline constexpr int kStatusInvalidOptions = 3000;
// A file is not named, or cannot be opened: the run ends before it starts.
inline constexpr int kStatusCannotStart = 3001;

inline bool IsCancelled(int status) {
  return status > 0 && status != kStatusWriteError && status != kStatusOutOfMemory &&
         status != kStatusReadError && status != kStatusInvalidOptions &&
         status != kStatusCannotStart;
}

}  // namespace trovisk
