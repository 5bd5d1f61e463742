#include "storage/visible_values.h"

#include <algorithm>

#include "storage/entry_blocks.h"

namespace tomo {

VisibleValues::VisibleValues(App& app, std::vector<std::string> names, std::int64_t first,
                             std::int64_t columns, bool findViewStart, std::string viewName)
    : names_(std::move(names)),
      first_(first),
      findViewStart_(findViewStart),
      viewName_(std::move(viewName)),
      columns_(names_.size(),
               std::vector<Column>(static_cast<std::size_t>(std::max<std::int64_t>(columns, 0)))) {
  // While ViewStart is 0 every row reads from entry 1.
  for (auto& row : columns_) Follow(row, 0, 1);
  Pass(app);
}

VisibleValues::Read VisibleValues::ReadFrom(std::size_t name, std::int64_t column,
                                            std::int64_t start) const {
  const std::vector<Answer>& answers = columns_[name][static_cast<std::size_t>(column)].answers;
  const auto answer = std::lower_bound(answers.begin(), answers.end(), start,
                                       [](const Answer& a, std::int64_t s) { return a.start < s; });
  if (answer == answers.end() || answer->start != start) return Read{};
  return Read{true, answer->completion,
              std::string_view(texts_[answer->text]).substr(answer->offset)};
}

void VisibleValues::Pass(App& app) {
  if (Settled()) return;
  EntryBlocks blocks(app, 1);
  while (blocks.Next()) {
    for (std::int64_t k = 0; k < blocks.Count(); ++k) {
      OnEntry(blocks.At(k), blocks.First() + k);
      if (Settled()) return;
    }
  }
}

void VisibleValues::OnEntry(const CharEntry& entry, std::int64_t position) {
  // An entry of another name ends the run: every value being collected starts again.
  if (!(entry.named && runNamed_ && entry.name == runName_)) {
    ++run_;
    runNamed_ = entry.named;
    runName_ = entry.name;
    const auto name =
        entry.named ? std::find(names_.begin(), names_.end(), entry.name) : names_.end();
    runRow_ = name == names_.end() ? -1 : name - names_.begin();
  }
  if (findViewStart_ && viewStart_ == 0 && entry.record == first_ && entry.Is(viewName_)) {
    viewStart_ = position;
    for (auto& row : columns_) Follow(row, 0, position);
  }
  if (runRow_ < 0) return;
  std::vector<Column>& row = columns_[static_cast<std::size_t>(runRow_)];
  // Record numbers wrap as the columns' record numbers do.
  const std::uint64_t column =
      static_cast<std::uint64_t>(entry.record) - static_cast<std::uint64_t>(first_);
  if (column < row.size()) {
    Collect(row, static_cast<std::size_t>(column), entry.character, position, entry.mark == 1);
  }
}

void VisibleValues::Follow(std::vector<Column>& row, std::size_t from, std::int64_t position) {
  for (std::size_t c = from; c < row.size(); ++c) {
    Column& column = row[c];
    if (!column.waiting.empty() && column.waiting.back().position == position) continue;
    if (column.waiting.empty()) ++waitingColumns_;
    const std::size_t offset = column.collectedRun == run_ ? column.collected.size() : 0;
    column.waiting.push_back(Start{position, run_, offset});
  }
}

void VisibleValues::Collect(std::vector<Column>& row, std::size_t c, char character,
                            std::int64_t position, bool last) {
  Column& column = row[c];
  // Characters matter only to a read waiting for this column's value.
  if (column.waiting.empty()) return;
  if (column.collectedRun != run_) {
    column.collected.clear();
    column.collectedRun = run_;
  }
  column.collected += character;
  if (!last) return;
  const std::size_t text = texts_.size();
  for (const Start& start : column.waiting) {
    column.answers.push_back(
        Answer{start.position, position, text, start.run == run_ ? start.offset : 0});
  }
  texts_.push_back(std::move(column.collected));
  column.collected.clear();
  column.waiting.clear();
  --waitingColumns_;
  // A read that finds this value moves ScanStart here for the columns after it.
  Follow(row, c + 1, position);
}

}  // namespace tomo
