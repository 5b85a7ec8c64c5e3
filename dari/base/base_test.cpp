#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "dari/base/bitfield.h"
#include "dari/base/colors.h"
#include "dari/base/constants.h"
#include "dari/base/crc32.h"
#include "dari/base/error.h"
#include "dari/base/progress.h"
#include "dari/base/stream_helpers.h"
#include "dari/base/strings.h"

namespace dari {
namespace {

TEST(CRC32, CheckValueOfTheStandardTestString) {
  // The published check value of the reflected CRC-32: "123456789" -> CBF43926.
  uint32_t crc = 0xFFFFFFFFu;
  for (char c : std::string("123456789")) crc = CalcNextCRC32(static_cast<uint8_t>(c), crc);
  EXPECT_EQ(~crc, 0xCBF43926u);
}

TEST(CRC32, EightRegistersGiveSixtyFourUpperCaseHexDigits) {
  detail::TCrc8Registers regs;
  EXPECT_EQ(regs.Result(), std::string(64, '0'));  // untouched registers complement to 0
  regs.FeedWord64(0x3938373635343332ull);          // "23456789", one byte to each register
  const std::string s = regs.Result();
  ASSERT_EQ(s.size(), 64u);
  // Register 0 got the single byte '2': CRC-32 of "2" is 4D7B8E0B... check independently.
  uint32_t one = ~CalcNextCRC32('2', 0xFFFFFFFFu);
  char expect[9];
  std::snprintf(expect, sizeof expect, "%08X", one);
  EXPECT_EQ(s.substr(0, 8), expect);
}

TEST(Constants, HaveTheirClosedFormValues) {
  EXPECT_EQ(static_cast<double>(uc_MaxDouble), std::numeric_limits<double>::max());
  EXPECT_NEAR(static_cast<double>(uc_sqrt2), std::sqrt(2.0), 1e-16);
  EXPECT_NEAR(static_cast<double>(uc_sqrt2pitom1), 1.0 / std::sqrt(2.0 * 3.14159265358979323846), 1e-16);
}

TEST(Progress, StepAddsOneAndCallsTheHook) {
  ProcStat = 5;
  double seen = 0;
  MathFeedBackProc = [&](double s) { seen = s; };
  StepProgress();
  EXPECT_EQ(ProcStat, 6);
  EXPECT_EQ(seen, 6);
  MathFeedBackProc = nullptr;
  StepProgress();
  EXPECT_EQ(ProcStat, 7);
}

TEST(BitFld, HoldsBitsZeroToNAndCombines) {
  TBitFld a, b;
  a.SetSize(70);
  EXPECT_EQ(a.Size(), 70);
  a.SetBit(0, true);
  a.SetBit(70, true);
  a.SetBit(71, true);  // outside: ignored
  a.SetBit(-1, true);
  EXPECT_TRUE(a.GetBit(70));
  EXPECT_FALSE(a.GetBit(71));
  EXPECT_EQ(a.CountTrueBits(), 2);
  a.Invert();
  EXPECT_EQ(a.CountTrueBits(), 69);
  a.Invert();
  b.Clone(&a);
  b.SetBit(5, true);
  b.CombineWith(&a, loAndNot);  // bits of b not in a
  EXPECT_EQ(b.CountTrueBits(), 1);
  EXPECT_TRUE(b.GetBit(5));
  b.CombineWith(&a, loOr);
  EXPECT_EQ(b.CountTrueBits(), 3);
  b.CombineWith(&a, loXor);
  EXPECT_EQ(b.CountTrueBits(), 1);
  b.CombineWith(&a, loAnd);
  EXPECT_EQ(b.CountTrueBits(), 0);
  b.Clear();
  EXPECT_EQ(b.CountTrueBits(), 0);
}

TEST(StreamHelpers, ExtendedImageIsTheTenByteLittleEndianFormat) {
  // 1.0 is mantissa 8000000000000000, exponent 3FFF.
  const auto one = detail::EncodeExtended(1.0L);
  const uint8_t expectOne[10] = {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F};
  EXPECT_EQ(std::memcmp(one.data(), expectOne, 10), 0);
  // -2.5 is 1.25 * 2^1: mantissa A000000000000000, exponent 4000, sign set.
  const auto m25 = detail::EncodeExtended(-2.5L);
  const uint8_t expectM25[10] = {0, 0, 0, 0, 0, 0, 0, 0xA0, 0x00, 0xC0};
  EXPECT_EQ(std::memcmp(m25.data(), expectM25, 10), 0);
  for (Extended v : {0.0L, -0.0L, 1.0L / 3.0L, 1e-4940L, 1e4931L, -123456789.125L,
                     std::numeric_limits<Extended>::infinity()}) {
    const Extended back = detail::DecodeExtended(detail::EncodeExtended(v));
    EXPECT_EQ(back, v);
    EXPECT_EQ(std::signbit(back), std::signbit(v));
  }
  EXPECT_TRUE(std::isnan(detail::DecodeExtended(detail::EncodeExtended(std::nanl("")))));
}

TEST(StreamHelpers, RoundTripAndPartialReadsSetTheFlag) {
  TMemoryStream s;
  WriteExtendedToStream(s, 3.25L);
  WriteLongintToStream(s, -2);
  s.Write("ab", 2);  // a truncated item
  s.SetPosition(0);
  bool failed = false;
  EXPECT_EQ(ReadExtendedFromStream(s, failed), 3.25L);
  EXPECT_EQ(ReadLongintFromStream(s, failed), -2);
  EXPECT_FALSE(failed);
  EXPECT_EQ(ReadLongintFromStream(s, failed), 0);
  EXPECT_TRUE(failed);
  failed = false;
  ReadExtendedFromStream(s, failed);
  EXPECT_TRUE(failed);
}

TEST(Strings, FormatsAndMatches) {
  EXPECT_EQ(strff(3.14159L, 8, 2), "    3.14");
  EXPECT_EQ(strff(-2.5L, 1, 0), "-2");  // halves to even
  EXPECT_EQ(strff(1234.5L, 2, 1), "1234.5");
  EXPECT_EQ(strff(1.0L, 0, -3), "1");
  EXPECT_TRUE(StringContains("  12.5", "//dig"));
  EXPECT_FALSE(StringContains("abc", "//dig"));
  EXPECT_TRUE(StringContains("hello world", "o w"));
  EXPECT_EQ(RemoveControlChars("a\tb\r\nc\x7f"), "abc");
  EXPECT_EQ(ReplaceCharInString("1,5;2,5", ',', '.'), "1.5;2.5");
}

TEST(Colors, GreyAndHsiOfPrimaries) {
  EXPECT_DOUBLE_EQ(RGBtoGray(255, 255, 255), 255.0);
  EXPECT_DOUBLE_EQ(RGBtoGray(0, 0, 0), 0.0);
  double i, s, h;
  RGBtoHSI(255, 0, 0, i, s, h);
  EXPECT_DOUBLE_EQ(i, 85.0);
  EXPECT_DOUBLE_EQ(s, 1.0);
  EXPECT_NEAR(h, 0.0, 1e-12);
  RGBtoHSI(0, 255, 0, i, s, h);
  EXPECT_NEAR(h, 120.0, 1e-9);
  RGBtoHSI(0, 0, 255, i, s, h);
  EXPECT_NEAR(h, 240.0, 1e-9);
  RGBtoHSI(128, 128, 128, i, s, h);
  EXPECT_DOUBLE_EQ(s, 0.0);
}

TEST(DARIError, IsAnExceptionWithTheMessage) {
  try {
    throw DARIError(ComponentMessage("V1", "not enough memory"));
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Component \"V1\": not enough memory");
  }
}

}  // namespace
}  // namespace dari
