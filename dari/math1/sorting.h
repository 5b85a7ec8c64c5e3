// Sorting, sorted insertion and selection on plain arrays owned by the caller, and
// the ExChange family that swaps two variables.
//
// Typed variants take a std::span and use 0-based positions; generic variants take
// an untyped pointer, a count N and a TVarKind and use positions 1..N. Nothing is
// allocated and nothing raises: out-of-range positions are refused silently.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <utility>

#include "dari/base/types.h"
#include "dari/platform/extended.h"

namespace dari {

// Sorts in place by a comb sort (first gap trunc(n / 1.3), shrink factor 1.3),
// not stable. Each pass adds 1 to ProcStat and calls MathFeedBackProc when set;
// AbortMathProc is not read. Equal elements and pairs with a NaN are never
// exchanged, so NaNs stay roughly where they were and the sort still ends.
// The generic variant sorts N elements of the type Kind names (ordinals 0 and 1
// doubles, 2 singles, 3 and 4 32-bit integers; any other ordinal does nothing);
// Data needs no particular alignment.
void SortArray(void* Data, int N, TVarKind Kind, bool Ascending);
void SortArray(std::span<double> Data, bool Ascending);
void SortArray(std::span<float> Data, bool Ascending);
void SortArray(std::span<int32_t> Data, bool Ascending);

// Inserts Value into an already sorted array of fixed length (the last element
// falls off): at the first position whose element is >= Value (ascending) or
// <= Value (descending), but only when that element differs from Value or
// Duplicates is set. Returns the position (0-based), or -1 when nothing was
// inserted (Value beyond every element, an equal element without Duplicates,
// an empty array, a NaN Value). The array then holds the k smallest (largest)
// values seen so far.
int SortIntoArray(std::span<double> Data, double Value, bool Ascending, bool Duplicates);
int SortIntoArray(std::span<float> Data, float Value, bool Ascending, bool Duplicates);
int SortIntoArray(std::span<int32_t> Data, int32_t Value, bool Ascending, bool Duplicates);
// The same on N untyped elements of the kind Kind, reading the value from *Value
// (of the same type). Returns the position 1..N, or 0 when nothing was inserted
// (also for N <= 0, null pointers or an unknown kind).
int SortIntoArray(void* Data, int N, TVarKind Kind, const void* Value, bool Ascending,
                  bool Duplicates);

// Stores Value at Position and moves the elements from there up by one; the last
// element is lost. Positions are 0-based; a position outside 0..High changes nothing.
void InsertIntoArray(std::span<double> Data, double Value, int Position);
void InsertIntoArray(std::span<float> Data, float Value, int Position);
void InsertIntoArray(std::span<int32_t> Data, int32_t Value, int Position);
// The same on N untyped elements of the kind Kind, Position 1..N; anything else,
// an unknown kind or null pointers change nothing.
void InsertIntoArray(void* Data, int N, TVarKind Kind, const void* Value, int Position);

// The value that would stand at position k (0-based) if positions First..Last of
// Data were sorted ascending; partially reorders those positions (pass a copy to
// keep the data). Expected linear time. First and Last are clamped into the array
// and k into First..Last; an empty array or Last < First gives 0.0.
double QuickSelect(std::span<double> Data, int k, int First, int Last);

// Swaps Count bytes of the two areas, one byte at a time (Count 0 does nothing).
void ExChange(void* A, void* B, uint16_t Count);

// Swap the values of two variables.
inline void ExChange(int32_t& A, int32_t& B) { std::swap(A, B); }
inline void ExChange(uint8_t& A, uint8_t& B) { std::swap(A, B); }
inline void ExChange(float& A, float& B) { std::swap(A, B); }
inline void ExChange(double& A, double& B) { std::swap(A, B); }
inline void ExChange(Extended& A, Extended& B) { std::swap(A, B); }
inline void ExChange(std::string& A, std::string& B) { A.swap(B); }
inline void ExChange(bool& A, bool& B) { std::swap(A, B); }
inline void ExChange(char16_t& A, char16_t& B) { std::swap(A, B); }
inline void ExChange(uint16_t& A, uint16_t& B) { std::swap(A, B); }
inline void ExChange(int8_t& A, int8_t& B) { std::swap(A, B); }
inline void ExChange(uint32_t& A, uint32_t& B) { std::swap(A, B); }
inline void ExChange(int64_t& A, int64_t& B) { std::swap(A, B); }

}  // namespace dari
