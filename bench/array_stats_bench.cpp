// MeanVarOfArray over 1e7 doubles against a plain loop forming the same two
// sums in the same order, and TKahanSum::Add against plain accumulation.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "dari/math1/array_stats.h"

namespace {

constexpr int kN = 10000000;

const std::vector<double>& Input() {
  static const std::vector<double> data = [] {
    std::vector<double> d(kN);
    std::mt19937_64 gen(12345);
    std::uniform_real_distribution<double> dist(-1e3, 1e3);
    for (double& x : d) x = dist(gen);
    return d;
  }();
  return data;
}

void BM_MeanVarOfArray(benchmark::State& state) {
  const auto& d = Input();
  for (auto _ : state) {
    double mean, var;
    dari::MeanVarOfArray(d, 0, kN - 1, mean, var);
    benchmark::DoNotOptimize(mean);
    benchmark::DoNotOptimize(var);
  }
  state.SetItemsProcessed(state.iterations() * kN);
}
BENCHMARK(BM_MeanVarOfArray)->Unit(benchmark::kMillisecond);

// Baseline: the plain loop, sums in index order.
void BM_PlainMeanVarLoop(benchmark::State& state) {
  const auto& d = Input();
  for (auto _ : state) {
    double s = 0, s2 = 0;
    for (int i = 0; i < kN; ++i) {
      s += d[static_cast<size_t>(i)];
      s2 += d[static_cast<size_t>(i)] * d[static_cast<size_t>(i)];
    }
    const double mean = s / kN;
    double var = (s2 - s * s / kN) / (kN - 1);
    benchmark::DoNotOptimize(mean);
    benchmark::DoNotOptimize(var);
  }
  state.SetItemsProcessed(state.iterations() * kN);
}
BENCHMARK(BM_PlainMeanVarLoop)->Unit(benchmark::kMillisecond);

void BM_KahanSumAdd(benchmark::State& state) {
  const auto& d = Input();
  for (auto _ : state) {
    dari::TKahanSum k;
    for (double x : d) k.Add(x);
    benchmark::DoNotOptimize(k.Sum);
  }
  state.SetItemsProcessed(state.iterations() * kN);
}
BENCHMARK(BM_KahanSumAdd)->Unit(benchmark::kMillisecond);

// Baseline: plain accumulation of the same values.
void BM_PlainSum(benchmark::State& state) {
  const auto& d = Input();
  for (auto _ : state) {
    double s = 0;
    for (double x : d) s += x;
    benchmark::DoNotOptimize(s);
  }
  state.SetItemsProcessed(state.iterations() * kN);
}
BENCHMARK(BM_PlainSum)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
