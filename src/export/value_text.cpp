#include "export/value_text.h"

#include <cstdint>
#include <utility>

namespace tomo {

ValueText::ValueText(const std::vector<FieldDef>& fields, const Utf8Text& text, bool raw)
    : fields_(fields), text_(text), raw_(raw), scratch_(fields.size()), values_(fields.size()) {}

std::string_view ValueText::Rendered(std::size_t f, std::string_view stored) {
  return text_.Of(raw_ ? stored : RenderValue(fields_[f], stored), scratch_[f]);
}

const RecordValues& ValueText::Shown(const RecordValues& stored) {
  for (std::size_t f = 0; f < stored.size(); ++f) {
    if (!stored[f]) {
      values_[f].reset();
      continue;
    }
    values_[f] = Shown(f, *stored[f]);
  }
  return values_;
}

// The loop runs over every value of an export: what it needs of the batch is in locals of its
// own, which the stores into the batch would otherwise make it read again.
void ValueText::Render(RecordBatch& batch) {
  made_.clear();
  const std::size_t values = batch.ends.size();
  begins_.resize(values);
  std::int64_t* const ends = batch.ends.data();
  std::int64_t* const begins = begins_.data();
  const char* const text = batch.text.data();
  const std::size_t size = batch.text.size();
  const std::size_t fields = fields_.size();
  std::int64_t stored = 0;  // where the next stored value begins
  for (std::size_t v = 0, f = 0; v < values; ++v, f = f + 1 == fields ? 0 : f + 1) {
    const std::int64_t end = ends[v];
    begins[v] = RecordBatch::kAbsent;
    if (end == RecordBatch::kAbsent) continue;
    const std::string_view shown =
        Shown(f, std::string_view(text + stored, static_cast<std::size_t>(end - stored)));
    stored = end;
    // Shown where it lies, or a part of it; below the text, the difference wraps around to a
    // large number.
    std::size_t begin =
        reinterpret_cast<std::uintptr_t>(shown.data()) - reinterpret_cast<std::uintptr_t>(text);
    if (shown.empty() || begin > size || shown.size() > size - begin) {
      begin = size + made_.size();
      made_ += shown;
    }
    begins[v] = static_cast<std::int64_t>(begin);
    ends[v] = static_cast<std::int64_t>(begin + shown.size());
  }
  batch.text += made_;
  std::swap(batch.begins, begins_);
}

}  // namespace tomo
