// <windows.h> and the common controls for the dialog code, without the macros
// that rename the core's functions (windows.h maps FormatMessage to FormatMessageW).
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#ifdef FormatMessage
#undef FormatMessage
#endif
