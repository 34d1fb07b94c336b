// Dialog 103: shows both stations and returns the user's choice.
#include "app/win32/merge_dialog.h"

#include <cstdio>
#include <string>

#include "app/win32/resource.h"
#include "app/win32/wide_text.h"
#include "base/merge_group_line.h"

namespace trovisk {
namespace {

// The answers for the rest of a group end the dialog with their button's id.
static_assert(static_cast<int>(MergeDecision::kSameForAllRemaining) == IDC_MERGE_SAME_FOR_ALL);
static_assert(static_cast<int>(MergeDecision::kDifferentForAllRemaining) ==
              IDC_MERGE_DIFFERENT_FOR_ALL);

struct MergeState {
  const MergeOffer* offer;
  MergeAnswer answer;
};

// Metres with a tenth of a millimetre, enough to see a 1 cm separation.
std::wstring Metres(double value) {
  char text[64];
  std::snprintf(text, sizeof(text), "%.4f", value);
  return WideFromUtf8(text);
}

std::wstring NameLine(const MergeCandidate& station) {
  std::string line = station.name;
  if (!station.description.empty()) line += " - " + station.description;
  return WideFromUtf8(line);
}

void ShowCandidate(HWND dialog, const MergeCandidate& station, int name_id, int north_id,
                   int east_id, int elevation_id) {
  SetDlgItemTextW(dialog, name_id, NameLine(station).c_str());
  SetDlgItemTextW(dialog, north_id, Metres(station.north).c_str());
  SetDlgItemTextW(dialog, east_id, Metres(station.east).c_str());
  SetDlgItemTextW(dialog, elevation_id, Metres(station.elevation).c_str());
}

void OnInit(HWND dialog, const MergeOffer& offer) {
  ShowCandidate(dialog, offer.first, IDC_MERGE_NAME1, IDC_MERGE_NORTH1, IDC_MERGE_EAST1,
                IDC_MERGE_ELEVATION1);
  ShowCandidate(dialog, offer.second, IDC_MERGE_NAME2, IDC_MERGE_NORTH2, IDC_MERGE_EAST2,
                IDC_MERGE_ELEVATION2);
  SetDlgItemTextW(dialog, IDC_MERGE_SEPARATION, Metres(offer.separation).c_str());
  SetDlgItemTextW(dialog, IDC_MERGE_CHECK_KIND,
                  offer.geodetic ? L"geodetic coordinates" : L"North, East, Elev");
  SetDlgItemTextW(dialog, IDC_MERGE_GROUP, WideFromUtf8(MergeGroupLine(offer)).c_str());
  CheckRadioButton(dialog, IDC_MERGE_USE1, IDC_MERGE_USE2, IDC_MERGE_USE1);
}

// Ends the dialog with `decision`, keeping the station whose "Use station:"
// button is set.
void EndWith(HWND dialog, MergeState& state, MergeDecision decision) {
  state.answer.decision = decision;
  state.answer.keep_first = IsDlgButtonChecked(dialog, IDC_MERGE_USE2) != BST_CHECKED;
  EndDialog(dialog, static_cast<INT_PTR>(decision));
}

INT_PTR CALLBACK MergeProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* state = reinterpret_cast<MergeState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lparam);
      state = reinterpret_cast<MergeState*>(lparam);
      OnInit(dialog, *state->offer);
      return TRUE;
    case WM_COMMAND:
      if (state == nullptr) return FALSE;
      switch (LOWORD(wparam)) {
        case IDC_MERGE_SAME:
          EndWith(dialog, *state, MergeDecision::kSame);
          return TRUE;
        case IDC_MERGE_DIFFERENT:
          EndWith(dialog, *state, MergeDecision::kDifferent);
          return TRUE;
        case IDC_MERGE_SAME_FOR_ALL:
          EndWith(dialog, *state, MergeDecision::kSameForAllRemaining);
          return TRUE;
        case IDC_MERGE_DIFFERENT_FOR_ALL:
          EndWith(dialog, *state, MergeDecision::kDifferentForAllRemaining);
          return TRUE;
        case IDCANCEL:
          EndWith(dialog, *state, MergeDecision::kCancel);
          return TRUE;
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}

}  // namespace

MergeAnswer RunMergeDialog(HINSTANCE instance, HWND owner, const MergeOffer& offer) {
  MergeState state{&offer, MergeAnswer{MergeDecision::kCancel, true}};
  INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MERGE), owner, MergeProc,
                                   reinterpret_cast<LPARAM>(&state));
  if (result <= 0) return MergeAnswer{MergeDecision::kCancel, true};
  return state.answer;
}

}  // namespace trovisk
