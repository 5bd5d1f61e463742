#include "storage/shown_values.h"

#include <algorithm>
#include <memory>
#include <unordered_map>

#include "storage/char_entry.h"
#include "storage/entry_blocks.h"

namespace tomo {

namespace {

// How many of the `count` entries from `entries` on belong to the run of record `record`
// whose name `key` matches, up to the first marked 1, which ends it; their characters go to
// `characters`. `ended` tells whether a mark 1 ended it.
template <typename Key>
std::int64_t RunLength(const unsigned char* entries, std::int64_t count, std::int64_t record,
                       const Key& key, char* characters, bool& ended) {
  const unsigned char* entry = entries;
  for (std::int64_t k = 0; k < count; ++k, entry += kEntrySize) {
    if (EntryRecord(entry) != record || !key.Matches(entry)) return k;
    characters[k] = EntryCharacter(entry);
    if (EntryMark(entry) == 1) {
      ended = true;
      return k + 1;
    }
  }
  return count;
}

// Why one pass finds every value. ReadValue(F, R) from entry s stops at the first entry
// i >= s of F and R marked 1, with the characters of F and R collected since the last entry
// of another name. Call a stretch a longest sequence of consecutive entries named F. Its
// text is then the characters of R's entries in i's stretch up to i, if the scan began at or
// before the stretch: the scans that matter begin at entry 1 or at R's first entry of field
// 1's name, which is of another name than F, or, when F is that name, has no entry of R
// before it. So the pass keeps, per stretch and record, the characters up to the record's
// first mark 1, and which one of the values found a record shows is chosen afterwards.
class Pass {
 public:
  explicit Pass(const FieldNames& names) : names_(names) {}

  void Take(std::int64_t first, std::int64_t count, const unsigned char* entries,
            char* characters) {
    for (std::int64_t k = 0; k < count;) {
      const unsigned char* entry = entries + k * kEntrySize;
      const std::int64_t record = EntryRecord(entry);
      RecordState& state = StateOf(record);
      const std::uint32_t name = names_.Of(entry, stretchName_);
      if (name == FieldNames::kNone) {
        stretchName_ = name;
        ++k;
        continue;
      }
      if (name != stretchName_) {
        stretchName_ = name;
        ++stretch_;
        stretchText_.Clear();
        pieces_.clear();
      }
      if (name == 0 && state.start == 0) state.start = first + k;
      if (state.stretch != stretch_) state.InStretch(stretch_);
      bool ended = false;
      const std::int64_t n = Run(entry, count - k, record, names_.Key(name), characters + k, ended);
      if (!state.done) {
        const std::string_view run(characters + k, static_cast<std::size_t>(n));
        if (ended) {
          Complete(record, name, state, run);
        } else {
          Keep(state, run);
        }
      }
      k += n;
    }
  }

  ShownValues Finish(bool cutShort) {
    ShownValues found;
    found_.Finish();
    found.values = std::move(found_);
    found.lastRecord = lastRecord_;
    found.cutShort = cutShort;
    found.records.reserve(records_.size());
    for (const auto& [record, state] : records_) found.records.push_back({record, state.start});
    records_ = {};
    std::sort(found.records.begin(), found.records.end(),
              [](const RecordStart& a, const RecordStart& b) { return a.record < b.record; });
    return found;
  }

 private:
  static constexpr std::size_t kNoPiece = ~std::size_t{0};
  struct RecordState {
    std::int64_t start = 0;
    // Its characters in stretch `stretch`, as a list of pieces, until its first mark 1 there.
    std::uint64_t stretch = 0;
    std::size_t first = kNoPiece;
    std::size_t last = kNoPiece;
    bool done = false;
    void InStretch(std::uint64_t number) {
      stretch = number;
      first = last = kNoPiece;
      done = false;
    }
  };
  // Characters of one record in the stretch at hand: the records' runs may interleave there.
  struct Piece {
    std::size_t offset;  // in stretchText_
    std::size_t length;
    std::size_t next;
  };

  // Short names are compared in one or two words that stay in registers.
  static std::int64_t Run(const unsigned char* entry, std::int64_t count, std::int64_t record,
                          const NameKey& key, char* characters, bool& ended) {
    if (const auto one = key.InWords<1>()) {
      return RunLength(entry, count, record, *one, characters, ended);
    }
    if (const auto two = key.InWords<2>()) {
      return RunLength(entry, count, record, *two, characters, ended);
    }
    return RunLength(entry, count, record, key, characters, ended);
  }

  RecordState& StateOf(std::int64_t record) {
    lastRecord_ = record;
    if (state_ == nullptr || record != stateRecord_) {
      state_ = &records_[record];
      stateRecord_ = record;
    }
    return *state_;
  }

  void Keep(RecordState& state, std::string_view run) {
    const std::size_t piece = pieces_.size();
    pieces_.push_back({stretchText_.size(), run.size(), kNoPiece});
    stretchText_.Append(run.data(), run.size());
    (state.first == kNoPiece ? state.first : pieces_[state.last].next) = piece;
    state.last = piece;
  }

  // The value ends with the characters of `last`, a run not kept: most values are one run.
  void Complete(std::int64_t record, std::uint32_t name, RecordState& state,
                std::string_view last) {
    joined_.clear();
    for (std::size_t p = state.first; p != kNoPiece; p = pieces_[p].next) {
      joined_.append(stretchText_.begin() + pieces_[p].offset, pieces_[p].length);
    }
    found_.Add(record, name, state.start != 0, joined_, last);
    state.done = true;
  }

  const FieldNames& names_;
  // Element references stay valid as the map grows.
  std::unordered_map<std::int64_t, RecordState> records_;
  RecordState* state_ = nullptr;
  std::int64_t stateRecord_ = 0;
  std::int64_t lastRecord_ = 0;
  std::uint32_t stretchName_ = FieldNames::kNone;
  std::uint64_t stretch_ = 1;
  GrowingArray<char> stretchText_;
  std::vector<Piece> pieces_;
  std::string joined_;
  FoundValues found_;
};

}  // namespace

ShownValues FindShownValues(const Database& database, const FieldNames& names,
                            const ReadProgress& progress, std::int64_t first) {
  Pass pass(names);
  EntryBlocks blocks(database, first);
  blocks.ReadAhead();
  const auto characters =
      std::make_unique_for_overwrite<char[]>(static_cast<std::size_t>(blocks.BlockEntries()));
  std::int64_t read = 0;
  while (blocks.Next()) {
    pass.Take(blocks.First(), blocks.Count(), blocks.Bytes(0), characters.get());
    read += blocks.Count();
    if (progress) progress(read, blocks.Entries());
  }
  const std::int64_t wanted = blocks.Entries() - std::max<std::int64_t>(first, 1) + 1;
  return pass.Finish(read < wanted);
}

void PickShownValues(ShownValues& found, const RecordStart& record, bool fromBefore,
                     RecordValues& byName) {
  std::fill(byName.begin(), byName.end(), std::nullopt);
  found.values.Visit(record.record,
                     [&](std::uint32_t name, bool afterStart, std::string_view text) {
                       if (!byName[name] && (fromBefore || afterStart)) byName[name] = text;
                     });
}

}  // namespace tomo
