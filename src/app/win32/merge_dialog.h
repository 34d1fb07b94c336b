// The station merge dialog: two near-coincident stations, "same", "different" or cancel.
#pragma once

#include "app/win32/windows_api.h"
#include "base/user_interface.h"

namespace trovisk {

// Shows the offer modally over `owner`. "Stations Are The &Same" answers kSame
// with the station whose "Use station:" button is set; "Stations Are
// &Different" kDifferent; Cancel, the close box or a dialog that cannot be
// created kCancel, so that nothing is merged behind the user's back.
MergeAnswer RunMergeDialog(HINSTANCE instance, HWND owner, const MergeOffer& offer);

}  // namespace trovisk
