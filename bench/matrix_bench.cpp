// TMatrix products, transposition and cross product against plain loops that
// give the same results, and the product against OpenBLAS (single thread) and
// Eigen when they are installed. Report ratios of times within one run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "dari/matrix/internal/gemm.h"
#include "dari/matrix/matrix.h"

#ifdef DARI_BENCH_HAVE_OPENBLAS
#include <cblas.h>
#endif

#ifdef DARI_BENCH_HAVE_EIGEN
// Defined in matrix_bench_eigen.cpp, which is built for the host processor.
double EigenProductChecksum(int n, const std::vector<double>& a, const std::vector<double>& b,
                            std::vector<double>& c);
#endif

namespace {

void FillRandom(dari::TMatrix& m, int Nc, int Nr) {
  std::mt19937_64 gen(static_cast<uint64_t>(Nc) * 7919u + static_cast<uint64_t>(Nr));
  std::uniform_real_distribution<double> dist(-1.0, 1.0);
  m.Resize(Nc, Nr);
  for (int c = 1; c <= Nc; ++c)
    for (double& x : m.Column(c)) x = dist(gen);
}

std::vector<double> RandomBlock(int n, uint64_t seed) {
  std::mt19937_64 gen(seed);
  std::uniform_real_distribution<double> dist(-1.0, 1.0);
  std::vector<double> v(static_cast<size_t>(n) * static_cast<size_t>(n));
  for (double& x : v) x = dist(gen);
  return v;
}

void SetFlops(benchmark::State& state, double n) {
  state.counters["GFlop/s"] = benchmark::Counter(
      2.0 * n * n * n, benchmark::Counter::kIsIterationInvariantRate, benchmark::Counter::kIs1000);
}

// ---- n x n product ----

void BM_Multiply_Dari(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  dari::TMatrix a, b, c;
  FillRandom(a, n, n);
  FillRandom(b, n, n);
  for (auto _ : state) {
    a.Multiply(&b, &c);
    benchmark::DoNotOptimize(c.ColPtr(1));
  }
  SetFlops(state, n);
  state.SetLabel(dari::detail::GemmPathName(dari::detail::TGemmPath::Auto));
}

// The textbook loop: one dot product per cell, running along a row of A.
void BM_Multiply_NaiveDot(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::vector<double> a = RandomBlock(n, 1), b = RandomBlock(n, 2);
  std::vector<double> c(a.size());
  const size_t N = static_cast<size_t>(n);
  for (auto _ : state) {
    for (size_t j = 0; j < N; ++j)
      for (size_t r = 0; r < N; ++r) {
        double s = 0.0;
        for (size_t i = 0; i < N; ++i) s += a[r + i * N] * b[i + j * N];
        c[r + j * N] = s;
      }
    benchmark::DoNotOptimize(c.data());
  }
  SetFlops(state, n);
}

// The cache-friendly simple loop with the same per-cell order: column j of C
// accumulates column i of A times B[i][j] for ascending i.
void BM_Multiply_NaiveAxpy(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::vector<double> a = RandomBlock(n, 1), b = RandomBlock(n, 2);
  std::vector<double> c(a.size());
  const size_t N = static_cast<size_t>(n);
  for (auto _ : state) {
    std::fill(c.begin(), c.end(), 0.0);
    for (size_t j = 0; j < N; ++j)
      for (size_t i = 0; i < N; ++i) {
        const double bij = b[i + j * N];
        const double* ai = &a[i * N];
        double* cj = &c[j * N];
        for (size_t r = 0; r < N; ++r) cj[r] += ai[r] * bij;
      }
    benchmark::DoNotOptimize(c.data());
  }
  SetFlops(state, n);
}

#ifdef DARI_BENCH_HAVE_OPENBLAS
void BM_Multiply_OpenBLAS(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::vector<double> a = RandomBlock(n, 1), b = RandomBlock(n, 2);
  std::vector<double> c(a.size());
  openblas_set_num_threads(1);
  for (auto _ : state) {
    cblas_dgemm(CblasColMajor, CblasNoTrans, CblasNoTrans, n, n, n, 1.0, a.data(), n, b.data(), n, 0.0,
                c.data(), n);
    benchmark::DoNotOptimize(c.data());
  }
  SetFlops(state, n);
  state.SetLabel(openblas_get_corename());
}
#endif

#ifdef DARI_BENCH_HAVE_EIGEN
void BM_Multiply_Eigen(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::vector<double> a = RandomBlock(n, 1), b = RandomBlock(n, 2);
  std::vector<double> c(a.size());
  for (auto _ : state) benchmark::DoNotOptimize(EigenProductChecksum(n, a, b, c));
  SetFlops(state, n);
}
#endif

BENCHMARK(BM_Multiply_Dari)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Multiply_NaiveDot)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Multiply_NaiveAxpy)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond);
#ifdef DARI_BENCH_HAVE_OPENBLAS
BENCHMARK(BM_Multiply_OpenBLAS)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond);
#endif
#ifdef DARI_BENCH_HAVE_EIGEN
BENCHMARK(BM_Multiply_Eigen)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond);
#endif

// Each kernel path on its own, 1000 x 1000.
void BM_Gemm_Path(benchmark::State& state) {
  const auto path = static_cast<dari::detail::TGemmPath>(state.range(0));
  if (!dari::detail::GemmPathAvailable(path)) {
    state.SkipWithError("path not supported here");
    return;
  }
  const int n = 1000;
  const std::vector<double> a = RandomBlock(n, 1), b = RandomBlock(n, 2);
  std::vector<double> c(a.size());
  for (auto _ : state) {
    dari::detail::GemmExact(n, n, n, a.data(), n, false, b.data(), n, false, c.data(), n, path);
    benchmark::DoNotOptimize(c.data());
  }
  SetFlops(state, n);
  state.SetLabel(dari::detail::GemmPathName(path));
}
BENCHMARK(BM_Gemm_Path)
    ->Arg(static_cast<int>(dari::detail::TGemmPath::Generic))
    ->Arg(static_cast<int>(dari::detail::TGemmPath::Avx2))
    ->Arg(static_cast<int>(dari::detail::TGemmPath::Avx512))
    ->Unit(benchmark::kMillisecond);

// ---- transpose of 2000 x 3000 ----

void BM_Transpose_Dari(benchmark::State& state) {
  dari::TMatrix a;
  FillRandom(a, 2000, 3000);
  for (auto _ : state) {
    a.Transpose();
    benchmark::DoNotOptimize(a.ColPtr(1));
  }
}

// New storage, element by element along the source columns, then swap in.
void BM_Transpose_Naive(benchmark::State& state) {
  size_t cols = 2000, rows = 3000;
  std::vector<double> a = RandomBlock(1, 3);
  a.resize(cols * rows, 0.5);
  for (auto _ : state) {
    std::vector<double> t(cols * rows);
    for (size_t c = 0; c < cols; ++c)
      for (size_t r = 0; r < rows; ++r) t[c + r * cols] = a[r + c * rows];
    a.swap(t);
    std::swap(cols, rows);
    benchmark::DoNotOptimize(a.data());
  }
}
BENCHMARK(BM_Transpose_Dari)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Transpose_Naive)->Unit(benchmark::kMillisecond);

// ---- scaled cross product A^T A / m of a 2000-row, 200-column matrix ----

void BM_Square_Dari(benchmark::State& state) {
  dari::TMatrix a, r;
  FillRandom(a, 200, 2000);
  for (auto _ : state) {
    a.Square(&r, 2000.0);
    benchmark::DoNotOptimize(r.ColPtr(1));
  }
}

// The upper triangle one dot product at a time, mirrored.
void BM_Square_Naive(benchmark::State& state) {
  dari::TMatrix a;
  FillRandom(a, 200, 2000);
  const size_t n = 200, m = 2000;
  std::vector<double> r(n * n);
  for (auto _ : state) {
    for (size_t i = 0; i < n; ++i) {
      const double* ci = a.ColPtr(static_cast<int>(i) + 1);
      for (size_t j = i; j < n; ++j) {
        const double* cj = a.ColPtr(static_cast<int>(j) + 1);
        double s = 0.0;
        for (size_t k = 0; k < m; ++k) s += ci[k] * cj[k];
        r[i + j * n] = r[j + i * n] = s / 2000.0;
      }
    }
    benchmark::DoNotOptimize(r.data());
  }
}
BENCHMARK(BM_Square_Dari)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Square_Naive)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::AddCustomContext("dari_gemm_path", dari::detail::GemmPathName(dari::detail::TGemmPath::Auto));
#ifdef DARI_BENCH_HAVE_OPENBLAS
  benchmark::AddCustomContext("openblas_core", openblas_get_corename());
  benchmark::AddCustomContext("openblas_config", openblas_get_config());
#endif
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
