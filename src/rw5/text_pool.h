// Texts many records share (station descriptions such as "IRON PIN" or
// "GROUND"), each kept once and referred to by a small number.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

namespace trovisk {

class TextPool {
 public:
  TextPool();

  // The number of `text`, added when new; the empty text is always 0.
  std::int32_t Intern(std::string_view text);
  // The text of a number; empty for 0 and for a number never given out.
  std::string_view Text(std::int32_t id) const;

  void Clear();

 private:
  // A deque keeps every text where it is, so the index can point into them.
  std::deque<std::string> texts_;
  std::unordered_map<std::string_view, std::int32_t> index_;
};

}  // namespace trovisk
