// Array statistics and compensated summation.
#include "dari/math1/array_stats.h"

#include <cstddef>
#include <cstdint>

#include "dari/base/constants.h"

namespace dari {

namespace {

// True when Lo..Hi is a non-empty index range inside an array of Size elements.
bool RangeInside(int Lo, int Hi, std::size_t Size) {
  return Lo >= 0 && Lo <= Hi && static_cast<std::size_t>(Hi) < Size;
}

// True when i range and j range are non-empty and every inner array Data[i] for
// i in FirstI..LastI holds index LastJ. The j bounds are checked against each
// inner array, not only the first, so ragged arrays are never read past an end.
bool Range2DInside(const TDouble2DArray& Data, int FirstI, int FirstJ, int LastI, int LastJ) {
  if (!RangeInside(FirstI, LastI, Data.size())) return false;
  if (FirstJ < 0 || FirstJ > LastJ) return false;
  for (std::ptrdiff_t i = FirstI; i <= LastI; ++i) {
    if (static_cast<std::size_t>(LastJ) >= Data[static_cast<std::size_t>(i)].size()) return false;
  }
  return true;
}

// Mean and variance from the sums; variance 1.0 for one or two elements.
void FinishMeanVar(double SumX, double SumX2, double n, double& Mean, double& Variance) {
  Mean = SumX / n;
  Variance = 1.0;
  if (n > 2) {
    Variance = (SumX2 - SumX * SumX / n) / (n - 1);
    if (Variance < 0) Variance = 0;
  }
}

}  // namespace

int MinMaxOfArray(const TDoubleArray& Data, int FirstIx, int LastIx, double& Minimum, double& Maximum,
                  int& MinIx, int& MaxIx) {
  Minimum = static_cast<double>(uc_MaxDouble);
  Maximum = -static_cast<double>(uc_MaxDouble);
  MinIx = 0;
  MaxIx = 0;
  if (!RangeInside(FirstIx, LastIx, Data.size())) return -1;
  const double* p = Data.data();
  for (std::ptrdiff_t i = FirstIx; i <= LastIx; ++i) {
    if (p[i] < Minimum) {
      Minimum = p[i];
      MinIx = static_cast<int>(i);
    }
    if (p[i] > Maximum) {
      Maximum = p[i];
      MaxIx = static_cast<int>(i);
    }
  }
  return 0;
}

int MeanVarOfArray(const TDoubleArray& Data, int FirstIx, int LastIx, double& Mean, double& Variance) {
  Mean = 0;
  Variance = 0;
  if (!RangeInside(FirstIx, LastIx, Data.size())) return -1;
  const double* p = Data.data();
  double sumX = 0;
  double sumX2 = 0;
  for (std::ptrdiff_t i = FirstIx; i <= LastIx; ++i) {
    sumX += p[i];
    sumX2 += p[i] * p[i];
  }
  FinishMeanVar(sumX, sumX2, static_cast<double>(LastIx - FirstIx) + 1.0, Mean, Variance);
  return 0;
}

int MinMaxOfArray(const TDouble2DArray& Data, int FirstI, int FirstJ, int LastI, int LastJ, double& Minimum,
                  double& Maximum, int& MinI, int& MinJ, int& MaxI, int& MaxJ) {
  Minimum = static_cast<double>(uc_MaxDouble);
  Maximum = -static_cast<double>(uc_MaxDouble);
  MinI = MinJ = MaxI = MaxJ = 0;
  if (!Range2DInside(Data, FirstI, FirstJ, LastI, LastJ)) return -1;
  for (std::ptrdiff_t i = FirstI; i <= LastI; ++i) {
    const double* p = Data[static_cast<std::size_t>(i)].data();
    for (std::ptrdiff_t j = FirstJ; j <= LastJ; ++j) {
      if (p[j] < Minimum) {
        Minimum = p[j];
        MinI = static_cast<int>(i);
        MinJ = static_cast<int>(j);
      }
      if (p[j] > Maximum) {
        Maximum = p[j];
        MaxI = static_cast<int>(i);
        MaxJ = static_cast<int>(j);
      }
    }
  }
  return 0;
}

int MeanVarOfArray(const TDouble2DArray& Data, int FirstI, int FirstJ, int LastI, int LastJ, double& Mean,
                   double& Variance) {
  Mean = 0;
  Variance = 0;
  if (!Range2DInside(Data, FirstI, FirstJ, LastI, LastJ)) return -1;
  double sumX = 0;
  double sumX2 = 0;
  for (std::ptrdiff_t i = FirstI; i <= LastI; ++i) {
    const double* p = Data[static_cast<std::size_t>(i)].data();
    for (std::ptrdiff_t j = FirstJ; j <= LastJ; ++j) {
      sumX += p[j];
      sumX2 += p[j] * p[j];
    }
  }
  // Both counts are at most 2^31, so their product is exact in double.
  const double n = (static_cast<double>(LastJ - FirstJ) + 1.0) * (static_cast<double>(LastI - FirstI) + 1.0);
  FinishMeanVar(sumX, sumX2, n, Mean, Variance);
  return 0;
}

void TKahanSum::AddStrict(double ANumber) {
  const double y = ANumber - cps;
  const double t = Sum + y;
  cps = (t - Sum) - y;
  Sum = t;
}

}  // namespace dari
