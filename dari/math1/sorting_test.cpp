#include "dari/math1/sorting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "dari/base/progress.h"
#include "dari/math1/internal/comb_sort.h"

namespace dari {
namespace {

// Restores the progress hooks after a test that watches them.
class ProgressGuard {
 public:
  ProgressGuard() : stat_(ProcStat), proc_(MathFeedBackProc) {}
  ~ProgressGuard() {
    ProcStat = stat_;
    MathFeedBackProc = proc_;
  }

 private:
  double stat_;
  TMathFeedBackProc proc_;
};

template <typename T>
std::vector<T> RandomData(int n, unsigned seed, int distinct) {
  std::mt19937 gen(seed);
  std::uniform_int_distribution<int> dist(-distinct, distinct);
  std::vector<T> v(static_cast<size_t>(n));
  for (T& x : v) {
    x = static_cast<T>(dist(gen));
    if constexpr (std::is_floating_point_v<T>) x = x / static_cast<T>(7);
  }
  return v;
}

// The comb sort done literally, one pair after the other: the reference for the
// vectorised passes. Returns the number of passes and records every exchange.
template <typename T>
int ReferenceCombSort(std::vector<T>& x, bool ascending,
                      std::vector<std::pair<int, int>>* events = nullptr) {
  const int n = static_cast<int>(x.size());
  if (n <= 1) return 0;
  int gap = n;
  int passes = 0;
  for (;;) {
    gap = static_cast<int>(gap / 1.3);
    if (gap == 0) gap = 1;
    bool exchanged = false;
    for (int i = 0; i + gap < n; ++i) {
      const bool out = ascending ? x[i] > x[i + gap] : x[i] < x[i + gap];
      if (out) {
        std::swap(x[i], x[i + gap]);
        exchanged = true;
        if (events) events->emplace_back(i, i + gap);
      }
    }
    ++passes;
    if (gap == 1 && !exchanged) return passes;
  }
}

template <typename T>
bool SameBits(const std::vector<T>& a, const std::vector<T>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0;
}

template <typename T>
TVarKind KindOf() {
  if constexpr (std::is_same_v<T, double>) return vkDouble;
  if constexpr (std::is_same_v<T, float>) return vkSingle;
  return vkInteger;
}

template <typename T>
class SortArrayTyped : public ::testing::Test {};
using ElementTypes = ::testing::Types<double, float, int32_t>;
TYPED_TEST_SUITE(SortArrayTyped, ElementTypes);

TYPED_TEST(SortArrayTyped, AgreesWithStdSortBothDirectionsTypedAndGeneric) {
  using T = TypeParam;
  ProgressGuard guard;
  for (int n : {0, 1, 2, 3, 5, 16, 17, 31, 100, 1000, 4099}) {
    for (int distinct : {3, 1000000}) {
      for (bool ascending : {true, false}) {
        const auto data = RandomData<T>(n, static_cast<unsigned>(n * 7 + distinct), distinct);
        auto expected = data;
        if (ascending) {
          std::sort(expected.begin(), expected.end());
        } else {
          std::sort(expected.begin(), expected.end(), std::greater<T>());
        }
        auto typed = data;
        SortArray(std::span<T>(typed), ascending);
        EXPECT_EQ(typed, expected) << "n=" << n << " ascending=" << ascending;
        auto generic = data;
        SortArray(generic.data(), n, KindOf<T>(), ascending);
        EXPECT_EQ(generic, expected) << "generic n=" << n << " ascending=" << ascending;
      }
    }
  }
}

TYPED_TEST(SortArrayTyped, SilentAndReportingSortsReplayTheLiteralPasses) {
  using T = TypeParam;
  ProgressGuard guard;
  for (int n : {2, 7, 40, 333, 2000}) {
    for (bool ascending : {true, false}) {
      auto data = RandomData<T>(n, static_cast<unsigned>(n), 50);
      if constexpr (std::is_floating_point_v<T>) {
        // NaNs and both zeros: the exact predicate decides what moves.
        for (int i = 0; i < n; i += 5) data[i] = std::numeric_limits<T>::quiet_NaN();
        for (int i = 1; i < n; i += 9) data[i] = static_cast<T>(-0.0);
        for (int i = 3; i < n; i += 11) data[i] = static_cast<T>(0.0);
      }
      auto reference = data;
      std::vector<std::pair<int, int>> referenceEvents;
      const int passes = ReferenceCombSort(reference, ascending, &referenceEvents);

      auto silent = data;
      ProcStat = 0.0;
      SortArray(std::span<T>(silent), ascending);
      EXPECT_TRUE(SameBits(silent, reference)) << "n=" << n;
      EXPECT_EQ(ProcStat, passes);

      auto reporting = data;
      std::vector<std::pair<int, int>> events;
      ProcStat = 0.0;
      detail::CombSort(reporting.data(), n, ascending, [&](std::ptrdiff_t i, std::ptrdiff_t j) {
        // The callback sees the pair already exchanged.
        EXPECT_FALSE(ascending ? reporting[i] > reporting[j] : reporting[i] < reporting[j]);
        events.emplace_back(static_cast<int>(i), static_cast<int>(j));
      });
      EXPECT_TRUE(SameBits(reporting, reference));
      EXPECT_EQ(events, referenceEvents);
      EXPECT_EQ(ProcStat, passes);
    }
  }
}

TEST(SortArray, StepsProgressOncePerPass) {
  ProgressGuard guard;
  std::vector<double> seen;
  MathFeedBackProc = [&](double stat) { seen.push_back(stat); };

  ProcStat = 10.0;
  std::vector<double> none;
  SortArray(std::span<double>(none), true);
  std::vector<double> one{4.0};
  SortArray(std::span<double>(one), true);
  EXPECT_EQ(ProcStat, 10.0);
  EXPECT_TRUE(seen.empty());

  // Two elements in the wrong order: a pass that exchanges, one that does not.
  std::vector<double> two{2.0, 1.0};
  SortArray(std::span<double>(two), true);
  EXPECT_EQ(two, (std::vector<double>{1.0, 2.0}));
  EXPECT_EQ(ProcStat, 12.0);
  EXPECT_EQ(seen, (std::vector<double>{11.0, 12.0}));

  // 100 sorted elements: gaps 76 58 44 33 25 19 14 10 7 5 3 2 1, nothing to
  // exchange, so exactly 13 passes (first gap trunc(100 / 1.3), not 100).
  std::vector<int32_t> sorted(100);
  for (int i = 0; i < 100; ++i) sorted[i] = i;
  ProcStat = 0.0;
  SortArray(std::span<int32_t>(sorted), true);
  EXPECT_EQ(ProcStat, 13.0);
}

TEST(SortArray, IgnoresAbortRequest) {
  ProgressGuard guard;
  AbortMathProc = true;
  std::vector<double> v{3, 1, 2, 5, 4};
  SortArray(std::span<double>(v), true);
  AbortMathProc = false;
  EXPECT_EQ(v, (std::vector<double>{1, 2, 3, 4, 5}));
}

TEST(SortArray, NaNsNeitherHangNorLeaveTheArray) {
  ProgressGuard guard;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  std::vector<double> allNan(1000, nan);
  SortArray(std::span<double>(allNan), true);
  EXPECT_TRUE(std::all_of(allNan.begin(), allNan.end(), [](double x) { return std::isnan(x); }));

  // NaNs split the array into runs that are sorted between them.
  std::vector<double> v{5, 3, nan, 2, 1, nan, 9, 8};
  auto reference = v;
  ReferenceCombSort(reference, true);
  SortArray(std::span<double>(v), true);
  EXPECT_TRUE(SameBits(v, reference));
  EXPECT_EQ(std::count_if(v.begin(), v.end(), [](double x) { return std::isnan(x); }), 2);
}

TEST(SortArrayGeneric, AllKindOrdinalsAndUnknownKind) {
  ProgressGuard guard;
  std::vector<double> d{3, 1, 2};
  SortArray(d.data(), 3, static_cast<TVarKind>(0), true);
  EXPECT_EQ(d, (std::vector<double>{1, 2, 3}));
  std::vector<int32_t> i{3, 1, 2};
  SortArray(i.data(), 3, static_cast<TVarKind>(4), false);
  EXPECT_EQ(i, (std::vector<int32_t>{3, 2, 1}));

  std::vector<double> untouched{3, 1, 2};
  for (int kind : {5, 7, 255}) {
    SortArray(untouched.data(), 3, static_cast<TVarKind>(kind), true);
    EXPECT_EQ(untouched, (std::vector<double>{3, 1, 2}));
    const double value = 0.5;
    EXPECT_EQ(SortIntoArray(untouched.data(), 3, static_cast<TVarKind>(kind), &value, true, true), 0);
    InsertIntoArray(untouched.data(), 3, static_cast<TVarKind>(kind), &value, 1);
    EXPECT_EQ(untouched, (std::vector<double>{3, 1, 2}));
  }
  SortArray(nullptr, 3, vkDouble, true);  // refused, no crash
  SortArray(d.data(), -4, vkDouble, true);
  EXPECT_EQ(d, (std::vector<double>{1, 2, 3}));
}

// The generic functions on a misaligned area inside guard bytes: only the given
// N elements change.
TEST(SortArrayGeneric, TouchesOnlyTheGivenBytesAtAnyAlignment) {
  ProgressGuard guard;
  constexpr int kN = 37;
  std::vector<unsigned char> buffer(1 + kN * sizeof(double) + 16, 0xAB);
  unsigned char* area = buffer.data() + 1;
  const auto values = RandomData<double>(kN, 5, 100);
  std::memcpy(area, values.data(), kN * sizeof(double));

  SortArray(area, kN, vkDouble, false);
  std::vector<double> got(kN);
  std::memcpy(got.data(), area, kN * sizeof(double));
  auto expected = values;
  std::sort(expected.begin(), expected.end(), std::greater<double>());
  EXPECT_EQ(got, expected);

  const double big = 1e9;
  EXPECT_EQ(SortIntoArray(area, kN, vkDouble, &big, false, true), 1);
  const double tail = -1e9;
  InsertIntoArray(area, kN, vkDouble, &tail, kN);
  std::memcpy(got.data(), area, kN * sizeof(double));
  EXPECT_EQ(got.front(), big);
  EXPECT_EQ(got.back(), tail);

  EXPECT_EQ(buffer[0], 0xAB);
  for (size_t b = 1 + kN * sizeof(double); b < buffer.size(); ++b) EXPECT_EQ(buffer[b], 0xAB);
}

struct SortIntoCase {
  std::vector<double> data;
  double value;
  bool ascending;
  bool duplicates;
  int position;  // 0-based, -1 when not inserted
  std::vector<double> after;
};

TEST(SortIntoArray, TableTypedAndGeneric) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<SortIntoCase> cases = {
      {{1, 2, 3, 4}, 2.5, true, false, 2, {1, 2, 2.5, 3}},
      {{1, 2, 3, 4}, 5, true, false, -1, {1, 2, 3, 4}},
      {{1, 2, 3, 4}, 3, true, false, -1, {1, 2, 3, 4}},
      {{1, 2, 3, 4}, 3, true, true, 2, {1, 2, 3, 3}},
      {{1, 2, 3, 4}, 0, true, false, 0, {0, 1, 2, 3}},
      {{1, 2, 3, 4}, 4, true, true, 3, {1, 2, 3, 4}},
      {{1, 2, 3, 4}, 3.5, true, true, 3, {1, 2, 3, 3.5}},
      {{4, 3, 2, 1}, 2.5, false, false, 2, {4, 3, 2.5, 2}},
      {{4, 3, 2, 1}, 0, false, false, -1, {4, 3, 2, 1}},
      {{4, 3, 2, 1}, 9, false, false, 0, {9, 4, 3, 2}},
      {{4, 3, 2, 1}, 3, false, false, -1, {4, 3, 2, 1}},
      {{7}, 5, true, false, 0, {5}},
      {{}, 5, true, true, -1, {}},
      {{1, 2, 3}, nan, true, true, -1, {1, 2, 3}},
  };
  for (size_t c = 0; c < cases.size(); ++c) {
    const SortIntoCase& tc = cases[c];
    auto typed = tc.data;
    EXPECT_EQ(SortIntoArray(std::span<double>(typed), tc.value, tc.ascending, tc.duplicates),
              tc.position)
        << "case " << c;
    EXPECT_EQ(typed, tc.after) << "case " << c;

    auto generic = tc.data;
    EXPECT_EQ(SortIntoArray(generic.data(), static_cast<int>(generic.size()), vkDouble, &tc.value,
                            tc.ascending, tc.duplicates),
              tc.position + 1)
        << "generic case " << c;
    EXPECT_EQ(generic, tc.after) << "generic case " << c;
  }
}

TEST(SortIntoArray, KeepsTheKSmallestOfAStream) {
  const auto stream = RandomData<int32_t>(500, 11, 1000);
  std::vector<int32_t> best(10, std::numeric_limits<int32_t>::max());
  std::vector<float> bestF(10, std::numeric_limits<float>::max());
  for (int32_t x : stream) {
    SortIntoArray(std::span<int32_t>(best), x, true, true);
    SortIntoArray(std::span<float>(bestF), static_cast<float>(x), true, true);
  }
  auto sorted = stream;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(best, std::vector<int32_t>(sorted.begin(), sorted.begin() + 10));
  for (int i = 0; i < 10; ++i) EXPECT_EQ(bestF[i], static_cast<float>(sorted[i]));
}

TEST(InsertIntoArray, TypedPositionsAndRefusals) {
  struct Case {
    int position;
    std::vector<double> after;
  };
  const std::vector<Case> cases = {
      {0, {9, 1, 2}},
      {1, {1, 9, 2}},
      {2, {1, 2, 9}},
      {3, {1, 2, 3}},   // beyond the last position
      {-1, {1, 2, 3}},  // before the array: refused
      {std::numeric_limits<int>::min(), {1, 2, 3}},
  };
  for (const Case& tc : cases) {
    std::vector<double> v{1, 2, 3};
    InsertIntoArray(std::span<double>(v), 9.0, tc.position);
    EXPECT_EQ(v, tc.after) << "position " << tc.position;
  }
  std::vector<int32_t> i{1, 2, 3};
  InsertIntoArray(std::span<int32_t>(i), 9, 1);
  EXPECT_EQ(i, (std::vector<int32_t>{1, 9, 2}));
  std::vector<float> f;
  InsertIntoArray(std::span<float>(f), 9.0f, 0);  // empty: nothing to do
  EXPECT_TRUE(f.empty());
}

TEST(InsertIntoArray, GenericIsOneBasedAndRefusesOutsideOneToN) {
  for (auto [position, after] : std::vector<std::pair<int, std::vector<int32_t>>>{
           {1, {9, 1, 2}},
           {2, {1, 9, 2}},
           {3, {1, 2, 9}},
           {4, {1, 2, 3}},
           {0, {1, 2, 3}},
           {-5, {1, 2, 3}},
       }) {
    std::vector<int32_t> v{1, 2, 3};
    const int32_t value = 9;
    InsertIntoArray(v.data(), 3, vkLongInt, &value, position);
    EXPECT_EQ(v, after) << "position " << position;
  }
  std::vector<float> f{1, 2, 3};
  const float value = 9;
  InsertIntoArray(f.data(), 3, vkSingle, &value, 2);
  EXPECT_EQ(f, (std::vector<float>{1, 9, 2}));
}

TEST(QuickSelect, HandCases) {
  std::vector<double> v{1, 9, 2, 3};
  EXPECT_EQ(QuickSelect(v, 3, 0, 3), 9.0);
  v = {1, 9, 2, 3};
  EXPECT_EQ(QuickSelect(v, 1, 0, 3), 2.0);
  std::vector<double> same{5, 5, 5};
  EXPECT_EQ(QuickSelect(same, 1, 0, 2), 5.0);
  EXPECT_EQ(same, (std::vector<double>{5, 5, 5}));
  // Only positions first..last take part and only they move.
  std::vector<double> w{100, 7, 3, 5, -100};
  EXPECT_EQ(QuickSelect(w, 2, 1, 3), 5.0);
  EXPECT_EQ(w.front(), 100.0);
  EXPECT_EQ(w.back(), -100.0);
}

TEST(QuickSelect, AgreesWithNthElementForEveryK) {
  for (int n : {1, 2, 3, 10, 101}) {
    const auto data = RandomData<double>(n, static_cast<unsigned>(n), n < 10 ? 2 : 1000);
    for (int k = 0; k < n; ++k) {
      auto work = data;
      auto expected = data;
      std::nth_element(expected.begin(), expected.begin() + k, expected.end());
      EXPECT_EQ(QuickSelect(work, k, 0, n - 1), expected[k]) << "n=" << n << " k=" << k;
      auto ws = work;
      auto ds = data;
      std::sort(ws.begin(), ws.end());
      std::sort(ds.begin(), ds.end());
      EXPECT_EQ(ws, ds);  // a permutation of the data
    }
  }
}

TEST(QuickSelect, ClampsOutOfRangeArguments) {
  const std::vector<double> data{4, 8, 1, 6, 3};
  struct Case {
    int k, first, last;
    double expected;
  };
  const std::vector<Case> cases = {
      {-3, 0, 4, 1.0},   // k below first: the smallest
      {99, 0, 4, 8.0},   // k beyond last: the largest
      {0, -10, 100, 1.0},
      {4, -10, 100, 8.0},
      {2, 1, 3, 6.0},    // positions 1..3 hold 8, 1, 6
      {0, 1, 3, 1.0},    // k clamped to first
      {7, 7, 9, 3.0},    // first and last clamped to the last position
      {2, 3, 1, 0.0},    // last < first
  };
  for (const Case& tc : cases) {
    auto work = data;
    EXPECT_EQ(QuickSelect(work, tc.k, tc.first, tc.last), tc.expected)
        << "k=" << tc.k << " first=" << tc.first << " last=" << tc.last;
  }
  std::vector<double> empty;
  EXPECT_EQ(QuickSelect(empty, 0, 0, 0), 0.0);
}

TEST(QuickSelect, EndsWithNaNs) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  std::vector<double> v{nan, 3, nan, 1, 2, nan};
  for (int k = 0; k < 6; ++k) {
    auto work = v;
    const double r = QuickSelect(work, k, 0, 5);
    EXPECT_TRUE(std::isnan(r) || r == 1 || r == 2 || r == 3);
  }
  std::vector<double> allNan(5, nan);
  EXPECT_TRUE(std::isnan(QuickSelect(allNan, 2, 0, 4)));
}

TEST(ExChange, SwapsValuesAndUntypedBytes) {
  std::string a = "first text", b = "second";
  ExChange(a, b);
  EXPECT_EQ(a, "second");
  EXPECT_EQ(b, "first text");

  unsigned char x[4] = {1, 2, 3, 4};
  unsigned char y[4] = {5, 6, 7, 8};
  ExChange(x, y, 0);
  EXPECT_EQ(x[0], 1);
  EXPECT_EQ(y[0], 5);
  ExChange(x, y, 3);  // the fourth byte stays
  EXPECT_EQ((std::vector<int>{x[0], x[1], x[2], x[3]}), (std::vector<int>{5, 6, 7, 4}));
  EXPECT_EQ((std::vector<int>{y[0], y[1], y[2], y[3]}), (std::vector<int>{1, 2, 3, 8}));

  Extended e1 = 1.5L, e2 = -2.25L;
  ExChange(e1, e2);
  EXPECT_EQ(e1, -2.25L);
  EXPECT_EQ(e2, 1.5L);
  int64_t i1 = 1, i2 = std::numeric_limits<int64_t>::min();
  ExChange(i1, i2);
  EXPECT_EQ(i1, std::numeric_limits<int64_t>::min());
  EXPECT_EQ(i2, 1);
  char16_t c1 = u'a', c2 = u'\u0416';
  ExChange(c1, c2);
  EXPECT_EQ(c1, u'\u0416');
  bool t = true, f = false;
  ExChange(t, f);
  EXPECT_FALSE(t);
  EXPECT_TRUE(f);
}

}  // namespace
}  // namespace dari
