// Distribution functions: a table of upper quantiles of the standard normal,
// Student t and chi-square distributions, then the 95 % confidence interval of
// a mean (the sepal length of the 50 setosa irises).
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "dari/dari.h"

int main() {
  using namespace dari;

  const double probs[] = {0.90, 0.95, 0.975, 0.99, 0.995};
  std::printf("%-16s", "quantile at p");
  for (double p : probs) std::printf("  %7.3f", p);
  std::printf("\n");
  std::printf("%-16s", "normal");
  for (double p : probs) std::printf("  %7.4f", nDistriQuantile(p));
  std::printf("\n");
  for (int df : {5, 30}) {
    std::printf("t, %2d df%8s", df, "");
    for (double p : probs) std::printf("  %7.4f", tDistriQuantile(p, df));
    std::printf("\n");
  }
  for (int df : {1, 5}) {
    std::printf("chi-square, %d df", df);
    for (double p : probs) std::printf("  %7.4f", chi2DistriQuantile(p, df));
    std::printf("\n");
  }

  // Sepal lengths of the setosa flowers: the first 50 rows, first column.
  std::ifstream in("data/iris.csv");
  std::string line;
  std::getline(in, line);  // header
  std::vector<double> x;
  while (x.size() < 50 && std::getline(in, line)) {
    double v = 0;
    const char* end = line.data() + line.find(',');
    if (line.find(',') == std::string::npos || std::from_chars(line.data(), end, v).ptr != end) break;
    x.push_back(v);
  }
  if (x.size() != 50) {
    std::fprintf(stderr, "cannot read data/iris.csv\n");
    return 1;
  }
  TMatrix sample;
  sample.Resize(1, 50);
  for (int r = 1; r <= 50; ++r) sample.SetVal(1, r, x[static_cast<size_t>(r - 1)]);
  double mean = 0, variance = 0;
  sample.MeanVar(1, 1, 1, 50, mean, variance);
  const double s = std::sqrt(variance);
  const double normalHalf = ConfidenceInterval(0.05, s, 50);
  const double tHalf = tDistriQuantile(0.975, 49) * s / std::sqrt(50.0);
  std::printf("\nsepal length of 50 setosa irises: mean %.3f cm, standard deviation %.4f cm\n",
              mean, s);
  std::printf("95 %% confidence interval of the mean (normal): %.3f .. %.3f cm\n",
              mean - normalHalf, mean + normalHalf);
  std::printf("95 %% confidence interval of the mean (t, 49 df): %.3f .. %.3f cm\n",
              mean - tHalf, mean + tHalf);
  return 0;
}
