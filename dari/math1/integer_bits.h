// Prime numbers and factorisation, factorials and fraction reduction, and
// bit-level helpers: Gray code, bit counting and reversal, bit masks and byte
// order. Nothing here keeps state; the tables are constants.
#pragma once

#include <cstdint>

#include "dari/base/types.h"
#include "dari/math1/math1_error.h"
#include "dari/platform/extended.h"

namespace dari {

// Number of entries of the prime table: every prime below 46340, the integer
// square root of the largest int32 value.
inline constexpr int kNrOfPrimes = 4792;

// The Index-th prime (1-based): ListOfPrimes(1) is 2, ListOfPrimes(4792) is
// 46337; 0 for an index outside 1..4792.
int32_t ListOfPrimes(int Index);

// Trial division of n by 2 .. trunc(sqrt(|n|)): true when nothing divides. So
// 0, 1, -1 and the negatives of primes count as prime.
bool IsPrime(int32_t n);

// The prime factors of n in non-decreasing order with multiplicity (12 gives
// 2, 2, 3); Factors is resized to hold exactly them. n < 2 gives no factors.
void FindPrimeFactors(int32_t n, TIntArray& Factors);

// n! in extended precision. Raises DARIMath1Error "Factorial: negative
// argument" for n < 0 and "Factorial: argument too big" for n > 1000.
Extended Factorial(int n);

// Divides numerator and denominator by their common factors, keeping both
// signs: (12, 18) becomes (2, 3), (-6, 4) becomes (-3, 2). Nothing happens when
// the smaller absolute value is below 2, so (4, 0) and (0, 5) stay.
void CancelFraction(int32_t& Numerator, int32_t& Denominator);

// The reflected Gray code of w: w xor (w shr 1).
uint16_t GrayCode(uint16_t w);

// The number of set bits of a byte.
int CountBits(uint8_t b);

// The byte with its bit order reversed (bit 0 becomes bit 7).
uint8_t BitReversal(uint8_t b);

// The mask with only bit i set: DecodeBit for 0 <= i <= 7, DecodeLong for
// 0 <= i <= 31; 0 for any other index.
uint8_t DecodeBit(int i);
uint32_t DecodeLong(int i);

// The index of the lowest set bit of x (its number of trailing zeros); 0 gives 31.
int EncodeLong(uint32_t x);

// True when x has at most one bit set (0 counts as a power of two).
bool CheckPowerOfTwo(uint32_t x);

// The value with its bytes in reverse order. The floating-point forms move
// bytes only, so any bit pattern (a signalling NaN included) is reversed as is.
double ConvertEndian(double x);
float ConvertEndian(float x);
uint16_t ConvertEndian(uint16_t x);
int32_t ConvertEndian(int32_t x);

}  // namespace dari
