// Minimum/maximum and mean/variance over an index range of a plain 0-based
// array or of an array of arrays, answering with a status code instead of
// raising; and TKahanSum, a compensated summation accumulator.
#pragma once

#include "dari/base/types.h"
#include "dari/platform/component.h"

namespace dari {

// Smallest and largest element of Data[FirstIx..LastIx] (0-based, both
// included) and their indices; ties keep the first position. Minimum starts at
// uc_MaxDouble, Maximum at -uc_MaxDouble and both indices at 0; they stay there
// when the status is -1 (an index outside the array, or LastIx < FirstIx).
// Returns 0 on success.
int MinMaxOfArray(const TDoubleArray& Data, int FirstIx, int LastIx, double& Minimum, double& Maximum,
                  int& MinIx, int& MaxIx);

// Mean and variance (divisor n - 1) of Data[FirstIx..LastIx]. One or two
// elements give a variance of 1.0; a slightly negative variance from rounding
// becomes 0. Both outputs start at 0 and stay there when the status is -1 (an
// index outside the array, or LastIx < FirstIx). Returns 0 on success.
int MeanVarOfArray(const TDoubleArray& Data, int FirstIx, int LastIx, double& Mean, double& Variance);

// Two-dimensional forms over Data[i][j] for i in FirstI..LastI (outer) and j in
// FirstJ..LastJ (inner), visited i outer, j inner. Every inner array that the
// range touches must hold index LastJ; a ragged array too short for the range,
// an index outside the array or a reversed range gives -1 with the outputs left
// at their start values.
int MinMaxOfArray(const TDouble2DArray& Data, int FirstI, int FirstJ, int LastI, int LastJ, double& Minimum,
                  double& Maximum, int& MinI, int& MinJ, int& MaxI, int& MaxJ);
int MeanVarOfArray(const TDouble2DArray& Data, int FirstI, int FirstJ, int LastI, int LastJ, double& Mean,
                   double& Variance);

// Adds many doubles with Kahan's compensated summation: the low-order part lost
// by each addition is kept in cps and fed back into the next one. Read the
// result from Sum.
class TKahanSum : public TComponent {
 public:
  explicit TKahanSum(TComponent* AOwner = nullptr) : TComponent(AOwner) { Reset(); }

  std::string ClassName() const override { return "TKahanSum"; }

  // Starts a new sum: Sum and cps become 0.
  void Reset() {
    Sum = 0.0;
    cps = 0.0;
  }

  // Adds ANumber: four floating-point operations, which must be evaluated as
  // written. A caller's translation unit compiled with reassociation allowed
  // (-ffast-math) would fold the compensation away, so there Add calls the copy
  // compiled with the library's strict flags instead.
#if defined(__FAST_MATH__) || defined(__ASSOCIATIVE_MATH__)
  void Add(double ANumber) {
    AddStrict(ANumber);
  }
#else
  void Add(double ANumber) {
    const double y = ANumber - cps;
    const double t = Sum + y;
    cps = (t - Sum) - y;
    Sum = t;
  }
#endif

  // Add, always compiled with the library's flags (not inlined into the caller).
  void AddStrict(double ANumber);

  double cps = 0.0;  // running compensation (the low-order part lost so far)
  double Sum = 0.0;  // running sum
};

}  // namespace dari
