// Linear algebra and matrix statistics: TMatrix::Invert and Determinant
// against a textbook element-by-element Crout elimination and LAPACK's
// dgetrf/dgetri; the singular value decomposition against LAPACK's dgesvd with
// thin U; MeanVar against a plain streaming read of the same data.
//
// Run the LAPACK baselines on one thread (OPENBLAS_NUM_THREADS=1) to compare
// like with like.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "dari/matrix/internal/linalg_kernels.h"
#include "dari/matrix/internal/svd.h"
#include "dari/matrix/matrix.h"
#include "dari/platform/uniform_random.h"

#ifdef DARI_BENCH_HAVE_LAPACK
extern "C" {
void dgetrf_(const int* m, const int* n, double* a, const int* lda, int* ipiv, int* info);
void dgetri_(const int* n, double* a, const int* lda, const int* ipiv, double* work, const int* lwork,
             int* info);
void dgesvd_(const char* jobu, const char* jobvt, const int* m, const int* n, double* a, const int* lda,
             double* s, double* u, const int* ldu, double* vt, const int* ldvt, double* work,
             const int* lwork, int* info);
}
#endif

namespace {

using dari::TMatrix;

void RandomMatrix(TMatrix& m, int nc, int nr) {
  dari::SeedUniformRandom(42);
  m.Resize(nc, nr);
  m.FillRandomUniform(-1.0, 1.0);
}

std::vector<double> Packed(const TMatrix& m) {
  std::vector<double> a(static_cast<size_t>(m.NrOfColumns()) * m.NrOfRows());
  for (int c = 1; c <= m.NrOfColumns(); ++c)
    std::memcpy(a.data() + static_cast<size_t>(c - 1) * m.NrOfRows(), m.ColPtr(c),
                static_cast<size_t>(m.NrOfRows()) * sizeof(double));
  return a;
}

// Textbook Crout elimination with implicit pivoting, one element at a time on
// row-indexed storage, followed by one substitution per unit vector.
void TextbookInvert(std::vector<double>& a, int n) {
  auto at = [&](int r, int c) -> double& { return a[static_cast<size_t>(c) * n + r]; };
  std::vector<double> scale(n), b(n), res(static_cast<size_t>(n) * n);
  std::vector<int> index(n);
  for (int i = 0; i < n; ++i) {
    double big = 0;
    for (int j = 0; j < n; ++j) big = std::max(big, std::fabs(at(i, j)));
    scale[i] = 1 / big;
  }
  for (int j = 0; j < n; ++j) {
    for (int i = 0; i < j; ++i) {
      double s = at(i, j);
      for (int k = 0; k < i; ++k) s -= at(i, k) * at(k, j);
      at(i, j) = s;
    }
    double big = 0;
    int imax = j;
    for (int i = j; i < n; ++i) {
      double s = at(i, j);
      for (int k = 0; k < j; ++k) s -= at(i, k) * at(k, j);
      at(i, j) = s;
      if (scale[i] * std::fabs(s) >= big) {
        big = scale[i] * std::fabs(s);
        imax = i;
      }
    }
    if (imax != j) {
      for (int k = 0; k < n; ++k) std::swap(at(imax, k), at(j, k));
      scale[imax] = scale[j];
    }
    index[j] = imax;
    for (int i = j + 1; i < n; ++i) at(i, j) /= at(j, j);
  }
  for (int j = 0; j < n; ++j) {
    std::fill(b.begin(), b.end(), 0.0);
    b[j] = 1;
    int ii = -1;
    for (int i = 0; i < n; ++i) {
      double s = b[index[i]];
      b[index[i]] = b[i];
      if (ii >= 0)
        for (int k = ii; k < i; ++k) s -= at(i, k) * b[k];
      else if (s != 0)
        ii = i;
      b[i] = s;
    }
    for (int i = n - 1; i >= 0; --i) {
      double s = b[i];
      for (int k = i + 1; k < n; ++k) s -= at(i, k) * b[k];
      b[i] = s / at(i, i);
    }
    std::copy(b.begin(), b.end(), res.begin() + static_cast<std::ptrdiff_t>(j) * n);
  }
  a = res;
}

void BM_Invert_Dari(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  TMatrix src, m;
  RandomMatrix(src, n, n);
  for (auto _ : state) {
    state.PauseTiming();
    m.Assign(&src);
    state.ResumeTiming();
    benchmark::DoNotOptimize(m.Invert());
  }
}
BENCHMARK(BM_Invert_Dari)->Arg(200)->Arg(500)->Unit(benchmark::kMillisecond);

void BM_Invert_Textbook(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  TMatrix src;
  RandomMatrix(src, n, n);
  const std::vector<double> a0 = Packed(src);
  for (auto _ : state) {
    std::vector<double> a = a0;
    TextbookInvert(a, n);
    benchmark::DoNotOptimize(a.data());
  }
}
BENCHMARK(BM_Invert_Textbook)->Arg(200)->Arg(500)->Unit(benchmark::kMillisecond);

// The plain SSE2 code path (what a processor without AVX2 runs).
void BM_Invert_DariGeneric(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  TMatrix src;
  RandomMatrix(src, n, n);
  const std::vector<double> a0 = Packed(src);
  std::vector<double> a;
  for (auto _ : state) {
    state.PauseTiming();
    a = a0;
    state.ResumeTiming();
    benchmark::DoNotOptimize(dari::detail::InvertStorage(a.data(), n, n, dari::detail::TGemmPath::Generic));
  }
}
BENCHMARK(BM_Invert_DariGeneric)->Arg(200)->Arg(500)->Unit(benchmark::kMillisecond);

void BM_Determinant_DariGeneric(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  TMatrix m;
  RandomMatrix(m, n, n);
  for (auto _ : state)
    benchmark::DoNotOptimize(
        dari::detail::DeterminantStorage(m.ColPtr(1), m.Stride(), n, dari::detail::TGemmPath::Generic));
}
BENCHMARK(BM_Determinant_DariGeneric)->Arg(200)->Arg(500)->Unit(benchmark::kMillisecond);

void BM_Determinant_Dari(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  TMatrix m;
  RandomMatrix(m, n, n);
  for (auto _ : state) benchmark::DoNotOptimize(m.Determinant());
}
BENCHMARK(BM_Determinant_Dari)->Arg(200)->Arg(500)->Unit(benchmark::kMillisecond);

#ifdef DARI_BENCH_HAVE_LAPACK
void BM_Invert_Lapack(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  TMatrix src;
  RandomMatrix(src, n, n);
  const std::vector<double> a0 = Packed(src);
  std::vector<int> ipiv(n);
  int lwork = -1, info = 0;
  double wq;
  std::vector<double> a = a0;
  dgetri_(&n, a.data(), &n, ipiv.data(), &wq, &lwork, &info);
  lwork = static_cast<int>(wq);
  std::vector<double> work(static_cast<size_t>(lwork));
  for (auto _ : state) {
    state.PauseTiming();
    a = a0;
    state.ResumeTiming();
    dgetrf_(&n, &n, a.data(), &n, ipiv.data(), &info);
    dgetri_(&n, a.data(), &n, ipiv.data(), work.data(), &lwork, &info);
    benchmark::DoNotOptimize(a.data());
  }
}
BENCHMARK(BM_Invert_Lapack)->Arg(200)->Arg(500)->Unit(benchmark::kMillisecond);

void BM_Determinant_Lapack(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  TMatrix src;
  RandomMatrix(src, n, n);
  const std::vector<double> a0 = Packed(src);
  std::vector<int> ipiv(n);
  std::vector<double> a;
  for (auto _ : state) {
    a = a0;  // the library's Determinant copies the matrix too
    int info = 0;
    dgetrf_(&n, &n, a.data(), &n, ipiv.data(), &info);
    double det = 1;
    for (int i = 0; i < n; ++i) det *= (ipiv[i] != i + 1 ? -1 : 1) * a[static_cast<size_t>(i) * n + i];
    benchmark::DoNotOptimize(det);
  }
}
BENCHMARK(BM_Determinant_Lapack)->Arg(200)->Arg(500)->Unit(benchmark::kMillisecond);

void BM_Svd_Lapack(benchmark::State& state) {
  const int m = 500, n = 200;
  TMatrix src;
  RandomMatrix(src, n, m);
  const std::vector<double> a0 = Packed(src);
  std::vector<double> a = a0, s(n), u(static_cast<size_t>(m) * n), vt(static_cast<size_t>(n) * n);
  int lwork = -1, info = 0;
  double wq;
  dgesvd_("S", "A", &m, &n, a.data(), &m, s.data(), u.data(), &m, vt.data(), &n, &wq, &lwork, &info);
  lwork = static_cast<int>(wq);
  std::vector<double> work(static_cast<size_t>(lwork));
  for (auto _ : state) {
    state.PauseTiming();
    a = a0;
    state.ResumeTiming();
    dgesvd_("S", "A", &m, &n, a.data(), &m, s.data(), u.data(), &m, vt.data(), &n, work.data(), &lwork,
            &info);
    benchmark::DoNotOptimize(s.data());
  }
}
BENCHMARK(BM_Svd_Lapack)->Unit(benchmark::kMillisecond);
#endif

void BM_Svd_Dari(benchmark::State& state) {
  const int m = 500, n = 200;
  TMatrix src, a, v;
  dari::TVector w;
  RandomMatrix(src, n, m);
  v.Resize(n, n);
  w.Resize(n);
  for (auto _ : state) {
    state.PauseTiming();
    a.Assign(&src);
    state.ResumeTiming();
    benchmark::DoNotOptimize(dari::detail::SingValDecompCore(&a, &v, &w));
  }
}
BENCHMARK(BM_Svd_Dari)->Unit(benchmark::kMillisecond);

void BM_Svd_DariGeneric(benchmark::State& state) {
  const int m = 500, n = 200;
  TMatrix src;
  RandomMatrix(src, n, m);
  const std::vector<double> a0 = Packed(src);
  std::vector<double> a, v(static_cast<size_t>(n) * n), w(n);
  for (auto _ : state) {
    state.PauseTiming();
    a = a0;
    state.ResumeTiming();
    benchmark::DoNotOptimize(dari::detail::SingValDecompStorage(a.data(), m, m, n, v.data(), n, w.data(),
                                                                dari::detail::TGemmPath::Generic));
  }
}
BENCHMARK(BM_Svd_DariGeneric)->Unit(benchmark::kMillisecond);

// MeanVar over a 4000 x 4000 matrix (128 MB) and a plain read of the same
// storage with eight independent sums: the memory speed that MeanVar can reach.
TMatrix& BigMatrix() {
  static TMatrix* m = [] {
    auto* p = new TMatrix;
    RandomMatrix(*p, 4000, 4000);
    return p;
  }();
  return *m;
}

void BM_MeanVar_Dari(benchmark::State& state) {
  TMatrix& m = BigMatrix();
  for (auto _ : state) {
    double mean, var;
    m.MeanVar(0, 0, 0, 0, mean, var);
    benchmark::DoNotOptimize(mean);
    benchmark::DoNotOptimize(var);
  }
  state.SetBytesProcessed(state.iterations() * 4000LL * 4000LL * 8);
}
BENCHMARK(BM_MeanVar_Dari)->Unit(benchmark::kMillisecond);

void BM_MemoryRead(benchmark::State& state) {
  TMatrix& m = BigMatrix();
  const double* p = m.ColPtr(1);
  const size_t count = 4000ULL * 4000ULL;
  for (auto _ : state) {
    double s[8] = {};
    for (size_t i = 0; i + 8 <= count; i += 8)
      for (int l = 0; l < 8; ++l) s[l] += p[i + l];
    benchmark::DoNotOptimize(s);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(count) * 8);
}
BENCHMARK(BM_MemoryRead)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
