// The shared text pool.
#include "rw5/text_pool.h"

#include "rw5/byte_words.h"

namespace trovisk {
namespace {

// Descriptions are short: up to eight bytes compare as one word each.
bool SameText(std::string_view kept, std::string_view text) {
  if (kept.size() != text.size()) return false;
  if (text.size() <= kWordBytes) {
    return LoadWord(kept.data(), kept.size()) == LoadWord(text.data(), text.size());
  }
  return kept == text;
}

constexpr std::size_t kFirstSlotCount = 16;
// An odd 64-bit constant of well-mixed bits (the golden ratio's fraction).
constexpr std::uint64_t kHashMultiplier = 0x9E3779B97F4A7C15ULL;

}  // namespace

TextPool::TextPool() { Clear(); }

void TextPool::Clear() {
  texts_.assign(1, std::string());
  slots_.assign(kFirstSlotCount, 0);
  last_ = 0;
}

std::uint64_t TextPool::HashOf(std::string_view text) {
  // Eight bytes at a time: descriptions are short, so this is a step or two.
  std::uint64_t hash = text.size() * kHashMultiplier;
  std::size_t i = 0;
  for (; i + kWordBytes <= text.size(); i += kWordBytes) {
    hash = (hash ^ LoadWord(text.data() + i, kWordBytes)) * kHashMultiplier;
  }
  hash = (hash ^ LoadWord(text.data() + i, text.size() - i)) * kHashMultiplier;
  return hash ^ (hash >> 32);
}

std::size_t TextPool::Slot(std::string_view text, std::uint64_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const std::int32_t id = slots_[slot];
    if (id == 0 || SameText(texts_[static_cast<std::size_t>(id)], text)) return slot;
  }
}

void TextPool::Rehash(std::size_t slot_count) {
  // Built aside, so that running out of memory leaves the index as it was.
  std::vector<std::int32_t> slots(slot_count, 0);
  const std::size_t mask = slot_count - 1;
  for (std::size_t id = 1; id < texts_.size(); ++id) {
    std::size_t slot = HashOf(texts_[id]) & mask;
    while (slots[slot] != 0) slot = (slot + 1) & mask;
    slots[slot] = static_cast<std::int32_t>(id);
  }
  slots_.swap(slots);
}

std::int32_t TextPool::Intern(std::string_view text) {
  if (text.empty()) return 0;
  if (last_ != 0 && SameText(texts_[static_cast<std::size_t>(last_)], text)) return last_;
  const std::uint64_t hash = HashOf(text);
  std::size_t slot = Slot(text, hash);
  if (slots_[slot] != 0) return last_ = slots_[slot];
  // The index grows before the text is added, so that a failure in either
  // step leaves the pool as it was.
  if (texts_.size() * 2 >= slots_.size()) {
    Rehash(slots_.size() * 2);
    slot = Slot(text, hash);
  }
  texts_.emplace_back(text);
  last_ = static_cast<std::int32_t>(texts_.size() - 1);
  slots_[slot] = last_;
  return last_;
}

}  // namespace trovisk
