#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>

#include "dari/platform/component.h"
#include "dari/platform/exceptions.h"
#include "dari/platform/memory.h"
#include "dari/platform/numeric.h"
#include "dari/platform/streams.h"
#include "dari/platform/uniform_random.h"

namespace dari {
namespace {

class TProbe : public TComponent {
 public:
  explicit TProbe(TComponent* AOwner, int* Deaths) : TComponent(AOwner), FDeaths(Deaths) {}
  ~TProbe() override { ++*FDeaths; }
  std::string ClassName() const override { return "TProbe"; }

 private:
  int* FDeaths;
};

TEST(Component, OwnerDestroysItsComponentsAndAnEarlyDeleteLeavesTheList) {
  int deaths = 0;
  auto* owner = new TComponent(nullptr);
  auto* a = new TProbe(owner, &deaths);
  new TProbe(owner, &deaths);
  a->SetName("first");
  EXPECT_EQ(owner->ComponentCount(), 2);
  EXPECT_EQ(a->Owner(), owner);
  EXPECT_EQ(a->Name(), "first");
  delete a;  // leaves the owner's list
  EXPECT_EQ(owner->ComponentCount(), 1);
  delete owner;
  EXPECT_EQ(deaths, 2);
}

TEST(Component, DefaultAssignRaisesConvertErrorNamingBothClasses) {
  int deaths = 0;
  TProbe probe(nullptr, &deaths);
  TComponent other;
  try {
    other.Assign(&probe);
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a TProbe to a TComponent");
  }
  EXPECT_THROW(other.Assign(nullptr), EConvertError);
}

TEST(Numeric, RoundsHalvesToEvenAndSaturatesConversions) {
  EXPECT_EQ(Round(2.5), 2.0);
  EXPECT_EQ(Round(3.5), 4.0);
  EXPECT_EQ(Round(-2.5), -2.0);
  EXPECT_EQ(Frac(-2.75), -0.75);
  EXPECT_EQ(TruncToIntSaturated(std::nan(""), -7), -7);
  EXPECT_EQ(TruncToIntSaturated(1e300), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(TruncToIntSaturated(-1e300), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(RoundToIntSaturated(-3.5), -4);
  EXPECT_EQ(WrapAdd(std::numeric_limits<int32_t>::max(), 1), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(WrapMul(65536, 65536), 0);
}

TEST(BlockFits, RefusesOverflowingAndOversizedBlocks) {
  EXPECT_TRUE(detail::BlockFits(1000, 8));
  EXPECT_FALSE(detail::BlockFits(uint64_t{1} << 62, 8));        // byte count overflows
  EXPECT_FALSE(detail::BlockFits(uint64_t{1} << 61, 4));        // beyond ptrdiff_t
  EXPECT_FALSE(detail::BlockFits(detail::AllocationCeiling(), 2));  // beyond the machine
  detail::SetAllocationCeiling(4096);
  EXPECT_TRUE(detail::BlockFits(512, 8));
  EXPECT_FALSE(detail::BlockFits(513, 8));
  detail::SetAllocationCeiling(0);
  EXPECT_TRUE(detail::BlockFits(513, 8));
}

TEST(MemoryStream, WritesReadsSeeksAndGrows) {
  TMemoryStream s;
  const char text[] = "abcdef";
  EXPECT_EQ(s.Write(text, 6), 6);
  EXPECT_EQ(s.Size(), 6);
  s.SetPosition(2);
  char buffer[8] = {};
  EXPECT_EQ(s.Read(buffer, 8), 4);  // only what is there
  EXPECT_STREQ(buffer, "cdef");
  EXPECT_EQ(s.Read(buffer, 1), 0);
  EXPECT_EQ(s.Seek(-10, soCurrent), 0);  // clamped at the start
  EXPECT_EQ(s.Seek(100, soBeginning), 100);
  EXPECT_EQ(s.Read(buffer, 1), 0);
}

TEST(FileStream, RoundTripsAndReportsMissingFiles) {
  const std::string name = "dari_platform_test.bin";
  {
    TFileStream out(name, fmCreate);
    out.WriteBuffer("xyz", 3);
  }
  {
    TFileStream in(name, fmOpenRead);
    EXPECT_EQ(in.Size(), 3);
    char buffer[4] = {};
    in.ReadBuffer(buffer, 3);
    EXPECT_STREQ(buffer, "xyz");
    EXPECT_THROW(in.ReadBuffer(buffer, 1), EStreamError);
  }
  std::remove(name.c_str());
  EXPECT_THROW(TFileStream("no/such/dir/file.bin", fmOpenRead), EFOpenError);
}

TEST(UniformRandom, IsReproducibleAfterSeedingAndStaysInRange) {
  SeedUniformRandom(42);
  const double a = UniformRandom();
  const int32_t b = UniformRandomInt(10);
  SeedUniformRandom(42);
  EXPECT_EQ(UniformRandom(), a);
  EXPECT_EQ(UniformRandomInt(10), b);
  double sum = 0;
  int counts[7] = {};
  for (int i = 0; i < 70000; ++i) {
    const double r = UniformRandom();
    ASSERT_GE(r, 0.0);
    ASSERT_LT(r, 1.0);
    sum += r;
    const int32_t k = UniformRandomInt(7);
    ASSERT_GE(k, 0);
    ASSERT_LT(k, 7);
    ++counts[k];
  }
  EXPECT_NEAR(sum / 70000, 0.5, 0.01);
  for (int c : counts) EXPECT_NEAR(c, 10000, 500);
  EXPECT_EQ(UniformRandomInt(0), 0);
  EXPECT_EQ(UniformRandomInt(-5), 0);
}

}  // namespace
}  // namespace dari
