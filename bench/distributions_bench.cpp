// Distribution functions against the C library's special functions as baseline: the
// cost of the incomplete-gamma route to Phi, of the bisecting quantiles and of the
// exact Mann-Whitney distribution.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "dari/statis/distributions.h"

namespace {

std::vector<double> Grid(double lo, double hi, int n) {
  std::vector<double> v(n);
  for (int i = 0; i < n; ++i) v[i] = lo + (hi - lo) * (i + 0.5) / n;
  return v;
}

void BM_nDistriIntegral(benchmark::State& state) {
  const std::vector<double> xs = Grid(-6, 6, 1024);
  for (auto _ : state)
    for (double x : xs) benchmark::DoNotOptimize(dari::nDistriIntegral(x));
  state.SetItemsProcessed(state.iterations() * xs.size());
}
BENCHMARK(BM_nDistriIntegral);

void BM_Baseline_Erfc(benchmark::State& state) {
  const std::vector<double> xs = Grid(-6, 6, 1024);
  for (auto _ : state)
    for (double x : xs) benchmark::DoNotOptimize(0.5 * std::erfc(-x * M_SQRT1_2));
  state.SetItemsProcessed(state.iterations() * xs.size());
}
BENCHMARK(BM_Baseline_Erfc);

void BM_LnGamma(benchmark::State& state) {
  const std::vector<double> xs = Grid(0.1, 100, 1024);
  for (auto _ : state)
    for (double x : xs) benchmark::DoNotOptimize(dari::LnGamma(x));
  state.SetItemsProcessed(state.iterations() * xs.size());
}
BENCHMARK(BM_LnGamma);

void BM_Baseline_Lgamma(benchmark::State& state) {
  const std::vector<double> xs = Grid(0.1, 100, 1024);
  for (auto _ : state)
    for (double x : xs) benchmark::DoNotOptimize(std::lgamma(x));
  state.SetItemsProcessed(state.iterations() * xs.size());
}
BENCHMARK(BM_Baseline_Lgamma);

void BM_nDistriQuantile(benchmark::State& state) {
  const std::vector<double> ps = Grid(0, 1, 256);
  for (auto _ : state)
    for (double p : ps) benchmark::DoNotOptimize(dari::nDistriQuantile(p));
  state.SetItemsProcessed(state.iterations() * ps.size());
}
BENCHMARK(BM_nDistriQuantile);

void BM_tDistriQuantile(benchmark::State& state) {
  const std::vector<double> ps = Grid(0, 1, 256);
  for (auto _ : state)
    for (double p : ps) benchmark::DoNotOptimize(dari::tDistriQuantile(p, 10));
  state.SetItemsProcessed(state.iterations() * ps.size());
}
BENCHMARK(BM_tDistriQuantile);

void BM_UDistriIntegral(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(dari::UDistriIntegral(n, n, n * n / 3));
}
BENCHMARK(BM_UDistriIntegral)->Arg(10)->Arg(50)->Arg(200);

}  // namespace

BENCHMARK_MAIN();
