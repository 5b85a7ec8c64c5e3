// TFastFourier: one block of N complex samples (N a power of two up to 2^23),
// nine weighting windows, an in-place radix-2 FFT forward and inverse, and the
// spectrum read back as power, magnitude, phase, Fourier-series coefficients
// and band RMS, with the extremes of the block computed lazily.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dari/base/error.h"
#include "dari/platform/component.h"

namespace dari {

class DARIFourierError : public DARIError {
 public:
  using DARIError::DARIError;
};

// Weighting windows applied by Transform, in their published order.
enum TFastFourierWgtWin : uint8_t {
  fwRectangle,
  fwTriangle,
  fwCos2,
  fwGauss,
  fwHamming,
  fwBlackman,
  fwBlkmHarris,
  fwBlkmNuttall,
  fwUserDef
};

// Index conventions differ per property and are part of the contract:
//  - RealSpec, ImagSpec and WgtFunction take ix = 1..N for sample ix - 1;
//  - PowerSpec, Magnitude, Phase, FourSerSinCoeff and FourSerCosCoeff take the
//    spectral line 0..N/2 directly; a line l > 0 combines sample l with its
//    mirror N - l.
// Out-of-range indices read 0 and writes to them are ignored.
class TFastFourier : public TComponent {
 public:
  // 256 zero samples, rectangular window, user window all 1.0.
  explicit TFastFourier(TComponent* AOwner = nullptr);
  ~TFastFourier() override;

  std::string ClassName() const override { return "TFastFourier"; }

  // N, the block length.
  int SpectrumSize() const { return FNumData; }
  // Sets N := n and zeroes all samples and all user window weights (to 0.0,
  // unlike the constructor). n must be a power of two in 1..2^23, otherwise
  // DARIFourierError "data length must be power of 2"; a failed allocation
  // raises "not enough memory on heap". On either error nothing changes.
  void SetSpectrumSize(int n) { SetNumData(n); }
  void SetNumData(int n);

  TFastFourierWgtWin WeightingWindow() const { return FWgtWin; }
  void SetWeightingWindow(TFastFourierWgtWin w) { SetWgtWin(w); }
  void SetWgtWin(TFastFourierWgtWin w) { FWgtWin = w; }

  // Real and imaginary part of sample ix - 1 (ix = 1..N).
  double RealSpec(int ix) const { return GetRealVal(ix); }
  void SetRealSpec(int ix, double v) { SetRealVal(ix, v); }
  double ImagSpec(int ix) const { return GetImagVal(ix); }
  void SetImagSpec(int ix, double v) { SetImagVal(ix, v); }
  double GetRealVal(int ix) const;
  void SetRealVal(int ix, double v);
  double GetImagVal(int ix) const;
  void SetImagVal(int ix, double v);

  // User window weight of sample ix - 1 (ix = 1..N), used by fwUserDef.
  double WgtFunction(int ix) const { return GetWgtVal(ix); }
  void SetWgtFunction(int ix, double v) { SetWgtVal(ix, v); }
  double GetWgtVal(int ix) const;
  void SetWgtVal(int ix, double v);

  void Clear();      // all 2N values := 0
  void ClearReal();  // all real parts := 0
  void ClearImag();  // all imaginary parts := 0

  // Multiplies the samples by the current window (permanently), then computes
  // X(n) = sum_k x(k) e^(+2 pi i k n / N) in place, unscaled.
  void Transform();
  // x(k) = (1/N) sum_n X(n) e^(-2 pi i k n / N) in place; no window.
  void InverseTransform();

  // Frequency of line ix (1..N/2) for samples SampleTime apart: ix/(SampleTime N).
  // 0 for other lines and for SampleTime 0.
  double FreqOfLine(int ix, double SampleTime) const;
  // The line nearest to frequency f: round(N f SampleTime), halves to even, if it
  // lies in 1..N/2; otherwise (also for NaN or huge products) 0.
  int LineOfFreq(double f, double SampleTime) const;
  // Square root of the summed power of lines FirstIx..LastIx, divided by N. Both
  // bounds are clamped to 0..N/2 and exchanged when reversed.
  double RMS(int FirstIx, int LastIx) const;

  // Spectral lines 0..N/2; 0 elsewhere.
  double PowerSpec(int ix) const { return GetPowerSpec(ix); }
  double Magnitude(int ix) const { return GetMagnitude(ix); }
  // Phase of sample ix (1..N/2) as arctan(im/re) in -pi/2..pi/2; 0 for line 0.
  double Phase(int ix) const { return GetPhase(ix); }
  double FourSerSinCoeff(int n) const { return GetFSerSin(n); }
  double FourSerCosCoeff(int n) const { return GetFSerCos(n); }
  double GetPowerSpec(int ix) const;
  double GetMagnitude(int ix) const;
  double GetPhase(int ix) const;
  double GetFSerSin(int n) const;
  double GetFSerCos(int n) const;

  // Extremes, recomputed on first read after any change of the samples:
  // largest and smallest real and imaginary parts over all N samples, largest
  // power over lines 1..N/2-1 and largest magnitude over lines 1..N/2.
  double PowerMax() const;
  double MagniMax() const;
  double RealMax() const;
  double ImagMax() const;
  double RealMin() const;
  double ImagMin() const;

 private:
  void ApplyWindow();
  void DoFFT(int sign);
  void CalcMaxValues() const;
  void EnsureMaxValues() const {
    if (!MaxValuesValid) CalcMaxValues();
  }
  double Re(int k) const { return FData[2 * static_cast<size_t>(k)]; }
  double Im(int k) const { return FData[2 * static_cast<size_t>(k) + 1]; }
  // re(l)^2 + im(l)^2 + re(N-l)^2 + im(N-l)^2, or re(0)^2 + im(0)^2 for l = 0.
  double LinePowerSum(int l) const;
  [[noreturn]] void Fail(const char* Text) const;

  int FNumData = 0;
  TFastFourierWgtWin FWgtWin = fwRectangle;
  mutable bool MaxValuesValid = false;
  mutable double FMaxReal = 0, FMaxImag = 0, FMinReal = 0, FMinImag = 0;
  mutable double FMaxPower = 0, FMaxMagni = 0;
  std::vector<double> FUserWgt;
  std::vector<double> FData;
  // cos and sin of 2 pi k / N for k = 0..N/2-1, interleaved; built with the
  // block so that a transform never allocates.
  std::vector<double> FTwiddle;
};

}  // namespace dari
