// The values a pass over the record file finds, kept for handing out by record afterwards.
// Most files give them in order of record and field, and those are kept in 16 bytes each
// besides their text; the others are sorted at the end.
#pragma once

#include <cstdint>
#include <string_view>

#include "storage/growing_array.h"

namespace tomo {

class FoundValues {
 public:
  // A value of name `name` in record `record`, its text in two pieces; `afterStart` tells
  // whether it ends after the record's first entry of field 1's name.
  void Add(std::int64_t record, std::uint32_t name, bool afterStart, std::string_view head,
           std::string_view tail);
  // After the last Add.
  void Finish();
  // Calls take(name, afterStart, text) for each value of `record`, those of each name in the
  // order they were added. Records asked for must ascend.
  template <typename Take>
  void Visit(std::int64_t record, Take take);

 private:
  struct Record {
    std::int64_t record;
    std::size_t first;  // its first value in inOrder_
  };
  struct InOrder {
    std::uint64_t end;  // of its text in inOrderText_, which begins where the one before ends
    std::uint32_t name;
    bool afterStart;
  };
  struct OutOfOrder {
    std::int64_t record;
    std::uint64_t offset;  // of its text in outOfOrderText_, growing as values are added
    std::uint64_t length;
    std::uint32_t name;
    bool afterStart;
  };

  GrowingArray<Record> records_;
  GrowingArray<InOrder> inOrder_;
  GrowingArray<char> inOrderText_;
  std::uint32_t lastName_ = 0;  // of the last value in order
  // A value of a record and name below the last in order's: every later one of that record
  // and name is, too, so all of a name's values in order come before its others.
  GrowingArray<OutOfOrder> outOfOrder_;
  GrowingArray<char> outOfOrderText_;
  std::size_t nextRecord_ = 0;
  std::size_t nextOther_ = 0;
};

template <typename Take>
void FoundValues::Visit(std::int64_t record, Take take) {
  while (nextRecord_ < records_.size() && records_[nextRecord_].record < record) ++nextRecord_;
  if (nextRecord_ < records_.size() && records_[nextRecord_].record == record) {
    const std::size_t end =
        nextRecord_ + 1 < records_.size() ? records_[nextRecord_ + 1].first : inOrder_.size();
    for (std::size_t v = records_[nextRecord_].first; v < end; ++v) {
      const std::uint64_t begin = v == 0 ? 0 : inOrder_[v - 1].end;
      take(inOrder_[v].name, inOrder_[v].afterStart,
           std::string_view(inOrderText_.begin() + begin, inOrder_[v].end - begin));
    }
  }
  while (nextOther_ < outOfOrder_.size() && outOfOrder_[nextOther_].record < record) ++nextOther_;
  for (; nextOther_ < outOfOrder_.size() && outOfOrder_[nextOther_].record == record;
       ++nextOther_) {
    const OutOfOrder& value = outOfOrder_[nextOther_];
    take(value.name, value.afterStart,
         std::string_view(outOfOrderText_.begin() + value.offset, value.length));
  }
}

}  // namespace tomo
