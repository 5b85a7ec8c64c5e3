// Multivariate analysis: CalcEigVec (Jacobi) against LAPACK's dsyevd when it is
// available and against a textbook Jacobi loop; CalcCovar (covariance) against
// a plain two-pass loop.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "dari/math2/covariance.h"
#include "dari/math2/eigen.h"
#include "dari/platform/uniform_random.h"

#ifdef DARI_BENCH_HAVE_LAPACK
extern "C" void dsyevd_(const char* jobz, const char* uplo, const int* n, double* a,
                        const int* lda, double* w, double* work, const int* lwork, int* iwork,
                        const int* liwork, int* info);
#endif

namespace {

using dari::TMatrix;

// A random symmetric n x n matrix, column-major, elements uniform in [-1, 1).
std::vector<double> RandomSymmetric(int n) {
  dari::SeedUniformRandom(12345);
  std::vector<double> a(static_cast<size_t>(n) * n);
  for (int c = 0; c < n; ++c)
    for (int r = 0; r <= c; ++r) {
      const double v = 2.0 * dari::UniformRandom() - 1.0;
      a[static_cast<size_t>(c) * n + r] = v;
      a[static_cast<size_t>(r) * n + c] = v;
    }
  return a;
}

void LoadMatrix(TMatrix& m, const std::vector<double>& a, int n) {
  for (int c = 1; c <= n; ++c) {
    double* col = m.ColPtr(c);
    for (int r = 0; r < n; ++r) col[r] = a[static_cast<size_t>(c - 1) * n + r];
  }
}

void BM_CalcEigVec(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::vector<double> a = RandomSymmetric(n);
  TMatrix m;
  m.Resize(n, n);
  for (auto _ : state) {
    state.PauseTiming();
    LoadMatrix(m, a, n);
    state.ResumeTiming();
    if (!dari::CalcEigVec(&m)) state.SkipWithError("no convergence");
    benchmark::DoNotOptimize(dari::GetEigenResult(1, 0));
  }
}
BENCHMARK(BM_CalcEigVec)->Arg(50)->Arg(200)->Arg(400)->Unit(benchmark::kMillisecond);

// The textbook formulation with the same rotation rule as CalcEigVec:
// eigenvectors row-major (V[j][k]), the three rotation loops over the upper
// triangle as written.
bool TextbookJacobi(std::vector<double>& a, int n, std::vector<double>& d,
                    std::vector<double>& v) {
  auto A = [&](int r, int c) -> double& { return a[static_cast<size_t>(c) * n + r]; };
  auto V = [&](int r, int c) -> double& { return v[static_cast<size_t>(r) * n + c]; };
  std::vector<double> b(n), z(n, 0.0);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) V(i, j) = i == j ? 1.0 : 0.0;
    b[i] = d[i] = A(i, i);
  }
  auto rot = [](double& x, double& y, double s, double tau) {
    const double g = x, h = y;
    x = g - s * (h + g * tau);
    y = h + s * (g - h * tau);
  };
  for (int sweep = 1; sweep <= 100; ++sweep) {
    double sm = 0.0;
    for (int p = 0; p < n - 1; ++p)
      for (int q = p + 1; q < n; ++q) sm += std::fabs(A(p, q));
    if (sm == 0.0) return true;
    const double tresh = sweep < 4 ? 0.2 * sm / (static_cast<double>(n) * n) : 0.0;
    for (int p = 0; p < n - 1; ++p)
      for (int q = p + 1; q < n; ++q) {
        const double g = 200.0 * std::fabs(A(p, q));
        if (sweep > 4 && std::fabs(d[p]) + g == std::fabs(d[p]) &&
            std::fabs(d[q]) + g == std::fabs(d[q])) {
          A(p, q) = 0.0;
        } else if (std::fabs(A(p, q)) > tresh) {
          double h = d[q] - d[p], t;
          if (std::fabs(h) + g == std::fabs(h)) {
            t = A(p, q) / h;
          } else {
            const double theta = h / A(p, q) / 2.0;
            t = 1.0 / (std::fabs(theta) + std::sqrt(theta * theta + 1.0));
            if (theta < 0.0) t = -t;
          }
          const double c = 1.0 / std::sqrt(t * t + 1.0), s = t * c, tau = s / (1.0 + c);
          h = t * A(p, q);
          z[p] -= h;
          z[q] += h;
          d[p] -= h;
          d[q] += h;
          A(p, q) = 0.0;
          for (int j = 0; j < p; ++j) rot(A(j, p), A(j, q), s, tau);
          for (int j = p + 1; j < q; ++j) rot(A(p, j), A(j, q), s, tau);
          for (int j = q + 1; j < n; ++j) rot(A(p, j), A(q, j), s, tau);
          for (int j = 0; j < n; ++j) rot(V(j, p), V(j, q), s, tau);
        }
      }
    for (int k = 0; k < n; ++k) {
      b[k] += z[k];
      d[k] = b[k];
      z[k] = 0.0;
    }
  }
  return false;
}

void BM_TextbookJacobi(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::vector<double> a0 = RandomSymmetric(n);
  std::vector<double> a, d(n), v(static_cast<size_t>(n) * n);
  for (auto _ : state) {
    state.PauseTiming();
    a = a0;
    state.ResumeTiming();
    if (!TextbookJacobi(a, n, d, v)) state.SkipWithError("no convergence");
    benchmark::DoNotOptimize(d.data());
  }
}
BENCHMARK(BM_TextbookJacobi)->Arg(50)->Arg(200)->Arg(400)->Unit(benchmark::kMillisecond);

#ifdef DARI_BENCH_HAVE_LAPACK
void BM_LapackDsyevd(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::vector<double> a0 = RandomSymmetric(n);
  std::vector<double> a, w(n);
  // Workspace query.
  int lwork = -1, liwork = -1, info = 0, iworkSize = 0;
  double workSize = 0;
  a = a0;
  dsyevd_("V", "U", &n, a.data(), &n, w.data(), &workSize, &lwork, &iworkSize, &liwork, &info);
  lwork = static_cast<int>(workSize);
  liwork = iworkSize;
  std::vector<double> work(static_cast<size_t>(lwork));
  std::vector<int> iwork(static_cast<size_t>(liwork));
  for (auto _ : state) {
    state.PauseTiming();
    a = a0;
    state.ResumeTiming();
    dsyevd_("V", "U", &n, a.data(), &n, w.data(), work.data(), &lwork, iwork.data(), &liwork,
            &info);
    if (info != 0) state.SkipWithError("dsyevd failed");
    benchmark::DoNotOptimize(w.data());
  }
}
BENCHMARK(BM_LapackDsyevd)->Arg(50)->Arg(200)->Arg(400)->Unit(benchmark::kMillisecond);
#endif

// Covariance of a 100000 x 50 data matrix.
constexpr int kCovRows = 100000;
constexpr int kCovVars = 50;

const TMatrix& CovarianceData() {
  static TMatrix* data = [] {
    auto* m = new TMatrix;
    m->Resize(kCovVars, kCovRows);
    dari::SeedUniformRandom(99);
    m->FillRandomUniform(-1.0, 3.0);
    return m;
  }();
  return *data;
}

void BM_CalcCovar(benchmark::State& state) {
  const TMatrix& data = CovarianceData();
  TMatrix result;
  result.Resize(kCovVars, kCovVars);
  for (auto _ : state) {
    if (!dari::CalcCovar(&data, &result, 0, 0, 0, 0, 1)) state.SkipWithError("failed");
    benchmark::DoNotOptimize(result.ColPtr(1));
  }
}
BENCHMARK(BM_CalcCovar)->Unit(benchmark::kMillisecond);

// Plain two-pass covariance: means column by column, then one loop over the
// rows per cell of the lower triangle.
void BM_TwoPassCovariance(benchmark::State& state) {
  const TMatrix& data = CovarianceData();
  std::vector<double> cov(static_cast<size_t>(kCovVars) * kCovVars), mean(kCovVars);
  for (auto _ : state) {
    for (int i = 0; i < kCovVars; ++i) {
      const double* x = data.ColPtr(i + 1);
      double s = 0;
      for (int r = 0; r < kCovRows; ++r) s += x[r];
      mean[i] = s / kCovRows;
    }
    for (int i = 0; i < kCovVars; ++i) {
      const double* xi = data.ColPtr(i + 1);
      for (int j = 0; j <= i; ++j) {
        const double* xj = data.ColPtr(j + 1);
        double s = 0;
        for (int r = 0; r < kCovRows; ++r) s += (xi[r] - mean[i]) * (xj[r] - mean[j]);
        cov[static_cast<size_t>(i) * kCovVars + j] = cov[static_cast<size_t>(j) * kCovVars + i] =
            s / (kCovRows - 1);
      }
    }
    benchmark::DoNotOptimize(cov.data());
  }
}
BENCHMARK(BM_TwoPassCovariance)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
