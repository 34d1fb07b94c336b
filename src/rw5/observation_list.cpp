// The observation list and the details beside it.
#include "rw5/observation.h"

namespace trovisk {

void ObservationList::resize(std::size_t count) {
  records_.resize(count);
  // Details are added in record order, so those of dropped records are last.
  std::size_t kept = 0;
  for (const ObservationRecord& record : records_) {
    if (record.detail > 0 && static_cast<std::size_t>(record.detail) > kept) {
      kept = static_cast<std::size_t>(record.detail);
    }
  }
  if (kept < details_.size()) details_.resize(kept);
}

void ObservationList::clear() {
  records_.clear();
  details_.clear();
}

void ObservationList::assign(std::size_t count, const ObservationRecord& record) {
  clear();
  records_.assign(count, record);
}

ObservationDetail& ObservationList::Detail(ObservationRecord& record) {
  if (record.detail <= 0 || static_cast<std::size_t>(record.detail) > details_.size()) {
    details_.emplace_back();
    record.detail = static_cast<std::int32_t>(details_.size());
  }
  return details_[static_cast<std::size_t>(record.detail) - 1];
}

const ObservationDetail& ObservationList::Detail(const ObservationRecord& record) const {
  static const ObservationDetail kNone;
  if (record.detail <= 0 || static_cast<std::size_t>(record.detail) > details_.size()) return kNone;
  return details_[static_cast<std::size_t>(record.detail) - 1];
}

}  // namespace trovisk
