// The table of cell texts: column 0 holds field names, row 0 record numbers.
#pragma once

#include <string>
#include <vector>

namespace tomo {

class CellGrid {
 public:
  CellGrid() = default;
  // A table with columns 0..lastColumn and rows 0..lastRow, every cell empty.
  CellGrid(int lastColumn, int lastRow)
      : columns_(lastColumn + 1 > 0 ? lastColumn + 1 : 0),
        rows_(lastRow + 1 > 0 ? lastRow + 1 : 0),
        cells_(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_)) {}

  int Columns() const { return columns_; }
  int Rows() const { return rows_; }
  bool Contains(int column, int row) const {
    return column >= 0 && row >= 0 && column < columns_ && row < rows_;
  }
  // The cell's text; empty outside the table.
  const std::string& At(int column, int row) const {
    static const std::string kEmpty;
    return Contains(column, row) ? cells_[Index(column, row)] : kEmpty;
  }
  // Writes the cell's text; writes outside the table are dropped.
  void Set(int column, int row, std::string text) {
    if (Contains(column, row)) cells_[Index(column, row)] = std::move(text);
  }

 private:
  std::size_t Index(int column, int row) const {
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
           static_cast<std::size_t>(column);
  }
  int columns_ = 0;
  int rows_ = 0;
  std::vector<std::string> cells_;
};

}  // namespace tomo
