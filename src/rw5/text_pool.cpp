// The shared text pool.
#include "rw5/text_pool.h"

namespace trovisk {

TextPool::TextPool() { Clear(); }

void TextPool::Clear() {
  texts_.assign(1, std::string());
  numbers_.Clear();
}

std::int32_t TextPool::Intern(std::string_view text) {
  if (text.empty()) return 0;
  const std::int32_t found = numbers_.Find(text, [this](std::int32_t id) { return Text(id); });
  if (found != 0) return found;
  const auto id = static_cast<std::int32_t>(texts_.size());
  texts_.emplace_back(text);
  numbers_.Add(text, id);
  return id;
}

}  // namespace trovisk
