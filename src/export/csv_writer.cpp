#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <memory>

#include "export/record_writer.h"
#include "export/text_words.h"
#include "export/typed_value.h"
#include "export/value_text.h"

namespace tomo {

namespace {

// Nonzero when a byte of `word` is `c` times kOnes.
constexpr std::uint64_t kOnes = 0x0101010101010101;
std::uint64_t Holds(std::uint64_t word, std::uint64_t c) {
  const std::uint64_t x = word ^ (c * kOnes);  // a zero byte where `word` holds c
  return (x - kOnes) & ~x & (0x80 * kOnes);
}

// Nonzero when a byte of `word` is below `n` (at most 0x80); bytes from 0x80 on never are.
std::uint64_t Below(std::uint64_t word, std::uint64_t n) {
  return (word - n * kOnes) & ~word & (0x80 * kOnes);
}

// Bytes that can be written past a value's end, overwritten by what follows it.
constexpr std::size_t kSpill = 8;

// What CopyAndTest found in a value: a byte that makes it quoted (a comma, a quote, a carriage
// return or a line feed), and a byte that is not plain ASCII.
constexpr unsigned kQuoted = 1;
constexpr unsigned kNotAscii = 2;

// Copies the value to `out`, which has room for kSpill bytes more, and tells what it found.
// UTF-8 continuation bytes are never among the quoting bytes, so the converted text can be
// looked at eight bytes at a time. All four lie below the comma, and most words hold no byte
// below it (spaces do): the four tests are made only for those that do. Always inlined: most
// values are a word or two.
[[gnu::always_inline]] inline unsigned CopyAndTest(std::string_view text, char* out) {
  std::uint64_t found = 0;
  std::uint64_t all = 0;
  ForEachWord(text, [&](std::uint64_t word, std::size_t at, std::size_t size) {
    std::memcpy(out + at, &word, sizeof word);
    all |= word;
    // The zero bytes past a short word's text get their high bit: they are no text.
    const std::uint64_t marked = size == 8 ? word : word | (~std::uint64_t{0} << (8 * size));
    if (Below(marked, ',' + 1) != 0) {
      found |= Holds(word, ',') | Holds(word, '"') | Holds(word, '\r') | Holds(word, '\n');
    }
  });
  return (found != 0 ? kQuoted : 0) | ((all & (0x80 * kOnes)) != 0 ? kNotAscii : 0);
}

// The output is gathered in pieces of about this size and handed out whole.
constexpr std::size_t kPieceBytes = std::size_t{1} << 20;

class CsvWriter : public RecordWriter {
 public:
  CsvWriter(OutputFile& out, const std::vector<std::string>& names, bool bom,
            const ValueTypes& types, ValueText* shown)
      : out_(out),
        shown_(shown),
        text_(std::make_unique_for_overwrite<char[]>(2 * kPieceBytes)),
        size_(2 * kPieceBytes),
        types_(types),
        typed_(types.size()),
        texts_(types.size()) {
    if (bom) Append("\xEF\xBB\xBF");
    Append("record");
    for (const std::string& name : names) {
      used_ =
          static_cast<std::size_t>(Value(Room(2 * name.size() + 3 + kSpill), name) - text_.get());
    }
    Append("\r\n");
  }

  void Batch(const RecordBatch& batch) override {
    if (!types_.empty()) {
      batch.ForEach([this](std::int64_t number, const RecordValues& stored) {
        const RecordValues& values = Typed(shown_ ? shown_->Shown(stored) : stored);
        // Room for the number, each value with its comma, every byte doubled and quoted, and
        // CRLF.
        std::size_t most = 24 + 2;
        for (const auto& value : values) most += 2 * (value ? value->size() : 0) + 3;
        char* out = Room(most + kSpill);
        out = std::to_chars(out, out + 24, number).ptr;
        for (const auto& value : values) out = Value(out, value.value_or(std::string_view()));
        *out++ = '\r';
        *out++ = '\n';
        End(out);
      });
      return;
    }
    // The same room for the whole batch, its values' texts lying apart in its text; a value
    // shown longer than it is stored asks for more.
    const std::size_t room =
        26 * batch.records.size() + 3 * batch.ends.size() + 2 * batch.text.size() + kSpill;
    char* out = Room(room);
    char* roomEnd = out + room;
    std::size_t f = 0;
    batch.ForEachValue(
        [&](std::int64_t number) {
          f = 0;
          out = std::to_chars(out, out + 24, number).ptr;
        },
        [&](std::optional<std::string_view> value) {
          const std::size_t field = f++;
          if (!value) {
            *out++ = ',';
            return;
          }
          if (!shown_) {
            out = Value(out, *value);
            return;
          }
          // Most values are shown as stored, in plain ASCII: tested as they are copied.
          if (shown_->StoredIfAscii(field, *value)) {
            const unsigned found = CopyAndTest(*value, out + 1);
            if (found == 0) {
              *out = ',';
              out += 1 + value->size();
              return;
            }
            if ((found & kNotAscii) == 0) {
              out = Quoted(out, *value);
              return;
            }
          }
          const std::string_view shown = shown_->Rendered(field, *value);
          if (shown.size() > value->size())
            out = Grow(out, roomEnd, 2 * (shown.size() - value->size()));
          out = Value(out, shown);
        },
        [&] {
          *out++ = '\r';
          *out++ = '\n';
        });
    End(out);
  }

  void Finish() override { HandOut(); }

 private:
  // The records end at `out`: hands out what is gathered once it makes a piece.
  void End(char* out) {
    used_ = static_cast<std::size_t>(out - text_.get());
    if (used_ >= kPieceBytes) HandOut();
  }

  // The values' texts as typed; a date's lives in typed_.
  const RecordValues& Typed(const RecordValues& shown) {
    for (std::size_t f = 0; f < shown.size(); ++f) {
      texts_[f].reset();
      if (!shown[f]) continue;
      typed_[f] = TypeValue(types_[f], *shown[f]);
      texts_[f] = typed_[f].Text();
    }
    return texts_;
  }

  // Puts a comma and the value at `out`, which has room for 2 x its size + 3 + kSpill bytes,
  // quoted when a byte of it makes it so; returns where it ends.
  static char* Value(char* out, std::string_view text) {
    if ((CopyAndTest(text, out + 1) & kQuoted) == 0) {
      *out = ',';
      return out + 1 + text.size();
    }
    return Quoted(out, text);
  }

  // Puts a comma and the value, quoted, at `out`; returns where it ends.
  static char* Quoted(char* out, std::string_view text) {
    *out++ = ',';
    *out++ = '"';
    for (const char c : text) {
      if (c == '"') *out++ = '"';
      *out++ = c;
    }
    *out++ = '"';
    return out;
  }

  void Append(std::string_view bytes) {
    std::copy(bytes.begin(), bytes.end(), Room(bytes.size()));
    used_ += bytes.size();
  }

  // Makes `more` bytes of room past `roomEnd`, the end of the room counted on from `out` on;
  // hands out what is gathered before `out` when they do not fit.
  char* Grow(char* out, char*& roomEnd, std::size_t more) {
    const auto counted = static_cast<std::size_t>(roomEnd - out);
    used_ = static_cast<std::size_t>(out - text_.get());
    out = Room(counted + more);
    roomEnd = out + counted + more;
    return out;
  }

  // Where `bytes` more go, handing out what is gathered when they do not fit after it.
  char* Room(std::size_t bytes) {
    if (size_ - used_ < bytes) {
      HandOut();
      if (size_ < bytes) {
        text_ = std::make_unique_for_overwrite<char[]>(bytes);
        size_ = bytes;
      }
    }
    return text_.get() + used_;
  }

  void HandOut() {
    out_.Write(std::string_view(text_.get(), used_));
    used_ = 0;
  }

  OutputFile& out_;
  ValueText* const shown_;  // none when the values come shown
  // Its first used_ bytes are not yet handed to out_. Left unset when made: zeroing it took
  // about a millisecond before the reading began.
  std::unique_ptr<char[]> text_;
  std::size_t size_;
  std::size_t used_ = 0;
  const ValueTypes types_;
  std::vector<TypedValue> typed_;
  RecordValues texts_;
};

}  // namespace

std::unique_ptr<RecordWriter> MakeCsvWriter(OutputFile& out, const std::vector<std::string>& names,
                                            bool bom, const ValueTypes& types, ValueText* shown) {
  return std::make_unique<CsvWriter>(out, names, bom, types, shown);
}

}  // namespace tomo
