// Distribution and special functions: the standard normal, chi-square, F, Student t
// and Mann-Whitney U distributions, the Shapiro-Wilk W distribution, the error,
// incomplete gamma and incomplete beta functions, log-gamma and log-beta, binomial
// coefficients, the hypergeometric and Weibull densities and Fisher's z-transform.
//
// All functions are pure: they keep no state and may be called from several threads
// at once. Intermediate values are carried in Extended; results are rounded to double.
// Bad input gives the documented out-of-domain result (NaN counts as outside every
// domain); functions defined on the whole real line pass NaN through. Only the
// functions that say so raise DARIStatisError.
#pragma once

#include <cstdint>

#include "dari/statis/statis_error.h"

namespace dari {

// --- Standard normal distribution -------------------------------------------------

// Density phi(x) = exp(-x^2/2) / sqrt(2 pi).
double nDistriDensity(double x);

// Distribution function Phi(x), from the incomplete gamma function (relative
// accuracy about 1e-8). Exactly 0.5 at x = 0.
double nDistriIntegral(double x);

// Quantile: x with Phi(x) = p, by bisection around a rational starting estimate,
// to a relative accuracy of 1e-8 in p. 0 when p is not inside (0, 1) or is NaN.
// The lower tail is evaluated without cancellation, so p down to the smallest
// doubles gives a usable quantile; the bisection is bounded.
double nDistriQuantile(double p);

// --- Error function ---------------------------------------------------------------

// Error function via the incomplete gamma function; odd, Erf(0) = 0.
double Erf(double x);

// Fast Chebyshev approximation of the error function, fractional error about 1.2e-7
// (ErfApprox(0) is about -3e-8, not exactly 0).
double ErfApprox(double x);

// --- Gamma and beta family --------------------------------------------------------

// Regularised lower incomplete gamma function P(a, x). Note the order: upper limit x
// first, shape a second. 0 for x <= 0 or a <= 0 (or NaN); 1 for x = +inf.
double IncompleteGamma(double x, double a);

// ln Gamma(x) by a six-term series (absolute error about 2e-10 for x >= 1).
// 0 for x <= 0 or NaN.
double LnGamma(double x);

// ln B(a, b) = LnGamma(a) + LnGamma(b) - LnGamma(a + b). 0 when a or b is negative,
// infinite or NaN; a zero argument contributes 0 through LnGamma.
double LnBeta(double a, double b);

// Regularised incomplete beta function I_x(a, b) by a continued fraction (at most 100
// terms). 0 for x < 0 and 1 for x > 1 whatever a and b; otherwise 0 when a <= 0,
// b <= 0, a or b not finite, or x is NaN.
double IncompleteBeta(double x, double a, double b);

// --- Combinatorics ----------------------------------------------------------------

// Binomial coefficient C(n, k), computed from LnGamma and rounded (halves to even), so
// large results carry the relative error of LnGamma (about 1e-9). 0 for n < 0, k < 0
// or k > n. Raises DARIStatisError "BinomCoeff: result exceeds the integer range" when
// C(n, k) does not fit a 32-bit integer; use LnBinomCoeff for large values.
int BinomCoeff(int n, int k);

// ln C(n, k). -1 for n < 0, k < 0 or k > n.
double LnBinomCoeff(int n, int k);

// Probability of k successes in a sample of nsample items drawn without replacement
// from npop items, round(p * npop) of which are successes. 0 for impossible k.
// Raises DARIStatisError, checked in this order:
//   "HyperGeoDistriDensity: probability p must be between 0.0 and 1.0" (also for NaN),
//   "HyperGeoDistriDensity: npop must be greater than 0",
//   "HyperGeoDistriDensity: nsample must not be greater than npop",
//   "HyperGeoDistriDensity: nsample must not be less than 1".
double HyperGeoDistriDensity(double p, int npop, int nsample, int k);

// --- Other densities and transforms -----------------------------------------------

// Weibull density with shape beta and scale eta:
// beta/eta * (x/eta)^(beta-1) * exp(-(x/eta)^beta). 0 for x <= 0, eta <= 0, beta <= 0
// (a negative shape is no distribution) and for non-finite or NaN arguments.
double WeibullDensity(double x, double beta, double eta);

// Fisher's z = 0.5 * ln((1 + r) / (1 - r)). Raises DARIStatisError
// "FisherTransform: argument out of range" unless -1 < r < 1 (NaN raises too).
double FisherTransform(double r);

// Inverse of FisherTransform, (e^2z - 1)/(e^2z + 1) = tanh(z): finite for every z,
// tends to -1 and 1 for large |z|.
double FisherTransformInv(double z);

// Half-width of the two-sided normal confidence interval of a mean at level alpha:
// nDistriQuantile(1 - alpha/2) * s / sqrt(n). 0 for n <= 0, and 0 when 1 - alpha/2 is
// not inside (0, 1).
double ConfidenceInterval(double alpha, double s, int n);

// Fisher's class-separation ratio (m1 - m2)^2 / (s1^2 + s2^2), the denominator raised
// to 1e-6 when smaller.
double CalcFishQ(double m1, double m2, double s1, double s2);

// --- Chi-square, F and Student t ---------------------------------------------------
// Degrees of freedom below 1 are outside the domain: these functions then return 0.
// The quantiles return 0 for p not inside (0, 1) or NaN; they bisect the distribution
// function after bracketing the root by doubling or halving, to a relative width of
// 1e-12 (the accuracy of the distribution functions, about 1e-8, bounds their own).

// Chi-square distribution function P(df/2, x/2); 0 for x <= 0.
double chi2DistriIntegral(double x, int df);

// Chi-square density. 0 for x < 0. At x = 0 it is the limit: 0.5 for df = 2, 0 for
// df > 2; for df = 1 the density has a pole at 0 and the function returns 0 there, so
// that tables built from it stay finite.
double Chi2DistriDensity(double x, int df);

// Chi-square quantile: x with chi2DistriIntegral(x, df) = p.
double chi2DistriQuantile(double p, int df);

// F density with df1 and df2 degrees of freedom. 0 for x < 0; at x = 0 the limit
// (1 for df1 = 2, 0 for df1 > 2, and 0 at the pole of df1 = 1).
double FDistriDensity(double x, int df1, int df2);

// F distribution function I_{df1 x/(df1 x + df2)}(df1/2, df2/2); 0 for x <= 0.
double FDistriIntegral(double x, int df1, int df2);

// F quantile: x with FDistriIntegral(x, df1, df2) = p.
double FDistriQuantile(double p, int df1, int df2);

// Student t distribution function, from the incomplete beta function; exactly 0.5 at
// t = 0, 0 and 1 at -inf and +inf, 0 for NaN.
double tDistriIntegral(double t, int df);

// Student t density; 0 for NaN or infinite t.
double tDistriDensity(double t, int df);

// Student t quantile: t with tDistriIntegral(t, df) = p. Both tails are found from the
// tail probability min(p, 1 - p), so they keep their relative precision; 0 at p = 0.5.
double tDistriQuantile(double p, int df);

// --- Mann-Whitney U ----------------------------------------------------------------
// Null distribution of U for samples of sizes nA and nB (U counts the pairs in which
// the value of sample A exceeds that of sample B; its distribution is symmetric on
// 0 .. nA*nB and the same for either sample). Exact (counted by the generating function
// of the Gaussian binomial coefficient) while nA*nB <= 40000; beyond, the normal
// approximation with mean nA*nB/2, variance nA*nB*(nA+nB+1)/12 and a continuity
// correction of 0.5 (no correction for ties). Sizes below 1 give 0 (Density, Integral)
// and -1 (Quantile).

// P(U = u); 0 for u outside 0 .. nA*nB.
double UDistriDensity(int nA, int nB, int u);

// P(U <= u); 0 for u < 0, 1 for u >= nA*nB.
double UDistriIntegral(int nA, int nB, int u);

// Lower critical value of U at level alpha: the largest u with P(U <= u) <= alpha, so a
// one-sided test rejects when U <= the result; a two-sided test at level a passes
// alpha = a/2. -1 when no such u exists (samples too small for the level), for alpha
// not inside (0, 1) or NaN, and for sizes below 1. Saturates at 2147483647 when the
// value exceeds the integer range (nA*nB beyond it).
int UDistriQuantile(int nA, int nB, double alpha);

// --- Shapiro-Wilk W ----------------------------------------------------------------

// P(W <= w) for the W statistic of n observations of which the n1 smallest are
// uncensored (n1 = n for a complete sample): the p-value of the Shapiro-Wilk test.
// Exact for n = 3; otherwise Royston's normalising transformations of W for 4 <= n <=
// 11 and 12 <= n <= 5000, with his adjustment for right-censored samples (n1 < n).
// w >= 1 gives 1, w <= 0 gives 0. -1 (no p-value) for NaN w, n < 3 or n > 5000,
// n1 > n or n1 < 3, and for censored samples with n < 20 or more than 80 % censored.
double ShapiroWilkIntegral(double w, int n, int n1);

}  // namespace dari
