// Records handed on many at a time, their values' text in one block: a reading passes a batch
// to another thread whole, by swapping it, instead of copying every value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tomo {

// A record's values by field, as stored; none for an absent value.
using RecordValues = std::vector<std::optional<std::string_view>>;

struct RecordBatch {
  static constexpr std::int64_t kAbsent = -1;
  // A batch is handed on at about this much text, or this many values: small enough that the
  // thread it goes to soon starts, and has little left to do once the reading ends.
  static constexpr std::size_t kFullText = std::size_t{256} << 10;
  static constexpr std::size_t kFullValues = std::size_t{1} << 15;
  // The records, in ascending order, each with an entry of `ends` per field: where its value's
  // text ends in `text`, the value beginning where the present value before it ended; kAbsent
  // for none.
  std::vector<std::int64_t> records;
  std::vector<std::int64_t> ends;
  std::string text;
  // When not empty, where each value's text begins, one per entry of `ends`: the values then
  // lie anywhere in `text`, as rendered where they were read.
  std::vector<std::int64_t> begins;

  bool Empty() const { return records.empty(); }
  // Whether the batch, its text `textBytes` long, is full enough to hand on.
  bool Full(std::size_t textBytes) const {
    return textBytes >= kFullText || ends.size() >= kFullValues;
  }
  // Adds a record, copying its values' texts; for a batch whose values lie one after another.
  void Add(std::int64_t record, const RecordValues& values) {
    records.push_back(record);
    for (const auto& value : values) {
      if (value) text += *value;
      ends.push_back(value ? static_cast<std::int64_t>(text.size()) : kAbsent);
    }
  }
  void Clear() {
    records.clear();
    ends.clear();
    text.clear();
    begins.clear();
  }
  // For each record: start(record), value(text, or none when absent) for each of its values,
  // and end().
  template <typename Start, typename Value, typename End>
  void ForEachValue(Start start, Value value, End end) const {
    if (records.empty()) return;
    const std::size_t fields = ends.size() / records.size();
    const bool placed = !begins.empty();
    std::size_t v = 0;
    std::int64_t begin = 0;
    for (const std::int64_t record : records) {
      start(record);
      for (const std::size_t last = v + fields; v < last; ++v) {
        const std::int64_t stop = ends[v];
        if (stop == kAbsent) {
          value(std::optional<std::string_view>());
          continue;
        }
        if (placed) begin = begins[v];
        value(std::optional<std::string_view>(
            std::string_view(text.data() + begin, static_cast<std::size_t>(stop - begin))));
        begin = stop;
      }
      end();
    }
  }
  // Calls take(record, values) for each record.
  template <typename Take>
  void ForEach(Take take) const {
    RecordValues values(records.empty() ? 0 : ends.size() / records.size());
    std::int64_t number = 0;
    std::size_t f = 0;
    ForEachValue(
        [&](std::int64_t record) {
          number = record;
          f = 0;
        },
        [&](std::optional<std::string_view> value) { values[f++] = value; },
        [&] { take(number, values); });
  }
};

}  // namespace tomo
