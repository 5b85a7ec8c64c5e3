// CalcEigVec, the eigen state and CalcPrincComp.
#include "dari/math2/eigen.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

#include "dari/base/progress.h"
#include "dari/math2/covariance.h"
#include "dari/math2/internal/jacobi.h"
#include "dari/math2/math2_error.h"

namespace dari {
namespace detail {
namespace {

// The result of the last eigen-decomposition. Values holds the n eigenvalues;
// Vectors the n eigenvectors, eigenvector k (0-based) contiguous at k * n.
// Both empty while no result is stored.
struct TEigenState {
  int Size = 0;
  std::vector<double> Values;
  std::vector<double> Vectors;

  void Release() {
    std::vector<double>().swap(Values);
    std::vector<double>().swap(Vectors);
  }
};

// Process-wide, released at program exit or by RemoveEigenMatrix.
TEigenState& EigenState() {
  static TEigenState state;
  return state;
}

}  // namespace
}  // namespace detail

namespace {
constexpr int kMaxEigenOrder = 10000;
}  // namespace

bool CalcEigVec(TMatrix* Matrix) {
  if (Matrix == nullptr) return false;
  const int n = Matrix->NrOfColumns();
  if (n > kMaxEigenOrder) return false;
  // The rotations address rows 1..n: a matrix with another row count has no
  // symmetric meaning and would be read outside its storage.
  if (Matrix->NrOfRows() != n) return false;

  detail::TEigenState& state = detail::EigenState();
  state.Size = n;
  const size_t un = static_cast<size_t>(n);
  try {
    state.Release();
    state.Values.resize(un);
    state.Vectors.resize(un * un);
  } catch (const std::bad_alloc&) {
    state.Release();
    throw DARIMath2Error("CalcEigVec: not enough memory");
  }

  AbortMathProc = false;
  bool ok;
  try {
    ok = detail::JacobiEigen(Matrix->ColPtr(1), Matrix->Stride(), n, state.Values.data(),
                             state.Vectors.data());
  } catch (const std::bad_alloc&) {
    // The scratch arrays are had before the matrix is touched.
    state.Release();
    throw DARIMath2Error("CalcEigVec: not enough memory");
  }
  Matrix->Changed();
  return ok;
}

double GetEigenResult(int Pair, int Item) {
  const detail::TEigenState& state = detail::EigenState();
  const int n = state.Size;
  if (state.Values.empty() || state.Vectors.empty()) return 0.0;
  // The arrays always hold Size (Size * Size) values when present.
  if (Pair < 1 || Pair > n || Item < 0 || Item > n) return 0.0;
  if (Item == 0) return state.Values[static_cast<size_t>(Pair - 1)];
  return state.Vectors[static_cast<size_t>(Pair - 1) * static_cast<size_t>(n) +
                       static_cast<size_t>(Item - 1)];
}

int GetEigenSize() { return detail::EigenState().Size; }

void RemoveEigenMatrix() { detail::EigenState().Release(); }

bool CalcPrincComp(const TMatrix* Data, int FirstCol, int LastCol, int FirstRow, int LastRow,
                   int Mode, bool Normalize) {
  if (Data == nullptr) return false;
  // nv from the bounds as passed. Bounds that CalcCovar would reject are refused
  // here before the scratch matrix is sized from them.
  const int64_t nv = static_cast<int64_t>(LastCol) - FirstCol + 1;
  if (nv < 1 || nv > Data->NrOfColumns()) return false;

  bool ok;
  {
    TMatrix scratch;
    scratch.Resize(static_cast<int>(nv), static_cast<int>(nv));
    ok = CalcCovar(Data, &scratch, FirstCol, LastCol, FirstRow, LastRow, Mode) &&
         CalcEigVec(&scratch);
  }
  if (!ok) return false;

  detail::TEigenState& state = detail::EigenState();
  const int n = state.Size;
  const size_t un = static_cast<size_t>(n);
  std::vector<double>& values = state.Values;
  if (Normalize) {
    double sum = 0.0;
    for (size_t k = 0; k < un; ++k) sum += std::fabs(values[k]);
    if (sum != 0.0)
      for (size_t k = 0; k < un; ++k) values[k] /= sum;
  }
  // Selection of the largest positive eigenvalue for each position; values
  // <= 0 are never selected and end up behind the positive ones.
  for (size_t i = 0; i < un; ++i) {
    double maximum = 0.0;
    size_t h = un;
    for (size_t k = i; k < un; ++k)
      if (values[k] > maximum) {
        maximum = values[k];
        h = k;
      }
    if (h < un && h != i) {
      std::swap(values[h], values[i]);
      std::swap_ranges(state.Vectors.begin() + static_cast<std::ptrdiff_t>(h * un),
                       state.Vectors.begin() + static_cast<std::ptrdiff_t>(h * un + un),
                       state.Vectors.begin() + static_cast<std::ptrdiff_t>(i * un));
    }
  }
  return true;
}

bool CalcPrincComp(const TMatrix* Data, int FirstCol, int LastCol, int FirstRow, int LastRow,
                   int Mode) {
  return CalcPrincComp(Data, FirstCol, LastCol, FirstRow, LastRow, Mode, true);
}

}  // namespace dari
