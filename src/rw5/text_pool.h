// Texts many records share (station descriptions such as "IRON PIN" or
// "GROUND"), each kept once and referred to by a small number.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "rw5/text_index.h"

namespace trovisk {

class TextPool {
 public:
  TextPool();

  // The number of `text`, added when new; the empty text is always 0.
  std::int32_t Intern(std::string_view text);
  // The text of a number; empty for 0 and for a number never given out.
  std::string_view Text(std::int32_t id) const {
    if (id <= 0 || static_cast<std::size_t>(id) >= texts_.size()) return {};
    return texts_[static_cast<std::size_t>(id)];
  }

  void Clear();

 private:
  std::vector<std::string> texts_;  // by number; 0 is the empty text
  TextIndex numbers_;
};

}  // namespace trovisk
