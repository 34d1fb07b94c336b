// The record codes the reader knows, and the question asked once per unsupported code.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "base/status.h"
#include "base/user_interface.h"
#include "rw5/field_splitter.h"

namespace trovisk {

// What to do with a record after its code was checked.
inline constexpr int kHandleRecord = 0;
inline constexpr int kSkipRecord = 1;
inline constexpr int kStopReading = -1;

// Records of one pointing from the occupied station, by their two-letter key:
// each names a foresight, which may be a station not yet seen.
constexpr bool IsPointingRecord(int key) {
  switch (key) {
    case TwoLetterKey('S', 'S'):
    case TwoLetterKey('T', 'R'):
    case TwoLetterKey('O', 'B'):
    case TwoLetterKey('B', 'D'):
    case TwoLetterKey('B', 'R'):
    case TwoLetterKey('F', 'D'):
    case TwoLetterKey('F', 'R'):
      return true;
    default:
      return false;
  }
}

// True for the codes of the format, which are never reported as unsupported.
bool IsKnownRecordCode(std::string_view code);

// Checks the code of the record on `line`: kHandleRecord for a known code,
// kSkipRecord for one the user already agreed to skip or agrees to skip now
// (message 2121, after which the code is added to `skipped_codes`), and
// kStopReading with `error_code` 2121 when the user declines.
class RecordCodeChecker {
 public:
  RecordCodeChecker(std::vector<std::string>& skipped_codes, UserInterface& ui);
  int Check(std::string_view code, int line, Status& error_code);

 private:
  std::vector<std::string>& skipped_codes_;
  UserInterface& ui_;
  std::unordered_set<std::string> skipped_index_;
};

}  // namespace trovisk
