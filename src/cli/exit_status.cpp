// Exit status from the final message of a run.
#include "cli/exit_status.h"

#include "base/message_table.h"
#include "base/status.h"

namespace trovisk {

int ExitStatusFor(const ConversionOutcome& outcome) {
  switch (outcome.message_id) {
    case kMsgSuccess:
    case kMsgSuccessWithApprox:
      return kExitSuccess;
    case kMsgCancelled:
      return kExitCancelled;
    case 0:
      // No final message: the run did not start.
      if (outcome.status == Status::kInvalidOptions) return kExitInvalidOptions;
      // Only a success message counts as success.
      return outcome.status == Status::kCancelled ? kExitCancelled : kExitFailed;
    default:
      return kExitFailed;
  }
}

}  // namespace trovisk
