// SortArray (comb sort) against std::sort on the same random data, and QuickSelect
// against std::nth_element. Each iteration sorts a fresh copy of the same input.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "dari/math1/sorting.h"

namespace {

template <typename T>
const std::vector<T>& Input(int n) {
  static std::vector<T> data;
  if (static_cast<int>(data.size()) != n) {
    std::mt19937_64 gen(12345);
    std::uniform_real_distribution<double> dist(-1e6, 1e6);
    data.resize(static_cast<size_t>(n));
    for (T& x : data) x = static_cast<T>(dist(gen));
  }
  return data;
}

// Runs Op on a fresh copy of the input in every iteration; the copy is not timed.
template <typename T, typename Op>
void OnFreshCopies(benchmark::State& state, Op op) {
  const auto& input = Input<T>(static_cast<int>(state.range(0)));
  std::vector<T> work;
  for (auto _ : state) {
    state.PauseTiming();
    work = input;
    state.ResumeTiming();
    op(work);
    benchmark::DoNotOptimize(work.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

template <typename T>
void BM_SortArray(benchmark::State& state) {
  OnFreshCopies<T>(state, [](std::vector<T>& w) { dari::SortArray(std::span<T>(w), true); });
}

template <typename T>
void BM_StdSort(benchmark::State& state) {
  OnFreshCopies<T>(state, [](std::vector<T>& w) { std::sort(w.begin(), w.end()); });
}

void BM_SortArrayDescending(benchmark::State& state) {
  OnFreshCopies<double>(state, [](std::vector<double>& w) { dari::SortArray(std::span<double>(w), false); });
}

void BM_QuickSelectMedian(benchmark::State& state) {
  OnFreshCopies<double>(state, [](std::vector<double>& w) {
    const int n = static_cast<int>(w.size());
    benchmark::DoNotOptimize(dari::QuickSelect(w, n / 2, 0, n - 1));
  });
}

void BM_NthElementMedian(benchmark::State& state) {
  OnFreshCopies<double>(state, [](std::vector<double>& w) {
    std::nth_element(w.begin(), w.begin() + static_cast<std::ptrdiff_t>(w.size() / 2), w.end());
    benchmark::DoNotOptimize(w[w.size() / 2]);
  });
}

constexpr int kMillion = 1000000;

BENCHMARK(BM_SortArray<double>)->Arg(1000)->Arg(kMillion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdSort<double>)->Arg(1000)->Arg(kMillion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortArrayDescending)->Arg(kMillion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortArray<float>)->Arg(kMillion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdSort<float>)->Arg(kMillion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortArray<int32_t>)->Arg(kMillion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdSort<int32_t>)->Arg(kMillion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuickSelectMedian)->Arg(kMillion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NthElementMedian)->Arg(kMillion)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
