// Where the running program lives, so that its settings file can sit beside it.
#pragma once

#include <string>

namespace trovisk {

// The full name of the running program as UTF-8; `argv0` when the system
// cannot tell.
std::string ProgramPath(const char* argv0);

}  // namespace trovisk
