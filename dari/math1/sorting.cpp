#include "dari/math1/sorting.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "dari/math1/internal/comb_sort.h"

namespace dari {
namespace {

using detail::LoadElem;
using detail::StoreElem;

// Sorted insertion on n elements of type T at `data`; returns the 0-based position
// or -1. Shared by the typed and the generic variants.
template <typename T>
std::ptrdiff_t SortIntoBytes(unsigned char* data, std::ptrdiff_t n, T value, bool ascending,
                             bool duplicates) {
  if (data == nullptr || n <= 0) return -1;
  const auto qualifies = [&](T e) { return ascending ? e >= value : e <= value; };
  const std::ptrdiff_t last = n - 1;
  std::ptrdiff_t p = 0;
  while (p < last && !qualifies(LoadElem<T>(data, p))) ++p;
  const T e = LoadElem<T>(data, p);
  if (!qualifies(e) || (!duplicates && e == value)) return -1;
  constexpr auto size = static_cast<std::ptrdiff_t>(sizeof(T));
  std::memmove(data + (p + 1) * size, data + p * size, static_cast<std::size_t>((last - p) * size));
  StoreElem<T>(data, p, value);
  return p;
}

// Stores value at the 0-based position, moving the elements from there up by one.
template <typename T>
void InsertBytes(unsigned char* data, std::ptrdiff_t n, T value, std::ptrdiff_t position) {
  if (data == nullptr || position < 0 || position >= n) return;
  constexpr auto size = static_cast<std::ptrdiff_t>(sizeof(T));
  std::memmove(data + (position + 1) * size, data + position * size,
               static_cast<std::size_t>((n - 1 - position) * size));
  StoreElem<T>(data, position, value);
}

template <typename T>
unsigned char* Bytes(std::span<T> data) {
  return reinterpret_cast<unsigned char*>(data.data());
}

template <typename T>
int SortIntoSpan(std::span<T> data, T value, bool ascending, bool duplicates) {
  const auto n = static_cast<std::ptrdiff_t>(data.size());
  return static_cast<int>(SortIntoBytes<T>(Bytes(data), n, value, ascending, duplicates));
}

template <typename T>
void InsertSpan(std::span<T> data, T value, int position) {
  InsertBytes<T>(Bytes(data), static_cast<std::ptrdiff_t>(data.size()), value, position);
}

// Calls f with a value of the element type that Kind names (double for 0 and 1,
// float for 2, int32_t for 3 and 4); returns false for any other ordinal.
template <typename F>
bool DispatchKind(TVarKind kind, F&& f) {
  switch (static_cast<int>(kind)) {
    case vkReal8:
    case vkDouble:
      f(double{});
      return true;
    case vkSingle:
      f(float{});
      return true;
    case vkInteger:
    case vkLongInt:
      f(int32_t{});
      return true;
    default:
      return false;
  }
}

}  // namespace

void SortArray(void* Data, int N, TVarKind Kind, bool Ascending) {
  DispatchKind(Kind, [&](auto tag) {
    detail::CombSortUntyped<decltype(tag)>(Data, N, Ascending);
  });
}

void SortArray(std::span<double> Data, bool Ascending) {
  detail::CombSort(Data.data(), static_cast<std::ptrdiff_t>(Data.size()), Ascending);
}

void SortArray(std::span<float> Data, bool Ascending) {
  detail::CombSort(Data.data(), static_cast<std::ptrdiff_t>(Data.size()), Ascending);
}

void SortArray(std::span<int32_t> Data, bool Ascending) {
  detail::CombSort(Data.data(), static_cast<std::ptrdiff_t>(Data.size()), Ascending);
}

int SortIntoArray(std::span<double> Data, double Value, bool Ascending, bool Duplicates) {
  return SortIntoSpan(Data, Value, Ascending, Duplicates);
}

int SortIntoArray(std::span<float> Data, float Value, bool Ascending, bool Duplicates) {
  return SortIntoSpan(Data, Value, Ascending, Duplicates);
}

int SortIntoArray(std::span<int32_t> Data, int32_t Value, bool Ascending, bool Duplicates) {
  return SortIntoSpan(Data, Value, Ascending, Duplicates);
}

int SortIntoArray(void* Data, int N, TVarKind Kind, const void* Value, bool Ascending,
                  bool Duplicates) {
  if (Value == nullptr) return 0;
  std::ptrdiff_t position = -1;
  DispatchKind(Kind, [&](auto tag) {
    using T = decltype(tag);
    T value;
    std::memcpy(&value, Value, sizeof(T));
    position = SortIntoBytes<T>(static_cast<unsigned char*>(Data), N, value, Ascending, Duplicates);
  });
  return static_cast<int>(position + 1);
}

void InsertIntoArray(std::span<double> Data, double Value, int Position) {
  InsertSpan(Data, Value, Position);
}

void InsertIntoArray(std::span<float> Data, float Value, int Position) {
  InsertSpan(Data, Value, Position);
}

void InsertIntoArray(std::span<int32_t> Data, int32_t Value, int Position) {
  InsertSpan(Data, Value, Position);
}

void InsertIntoArray(void* Data, int N, TVarKind Kind, const void* Value, int Position) {
  if (Value == nullptr) return;
  DispatchKind(Kind, [&](auto tag) {
    using T = decltype(tag);
    T value;
    std::memcpy(&value, Value, sizeof(T));
    InsertBytes<T>(static_cast<unsigned char*>(Data), N, value,
                   static_cast<std::ptrdiff_t>(Position) - 1);
  });
}

namespace {

// Partitions first..last around the element at m: the pivot goes to first, the
// elements smaller than it are gathered behind it, then the pivot moves to the end
// of that group. Returns the pivot's final position; elements equal to the pivot
// (and NaNs) end up to its right.
std::ptrdiff_t PartitionAround(double* x, std::ptrdiff_t first, std::ptrdiff_t last,
                               std::ptrdiff_t m) {
  std::swap(x[m], x[first]);
  const double pivot = x[first];
  std::ptrdiff_t c = first + 1;
  while (c <= last && x[c] < pivot) ++c;
  for (std::ptrdiff_t j = c + 1; j <= last; ++j) {
    if (x[j] < pivot) {
      std::swap(x[j], x[c]);
      ++c;
    }
  }
  std::swap(x[c - 1], x[first]);
  return c - 1;
}

}  // namespace

double QuickSelect(std::span<double> Data, int k, int First, int Last) {
  if (Data.empty() || Last < First) return 0.0;
  const auto high = static_cast<std::ptrdiff_t>(Data.size()) - 1;
  std::ptrdiff_t first = std::clamp<std::ptrdiff_t>(First, 0, high);
  std::ptrdiff_t last = std::clamp<std::ptrdiff_t>(Last, 0, high);
  const std::ptrdiff_t kk = std::clamp<std::ptrdiff_t>(k, first, last);
  double* x = Data.data();

  const double head = x[first];
  bool allEqual = true;
  for (std::ptrdiff_t i = first + 1; i <= last && allEqual; ++i) allEqual = x[i] == head;
  if (allEqual && head == head) return head;

  // Each round keeps first <= kk <= last and shrinks the range at least every
  // second round, so the loop ends whatever the data (NaNs included).
  for (;;) {
    const std::ptrdiff_t m = first + (last - first) / 2;
    const std::ptrdiff_t p = PartitionAround(x, first, last, m);
    if (p > kk) {
      last = p;
    } else if (p < kk) {
      first = p + 1;
    } else {
      return x[kk];
    }
  }
}

void ExChange(void* A, void* B, uint16_t Count) {
  if (A == nullptr || B == nullptr) return;
  auto* a = static_cast<unsigned char*>(A);
  auto* b = static_cast<unsigned char*>(B);
  for (uint16_t i = 0; i < Count; ++i) {
    const unsigned char t = a[i];
    a[i] = b[i];
    b[i] = t;
  }
}

}  // namespace dari
