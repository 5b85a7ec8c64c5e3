// One full-depth TWavelet1D::Transform (order 3, 6 taps, wrap-around) of 2^20
// samples, in extended precision, against a plain double-precision convolution
// loop doing the same levels with the same filters and indexing.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "dari/wavelet/wavelet.h"

namespace {

constexpr int kN = 1 << 20;

std::vector<double> RandomSignal(int n) {
  std::vector<double> v(n);
  uint64_t s = 777;
  for (double& x : v) {
    s = s * 6364136223846793005ULL + 1442695040888963407ULL;
    x = static_cast<double>(s >> 11) / 9007199254740992.0 - 0.5;
  }
  return v;
}

void BM_DariWaveletOrder3(benchmark::State& state) {
  dari::TWavelet1D w;
  w.SetOrder(3);
  w.SetSize(kN);
  const std::vector<double> v = RandomSignal(kN);
  for (int i = 0; i < kN; ++i) w.SetData(i + 1, v[i]);
  for (auto _ : state) {
    w.Transform(20);  // orthonormal: repeated transforms keep the values bounded
    benchmark::DoNotOptimize(w.Data(1));
  }
  state.SetItemsProcessed(state.iterations() * kN);
}

// Baseline: the periodic 6-tap analysis in double, every tap index masked.
void BM_PlainDoubleConvolution(benchmark::State& state) {
  const double r10 = std::sqrt(10.0), s = std::sqrt(5.0 + 2.0 * r10), c = std::sqrt(2.0) / 32;
  const double h[6] = {(1 + r10 + s) * c,          (5 + r10 + 3 * s) * c, (10 - 2 * r10 + 2 * s) * c,
                       (10 - 2 * r10 - 2 * s) * c, (5 + r10 - 3 * s) * c, (1 + r10 - s) * c};
  double g[6];
  for (int j = 0; j < 6; ++j) g[5 - j] = (j % 2 == 1) ? h[j] : -h[j];
  std::vector<double> x = RandomSignal(kN), tmp(kN);
  for (auto _ : state) {
    for (int n = kN; n > 1; n /= 2) {
      const int half = n / 2, mask = n - 1;
      for (int l = 0; l < half; ++l) {
        double a = 0, d = 0;
        for (int m = 0; m < 6; ++m) {
          const double xi = x[(2 * l - 4 + m) & mask];
          a += h[m] * xi;
          d += g[m] * xi;
        }
        tmp[l] = a;
        tmp[half + l] = d;
      }
      for (int i = 0; i < n; ++i) x[i] = tmp[i];
    }
    benchmark::DoNotOptimize(x.data());
  }
  state.SetItemsProcessed(state.iterations() * kN);
}

BENCHMARK(BM_DariWaveletOrder3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainDoubleConvolution)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
