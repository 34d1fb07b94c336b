// <windows.h> and the common controls for the dialog code.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
