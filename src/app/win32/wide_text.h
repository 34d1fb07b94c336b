// Conversions between the core's UTF-8 text and the wide text of the Windows API.
#pragma once

#include <string>
#include <string_view>

namespace trovisk {

// UTF-8 to UTF-16; an invalid byte becomes U+FFFD.
std::wstring WideFromUtf8(std::string_view text);
// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf8FromWide(std::wstring_view text);
// Text coming back from the core: UTF-8, or, when it is not valid UTF-8 (a
// file name handed to the core in the ANSI code page), the ANSI code page.
std::wstring WideFromCoreText(std::string_view text);

}  // namespace trovisk
