// File names travel through the core as UTF-8 text; this makes a path of one
// that opens the right file on every system, Windows included.
#pragma once

#include <filesystem>
#include <string>

namespace trovisk {

inline std::filesystem::path Utf8Path(const std::string& name) {
  std::u8string text(name.begin(), name.end());
  return std::filesystem::path(text);
}

}  // namespace trovisk
