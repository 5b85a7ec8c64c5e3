// Tests of the vector container shared by TVector and TIntVector.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "dari/base/crc32.h"
#include "dari/platform/memory.h"
#include "dari/platform/uniform_random.h"
#include "dari/vector/int_vector.h"
#include "dari/vector/vector.h"

namespace dari {
namespace {

template <class V>
class VectorContainer : public ::testing::Test {
 protected:
  using T = typename V::ElemType;
  // A vector 1, 2, ..., n that counts its OnChange events.
  void Make(int n) {
    v.Resize(n);
    for (int i = 1; i <= n; ++i) v.SetVal(i, static_cast<T>(i));
    v.SetOnChange([this](TObject*) { ++events; });
    events = 0;
  }
  V v;
  int events = 0;
};

using VectorTypes = ::testing::Types<TVector, TIntVector>;
TYPED_TEST_SUITE(VectorContainer, VectorTypes);

TYPED_TEST(VectorContainer, NewVectorHoldsOneZeroAndIsEmpty) {
  EXPECT_EQ(this->v.NrOfElem(), 1);
  EXPECT_EQ(this->v.Elem(1), 0);
  EXPECT_TRUE(this->v.IsEmpty());
}

TYPED_TEST(VectorContainer, OutOfRangeReadsGiveZeroAndWritesAreDroppedSilently) {
  this->Make(3);
  EXPECT_EQ(this->v.Elem(0), 0);
  EXPECT_EQ(this->v.Elem(4), 0);
  EXPECT_EQ(this->v.Elem(-2147483647 - 1), 0);
  this->v.SetVal(0, 9);
  this->v.SetVal(4, 9);
  EXPECT_EQ(this->events, 0);
  this->v.SetVal(2, 9);
  EXPECT_EQ(this->events, 1);
  EXPECT_EQ(this->v.Elem(2), 9);
}

TYPED_TEST(VectorContainer, ResizeKeepsValuesRefusesNonPositiveSizes) {
  this->Make(3);
  EXPECT_FALSE(this->v.Resize(0));
  EXPECT_FALSE(this->v.Resize(-3));
  this->v.SetNrOfElem(0);
  EXPECT_EQ(this->v.NrOfElem(), 3);
  EXPECT_TRUE(this->v.Resize(3));
  EXPECT_EQ(this->events, 0);  // same size: no event
  EXPECT_TRUE(this->v.Resize(5));
  EXPECT_EQ(this->events, 1);
  const typename TestFixture::T expect[] = {1, 2, 3, 0, 0};
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(this->v.Elem(i), expect[i - 1]);
  this->v.Resize(2);
  this->v.Resize(4);
  EXPECT_EQ(this->v.Elem(3), 0);  // values cut off do not come back
}

TYPED_TEST(VectorContainer, SizeBeyondTheMemoryCeilingRaisesAndKeepsTheVector) {
  this->Make(3);
  this->v.SetName("V1");
  struct CeilingGuard {
    CeilingGuard() { detail::SetAllocationCeiling(1 << 20); }  // 1 MiB
    ~CeilingGuard() { detail::SetAllocationCeiling(0); }
  } guard;
  try {
    this->v.Resize(1 << 20);  // 4 or 8 MiB
    ADD_FAILURE() << "no exception";
  } catch (const DARIVectorError& e) {
    EXPECT_STREQ(e.what(), "Component \"V1\": not enough memory");
  }
  EXPECT_THROW(this->v.SetNrOfElem(1 << 20), DARIVectorError);  // the property writer too
  EXPECT_EQ(this->v.NrOfElem(), 3);
  EXPECT_EQ(this->v.Elem(3), 3);
  EXPECT_EQ(this->events, 0);
}

TYPED_TEST(VectorContainer, RangeRule) {
  this->Make(10);
  struct Case {
    int lo, hi, wantLo, wantHi;
  };
  const Case cases[] = {{0, 0, 1, 10}, {-3, 100, 1, 10}, {7, 2, 2, 7}, {0, 5, 1, 5}, {12, 15, 10, 10}};
  for (const Case& c : cases) {
    int lo = c.lo, hi = c.hi;
    this->v.MakeValidElemRange(lo, hi);
    EXPECT_EQ(lo, c.wantLo) << c.lo << "," << c.hi;
    EXPECT_EQ(hi, c.wantHi) << c.lo << "," << c.hi;
  }
}

TYPED_TEST(VectorContainer, CopyFromDropsWhatFallsOutsideAndHandlesExtremeDestinations) {
  this->Make(10);
  TypeParam src;
  src.Resize(5);
  for (int i = 1; i <= 5; ++i) src.SetVal(i, static_cast<typename TestFixture::T>(100 + i));
  this->v.CopyFrom(&src, 1, 5, 8);
  EXPECT_EQ(this->v.Elem(7), 7);
  EXPECT_EQ(this->v.Elem(8), 101);
  EXPECT_EQ(this->v.Elem(10), 103);
  EXPECT_EQ(this->events, 3 + 1);  // one per stored element, one at the end
  // Destinations far outside: nothing stored, no overflow in i - lo + DestElem.
  const std::string before = this->v.CRCofData();
  this->v.CopyFrom(&src, 5, 1, 2147483647);
  this->v.CopyFrom(&src, 1, 5, -2147483647 - 1);
  EXPECT_EQ(this->v.CRCofData(), before);
  this->v.CopyFrom(nullptr, 1, 5, 1);
  EXPECT_EQ(this->v.CRCofData(), before);
}

TYPED_TEST(VectorContainer, CopyFromSurvivesAHandlerThatShrinksTheSource) {
  this->Make(10);
  TypeParam src;
  src.Resize(10);
  src.Fill(7);
  this->v.SetOnChange([&](TObject*) { src.Resize(1); });
  this->v.CopyFrom(&src, 1, 10, 1);  // after the first write the source has one element
  EXPECT_EQ(this->v.Elem(1), 7);
  EXPECT_EQ(this->v.Elem(2), 0);  // read through GetVal: 0 past the source's end
}

TYPED_TEST(VectorContainer, CopyFromWithinItselfCopiesTheSourceRangeFirst) {
  for (bool withHandler : {false, true}) {
    this->Make(6);
    if (!withHandler) this->v.SetOnChange(nullptr);
    this->v.CopyFrom(&this->v, 1, 4, 3);  // overlapping, moving up
    const typename TestFixture::T up[] = {1, 2, 1, 2, 3, 4};
    for (int i = 1; i <= 6; ++i) EXPECT_EQ(this->v.Elem(i), up[i - 1]) << withHandler << " up " << i;
    this->Make(6);
    if (!withHandler) this->v.SetOnChange(nullptr);
    this->v.CopyFrom(&this->v, 3, 6, 1);  // overlapping, moving down
    const typename TestFixture::T down[] = {3, 4, 5, 6, 5, 6};
    for (int i = 1; i <= 6; ++i) EXPECT_EQ(this->v.Elem(i), down[i - 1]) << withHandler << " down " << i;
  }
}

TYPED_TEST(VectorContainer, AssignCopiesHandlersCloneDoesNot) {
  this->Make(3);
  TypeParam assigned, cloned;
  assigned.Assign(&this->v);
  EXPECT_EQ(this->events, 0);  // Assign fires nothing
  EXPECT_EQ(assigned.NrOfElem(), 3);
  EXPECT_EQ(assigned.Elem(3), 3);
  assigned.SetVal(1, 5);  // the copied handler counts here
  EXPECT_EQ(this->events, 1);
  cloned.Clone(&this->v);
  EXPECT_EQ(cloned.Elem(2), 2);
  EXPECT_FALSE(cloned.IsEmpty());
  cloned.SetVal(1, 5);
  EXPECT_EQ(this->events, 1);  // the handler was not cloned
  // Clone fires once per element and once at the end.
  int cloneEvents = 0;
  cloned.SetOnChange([&](TObject*) { ++cloneEvents; });
  cloned.Clone(&this->v);
  EXPECT_EQ(cloneEvents, 3 + 1);
}

TEST(VectorAssign, BetweenDifferentClassesRaisesConvertError) {
  TVector v;
  TIntVector iv;
  try {
    v.Assign(&iv);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a TIntVector to a TVector");
  }
  EXPECT_THROW(iv.Assign(&v), EConvertError);
}

TYPED_TEST(VectorContainer, FillAndClearSetTheEmptyMarker) {
  this->Make(4);
  this->v.Clear();
  EXPECT_TRUE(this->v.IsEmpty());
  EXPECT_EQ(this->v.Elem(4), 0);
  this->v.Fill(7);
  EXPECT_FALSE(this->v.IsEmpty());
  EXPECT_EQ(this->v.Elem(1), 7);
  EXPECT_EQ(this->events, 2);
}

TYPED_TEST(VectorContainer, ChecksumDependsOnValuesNotHistory) {
  TypeParam a, b;
  a.Resize(3);
  a.Fill(4);
  b.Resize(10);
  b.SetVal(2, 99);
  b.Resize(3);
  b.Fill(4);
  EXPECT_EQ(a.CRCofData(), b.CRCofData());
  b.SetVal(3, 5);
  EXPECT_NE(a.CRCofData(), b.CRCofData());
  for (char c : a.CRCofData()) EXPECT_TRUE(std::isxdigit(static_cast<unsigned char>(c)) && !std::islower(c));
}

TEST(VectorChecksum, SixtyFourCharactersFedBytewiseIntoEightRegisters) {
  TVector v;
  v.Resize(2);
  v.SetVal(1, 1.0);  // bytes 00 00 00 00 00 00 F0 3F
  v.SetVal(2, -2.0);  // bytes 00 00 00 00 00 00 00 C0
  const std::string s = v.CRCofData();
  ASSERT_EQ(s.size(), 64u);
  // Register 7 saw 3F then C0; register 0 saw 00 then 00.
  auto crcOf = [](std::initializer_list<uint8_t> bytes) {
    uint32_t c = 0xFFFFFFFFu;
    for (uint8_t b : bytes) c = CalcNextCRC32(b, c);
    char text[9];
    std::snprintf(text, sizeof text, "%08X", ~c);
    return std::string(text);
  };
  EXPECT_EQ(s.substr(0, 8), crcOf({0x00, 0x00}));
  EXPECT_EQ(s.substr(48, 8), crcOf({0xF0, 0x00}));
  EXPECT_EQ(s.substr(56, 8), crcOf({0x3F, 0xC0}));
}

TEST(IntVectorChecksum, ThirtyTwoCharactersFromFourRegisters) {
  TIntVector v;
  v.Resize(2);
  v.SetVal(1, 0x01020304);
  v.SetVal(2, -1);
  const std::string s = v.CRCofData();
  ASSERT_EQ(s.size(), 32u);
  uint32_t c = 0xFFFFFFFFu;
  c = CalcNextCRC32(0x04, c);
  c = CalcNextCRC32(0xFF, c);
  char text[9];
  std::snprintf(text, sizeof text, "%08X", ~c);
  EXPECT_EQ(s.substr(0, 8), text);
}

TEST(VectorLeng, ScalesVectorsWhoseSumOfSquaresLeavesTheDoubleRange) {
  // (1e200, 1e200) has length sqrt(2) 1e200, but its squares overflow a double;
  // (1e-200, 1e-200) has squares that underflow to 0. Both scale to length 1.
  for (double x : {1e200, 1e-200}) {
    TVector v;
    v.Resize(2);
    v.Fill(x);
    v.SetLeng(1.0);
    EXPECT_NEAR(v.Elem(1), 1 / std::sqrt(2.0), 1e-15) << x;
    EXPECT_NEAR(v.Elem(2), 1 / std::sqrt(2.0), 1e-15) << x;
  }
}

TEST(VectorLeng, ScalesToTheGivenLengthAndRefusesZeroVectors) {
  TVector v;
  v.Resize(2);
  v.SetVal(1, 3);
  v.SetVal(2, 4);
  EXPECT_DOUBLE_EQ(v.Leng(), 5.0);
  v.SetLeng(2);
  EXPECT_DOUBLE_EQ(v.Elem(1), 1.2);
  EXPECT_DOUBLE_EQ(v.Elem(2), 1.6);
  TVector zero;
  zero.Resize(3);
  try {
    zero.SetLeng(1);
    FAIL();
  } catch (const DARIVectorError& e) {
    EXPECT_STREQ(e.what(), "vector has zero length");
  }
  TIntVector iv;
  iv.Resize(2);
  iv.SetVal(1, 50000);
  iv.SetVal(2, 50000);  // the squares exceed 32 bits
  EXPECT_DOUBLE_EQ(iv.Leng(), 50000.0 * std::sqrt(2.0));
}

TEST(VectorRandomFills, StayInRangeAndHaveTheRightMoments) {
  SeedUniformRandom(7);
  TVector v;
  v.Resize(20000);
  v.FillRandomUniform(-1.0, 3.0);
  double sum = 0, lo = 1e9, hi = -1e9;
  for (double x : v.Storage()) {
    sum += x;
    lo = std::min(lo, x);
    hi = std::max(hi, x);
  }
  EXPECT_GE(lo, -1.0);
  EXPECT_LT(hi, 3.0);
  EXPECT_NEAR(sum / 20000, 1.0, 0.05);
  v.FillRandomGauss(10.0, 2.0);
  double s1 = 0, s2 = 0;
  for (double x : v.Storage()) {
    s1 += x;
    s2 += x * x;
  }
  const double mean = s1 / 20000;
  EXPECT_NEAR(mean, 10.0, 0.1);
  EXPECT_NEAR(std::sqrt(s2 / 20000 - mean * mean), 2.0, 0.1);
  EXPECT_FALSE(v.IsEmpty());
}

TEST(VectorOwnership, OwnerDestroysTheVector) {
  auto* owner = new TComponent(nullptr);
  auto* v = new TVector(owner);
  v->SetName("V1");
  EXPECT_EQ(owner->ComponentCount(), 1);
  delete owner;  // frees v; ASan reports a leak or double free otherwise
}

}  // namespace
}  // namespace dari
