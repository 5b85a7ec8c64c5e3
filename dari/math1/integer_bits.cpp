// Primes, factorials, fraction reduction and bit helpers.
#include "dari/math1/integer_bits.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numeric>

namespace dari {

namespace {

// Every prime below 46340, built by a sieve at compile time.
constexpr int kPrimeLimit = 46340;

constexpr std::array<int32_t, kNrOfPrimes> BuildPrimeTable() {
  std::array<bool, kPrimeLimit> composite{};
  std::array<int32_t, kNrOfPrimes> primes{};
  int count = 0;
  for (int n = 2; n < kPrimeLimit; ++n) {
    if (composite[n]) continue;
    primes[count++] = n;  // a count beyond the table fails constant evaluation
    for (int m = n * n; m < kPrimeLimit; m += n) composite[m] = true;
  }
  return count == kNrOfPrimes ? primes : std::array<int32_t, kNrOfPrimes>{};
}

constexpr std::array<int32_t, kNrOfPrimes> kPrimes = BuildPrimeTable();
static_assert(kPrimes[0] == 2 && kPrimes[kNrOfPrimes - 1] == 46337,
              "the prime table holds exactly the primes below 46340");

constexpr std::array<uint8_t, 256> BuildBitReversalTable() {
  std::array<uint8_t, 256> t{};
  for (int b = 0; b < 256; ++b) {
    int r = 0;
    for (int bit = 0; bit < 8; ++bit) {
      if (b & (1 << bit)) r |= 1 << (7 - bit);
    }
    t[b] = static_cast<uint8_t>(r);
  }
  return t;
}

constexpr std::array<uint8_t, 256> kBitReversal = BuildBitReversalTable();

// Integer square root by truncation of the double root, corrected for rounding.
int64_t ISqrt(int64_t n) {
  int64_t r = static_cast<int64_t>(std::sqrt(static_cast<double>(n)));
  while (r * r > n) --r;
  while ((r + 1) * (r + 1) <= n) ++r;
  return r;
}

template <typename T, typename U>
T ReverseBytes(T x) {
  static_assert(sizeof(T) == sizeof(U));
  U u;
  std::memcpy(&u, &x, sizeof u);
  U r = 0;
  for (std::size_t i = 0; i < sizeof(U); ++i) {
    r = static_cast<U>((r << 8) | (u & 0xFFu));
    u = static_cast<U>(u >> 8);
  }
  T out;
  std::memcpy(&out, &r, sizeof out);
  return out;
}

}  // namespace

int32_t ListOfPrimes(int Index) {
  if (Index < 1 || Index > kNrOfPrimes) return 0;
  return kPrimes[static_cast<std::size_t>(Index - 1)];
}

bool IsPrime(int32_t n) {
  // Trying only the primes up to the root gives the same answer as trying every
  // integer: the smallest divisor above 1 of a number is prime. The table covers
  // every root of a 32-bit value (at most 46340, which is not prime).
  const int64_t a = std::llabs(static_cast<int64_t>(n));
  const int64_t limit = ISqrt(a);
  for (int32_t p : kPrimes) {
    if (p > limit) break;
    if (a % p == 0) return false;
  }
  return true;
}

void FindPrimeFactors(int32_t n, TIntArray& Factors) {
  Factors.clear();
  if (n < 2) return;
  const int64_t limit = ISqrt(n);  // fixed at the start
  int32_t rest = n;
  for (int32_t p : kPrimes) {
    if (p > limit) break;
    while (rest % p == 0) {
      Factors.push_back(p);
      rest /= p;
    }
  }
  if (rest > 1) Factors.push_back(rest);
}

Extended Factorial(int n) {
  if (n < 0) throw DARIMath1Error("Factorial: negative argument");
  if (n > 1000) throw DARIMath1Error("Factorial: argument too big");
  Extended f = 1;
  for (int i = 2; i <= n; ++i) f *= i;
  return f;
}

void CancelFraction(int32_t& Numerator, int32_t& Denominator) {
  // Repeated passes dividing both by every common c in 2..min(|num|, |den|)
  // end when the two have no common factor left, so the result is both divided
  // by their greatest common divisor; computed directly, in 64 bits because
  // |-2^31| does not fit in 32.
  const int64_t num = Numerator;
  const int64_t den = Denominator;
  const int64_t m = std::min(std::llabs(num), std::llabs(den));
  if (m < 2) return;
  const int64_t g = std::gcd(num, den);
  Numerator = static_cast<int32_t>(num / g);
  Denominator = static_cast<int32_t>(den / g);
}

uint16_t GrayCode(uint16_t w) {
  return static_cast<uint16_t>(w ^ (w >> 1));
}

int CountBits(uint8_t b) {
  return std::popcount(b);
}

uint8_t BitReversal(uint8_t b) {
  return kBitReversal[b];
}

uint8_t DecodeBit(int i) {
  return (i >= 0 && i <= 7) ? static_cast<uint8_t>(1u << i) : 0;
}

uint32_t DecodeLong(int i) {
  return (i >= 0 && i <= 31) ? (1u << i) : 0u;
}

int EncodeLong(uint32_t x) {
  return x == 0 ? 31 : std::countr_zero(x);
}

bool CheckPowerOfTwo(uint32_t x) {
  return (x & (x - 1u)) == 0;
}

double ConvertEndian(double x) {
  return ReverseBytes<double, uint64_t>(x);
}
float ConvertEndian(float x) {
  return ReverseBytes<float, uint32_t>(x);
}
uint16_t ConvertEndian(uint16_t x) {
  return ReverseBytes<uint16_t, uint16_t>(x);
}
int32_t ConvertEndian(int32_t x) {
  return ReverseBytes<int32_t, uint32_t>(x);
}

}  // namespace dari
