// File names for the core's narrow (std::string) file functions on Windows.
#pragma once

#include <string>

namespace trovisk {

// The name under which the core's narrow file functions find the file named
// by `utf8_path`. Those functions take the ANSI code page: when the process
// runs with UTF-8 as that code page (the manifest asks for it) the name is
// returned unchanged; otherwise it is re-encoded when every character fits,
// or replaced by the short (8.3) name of the file, or of its folder for a
// file still to be written. When nothing fits, the UTF-8 name is returned
// and the core reports that it cannot open it.
std::string CoreFilePath(const std::string& utf8_path);

}  // namespace trovisk
