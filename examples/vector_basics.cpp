// A first look at dari's vectors: fill a TVector with random numbers, describe
// them, sort them while an event handler counts the exchanges, and take checksums
// that tell whether two vectors hold the same values.
#include <cstdio>

#include "dari/dari.h"

int main() {
  using namespace dari;

  SeedUniformRandom(2026);  // reproducible output
  TVector data;
  data.SetName("data");
  data.Resize(100000);
  data.FillRandomGauss(50.0, 10.0);
  std::printf("filled %d values, first three: %.3f %.3f %.3f\n", data.NrOfElem(), data.Elem(1),
              data.Elem(2), data.Elem(3));

  double mean, variance;
  data.MeanVar(0, 0, mean, variance);
  std::printf("mean %.3f, variance %.3f, median %.3f\n", mean, variance, data.Percentile(50, 0, 0));

  // A copy to compare with, then sort the original, counting the exchanges.
  TVector copy;
  copy.Clone(&data);
  long exchanges = 0;
  data.SetOnSortExchange([&](TObject*, uint8_t, int, int, int, int) { ++exchanges; });
  data.SortElems(true, 0, 0);
  std::printf("sorted with %ld exchanges: smallest %.3f, largest %.3f\n", exchanges, data.Elem(1),
              data.Elem(data.NrOfElem()));

  std::printf("checksum of the copy   %s\n", copy.CRCofData().c_str());
  std::printf("checksum of the sorted %s\n", data.CRCofData().c_str());
  copy.Clone(&data);
  std::printf("same values again:     %s\n", copy.CRCofData() == data.CRCofData() ? "yes" : "no");
  return 0;
}
