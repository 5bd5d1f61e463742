// The values of a record as the export writes them: rendered by the field's type unless raw,
// and in UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "export/utf8_text.h"
#include "storage/field_def.h"
#include "storage/record_batch.h"
#include "storage/value_rendering.h"

namespace tomo {

class ValueText {
 public:
  ValueText(const std::vector<FieldDef>& fields, const Utf8Text& text, bool raw);

  // The value of field f as shown, in UTF-8: most often its stored text itself, tested in
  // place; else a text valid until the next value of the field is shown.
  std::string_view Shown(std::size_t f, std::string_view stored) {
    if (StoredIfAscii(f, stored) && text_.Keeps(stored)) return stored;
    return Rendered(f, stored);
  }
  // Whether the value of field f is shown as its stored text when that text is plain ASCII,
  // for a writer that tests the text as it copies it; else Rendered shows it.
  bool StoredIfAscii(std::size_t f, std::string_view stored) const {
    return (raw_ || ShownAsStored(fields_[f], stored)) && text_.AsciiAsIs();
  }
  // The value of field f, not shown as stored, in UTF-8: valid until the next value of the
  // field is shown.
  std::string_view Rendered(std::size_t f, std::string_view stored);
  // The same for a record's values, valid until the next record's.
  const RecordValues& Shown(const RecordValues& stored);
  // Shows the values of a batch as a reading left them where they lie: most as a part of
  // their stored text, the others added after the batch's text.
  void Render(RecordBatch& batch);

 private:
  const std::vector<FieldDef>& fields_;
  const Utf8Text& text_;
  const bool raw_;
  std::vector<std::string> scratch_;
  RecordValues values_;
  // Render's: the texts made, and where each value begins.
  std::string made_;
  std::vector<std::int64_t> begins_;
};

}  // namespace tomo
