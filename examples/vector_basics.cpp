// A first look at dari's vectors: fill a TVector with random numbers, sort its
// values while a progress hook counts the passes, and take checksums that tell
// whether two vectors hold the same values.
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

  // A copy to compare with, then sort the original, reporting progress.
  TVector copy;
  copy.Clone(&data);
  int passes = 0;
  MathFeedBackProc = [&](double) { ++passes; };
  SortArray(data.Storage(), true);
  MathFeedBackProc = nullptr;
  data.Changed();
  std::printf("sorted in %d passes: smallest %.3f, median %.3f, largest %.3f\n", passes, data.Elem(1),
              data.Elem(50000), data.Elem(data.NrOfElem()));

  std::printf("checksum of the copy   %s\n", copy.CRCofData().c_str());
  std::printf("checksum of the sorted %s\n", data.CRCofData().c_str());
  copy.Clone(&data);
  std::printf("same values again:     %s\n", copy.CRCofData() == data.CRCofData() ? "yes" : "no");
  return 0;
}
