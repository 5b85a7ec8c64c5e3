// TFastFourier::Transform against two baselines on the same interleaved block:
// the textbook radix-2 loop (twiddle recurrence outside, strided sweep inside),
// always built, and FFTW in estimate mode when it was found at configure time.
// Forward runs repeat the transform on its own output (the work does not depend
// on the values); round trips keep the values bounded.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <utility>
#include <vector>

#include "dari/fourier/fourier.h"

#if defined(DARI_BENCH_HAVE_FFTW)
#include <fftw3.h>
#endif

namespace {

std::vector<double> RandomBlock(int n) {
  std::vector<double> v(2 * static_cast<size_t>(n));
  uint64_t s = 12345;
  for (double& x : v) {
    s = s * 6364136223846793005ULL + 1442695040888963407ULL;
    x = static_cast<double>(s >> 11) / 9007199254740992.0 - 0.5;
  }
  return v;
}

void Load(dari::TFastFourier& f, const std::vector<double>& v) {
  const int n = f.SpectrumSize();
  for (int k = 0; k < n; ++k) {
    f.SetRealSpec(k + 1, v[2 * static_cast<size_t>(k)]);
    f.SetImagSpec(k + 1, v[2 * static_cast<size_t>(k) + 1]);
  }
}

// The textbook loop: bit reversal by the j counter, then per stage the twiddle
// recurrence outside and the butterflies with stride istep inside.
void TextbookFFT(double* data, int n, int sign) {
  double* d = data - 1;  // 1-based as in the classic formulation
  const int nn = 2 * n;
  int j = 1;
  for (int i = 1; i < nn; i += 2) {
    if (j > i) {
      std::swap(d[j], d[i]);
      std::swap(d[j + 1], d[i + 1]);
    }
    int m = n;
    while (m >= 2 && j > m) {
      j -= m;
      m /= 2;
    }
    j += m;
  }
  for (int mmax = 2; nn > mmax;) {
    const int istep = 2 * mmax;
    const double theta = sign * 2 * std::numbers::pi / mmax;
    const double s = std::sin(0.5 * theta);
    const double wpr = -2.0 * s * s, wpi = std::sin(theta);
    double wr = 1.0, wi = 0.0;
    for (int m = 1; m < mmax; m += 2) {
      for (int i = m; i <= nn; i += istep) {
        const int k = i + mmax;
        const double tr = wr * d[k] - wi * d[k + 1];
        const double ti = wr * d[k + 1] + wi * d[k];
        d[k] = d[i] - tr;
        d[k + 1] = d[i + 1] - ti;
        d[i] += tr;
        d[i + 1] += ti;
      }
      const double wtemp = wr;
      wr = wr + (wr * wpr - wi * wpi);
      wi = wi + (wi * wpr + wtemp * wpi);
    }
    mmax = istep;
  }
}

void BM_DariForward(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  dari::TFastFourier f;
  f.SetSpectrumSize(n);
  Load(f, RandomBlock(n));
  for (auto _ : state) {
    f.Transform();
    benchmark::DoNotOptimize(f.RealSpec(1));
  }
  state.SetItemsProcessed(state.iterations() * n);
}

void BM_TextbookForward(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  std::vector<double> v = RandomBlock(n);
  for (auto _ : state) {
    TextbookFFT(v.data(), n, +1);
    benchmark::DoNotOptimize(v.data());
  }
  state.SetItemsProcessed(state.iterations() * n);
}

void BM_DariRoundTrip(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  dari::TFastFourier f;
  f.SetSpectrumSize(n);
  Load(f, RandomBlock(n));
  for (auto _ : state) {
    f.Transform();
    f.InverseTransform();
    benchmark::DoNotOptimize(f.RealSpec(1));
  }
  state.SetItemsProcessed(state.iterations() * n);
}

BENCHMARK(BM_DariForward)->Arg(1 << 10)->Arg(1 << 16)->Arg(1 << 20);
BENCHMARK(BM_TextbookForward)->Arg(1 << 10)->Arg(1 << 16)->Arg(1 << 20);
BENCHMARK(BM_DariRoundTrip)->Arg(1 << 10)->Arg(1 << 16)->Arg(1 << 20);

#if defined(DARI_BENCH_HAVE_FFTW)
// FFTW_BACKWARD is the unscaled e^(+2 pi i kn/N) sum, the direction of Transform.
void BM_FftwForward(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  std::vector<double> v = RandomBlock(n);
  auto* c = reinterpret_cast<fftw_complex*>(v.data());
  fftw_plan p = fftw_plan_dft_1d(n, c, c, FFTW_BACKWARD, FFTW_ESTIMATE);
  for (auto _ : state) {
    fftw_execute(p);
    benchmark::DoNotOptimize(v.data());
  }
  fftw_destroy_plan(p);
  state.SetItemsProcessed(state.iterations() * n);
}

void BM_FftwRoundTrip(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  std::vector<double> v = RandomBlock(n);
  auto* c = reinterpret_cast<fftw_complex*>(v.data());
  fftw_plan fwd = fftw_plan_dft_1d(n, c, c, FFTW_BACKWARD, FFTW_ESTIMATE);
  fftw_plan inv = fftw_plan_dft_1d(n, c, c, FFTW_FORWARD, FFTW_ESTIMATE);
  const double scale = 1.0 / n;
  for (auto _ : state) {
    fftw_execute(fwd);
    fftw_execute(inv);
    for (double& x : v) x *= scale;
    benchmark::DoNotOptimize(v.data());
  }
  fftw_destroy_plan(fwd);
  fftw_destroy_plan(inv);
  state.SetItemsProcessed(state.iterations() * n);
}

BENCHMARK(BM_FftwForward)->Arg(1 << 10)->Arg(1 << 16)->Arg(1 << 20);
BENCHMARK(BM_FftwRoundTrip)->Arg(1 << 10)->Arg(1 << 16)->Arg(1 << 20);
#endif

}  // namespace

BENCHMARK_MAIN();
