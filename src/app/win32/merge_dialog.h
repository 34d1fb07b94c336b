// The station merge dialog: two near-coincident stations, "same", "different"
// (for the pair or for the rest of its group) or cancel.
#pragma once

#include "app/win32/windows_api.h"
#include "base/user_interface.h"

namespace trovisk {

// Shows the offer modally over `owner`, with the size of the pair's group and
// the pairs left in it. "Stations Are The &Same" answers kSame with the
// station whose "Use station:" button is set, "Same For All &Remaining"
// kSameForAllRemaining likewise; "Stations Are &Different" kDifferent,
// "Different For All Re&maining" kDifferentForAllRemaining; Cancel, the close
// box or a dialog that cannot be created kCancel, so that nothing is merged
// behind the user's back.
MergeAnswer RunMergeDialog(HINSTANCE instance, HWND owner, const MergeOffer& offer);

}  // namespace trovisk
