// Tests of the linear algebra of TMatrix: LU decomposition, determinant,
// inversion, Cholesky, balancing, norms and the singular value decomposition.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <thread>
#include <vector>

#include "dari/base/progress.h"
#include "dari/matrix/internal/linalg_kernels.h"
#include "dari/matrix/internal/svd.h"
#include "dari/matrix/matrix.h"
#include "dari/platform/uniform_random.h"

namespace dari {
namespace {

using Rows = std::vector<std::vector<double>>;

// Matrix from its rows: Elem(c, r) = rows[r - 1][c - 1].
void Fill(TMatrix& m, const Rows& rows) {
  const int nr = static_cast<int>(rows.size());
  const int nc = nr == 0 ? 0 : static_cast<int>(rows[0].size());
  m.Resize(nc, nr);
  for (int r = 1; r <= nr; ++r)
    for (int c = 1; c <= nc; ++c)
      m.SetVal(c, r, rows[static_cast<size_t>(r - 1)][static_cast<size_t>(c - 1)]);
}

void FillRandom(TMatrix& m, int nc, int nr, uint64_t seed) {
  SeedUniformRandom(seed);
  m.Resize(nc, nr);
  m.FillRandomUniform(-1.0, 1.0);
}

// (A B)[r][c] by the plain triple loop.
std::vector<double> Product(const TMatrix& A, const TMatrix& B) {
  const int n = A.NrOfRows(), k = A.NrOfColumns(), p = B.NrOfColumns();
  std::vector<double> out(static_cast<size_t>(n) * p, 0.0);
  for (int c = 1; c <= p; ++c)
    for (int r = 1; r <= n; ++r) {
      double s = 0.0;
      for (int i = 1; i <= k; ++i) s += A.Elem(i, r) * B.Elem(c, i);
      out[static_cast<size_t>(c - 1) * n + (r - 1)] = s;
    }
  return out;
}

// The code paths of the kernels that this processor can run: every one must
// give the same bits.
std::vector<detail::TGemmPath> Paths() {
  std::vector<detail::TGemmPath> paths{detail::TGemmPath::Generic};
  if (detail::GemmPathAvailable(detail::TGemmPath::Avx2)) paths.push_back(detail::TGemmPath::Avx2);
  return paths;
}

// Restores the progress hooks after a test that sets them.
struct ProgressGuard {
  ProgressGuard() {
    ProcStat = 0.0;
    MathFeedBackProc = nullptr;
    AbortMathProc = false;
  }
  ~ProgressGuard() {
    MathFeedBackProc = nullptr;
    AbortMathProc = false;
  }
};

// The element-by-element Crout elimination and substitution (a[i][j] 0-based
// row, column), as the textbook writes it: the library's blocked, vectorised
// version must reproduce its results bit for bit.
struct RefLU {
  std::vector<std::vector<double>> a;
  std::vector<int> index;
  int sign = 1;
  bool ok = true;

  explicit RefLU(const TMatrix& m) {
    const int n = m.NrOfColumns();
    a.assign(n, std::vector<double>(n));
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j) a[i][j] = m.Elem(j + 1, i + 1);
    index.assign(n, 0);
    std::vector<double> scale(n);
    for (int i = 0; i < n; ++i) {
      double big = 0;
      for (int j = 0; j < n; ++j) big = std::max(big, std::fabs(a[i][j]));
      if (big == 0)
        ok = false;
      else
        scale[i] = 1 / big;
    }
    if (!ok) return;
    for (int j = 0; j < n; ++j) {
      for (int i = 0; i < j; ++i) {
        double s = a[i][j];
        for (int k = 0; k < i; ++k) s -= a[i][k] * a[k][j];
        a[i][j] = s;
      }
      double big = 0;
      int imax = j;
      for (int i = j; i < n; ++i) {
        double s = a[i][j];
        for (int k = 0; k < j; ++k) s -= a[i][k] * a[k][j];
        a[i][j] = s;
        if (scale[i] * std::fabs(s) >= big) {
          big = scale[i] * std::fabs(s);
          imax = i;
        }
      }
      if (imax != j) {
        std::swap(a[imax], a[j]);
        sign = -sign;
        scale[imax] = scale[j];
      }
      index[j] = imax;
      if (std::fabs(a[j][j]) < 1e-100) {
        ok = false;
        a[j][j] = 1e-100;
      }
      if (j < n - 1)
        for (int i = j + 1; i < n; ++i) a[i][j] /= a[j][j];
    }
  }

  std::vector<double> Solve(std::vector<double> b) const {
    const int n = static_cast<int>(b.size());
    int ii = -1;
    for (int i = 0; i < n; ++i) {
      const int ip = index[i];
      double s = b[ip];
      b[ip] = b[i];
      if (ii >= 0)
        for (int k = ii; k < i; ++k) s -= a[i][k] * b[k];
      else if (s != 0)
        ii = i;
      b[i] = s;
    }
    for (int i = n - 1; i >= 0; --i) {
      double s = b[i];
      for (int k = i + 1; k < n; ++k) s -= a[i][k] * b[k];
      b[i] = s / a[i][i];
    }
    return b;
  }
};

// ---------------------------------------------------------------- Determinant

TEST(Determinant, SmallCasesIncludingRowExchangeAndSingular) {
  TMatrix m;
  Fill(m, {{1, 2}, {3, 4}});
  EXPECT_DOUBLE_EQ(m.Determinant(), -2.0);  // one row exchange: sign -1
  Fill(m, {{1, 2}, {2, 4}});
  EXPECT_EQ(m.Determinant(), 0.0);  // pivot below the threshold
  Fill(m, {{1, 2, 3}, {4, 5, 6}});
  EXPECT_EQ(m.Determinant(), 0.0);  // not square
  Fill(m, {{1, 2}, {0, 0}});
  EXPECT_EQ(m.Determinant(), 0.0);  // zero row
  // Singular by cofactor expansion: 2(3 - 2) - 0(1 - 2) + 1(1 - 3) = 0.
  Fill(m, {{2, 0, 1}, {1, 3, 2}, {1, 1, 1}});
  EXPECT_NEAR(m.Determinant(), 0.0, 1e-15);
  Fill(m, {{6, 1, 1}, {4, -2, 5}, {2, 8, 7}});
  // 6(-14 - 40) - 1(28 - 10) + 1(32 + 4) = -324 - 18 + 36 = -306
  EXPECT_NEAR(m.Determinant(), -306.0, 1e-12);
}

TEST(Determinant, ProductOfKnownTriangularFactors) {
  // A = L U with unit lower L and upper U: det A = prod U_ii. n = 70 runs the
  // blocked elimination over more than two blocks.
  const int n = 70;
  SeedUniformRandom(11);
  TMatrix L, U, A;
  L.Resize(n, n);
  U.Resize(n, n);
  double det = 1.0;
  for (int c = 1; c <= n; ++c)
    for (int r = 1; r <= n; ++r) {
      if (r > c) L.SetVal(c, r, UniformRandom() - 0.5);
      if (r == c) {
        L.SetVal(c, r, 1.0);
        const double d = 0.8 + 0.4 * UniformRandom();
        U.SetVal(c, r, d);
        det *= d;
      }
      if (r < c) U.SetVal(c, r, UniformRandom() - 0.5);
    }
  ASSERT_TRUE(L.Multiply(&U, &A));
  EXPECT_NEAR(A.Determinant() / det, 1.0, 1e-10);
}

TEST(Determinant, MatchesElementwiseEliminationBitForBit) {
  for (int n : {1, 5, 33, 77}) {
    TMatrix m;
    FillRandom(m, n, n, 100 + static_cast<uint64_t>(n));
    RefLU ref(m);
    double det = ref.sign;
    for (int i = 0; i < n; ++i) det *= ref.a[i][i];
    EXPECT_EQ(m.Determinant(), det) << n;
    for (detail::TGemmPath path : Paths())
      EXPECT_EQ(detail::DeterminantStorage(m.ColPtr(1), m.Stride(), n, path), det)
          << n << " " << detail::GemmPathName(path);
  }
}

TEST(Determinant, ConcurrentCallsKeepTheirOwnSign) {
  TMatrix neg, pos;
  Fill(neg, {{1, 2}, {3, 4}});  // one exchange, -2
  Fill(pos, {{4, 3}, {2, 1}});  // no exchange, -2 as well but with sign +1
  TMatrix two;
  Fill(two, {{3, 4}, {1, 2}});  // no exchange: +2
  std::atomic<int> wrong{0};
  auto run = [&](const TMatrix& m, double expected) {
    for (int i = 0; i < 20000; ++i)
      if (m.Determinant() != expected) ++wrong;
  };
  std::thread t1(run, std::cref(neg), -2.0);
  std::thread t2(run, std::cref(two), 2.0);
  t1.join();
  t2.join();
  EXPECT_EQ(wrong.load(), 0);
  EXPECT_DOUBLE_EQ(pos.Determinant(), -2.0);
}

// ---------------------------------------------------------- LUdecomposition

TEST(LUdecomposition, IdentityAndRefusals) {
  TMatrix a, l, u;
  a.Resize(3, 3);
  a.FillDiag(1.0);
  ASSERT_TRUE(a.LUdecomposition(&l, &u));
  for (int c = 1; c <= 3; ++c)
    for (int r = 1; r <= 3; ++r) {
      EXPECT_EQ(l.Elem(c, r), c == r ? 1.0 : 0.0);
      EXPECT_EQ(u.Elem(c, r), c == r ? 1.0 : 0.0);
    }
  EXPECT_FALSE(a.LUdecomposition(nullptr, &u));
  EXPECT_FALSE(a.LUdecomposition(&l, nullptr));
  a.Resize(3, 2);
  EXPECT_FALSE(a.LUdecomposition(&l, &u));
}

TEST(LUdecomposition, FactorsReproducePermutedRows) {
  const int n = 45;
  TMatrix a, l, u;
  FillRandom(a, n, n, 7);
  ASSERT_TRUE(a.LUdecomposition(&l, &u));
  ASSERT_EQ(l.NrOfColumns(), n);
  ASSERT_EQ(u.NrOfRows(), n);
  for (int c = 1; c <= n; ++c)
    for (int r = 1; r <= n; ++r) {
      if (r < c) {
        EXPECT_EQ(l.Elem(c, r), 0.0);
      }
      if (r == c) {
        EXPECT_EQ(l.Elem(c, r), 1.0);
      }
      if (r > c) {
        EXPECT_EQ(u.Elem(c, r), 0.0);
      }
    }
  // Every row of L U is a row of A, each used once.
  const std::vector<double> lu = Product(l, u);
  std::vector<bool> used(n, false);
  for (int r = 0; r < n; ++r) {
    int match = -1;
    for (int q = 0; q < n && match < 0; ++q) {
      if (used[q]) continue;
      bool same = true;
      for (int c = 0; c < n && same; ++c)
        same = std::fabs(lu[static_cast<size_t>(c) * n + r] - a.Elem(c + 1, q + 1)) < 1e-12;
      if (same) match = q;
    }
    ASSERT_GE(match, 0) << "row " << r;
    used[match] = true;
  }
}

TEST(LUdecomposition, ZeroRowLeavesLZeroAndUEqualToA) {
  TMatrix a, l, u;
  Fill(a, {{1, 2}, {0, 0}});
  EXPECT_FALSE(a.LUdecomposition(&l, &u));
  for (int c = 1; c <= 2; ++c)
    for (int r = 1; r <= 2; ++r) {
      EXPECT_EQ(l.Elem(c, r), 0.0);
      EXPECT_EQ(u.Elem(c, r), a.Elem(c, r));
    }
}

TEST(LUdecomposition, TinyPivotKeepsPackedFactors) {
  // Rows (1, 2) and (2, 4): equal scaled candidates, the last row wins; the
  // second pivot 2 - 0.5 * 4 = 0 is replaced by 1e-100.
  TMatrix a, l, u;
  Fill(a, {{1, 2}, {2, 4}});
  EXPECT_FALSE(a.LUdecomposition(&l, &u));
  EXPECT_EQ(u.Elem(1, 1), 2.0);
  EXPECT_EQ(u.Elem(2, 1), 4.0);
  EXPECT_EQ(u.Elem(1, 2), 0.5);
  EXPECT_EQ(u.Elem(2, 2), 1e-100);
  for (int c = 1; c <= 2; ++c)
    for (int r = 1; r <= 2; ++r) EXPECT_EQ(l.Elem(c, r), 0.0);
}

TEST(LUdecomposition, ResultMayBeWrittenIntoTheMatrixItself) {
  TMatrix a, l;
  Fill(a, {{4, 3}, {6, 3}});
  TMatrix copy;
  copy.Assign(&a);
  TMatrix l2, u2;
  ASSERT_TRUE(copy.LUdecomposition(&l2, &u2));
  ASSERT_TRUE(a.LUdecomposition(&l, &a));
  for (int c = 1; c <= 2; ++c)
    for (int r = 1; r <= 2; ++r) EXPECT_EQ(a.Elem(c, r), u2.Elem(c, r));
}

// -------------------------------------------------------------------- Invert

TEST(Invert, TwoByTwoClosedForm) {
  TMatrix m;
  Fill(m, {{4, 7}, {2, 6}});
  int events = 0;
  m.SetOnChange([&](TObject*) { ++events; });
  ASSERT_TRUE(m.Invert());
  EXPECT_EQ(events, 1);
  EXPECT_NEAR(m.Elem(1, 1), 0.6, 1e-15);
  EXPECT_NEAR(m.Elem(2, 1), -0.7, 1e-15);
  EXPECT_NEAR(m.Elem(1, 2), -0.2, 1e-15);
  EXPECT_NEAR(m.Elem(2, 2), 0.4, 1e-15);
}

TEST(Invert, HilbertMatrixAgainstItsIntegerInverse) {
  // (H^-1)_ij = (-1)^(i+j) (i+j-1) C(n+i-1, n-j) C(n+j-1, n-i) C(i+j-2, i-1)^2
  const int n = 6;
  auto binom = [](int a, int b) {
    double r = 1;
    for (int i = 1; i <= b; ++i) r = r * (a - b + i) / i;
    return r;
  };
  TMatrix h;
  h.Resize(n, n);
  for (int i = 1; i <= n; ++i)
    for (int j = 1; j <= n; ++j) h.SetVal(j, i, 1.0 / (i + j - 1));
  ASSERT_TRUE(h.Invert());
  for (int i = 1; i <= n; ++i)
    for (int j = 1; j <= n; ++j) {
      const double c = binom(i + j - 2, i - 1);
      const double expected = ((i + j) % 2 ? -1.0 : 1.0) * (i + j - 1) * binom(n + i - 1, n - j) *
                              binom(n + j - 1, n - i) * c * c;
      EXPECT_NEAR(h.Elem(j, i) / expected, 1.0, 1e-7) << i << "," << j;
    }
}

TEST(Invert, MatchesElementwiseSubstitutionBitForBit) {
  for (int n : {1, 3, 9, 40, 101}) {
    TMatrix m;
    FillRandom(m, n, n, 200 + static_cast<uint64_t>(n));
    RefLU ref(m);
    ASSERT_TRUE(ref.ok);
    std::vector<std::vector<double>> x(n);
    for (int j = 0; j < n; ++j) {
      std::vector<double> e(n, 0.0);
      e[j] = 1.0;
      x[j] = ref.Solve(e);
    }
    for (detail::TGemmPath path : Paths()) {
      std::vector<double> a(m.ColPtr(1), m.ColPtr(1) + static_cast<size_t>(n) * n);
      ASSERT_TRUE(detail::InvertStorage(a.data(), n, n, path));
      for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i)
          ASSERT_EQ(a[static_cast<size_t>(j) * n + i], x[j][i])
              << n << " " << detail::GemmPathName(path) << ": " << i << "," << j;
    }
    ASSERT_TRUE(m.Invert());
    for (int j = 0; j < n; ++j)
      for (int i = 0; i < n; ++i) ASSERT_EQ(m.Elem(j + 1, i + 1), x[j][i]);
  }
}

TEST(Invert, ProductWithOriginalIsIdentity) {
  const int n = 120;
  TMatrix a, inv;
  FillRandom(a, n, n, 5);
  inv.Assign(&a);
  ASSERT_TRUE(inv.Invert());
  const std::vector<double> p = Product(a, inv);
  double worst = 0;
  for (int c = 0; c < n; ++c)
    for (int r = 0; r < n; ++r)
      worst = std::max(worst, std::fabs(p[static_cast<size_t>(c) * n + r] - (r == c)));
  EXPECT_LT(worst, 1e-10);
}

TEST(Invert, RefusesNonSquareEmptyZeroRowAndSingular) {
  TMatrix m;
  Fill(m, {{1, 2, 3}, {4, 5, 6}});
  EXPECT_FALSE(m.Invert());
  m.Resize(0, 0);
  EXPECT_FALSE(m.Invert());
  Fill(m, {{1, 2}, {0, 0}});
  EXPECT_FALSE(m.Invert());
  EXPECT_EQ(m.Elem(1, 1), 1.0);  // scaling stopped before any elimination
  EXPECT_EQ(m.Elem(2, 1), 2.0);
  EXPECT_EQ(m.Elem(1, 2), 0.0);
  Fill(m, {{1, 2}, {2, 4}});
  EXPECT_FALSE(m.Invert());
  EXPECT_EQ(m.Elem(2, 2), 1e-100);  // the eliminated factors stay
}

TEST(LinearAlgebra, NonFiniteInputAndOverflowFailInsteadOfReportingSuccess) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<std::vector<double>> cases[] = {
      {{1, nan}, {2, 3}},
      {{inf, 1}, {1, 1}},
      {{1e308, 1e308}, {-1e308, 1e308}},  // finite, but the elimination overflows
  };
  for (const auto& rows : cases) {
    TMatrix m, l, u;
    Fill(m, rows);
    EXPECT_FALSE(m.LUdecomposition(&l, &u));
    EXPECT_EQ(m.Determinant(), 0.0);
    EXPECT_FALSE(m.Invert());
  }
}

TEST(Invert, StepsProgressTwicePerRowAndHonoursAbort) {
  ProgressGuard guard;
  const int n = 20;
  TMatrix m;
  FillRandom(m, n, n, 9);
  int calls = 0;
  MathFeedBackProc = [&](double) { ++calls; };
  ASSERT_TRUE(m.Invert());
  EXPECT_EQ(ProcStat, 2.0 * n);
  EXPECT_EQ(calls, 2 * n);

  // Abort requested in the middle of the elimination.
  FillRandom(m, n, n, 9);
  TMatrix orig;
  orig.Assign(&m);
  ProcStat = 0;
  MathFeedBackProc = [](double s) {
    if (s >= 5) AbortMathProc = true;
  };
  int events = 0;
  m.SetOnChange([&](TObject*) { ++events; });
  EXPECT_FALSE(m.Invert());
  EXPECT_EQ(ProcStat, 5.0);
  EXPECT_EQ(events, 1);

  // Abort during the substitutions: the factors stay, no inverse is written.
  AbortMathProc = false;
  m.Assign(&orig);
  ProcStat = 0;
  MathFeedBackProc = [n](double s) {
    if (s >= n + 3) AbortMathProc = true;
  };
  EXPECT_FALSE(m.Invert());
  EXPECT_EQ(ProcStat, n + 3.0);
  RefLU ref(orig);
  for (int c = 1; c <= n; ++c)
    for (int r = 1; r <= n; ++r) ASSERT_EQ(m.Elem(c, r), ref.a[r - 1][c - 1]);
}

// ------------------------------------------------------------ CholeskyDecomp

TEST(CholeskyDecomp, TwoByTwoHandComputed) {
  TMatrix a, l;
  Fill(a, {{4, 2}, {2, 3}});
  ASSERT_TRUE(a.CholeskyDecomp(&l));
  EXPECT_EQ(l.Elem(1, 1), 2.0);
  EXPECT_EQ(l.Elem(2, 1), 0.0);
  EXPECT_EQ(l.Elem(1, 2), 1.0);
  EXPECT_DOUBLE_EQ(l.Elem(2, 2), std::sqrt(2.0));
  EXPECT_EQ(a.Elem(2, 1), 1.0);  // L^T in the upper triangle
  EXPECT_EQ(a.Elem(1, 2), 2.0);  // lower triangle unchanged
}

TEST(CholeskyDecomp, ReconstructsRandomPositiveDefiniteMatrix) {
  const int n = 40;
  TMatrix b, bt, a, l, lt;
  FillRandom(b, n, n, 3);
  bt.Assign(&b);
  bt.Transpose();
  ASSERT_TRUE(b.Multiply(&bt, &a));
  for (int i = 1; i <= n; ++i) a.SetVal(i, i, a.Elem(i, i) + n);
  TMatrix orig;
  orig.Assign(&a);
  ASSERT_TRUE(a.CholeskyDecomp(&l));
  lt.Assign(&l);
  lt.Transpose();
  const std::vector<double> p = Product(l, lt);
  for (int c = 0; c < n; ++c)
    for (int r = 0; r < n; ++r)
      ASSERT_NEAR(p[static_cast<size_t>(c) * n + r], orig.Elem(c + 1, r + 1), 1e-11);
}

TEST(CholeskyDecomp, NotPositiveDefiniteStopsAtTheFailedPivot) {
  // Column 1: d = 1, L[2][1] = 2; then 1 - 2*2 = -3 is not positive: column 2
  // of L is left 0 and nothing is divided by the failed pivot.
  TMatrix a, l;
  Fill(a, {{1, 2}, {2, 1}});
  EXPECT_FALSE(a.CholeskyDecomp(&l));
  EXPECT_EQ(l.Elem(1, 1), 1.0);
  EXPECT_EQ(l.Elem(1, 2), 2.0);
  EXPECT_EQ(l.Elem(2, 2), 0.0);
  for (int c = 1; c <= 2; ++c)
    for (int r = 1; r <= 2; ++r) EXPECT_TRUE(std::isfinite(l.Elem(c, r)));

  Fill(a, {{0, 0}, {0, 1}});
  EXPECT_FALSE(a.CholeskyDecomp(&l));
  Fill(a, {{std::nan(""), 0}, {0, 1}});
  EXPECT_FALSE(a.CholeskyDecomp(&l));
  Fill(a, {{1, 2, 3}, {4, 5, 6}});
  EXPECT_FALSE(a.CholeskyDecomp(&l));
  EXPECT_FALSE(a.CholeskyDecomp(nullptr));
}

// ------------------------------------------------------------------- Balance

TEST(Balance, DiagonalMatrixIsUnchanged) {
  TMatrix m;
  Fill(m, {{2, 0, 0}, {0, 3, 0}, {0, 0, 4}});
  int events = 0;
  m.SetOnChange([&](TObject*) { ++events; });
  EXPECT_TRUE(m.Balance());
  EXPECT_EQ(events, 0);
  for (int c = 1; c <= 3; ++c)
    for (int r = 1; r <= 3; ++r) EXPECT_EQ(m.Elem(c, r), c == r ? c + 1.0 : 0.0);
  m.Resize(3, 2);
  EXPECT_FALSE(m.Balance());
}

TEST(Balance, EquilibratesSumsAndKeepsTraceAndDeterminant) {
  TMatrix m;
  Fill(m, {{1, 100, 0.5}, {0.01, 2, 30}, {4, 0.02, 3}});
  const double det = m.Determinant();
  ASSERT_TRUE(m.Balance());
  EXPECT_NEAR(m.Elem(1, 1) + m.Elem(2, 2) + m.Elem(3, 3), 6.0, 1e-12);
  EXPECT_NEAR(m.Determinant() / det, 1.0, 1e-10);
  for (int i = 1; i <= 3; ++i) {
    double r = 0, c = 0;
    for (int j = 1; j <= 3; ++j)
      if (j != i) {
        r += std::fabs(m.Elem(j, i));
        c += std::fabs(m.Elem(i, j));
      }
    // The last sweep moved every factor by less than 1.05: sums within 1.05^2.
    EXPECT_LT(std::max(r, c) / std::min(r, c), 1.05 * 1.05 + 1e-12) << i;
  }
}

TEST(Balance, ZeroRowSumIsSkippedAndBadValuesEnd) {
  // Row 1's off-diagonal sum is 0 while column 1's is 5: no factor 0, no NaN.
  TMatrix m;
  Fill(m, {{1, 0}, {5, 1}});
  EXPECT_TRUE(m.Balance());
  for (int c = 1; c <= 2; ++c)
    for (int r = 1; r <= 2; ++r) EXPECT_TRUE(std::isfinite(m.Elem(c, r)));
  EXPECT_EQ(m.Elem(1, 2), 5.0);

  const double inf = std::numeric_limits<double>::infinity();
  for (double bad : {std::nan(""), inf, -inf}) {
    Fill(m, {{1, bad, 2}, {3, 1, 4}, {5, 6, 1}});
    EXPECT_TRUE(m.Balance());  // ends after at most the sweep cap
  }
}

// ---------------------------------------------------------------------- Norm

TEST(Norm, AllFourTypesOfASmallMatrix) {
  TMatrix m;
  Fill(m, {{1, -2}, {3, 4}});
  EXPECT_EQ(m.Norm(ntColwise), 6.0);
  EXPECT_EQ(m.Norm(ntRowwise), 7.0);
  EXPECT_DOUBLE_EQ(m.Norm(ntFrobenius), std::sqrt(30.0));
  // A^T A = [[10, 10], [10, 20]]: largest eigenvalue 15 + sqrt(125).
  EXPECT_NEAR(m.Norm(ntSpectral), std::sqrt(15.0 + std::sqrt(125.0)), 1e-13);
  EXPECT_EQ(m.Norm(static_cast<TNormType>(9)), 0.0);
}

TEST(Norm, SpectralNormOfKnownSingularValuesAndFailure) {
  // Rank-one matrix u v^T: one singular value |u| |v|.
  TMatrix m;
  Fill(m, {{1, 2, 2}, {2, 4, 4}, {0, 0, 0}, {2, 4, 4}});
  EXPECT_NEAR(m.Norm(ntSpectral), 3.0 * 3.0, 1e-13);
  m.SetVal(1, 1, std::nan(""));
  try {
    m.Norm(ntSpectral);
    FAIL() << "no exception";
  } catch (const DARIMatrixError& e) {
    EXPECT_STREQ(e.what(), "near singular covariance matrix");
  }
}

TEST(Norm, EmptyMatrixGivesZero) {
  TMatrix m;
  m.Resize(0, 3);
  for (TNormType nt : {ntColwise, ntRowwise, ntSpectral, ntFrobenius}) EXPECT_EQ(m.Norm(nt), 0.0);
}

// ---------------------------------------------------------------------- SVD

struct SvdCase {
  int m, n;
};

class SingValDecomp : public ::testing::TestWithParam<SvdCase> {};

TEST_P(SingValDecomp, ReconstructsWithOrthonormalFactors) {
  const auto [m, n] = GetParam();
  TMatrix a, orig, v;
  TVector w;
  FillRandom(a, n, m, 31 + static_cast<uint64_t>(m * 100 + n));
  orig.Assign(&a);
  v.Resize(n, n);
  w.Resize(n);
  ASSERT_TRUE(detail::SingValDecompCore(&a, &v, &w));
  for (int i = 1; i <= n; ++i) EXPECT_GE(w.Elem(i), 0.0);
  // A = U diag(W) V^T
  for (int c = 1; c <= n; ++c)
    for (int r = 1; r <= m; ++r) {
      double s = 0;
      for (int k = 1; k <= n; ++k) s += a.Elem(k, r) * w.Elem(k) * v.Elem(k, c);
      ASSERT_NEAR(s, orig.Elem(c, r), 1e-12) << r << "," << c;
    }
  // V^T V = I; U^T U = I on the columns with a non-zero singular value.
  for (int p = 1; p <= n; ++p)
    for (int q = 1; q <= n; ++q) {
      double sv = 0, su = 0;
      for (int k = 1; k <= n; ++k) sv += v.Elem(p, k) * v.Elem(q, k);
      for (int k = 1; k <= m; ++k) su += a.Elem(p, k) * a.Elem(q, k);
      EXPECT_NEAR(sv, p == q, 1e-12);
      if (w.Elem(p) > 1e-10 && w.Elem(q) > 1e-10) {
        EXPECT_NEAR(su, p == q, 1e-12);
      }
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, SingValDecomp,
                         ::testing::Values(SvdCase{3, 2}, SvdCase{1, 1}, SvdCase{30, 12}, SvdCase{12, 12},
                                           SvdCase{4, 6}, SvdCase{61, 45}));

// The decomposition written element by element through bounds-checked
// accessors (1-based, cells outside A read 0 and ignore writes), in the
// textbook order of operations. The library's storage version must give the
// same bits.
bool RefSvd(std::vector<double>& A, int m, int n, std::vector<double>& V, std::vector<double>& W) {
  auto ga = [&](int r, int c) { return (r >= 1 && r <= m) ? A[(c - 1) * m + (r - 1)] : 0.0; };
  auto sa = [&](int r, int c, double x) {
    if (r >= 1 && r <= m) A[(c - 1) * m + (r - 1)] = x;
  };
  auto gv = [&](int r, int c) { return V[(c - 1) * n + (r - 1)]; };
  auto sv = [&](int r, int c, double x) { V[(c - 1) * n + (r - 1)] = x; };
  auto sign = [](double a, double b) { return b >= 0 ? std::fabs(a) : -std::fabs(a); };
  std::vector<double> e(n + 1, 0.0);
  W.assign(n + 1, 0.0);  // 1-based
  double g = 0, scale = 0, anorm = 0, s, f, h;
  int l = 0;
  for (int i = 1; i <= n; ++i) {
    l = i + 1;
    e[i] = scale * g;
    g = s = scale = 0;
    if (i <= m) {
      for (int k = i; k <= m; ++k) scale += std::fabs(ga(k, i));
      if (scale != 0) {
        for (int k = i; k <= m; ++k) {
          sa(k, i, ga(k, i) / scale);
          s += ga(k, i) * ga(k, i);
        }
        f = ga(i, i);
        g = -sign(std::sqrt(s), f);
        h = f * g - s;
        sa(i, i, f - g);
        for (int j = l; j <= n; ++j) {
          s = 0;
          for (int k = i; k <= m; ++k) s += ga(k, i) * ga(k, j);
          f = s / h;
          for (int k = i; k <= m; ++k) sa(k, j, ga(k, j) + f * ga(k, i));
        }
        for (int k = i; k <= m; ++k) sa(k, i, ga(k, i) * scale);
      }
    }
    W[i] = scale * g;
    g = s = scale = 0;
    if (i <= m && i != n) {
      for (int k = l; k <= n; ++k) scale += std::fabs(ga(i, k));
      if (scale != 0) {
        for (int k = l; k <= n; ++k) {
          sa(i, k, ga(i, k) / scale);
          s += ga(i, k) * ga(i, k);
        }
        f = ga(i, l);
        g = -sign(std::sqrt(s), f);
        h = f * g - s;
        sa(i, l, f - g);
        for (int k = l; k <= n; ++k) e[k] = ga(i, k) / h;
        for (int j = l; j <= m; ++j) {
          s = 0;
          for (int k = l; k <= n; ++k) s += ga(j, k) * ga(i, k);
          for (int k = l; k <= n; ++k) sa(j, k, ga(j, k) + s * e[k]);
        }
        for (int k = l; k <= n; ++k) sa(i, k, ga(i, k) * scale);
      }
    }
    anorm = std::max(anorm, std::fabs(W[i]) + std::fabs(e[i]));
  }
  for (int i = n; i >= 1; --i) {
    if (i < n) {
      if (g != 0) {
        for (int j = l; j <= n; ++j) sv(j, i, (ga(i, j) / ga(i, l)) / g);
        for (int j = l; j <= n; ++j) {
          s = 0;
          for (int k = l; k <= n; ++k) s += ga(i, k) * gv(k, j);
          for (int k = l; k <= n; ++k) sv(k, j, gv(k, j) + s * gv(k, i));
        }
      }
      for (int j = l; j <= n; ++j) {
        sv(i, j, 0);
        sv(j, i, 0);
      }
    }
    sv(i, i, 1);
    g = e[i];
    l = i;
  }
  for (int i = n; i >= 1; --i) {
    l = i + 1;
    g = W[i];
    for (int j = l; j <= n; ++j) sa(i, j, 0);
    if (g != 0) {
      g = 1 / g;
      for (int j = l; j <= n; ++j) {
        s = 0;
        for (int k = l; k <= m; ++k) s += ga(k, i) * ga(k, j);
        f = (s / ga(i, i)) * g;
        for (int k = i; k <= m; ++k) sa(k, j, ga(k, j) + f * ga(k, i));
      }
      for (int j = i; j <= m; ++j) sa(j, i, ga(j, i) * g);
    } else {
      for (int j = i; j <= m; ++j) sa(j, i, 0);
    }
    sa(i, i, ga(i, i) + 1);
  }
  bool ok = true;
  for (int k = n; k >= 1; --k) {
    for (int its = 1; its <= 30; ++its) {
      bool cancel = false;
      for (l = k; l >= 1; --l) {
        if (std::fabs(e[l]) + anorm == anorm) break;
        if (std::fabs(W[l - 1]) + anorm == anorm) {
          cancel = true;
          break;
        }
      }
      if (cancel) {
        double c = 0;
        s = 1;
        for (int i = l; i <= k; ++i) {
          f = s * e[i];
          e[i] = c * e[i];
          if (std::fabs(f) + anorm != anorm) {
            g = W[i];
            h = std::sqrt(f * f + g * g);
            W[i] = h;
            h = 1 / h;
            c = g * h;
            s = -f * h;
            for (int j = 1; j <= m; ++j) {
              const double y = ga(j, l - 1), z = ga(j, i);
              sa(j, l - 1, y * c + z * s);
              sa(j, i, z * c - y * s);
            }
          }
        }
      }
      double z = W[k];
      if (l == k) {
        if (z < 0) {
          W[k] = -z;
          for (int j = 1; j <= n; ++j) sv(j, k, -gv(j, k));
        }
        break;
      }
      if (its == 30) ok = false;
      double x = W[l], y = W[k - 1];
      g = e[k - 1];
      h = e[k];
      f = ((y - z) * (y + z) + (g - h) * (g + h)) / (2 * h * y);
      g = std::sqrt(f * f + 1);
      f = ((x - z) * (x + z) + h * (y / (f + sign(g, f)) - h)) / x;
      double c = 1;
      s = 1;
      for (int j = l; j <= k - 1; ++j) {
        const int i = j + 1;
        g = e[i];
        y = W[i];
        h = s * g;
        g = c * g;
        z = std::sqrt(f * f + h * h);
        e[j] = z;
        c = f / z;
        s = h / z;
        f = x * c + g * s;
        g = g * c - x * s;
        h = y * s;
        y = y * c;
        for (int jj = 1; jj <= n; ++jj) {
          const double xv = gv(jj, j), zv = gv(jj, i);
          sv(jj, j, xv * c + zv * s);
          sv(jj, i, zv * c - xv * s);
        }
        z = std::sqrt(f * f + h * h);
        W[j] = z;
        if (z != 0) {
          z = 1 / z;
          c = f * z;
          s = h * z;
        }
        f = c * g + s * y;
        x = c * y - s * g;
        for (int jj = 1; jj <= m; ++jj) {
          const double yv = ga(jj, j), zv = ga(jj, i);
          sa(jj, j, yv * c + zv * s);
          sa(jj, i, zv * c - yv * s);
        }
      }
      e[l] = 0;
      e[k] = f;
      W[k] = x;
    }
  }
  W.erase(W.begin());
  return ok;
}

TEST(SingValDecompCore, MatchesElementwiseFormulationBitForBit) {
  for (SvdCase sc : {SvdCase{7, 5}, SvdCase{40, 17}, SvdCase{5, 9}, SvdCase{23, 23}}) {
    TMatrix a, v;
    TVector w;
    FillRandom(a, sc.n, sc.m, 900 + static_cast<uint64_t>(sc.m));
    const std::vector<double> a0(a.ColPtr(1), a.ColPtr(1) + static_cast<size_t>(sc.m) * sc.n);
    std::vector<double> ra = a0, rv(static_cast<size_t>(sc.n) * sc.n, 0.0), rw;
    const bool refOk = RefSvd(ra, sc.m, sc.n, rv, rw);
    v.Resize(sc.n, sc.n);
    w.Resize(sc.n);
    EXPECT_EQ(detail::SingValDecompCore(&a, &v, &w), refOk);
    for (int c = 1; c <= sc.n; ++c) {
      ASSERT_EQ(w.Elem(c), rw[c - 1]) << sc.m << "x" << sc.n << " w" << c;
      for (int r = 1; r <= sc.m; ++r) ASSERT_EQ(a.Elem(c, r), ra[(c - 1) * sc.m + (r - 1)]) << r << "," << c;
      for (int r = 1; r <= sc.n; ++r) ASSERT_EQ(v.Elem(c, r), rv[(c - 1) * sc.n + (r - 1)]) << r << "," << c;
    }
    for (detail::TGemmPath path : Paths()) {
      std::vector<double> pa = a0, pv(rv.size(), 0.0), pw(static_cast<size_t>(sc.n), 0.0);
      EXPECT_EQ(detail::SingValDecompStorage(pa.data(), sc.m, sc.m, sc.n, pv.data(), sc.n, pw.data(), path),
                refOk);
      EXPECT_EQ(pa, ra) << detail::GemmPathName(path);
      EXPECT_EQ(pv, rv) << detail::GemmPathName(path);
      for (int c = 0; c < sc.n; ++c) EXPECT_EQ(pw[static_cast<size_t>(c)], rw[static_cast<size_t>(c)]);
    }
  }
}

TEST(SingValDecompCore, RecoversPrescribedSingularValues) {
  // A = H1 diag(8..1) H2 with Householder reflections H = I - 2 u u^T / u^T u.
  const int m = 20, n = 8;
  SeedUniformRandom(77);
  std::vector<double> u1(m), u2(n);
  for (double& x : u1) x = UniformRandom() - 0.5;
  for (double& x : u2) x = UniformRandom() - 0.5;
  auto refl = [](const std::vector<double>& u, int i, int j) {
    double uu = 0;
    for (double x : u) uu += x * x;
    return (i == j) - 2 * u[i] * u[j] / uu;
  };
  TMatrix a, v;
  TVector w;
  a.Resize(n, m);
  for (int r = 0; r < m; ++r)
    for (int c = 0; c < n; ++c) {
      double s = 0;
      for (int k = 0; k < n; ++k) s += refl(u1, r, k) * (8 - k) * refl(u2, k, c);
      a.SetVal(c + 1, r + 1, s);
    }
  v.Resize(n, n);
  w.Resize(n);
  ASSERT_TRUE(detail::SingValDecompCore(&a, &v, &w));
  std::vector<double> ws(w.Storage().begin(), w.Storage().end());
  std::sort(ws.begin(), ws.end());
  for (int k = 0; k < n; ++k) EXPECT_NEAR(ws[k], k + 1.0, 1e-13);
}

TEST(SingValDecompCore, NaNInputFailsAtOnceAndAbortStops) {
  ProgressGuard guard;
  TMatrix a, v;
  TVector w;
  Fill(a, {{1, 2}, {std::nan(""), 4}, {5, 6}});
  v.Resize(2, 2);
  w.Resize(2);
  EXPECT_FALSE(detail::SingValDecompCore(&a, &v, &w));

  FillRandom(a, 5, 7, 1);
  v.Resize(5, 5);
  w.Resize(5);
  ASSERT_TRUE(detail::SingValDecompCore(&a, &v, &w));
  EXPECT_EQ(ProcStat, 4.0 * 5);  // one step per column in each of four phases

  FillRandom(a, 5, 7, 1);
  AbortMathProc = true;
  EXPECT_FALSE(detail::SingValDecompCore(&a, &v, &w));
}

TEST(SingValDecompCore, ScratchSizedOutputsReceiveWhatFits) {
  TMatrix a, v;
  TVector w;
  Fill(a, {{3, 0}, {0, -2}, {0, 0}});
  v.Resize(1, 1);
  w.Resize(1);
  ASSERT_TRUE(detail::SingValDecompCore(&a, &v, &w));
  EXPECT_EQ(w.NrOfElem(), 1);
  EXPECT_NEAR(w.Elem(1), 3.0, 1e-15);
  EXPECT_NEAR(std::fabs(v.Elem(1, 1)), 1.0, 1e-15);
}

}  // namespace
}  // namespace dari
