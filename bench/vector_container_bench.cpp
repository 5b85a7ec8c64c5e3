// Element writes through TVector::SetVal against writes into a std::vector<double>,
// with and without an OnChange handler.
#include <benchmark/benchmark.h>

#include <vector>

#include "dari/vector/vector.h"

namespace {

constexpr int kN = 10'000'000;

void BM_StdVectorWrite(benchmark::State& state) {
  std::vector<double> v(kN);
  for (auto _ : state) {
    for (int i = 0; i < kN; ++i) v[static_cast<size_t>(i)] = i * 0.5;
    benchmark::DoNotOptimize(v.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_StdVectorWrite)->Unit(benchmark::kMillisecond);

void BM_TVectorSetVal(benchmark::State& state) {
  dari::TVector v;
  v.Resize(kN);
  for (auto _ : state) {
    for (int i = 1; i <= kN; ++i) v.SetVal(i, (i - 1) * 0.5);
    benchmark::DoNotOptimize(&v);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_TVectorSetVal)->Unit(benchmark::kMillisecond);

void BM_TVectorSetValWithHandler(benchmark::State& state) {
  dari::TVector v;
  v.Resize(kN);
  long events = 0;
  v.SetOnChange([&](dari::TObject*) { ++events; });
  for (auto _ : state) {
    for (int i = 1; i <= kN; ++i) v.SetVal(i, (i - 1) * 0.5);
    benchmark::DoNotOptimize(&v);
  }
  state.counters["events/elem"] = static_cast<double>(events) / (static_cast<double>(kN) * state.iterations());
}
BENCHMARK(BM_TVectorSetValWithHandler)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
