#include "support/same_cells.h"

#include <gtest/gtest.h>

namespace tomo::testing {

void ExpectSameCells(const App& fast, const App& slow) {
  ASSERT_EQ(fast.Cells.Columns(), slow.Cells.Columns());
  ASSERT_EQ(fast.Cells.Rows(), slow.Cells.Rows());
  for (int r = 0; r < slow.Cells.Rows(); ++r) {
    for (int c = 0; c < slow.Cells.Columns(); ++c) {
      ASSERT_EQ(fast.Cells.At(c, r), slow.Cells.At(c, r)) << "cell " << c << "x" << r;
    }
  }
}

}  // namespace tomo::testing
