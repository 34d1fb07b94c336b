// Texts many records share (station descriptions such as "IRON PIN" or
// "GROUND"), each kept once and referred to by a small number.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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
  static std::uint64_t HashOf(std::string_view text);
  // The slot of `text`: the one holding its number, or the empty one where it belongs.
  std::size_t Slot(std::string_view text, std::uint64_t hash) const;
  void Rehash(std::size_t slot_count);

  std::vector<std::string> texts_;  // by number; 0 is the empty text
  // Open addressing over the numbers (0: empty slot); a power of two in size,
  // never more than half full.
  std::vector<std::int32_t> slots_;
  // The number last given out: descriptions often repeat in runs.
  std::int32_t last_ = 0;
};

}  // namespace trovisk
