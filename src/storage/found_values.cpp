#include "storage/found_values.h"

#include <algorithm>
#include <tuple>

namespace tomo {

void FoundValues::Add(std::int64_t record, std::uint32_t name, bool afterStart,
                      std::string_view head, std::string_view tail) {
  const bool any = records_.size() > 0;
  const std::int64_t last = any ? records_[records_.size() - 1].record : 0;
  if (!any || record > last || (record == last && name >= lastName_)) {
    if (!any || record != last) records_.Push({record, inOrder_.size()});
    inOrderText_.Append(head.data(), head.size());
    inOrderText_.Append(tail.data(), tail.size());
    inOrder_.Push({inOrderText_.size(), name, afterStart});
    lastName_ = name;
    return;
  }
  outOfOrder_.Push({record, outOfOrderText_.size(), head.size() + tail.size(), name, afterStart});
  outOfOrderText_.Append(head.data(), head.size());
  outOfOrderText_.Append(tail.data(), tail.size());
}

void FoundValues::Finish() {
  std::sort(outOfOrder_.begin(), outOfOrder_.end(), [](const OutOfOrder& a, const OutOfOrder& b) {
    return std::tie(a.record, a.name, a.offset) < std::tie(b.record, b.name, b.offset);
  });
}

}  // namespace tomo
