// The shared text pool.
#include "rw5/text_pool.h"

namespace trovisk {

TextPool::TextPool() { Clear(); }

void TextPool::Clear() {
  index_.clear();
  texts_.clear();
  texts_.emplace_back();
}

std::int32_t TextPool::Intern(std::string_view text) {
  if (text.empty()) return 0;
  auto found = index_.find(text);
  if (found != index_.end()) return found->second;
  const std::string& kept = texts_.emplace_back(text);
  auto id = static_cast<std::int32_t>(texts_.size() - 1);
  index_.emplace(kept, id);
  return id;
}

std::string_view TextPool::Text(std::int32_t id) const {
  if (id <= 0 || static_cast<std::size_t>(id) >= texts_.size()) return {};
  return texts_[static_cast<std::size_t>(id)];
}

}  // namespace trovisk
