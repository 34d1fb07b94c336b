// Known record codes and the skip question for the others.
#include "rw5/record_codes.h"

#include <array>
#include <bitset>
#include <vector>

#include "base/message_table.h"
#include "base/show_message.h"
#include "base/status.h"
#include "rw5/field_splitter.h"

namespace trovisk {
namespace {

constexpr std::array<std::string_view, 41> kKnownCodes = {
    "--",                                                              // note
    "JB", "MO", "OC", "SP", "AP", "DE", "GR", "GS", "RP",              // job, mode, stations
    "TR", "SS", "OB", "BD", "BR", "FR", "FD", "BK", "LS", "BP", "BL",  // observations
    "CV", "AH",                                                        //
    "ES", "PJ", "CS", "ST", "DT", "HA", "VA", "CG", "EE", "EP", "GP",  // other records
    "RX", "EQ",                                                        //
    "G0", "G1", "G2", "G3", "G4"};  // receiver vectors: header, vector, variances, covariances,
                                    // tilt

// The one known code longer than two letters: a GPS point's position.
constexpr std::string_view kGpsPositionCode = "GPS";

// The two-letter codes, one bit each by their pair of letters.
const std::bitset<1 << 16> kKnownPairs = [] {
  std::bitset<1 << 16> pairs;
  for (std::string_view code : kKnownCodes) pairs.set(TwoLetterKey(code[0], code[1]));
  return pairs;
}();

// Asks whether records of an unsupported code are to be skipped.
int AskToSkip(std::string_view code, int line, UserInterface& ui, Status& error_code) {
  error_code = Status::kCancelled;
  Answer answer = ShowMessage(ui, kMsgCodeNotSupported, Buttons::kYesNo, {line, code});
  if (answer != Answer::kYes) return kStopReading;
  error_code = Status::kOk;
  return kSkipRecord;
}

}  // namespace

bool IsKnownRecordCode(std::string_view code) {
  if (code.size() != 2) return code == kGpsPositionCode;
  return kKnownPairs[TwoLetterKey(code[0], code[1])];
}

RecordCodeChecker::RecordCodeChecker(std::vector<std::string>& skipped_codes, UserInterface& ui)
    : skipped_codes_(skipped_codes),
      ui_(ui),
      skipped_index_(skipped_codes.begin(), skipped_codes.end()) {}

int RecordCodeChecker::Check(std::string_view code, int line, Status& error_code) {
  if (IsKnownRecordCode(code)) return kHandleRecord;
  if (skipped_index_.count(std::string(code)) != 0) return kSkipRecord;
  int result = AskToSkip(code, line, ui_, error_code);
  if (result == kSkipRecord) {
    skipped_codes_.emplace_back(code);
    skipped_index_.emplace(code);
  }
  return result;
}

}  // namespace trovisk
