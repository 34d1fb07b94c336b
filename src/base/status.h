// How a step of a conversion ended. Every step takes the run's status by
// reference and does nothing once it is no longer kOk.
#pragma once

namespace trovisk {

enum class Status {
  kOk,
  kWriteError,      // the output could not be written
  kOutOfMemory,     // the lists or buffers did not fit
  kReadError,       // the input could not be read
  kCancelled,       // the user declined a question that the run needs answered Yes
  kInvalidOptions,  // the options do not pass validation: the run does not start
  kCannotStart,     // a file is not named, or cannot be opened: the run ends before it starts
};

}  // namespace trovisk
