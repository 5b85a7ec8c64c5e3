// TVector bulk operations against plain loops in the same run:
//   Sum and MeanVar over 1e7 doubles  vs  a sequential loop over a std::vector, and
//                                         a streaming read (the memory bound);
//   Percentile over 1e6 doubles        vs  std::nth_element on a copy;
//   SortElems over 1e6 doubles         vs  std::sort.
// Compare the bytes/s (Sum, MeanVar, read) or the times of each pair.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "dari/platform/uniform_random.h"
#include "dari/vector/vector.h"

namespace {

constexpr int kLarge = 10'000'000;
constexpr int kMedium = 1'000'000;

std::vector<double> RandomValues(int n) {
  dari::SeedUniformRandom(42);
  std::vector<double> v(static_cast<size_t>(n));
  for (double& x : v) x = dari::UniformRandom() * 100.0 - 50.0;
  return v;
}

void FillVector(dari::TVector& v, const std::vector<double>& values) {
  v.Resize(static_cast<int>(values.size()));
  std::copy(values.begin(), values.end(), v.Storage().begin());
}

// ---- Memory bound: read every 8-byte word once, integer XOR (no latency chain).

void BM_StreamRead(benchmark::State& state) {
  const std::vector<double> values = RandomValues(kLarge);
  for (auto _ : state) {
    const auto* p = reinterpret_cast<const unsigned char*>(values.data());
    uint64_t acc[8] = {};
    for (size_t i = 0; i + 8 <= values.size(); i += 8) {
      for (int j = 0; j < 8; ++j) {
        uint64_t w;
        std::memcpy(&w, p + (i + j) * 8, 8);
        acc[j] ^= w;
      }
    }
    uint64_t r = 0;
    for (uint64_t a : acc) r ^= a;
    benchmark::DoNotOptimize(r);
  }
  state.SetBytesProcessed(state.iterations() * kLarge * 8);
}
BENCHMARK(BM_StreamRead)->Unit(benchmark::kMillisecond);

// ---- Sum

void BM_PlainSum(benchmark::State& state) {
  const std::vector<double> values = RandomValues(kLarge);
  for (auto _ : state) {
    double s = 0.0;
    for (double x : values) s += x;
    benchmark::DoNotOptimize(s);
  }
  state.SetBytesProcessed(state.iterations() * kLarge * 8);
}
BENCHMARK(BM_PlainSum)->Unit(benchmark::kMillisecond);

void BM_VectorSum(benchmark::State& state) {
  dari::TVector v;
  FillVector(v, RandomValues(kLarge));
  for (auto _ : state) benchmark::DoNotOptimize(v.Sum(0, 0));
  state.SetBytesProcessed(state.iterations() * kLarge * 8);
}
BENCHMARK(BM_VectorSum)->Unit(benchmark::kMillisecond);

// ---- MeanVar

void BM_PlainMeanVar(benchmark::State& state) {
  const std::vector<double> values = RandomValues(kLarge);
  for (auto _ : state) {
    double s = 0.0, s2 = 0.0;
    for (double x : values) {
      s += x;
      s2 += x * x;
    }
    const double n = kLarge;
    double mean = s / n;
    double var = (s2 - s * s / n) / (n - 1);
    benchmark::DoNotOptimize(mean);
    benchmark::DoNotOptimize(var);
  }
  state.SetBytesProcessed(state.iterations() * kLarge * 8);
}
BENCHMARK(BM_PlainMeanVar)->Unit(benchmark::kMillisecond);

void BM_VectorMeanVar(benchmark::State& state) {
  dari::TVector v;
  FillVector(v, RandomValues(kLarge));
  for (auto _ : state) {
    double mean, var;
    v.MeanVar(0, 0, mean, var);
    benchmark::DoNotOptimize(mean);
    benchmark::DoNotOptimize(var);
  }
  state.SetBytesProcessed(state.iterations() * kLarge * 8);
}
BENCHMARK(BM_VectorMeanVar)->Unit(benchmark::kMillisecond);

// ---- Percentile (the median)

void BM_NthElementMedian(benchmark::State& state) {
  const std::vector<double> values = RandomValues(kMedium);
  for (auto _ : state) {
    std::vector<double> copy(values);
    const size_t k = (copy.size() - 1) / 2;
    std::nth_element(copy.begin(), copy.begin() + static_cast<std::ptrdiff_t>(k), copy.end());
    benchmark::DoNotOptimize(copy[k]);
  }
}
BENCHMARK(BM_NthElementMedian)->Unit(benchmark::kMillisecond);

void BM_VectorPercentile(benchmark::State& state) {
  dari::TVector v;
  FillVector(v, RandomValues(kMedium));
  for (auto _ : state) benchmark::DoNotOptimize(v.Percentile(50.0, 0, 0));
}
BENCHMARK(BM_VectorPercentile)->Unit(benchmark::kMillisecond);

// ---- Sorting (no OnSortExchange handler)

void BM_StdSort(benchmark::State& state) {
  const std::vector<double> values = RandomValues(kMedium);
  std::vector<double> work;
  for (auto _ : state) {
    state.PauseTiming();
    work = values;
    state.ResumeTiming();
    std::sort(work.begin(), work.end());
    benchmark::DoNotOptimize(work.data());
  }
}
BENCHMARK(BM_StdSort)->Unit(benchmark::kMillisecond);

void BM_VectorSortElems(benchmark::State& state) {
  const std::vector<double> values = RandomValues(kMedium);
  dari::TVector v;
  v.Resize(kMedium);
  for (auto _ : state) {
    state.PauseTiming();
    std::copy(values.begin(), values.end(), v.Storage().begin());
    state.ResumeTiming();
    v.SortElems(true, 0, 0);
    benchmark::DoNotOptimize(v.Storage().data());
  }
}
BENCHMARK(BM_VectorSortElems)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
