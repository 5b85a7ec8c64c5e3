#include "dari/math2/covariance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dari/base/progress.h"
#include "dari/math2/math2_error.h"
#include "dari/platform/uniform_random.h"

namespace dari {
namespace {

// Columns of a matrix given as lists of values (column c = cols[c - 1]).
void FillColumns(TMatrix& m, const std::vector<std::vector<double>>& cols) {
  m.Resize(static_cast<int>(cols.size()), static_cast<int>(cols[0].size()));
  for (size_t c = 0; c < cols.size(); ++c)
    for (size_t r = 0; r < cols[c].size(); ++r)
      m.SetVal(static_cast<int>(c + 1), static_cast<int>(r + 1), cols[c][r]);
}

// Restores the progress hooks after a test that sets them.
struct ProgressGuard {
  ~ProgressGuard() {
    MathFeedBackProc = nullptr;
    AbortMathProc = false;
  }
};

struct ModeCase {
  int Mode;
  double c11, c21, c22;  // cells (1,1), (2,1) = (1,2), (2,2)
};

// The columns (1, 2, 3) and (2, 4, 6), by hand: means 2 and 4, centred sums of
// products 2, 4, 8, raw sums 14, 28, 56, sum of (x1 - x2)^2 = 14, N - 1 = 2.
TEST(CalcCovar, EveryModeOnTwoProportionalColumns) {
  const ModeCase cases[] = {
      {0, 7, 14, 28}, {1, 1, 2, 4}, {2, 1, 1, 1}, {3, 1, 1, 1}, {4, 0, 7, 0},
      {5, 0, 0, 0},   {-1, 0, 0, 0},
  };
  TMatrix data;
  FillColumns(data, {{1, 2, 3}, {2, 4, 6}});
  for (const ModeCase& tc : cases) {
    SCOPED_TRACE(tc.Mode);
    TMatrix result;
    result.Resize(2, 2);
    result.Fill(-99);
    ASSERT_TRUE(CalcCovar(&data, &result, 1, 2, 1, 3, tc.Mode));
    EXPECT_DOUBLE_EQ(result.Elem(1, 1), tc.c11);
    EXPECT_DOUBLE_EQ(result.Elem(1, 2), tc.c21);
    EXPECT_DOUBLE_EQ(result.Elem(2, 1), tc.c21);
    EXPECT_DOUBLE_EQ(result.Elem(2, 2), tc.c22);
  }
}

// Three variables over five objects, by hand. x = (2, 4, 4, 5, 10),
// y = (1, 0, 3, 2, 4), z = (0, 0, 0, 0, 0) (a constant). Means 5, 2, 0.
// Centred x = (-3, -1, -1, 0, 5), y = (-1, -2, 1, 0, 2): Sxx = 36, Syy = 10,
// Sxy = 3 + 2 - 1 + 0 + 10 = 14; divided by N - 1 = 4.
TEST(CalcCovar, HandComputedCovarianceAndCorrelation) {
  TMatrix data;
  FillColumns(data, {{2, 4, 4, 5, 10}, {1, 0, 3, 2, 4}, {0, 0, 0, 0, 0}});
  TMatrix cov;
  cov.Resize(3, 3);
  ASSERT_TRUE(CalcCovar(&data, &cov, 0, 0, 0, 0, 1));
  EXPECT_DOUBLE_EQ(cov.Elem(1, 1), 9.0);
  EXPECT_DOUBLE_EQ(cov.Elem(2, 2), 2.5);
  EXPECT_DOUBLE_EQ(cov.Elem(1, 2), 3.5);
  EXPECT_DOUBLE_EQ(cov.Elem(2, 1), 3.5);
  EXPECT_EQ(cov.Elem(3, 3), 0.0);
  EXPECT_EQ(cov.Elem(1, 3), 0.0);

  TMatrix cor;
  cor.Resize(3, 3);
  ASSERT_TRUE(CalcCovar(&data, &cor, 0, 0, 0, 0, 2));
  EXPECT_NEAR(cor.Elem(1, 2), 14.0 / std::sqrt(36.0 * 10.0), 1e-15);
  EXPECT_EQ(cor.Elem(1, 1), 1.0);
  // The constant variable: denominator 0 counts as 1e-38, its sums are 0.
  EXPECT_EQ(cor.Elem(3, 1), 0.0);
  EXPECT_EQ(cor.Elem(3, 3), 1.0);

  TMatrix cor2;
  cor2.Resize(3, 3);
  ASSERT_TRUE(CalcCovar(&data, &cor2, 0, 0, 0, 0, 3));
  EXPECT_NEAR(cor2.Elem(2, 1), 196.0 / 360.0, 1e-15);
  EXPECT_EQ(cor2.Elem(3, 3), 0.0);  // squared, not reset to 1
}

// A column and row range inside a larger matrix, into the top-left block of a
// larger result: the other result cells stay as they were.
TEST(CalcCovar, SubrangeWritesOnlyTopLeftBlock) {
  TMatrix data;
  FillColumns(data, {{100, 100, 100, 100}, {9, 1, 2, 3}, {9, 2, 4, 6}});
  TMatrix result;
  result.Resize(3, 4);
  result.Fill(-5);
  ASSERT_TRUE(CalcCovar(&data, &result, 2, 3, 2, 4, 1));
  EXPECT_DOUBLE_EQ(result.Elem(1, 1), 1.0);
  EXPECT_DOUBLE_EQ(result.Elem(2, 1), 2.0);
  EXPECT_DOUBLE_EQ(result.Elem(2, 2), 4.0);
  for (int c = 1; c <= 3; ++c)
    for (int r = 1; r <= 4; ++r)
      if (c > 2 || r > 2) {
        EXPECT_EQ(result.Elem(c, r), -5.0) << c << "," << r;
      }
}

// Failures write nothing.
TEST(CalcCovar, RejectsBadArgumentsWithoutWriting) {
  TMatrix data;
  FillColumns(data, {{1, 2, 3}, {2, 4, 7}, {0, 1, 1}});
  struct Bounds {
    int FirstCol, LastCol, FirstRow, LastRow;
  };
  const Bounds bad[] = {
      {1, 4, 1, 3},    // column beyond the data
      {0, 2, 1, 3},    // column 0 with a non-zero partner
      {-1, 2, 1, 3},   // negative column
      {3, 2, 1, 3},    // reversed columns
      {1, 2, 1, 4},    // row beyond the data
      {1, 2, 3, 2},    // reversed rows
      {1, 2, 0, 3},    // row 0 with a non-zero partner
      {1, 2, 2, 2},    // a single object: N - 1 = 0
  };
  for (const Bounds& b : bad) {
    SCOPED_TRACE(testing::Message() << b.FirstCol << " " << b.LastCol << " " << b.FirstRow << " "
                                    << b.LastRow);
    TMatrix result;
    result.Resize(3, 3);
    result.Fill(-7);
    int changes = 0;
    result.SetOnChange([&](TObject*) { ++changes; });
    EXPECT_FALSE(CalcCovar(&data, &result, b.FirstCol, b.LastCol, b.FirstRow, b.LastRow, 1));
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(result.Elem(1, 1), -7.0);
  }
  // Result too small for two variables.
  TMatrix small;
  small.Fill(-7);
  EXPECT_FALSE(CalcCovar(&data, &small, 1, 2, 0, 0, 1));
  EXPECT_EQ(small.Elem(1, 1), -7.0);
  // A matrix with one row: all rows means one object.
  TMatrix oneRow;
  oneRow.Resize(3, 1);
  TMatrix result;
  result.Resize(3, 3);
  EXPECT_FALSE(CalcCovar(&oneRow, &result, 0, 0, 0, 0, 1));
  EXPECT_FALSE(CalcCovar(nullptr, &result, 0, 0, 0, 0, 1));
  EXPECT_FALSE(CalcCovar(&data, nullptr, 0, 0, 0, 0, 1));
}

// Many variables (several blocks of result rows) and a row count that is not a
// multiple of any tile: every cell equals the plain per-cell sum over
// ascending rows, to the last bit.
TEST(CalcCovar, BlockedSumsEqualPlainPerCellSums) {
  SeedUniformRandom(7);
  const int nv = 101, n = 37;
  TMatrix data;
  data.Resize(nv, n);
  data.FillRandomUniform(-3.0, 5.0);
  for (int mode : {0, 1, 2, 4}) {
    SCOPED_TRACE(mode);
    TMatrix result;
    result.Resize(nv, nv);
    ASSERT_TRUE(CalcCovar(&data, &result, 0, 0, 0, 0, mode));
    std::vector<double> m(nv), v(nv);
    for (int i = 0; i < nv; ++i) {
      double sx = 0, sxx = 0;
      for (int r = 1; r <= n; ++r) {
        const double x = data.Elem(i + 1, r);
        sx += x;
        sxx += x * x;
      }
      v[i] = (sxx - sx * sx / n) / (n - 1);
      m[i] = sx / n;
    }
    int mismatches = 0;
    for (int i = 0; i < nv; ++i)
      for (int j = 0; j <= i; ++j) {
        double sum = 0;
        for (int r = 1; r <= n; ++r) {
          const double xi = data.Elem(i + 1, r), xj = data.Elem(j + 1, r);
          if (mode == 0) sum += xi * xj;
          if (mode == 1 || mode == 2) sum += (xi - m[i]) * (xj - m[j]);
          if (mode == 4) sum += (xi - xj) * (xi - xj);
        }
        double expect = sum / (n - 1);
        if (mode == 2) expect = i == j ? 1.0 : sum / std::sqrt(v[i] * v[j]) / (n - 1);
        if (result.Elem(j + 1, i + 1) != expect || result.Elem(i + 1, j + 1) != expect)
          ++mismatches;
      }
    EXPECT_EQ(mismatches, 0);
  }
}

// Data and result may be the same matrix: the sums use the values before the
// first result cell was written.
TEST(CalcCovar, ResultMayBeTheDataMatrix) {
  TMatrix data;
  FillColumns(data, {{1, 2, 3}, {2, 4, 6}, {5, 1, 0}});
  TMatrix separate;
  separate.Resize(3, 3);
  ASSERT_TRUE(CalcCovar(&data, &separate, 0, 0, 0, 0, 1));
  ASSERT_TRUE(CalcCovar(&data, &data, 0, 0, 0, 0, 1));
  for (int c = 1; c <= 3; ++c)
    for (int r = 1; r <= 3; ++r) EXPECT_EQ(data.Elem(c, r), separate.Elem(c, r));
}

// One progress step per row for the means, N per result cell.
TEST(CalcCovar, ProgressStepsAndAbort) {
  ProgressGuard guard;
  TMatrix data;
  FillColumns(data, {{1, 2, 3, 4}, {2, 4, 6, 1}, {5, 1, 0, 2}});
  TMatrix result;
  result.Resize(3, 3);
  ProcStat = 0;
  ASSERT_TRUE(CalcCovar(&data, &result, 0, 0, 0, 0, 1));
  EXPECT_EQ(ProcStat, 4.0 + 4.0 * 6);
  ProcStat = 0;
  ASSERT_TRUE(CalcCovar(&data, &result, 0, 0, 0, 0, 0));
  EXPECT_EQ(ProcStat, 4.0 * 6);

  // A request raised by the feedback during the first result row stops the
  // computation before the second: only cell (1, 1) is written. A request
  // standing before the call is cleared by it.
  result.Fill(-1);
  std::vector<double> seen;
  MathFeedBackProc = [&](double stat) {
    seen.push_back(stat);
    if (stat >= 4.0 + 4.0) AbortMathProc = true;
  };
  ProcStat = 0;
  AbortMathProc = true;
  EXPECT_FALSE(CalcCovar(&data, &result, 0, 0, 0, 0, 1));
  EXPECT_EQ(seen.size(), 5u);
  EXPECT_DOUBLE_EQ(result.Elem(1, 1), 5.0 / 3.0);
  EXPECT_EQ(result.Elem(2, 1), -1.0);
  EXPECT_EQ(result.Elem(2, 2), -1.0);
}

}  // namespace
}  // namespace dari
