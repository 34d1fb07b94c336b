// <windows.h> for the dialog code, without the macros that rename the core's
// functions (windows.h maps FormatMessage to FormatMessageW).
#pragma once

#include <windows.h>

#ifdef FormatMessage
#undef FormatMessage
#endif
