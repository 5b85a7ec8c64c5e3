// TWavelet1D: the discrete wavelet transform of one signal (length a power of two
// up to 2^23) with the orthonormal Daubechies filters of 2, 4 and 6 taps, done in
// place level by level, forward and inverse. The signal, the filters and all
// arithmetic are in extended precision.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dari/base/error.h"
#include "dari/platform/component.h"
#include "dari/platform/extended.h"

namespace dari {

class DARIWaveletError : public DARIError {
 public:
  using DARIError::DARIError;
};

enum TWaveletFamily : uint8_t { wlfDaubechies };

// How a level reads the samples left of the start of the signal: wrapped around
// from the end, as zeros, or mirrored (-1 reads 0, -2 reads 1, ...).
enum TWLSigExtMode : uint8_t { wseWrap, wseZeroPad, wseSymmetric };

class TWavelet1D : public TComponent {
 public:
  // 256 zero samples, Daubechies order 2, wrap-around extension.
  explicit TWavelet1D(TComponent* AOwner = nullptr);
  ~TWavelet1D() override;

  std::string ClassName() const override { return "TWavelet1D"; }

  TWaveletFamily WaveletFamily() const { return FWaveletFam; }
  void SetWaveletFamily(TWaveletFamily f) { SetWaveletFam(f); }
  void SetWaveletFam(TWaveletFamily f) { FWaveletFam = f; }

  // Daubechies order K (1..3): filters of 2K taps. Other values raise
  // DARIWaveletError "invalid order of Daubechies wavelet family" and change nothing.
  int Order() const { return FOrder; }
  void SetOrder(int k);

  // N, the signal length. Setting it zeroes all samples; n must be a power of two
  // in 1..2^23, otherwise DARIWaveletError "data length must be power of 2"; a
  // failed allocation raises "not enough memory on heap". On error nothing changes.
  int Size() const { return FNumData; }
  void SetSize(int n) { SetNumData(n); }
  void SetNumData(int n);

  TWLSigExtMode SignalExtMode() const { return FWLSigExtMode; }
  void SetSignalExtMode(TWLSigExtMode m) { SetSigExtMode(m); }
  void SetSigExtMode(TWLSigExtMode m) { FWLSigExtMode = m; }

  // Sample ix - 1 (ix = 1..N), read rounded to double and written in extended
  // precision. Outside 1..N reads give 0 and writes are ignored.
  double Data(int ix) const;
  void SetData(int ix, Extended v);

  void Clear();  // all N samples := 0

  // One level on the n samples starting at 0-based position Offset: forward, it
  // leaves the approximation coefficients in the first n/2 places and the detail
  // coefficients in the last n/2; Inverse undoes that (exactly in wrap mode).
  // Does nothing for n <= 1, and also (refusing rather than reading or writing
  // outside the signal) when n is not a power of two, Offset < 0 or
  // Offset + n > N. A failed allocation of the n-sample scratch array raises
  // "not enough memory on heap" with the data unchanged.
  void PartialWLT(int n, int Offset, bool Inverse);
  // One level over the whole signal: PartialWLT(N, 0, Inverse).
  void SingleStep(bool Inverse);
  // Level forward levels (Level <= 0 counts as 1), each on the approximation half
  // of the previous one, stopping at a single coefficient.
  void Transform(int Level);
  // Up to Level inverse levels (Level <= 0 counts as 1) starting at the
  // two-sample scale and doubling: undoes a full-depth Transform (Level >=
  // log2 N); a shallower Transform is not undone by the same Level.
  void InverseTransform(int Level);

 private:
  void DoWLT(int Level, bool Inverse);
  void RunLevel(Extended* x, Extended* s, int n, bool Inverse) const;
  [[noreturn]] void Fail(const char* Text) const;

  int FNumData = 0;
  std::vector<Extended> FData;
  int FOrder = 0;
  std::vector<Extended> FCoeffsLP;  // h, 2K taps
  std::vector<Extended> FCoeffsHP;  // g(2K-1-j) = (-1)^(j+1) h(j)
  TWLSigExtMode FWLSigExtMode = wseWrap;
  TWaveletFamily FWaveletFam = wlfDaubechies;
};

}  // namespace dari
