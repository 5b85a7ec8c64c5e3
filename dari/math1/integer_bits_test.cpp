#include "dari/math1/integer_bits.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace dari {
namespace {

TEST(Primes, TableEnds) {
  EXPECT_EQ(ListOfPrimes(1), 2);
  EXPECT_EQ(ListOfPrimes(2), 3);
  EXPECT_EQ(ListOfPrimes(25), 97);    // 25 primes below 100
  EXPECT_EQ(ListOfPrimes(168), 997);  // 168 primes below 1000
  EXPECT_EQ(ListOfPrimes(4792), 46337);
  EXPECT_EQ(ListOfPrimes(4793), 0);
  EXPECT_EQ(ListOfPrimes(0), 0);
  EXPECT_EQ(ListOfPrimes(-1), 0);
  EXPECT_EQ(ListOfPrimes(INT32_MIN), 0);
}

TEST(Primes, IsPrimeOverTheWholeRange) {
  struct Case {
    int32_t n;
    bool prime;
  } cases[] = {
      {0, true},           {1, true},          {-1, true},    {2, true},      {4, false}, {-7, true},
      {-9, false},         {97, true},         {46337, true}, {46339, false},  // 46339 = 149 * 311
      {2147483647, true},                       // the largest int32, a Mersenne prime
      {2147395600, false},                      // 46340^2
      {INT32_MIN, false},                       // -2^31
      {-2147483647, true}, {2147483629, true},  // largest prime below 2^31 - 1
      {2147483641, false},                      // 2699 * 795659
  };
  for (const Case& c : cases) EXPECT_EQ(IsPrime(c.n), c.prime) << c.n;
}

TEST(Primes, FindPrimeFactors) {
  struct Case {
    int32_t n;
    TIntArray factors;
  } cases[] = {
      {360, {2, 2, 2, 3, 3, 5}},
      {12, {2, 2, 3}},
      {2147483647, {2147483647}},
      {2147483646, {2, 3, 3, 7, 11, 31, 151, 331}},
      {2147395600, {2, 2, 2, 2, 5, 5, 7, 7, 331, 331}},  // 46340^2
      {1073741824, TIntArray(30, 2)},                    // 2^30
      {2147483641, {2699, 795659}},
      {2, {2}},
      {1, {}},
      {0, {}},
      {-12, {}},
      {INT32_MIN, {}},
  };
  for (const Case& c : cases) {
    TIntArray f{99, 99};  // stale contents are replaced
    FindPrimeFactors(c.n, f);
    EXPECT_EQ(f, c.factors) << c.n;
  }
}

TEST(Factorial, ExtendedPrecisionAndErrors) {
  EXPECT_EQ(Factorial(0), 1);
  EXPECT_EQ(Factorial(1), 1);
  EXPECT_EQ(Factorial(20), 2432902008176640000.0L);  // exact in 64 mantissa bits
  // 1000! = 4.0238726007709377354...e2567 (published value).
  const Extended f = Factorial(1000);
  EXPECT_TRUE(std::isfinite(f));
  EXPECT_NEAR(static_cast<double>(f / 4.0238726007709377354e2567L), 1.0, 1e-14);
  try {
    Factorial(-1);
    ADD_FAILURE();
  } catch (const DARIMath1Error& e) {
    EXPECT_STREQ(e.what(), "Factorial: negative argument");
  }
  try {
    Factorial(1001);
    ADD_FAILURE();
  } catch (const DARIMath1Error& e) {
    EXPECT_STREQ(e.what(), "Factorial: argument too big");
  }
}

TEST(CancelFraction, ReducesKeepingSigns) {
  struct Case {
    int32_t num, den, expNum, expDen;
  } cases[] = {
      {12, 18, 2, 3},
      {7, 13, 7, 13},
      {-6, 4, -3, 2},
      {6, -4, 3, -2},
      {-6, -4, -3, -2},
      {4, 0, 4, 0},  // smaller absolute value below 2: nothing happens
      {0, 5, 0, 5},
      {1, 7, 1, 7},
      {64, 48, 4, 3},  // needs more than one division by 2
      {INT32_MIN, 2, -1073741824, 1},
      {INT32_MIN, INT32_MIN, -1, -1},
      {INT32_MIN, 6, -1073741824, 3},
      {INT32_MIN, -1, INT32_MIN, -1},
      {2147483647, 2147483646, 2147483647, 2147483646},  // coprime, large
      {2147483646, 1073741823, 2, 1},
  };
  for (const Case& c : cases) {
    int32_t n = c.num, d = c.den;
    CancelFraction(n, d);
    EXPECT_EQ(n, c.expNum) << c.num << "/" << c.den;
    EXPECT_EQ(d, c.expDen) << c.num << "/" << c.den;
  }
}

TEST(Bits, GrayCountReverse) {
  EXPECT_EQ(GrayCode(5), 7);
  EXPECT_EQ(GrayCode(0), 0);
  EXPECT_EQ(GrayCode(0xFFFF), 0x8000);
  EXPECT_EQ(CountBits(255), 8);
  EXPECT_EQ(CountBits(0), 0);
  EXPECT_EQ(CountBits(0xA5), 4);
  EXPECT_EQ(BitReversal(1), 128);
  EXPECT_EQ(BitReversal(0x0F), 0xF0);
  EXPECT_EQ(BitReversal(0xA6), 0x65);
  for (int b = 0; b < 256; ++b) EXPECT_EQ(BitReversal(BitReversal(static_cast<uint8_t>(b))), b);
}

TEST(Bits, MasksForAnyIndex) {
  EXPECT_EQ(DecodeBit(0), 1);
  EXPECT_EQ(DecodeBit(7), 128);
  EXPECT_EQ(DecodeLong(31), 0x80000000u);
  EXPECT_EQ(DecodeLong(5), 32u);
  for (int i : {-1, 8, 31, 32, 1000, INT32_MIN, INT32_MAX}) EXPECT_EQ(DecodeBit(i), 0) << i;
  for (int i : {-1, 32, 64, INT32_MIN, INT32_MAX}) EXPECT_EQ(DecodeLong(i), 0u) << i;
  EXPECT_EQ(EncodeLong(8), 3);
  EXPECT_EQ(EncodeLong(0), 31);
  EXPECT_EQ(EncodeLong(0x80000000u), 31);
  EXPECT_EQ(EncodeLong(12), 2);
  for (int i = 0; i < 32; ++i) EXPECT_EQ(EncodeLong(DecodeLong(i)), i);
  EXPECT_TRUE(CheckPowerOfTwo(0));
  EXPECT_TRUE(CheckPowerOfTwo(1));
  EXPECT_TRUE(CheckPowerOfTwo(0x80000000u));
  EXPECT_FALSE(CheckPowerOfTwo(6));
  EXPECT_FALSE(CheckPowerOfTwo(0xFFFFFFFFu));
}

TEST(ConvertEndian, ReversesTheBytes) {
  EXPECT_EQ(ConvertEndian(uint16_t{0x1234}), 0x3412);
  EXPECT_EQ(ConvertEndian(int32_t{0x12345678}), 0x78563412);
  EXPECT_EQ(ConvertEndian(int32_t{-1}), -1);
  EXPECT_EQ(ConvertEndian(int32_t{0x000000FF}), static_cast<int32_t>(0xFF000000u));
  EXPECT_EQ(ConvertEndian(INT32_MIN), 0x80);
  // 1.0 is 3FF0000000000000; reversed, 000000000000F03F.
  const double one = ConvertEndian(ConvertEndian(1.0));
  EXPECT_EQ(one, 1.0);
  const double swapped = ConvertEndian(1.0);
  uint64_t bits;
  std::memcpy(&bits, &swapped, 8);
  EXPECT_EQ(bits, 0x000000000000F03Full);
  const float sw = ConvertEndian(1.0f);  // 3F800000
  uint32_t fbits;
  std::memcpy(&fbits, &sw, 4);
  EXPECT_EQ(fbits, 0x0000803Fu);
}

TEST(ConvertEndian, FloatingBitPatternsSurviveUnchanged) {
  // Reversed, these bytes form signalling NaNs; a trip through a floating-point
  // conversion would set their quiet bit.
  const uint64_t in64 = 0x010000000000F07Full;  // reversed: 7FF0000000000001 (double sNaN)
  double d;
  std::memcpy(&d, &in64, 8);
  const double r = ConvertEndian(d);
  uint64_t out64;
  std::memcpy(&out64, &r, 8);
  EXPECT_EQ(out64, 0x7FF0000000000001ull);
  const double back = ConvertEndian(r);
  std::memcpy(&out64, &back, 8);
  EXPECT_EQ(out64, in64);

  const uint32_t in32 = 0x0100807Fu;  // reversed: 7F800001 (float sNaN)
  float f;
  std::memcpy(&f, &in32, 4);
  const float rf = ConvertEndian(f);
  uint32_t out32;
  std::memcpy(&out32, &rf, 4);
  EXPECT_EQ(out32, 0x7F800001u);
}

}  // namespace
}  // namespace dari
