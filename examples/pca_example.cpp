// Principal component analysis of Fisher's iris measurements: 150 flowers of
// three species, four lengths in centimetres. The data are read into a
// TMatrix (columns = variables, rows = objects), CalcPrincComp decomposes their
// covariance matrix, and the component scores of a few flowers are computed
// with the matrix product of the centred data and the loadings.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "dari/dari.h"

namespace {

constexpr int kVars = 4;
const char* const kVarNames[kVars] = {"sepal length", "sepal width", "petal length",
                                      "petal width"};

// Reads "data/iris.csv": a header line, then four numbers and the species per
// line. Returns false when the file is missing or malformed.
bool ReadIris(const char* path, dari::TMatrix& data, std::vector<std::string>& species) {
  std::ifstream in(path);
  if (!in) return false;
  std::string line;
  std::getline(in, line);  // header
  std::vector<double> values;
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    std::stringstream fields(line);
    std::string field;
    for (int c = 0; c < kVars; ++c) {
      if (!std::getline(fields, field, ',')) return false;
      double v = 0;
      const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), v);
      if (ec != std::errc() || end != field.data() + field.size()) return false;
      values.push_back(v);
    }
    std::getline(fields, field);
    species.push_back(field);
  }
  const int rows = static_cast<int>(species.size());
  data.Resize(kVars, rows);
  for (int r = 1; r <= rows; ++r)
    for (int c = 1; c <= kVars; ++c)
      data.SetVal(c, r, values[static_cast<size_t>(r - 1) * kVars + static_cast<size_t>(c - 1)]);
  return rows > 0;
}

}  // namespace

int main() {
  using namespace dari;

  TMatrix data;
  std::vector<std::string> species;
  if (!ReadIris("data/iris.csv", data, species)) {
    std::fprintf(stderr, "cannot read data/iris.csv\n");
    return 1;
  }
  std::printf("Iris data: %d flowers, %d measurements each (cm)\n\n", data.NrOfRows(),
              data.NrOfColumns());

  // Principal components of the covariance matrix (mode 1) of all four
  // columns over all rows; eigenvalues not normalised, so they are the
  // variances of the components.
  if (!CalcPrincComp(&data, 1, kVars, 0, 0, 1, false)) {
    std::fprintf(stderr, "the principal component analysis failed\n");
    return 1;
  }
  double total = 0;
  for (int k = 1; k <= kVars; ++k) total += GetEigenResult(k, 0);
  std::printf("%-9s  %10s  %7s  %10s\n", "component", "eigenvalue", "share", "cumulative");
  double cumulative = 0;
  for (int k = 1; k <= kVars; ++k) {
    const double share = GetEigenResult(k, 0) / total;
    cumulative += share;
    std::printf("PC%-7d  %10.5f  %5.1f %%  %8.1f %%\n", k, GetEigenResult(k, 0), 100 * share,
                100 * cumulative);
  }

  // Loadings: column k holds eigenvector k. An eigenvector's sign is
  // arbitrary; each is turned so that its largest element is positive.
  TMatrix loadings;
  loadings.Resize(kVars, kVars);
  for (int k = 1; k <= kVars; ++k) {
    int big = 1;
    for (int r = 2; r <= kVars; ++r)
      if (std::fabs(GetEigenResult(k, r)) > std::fabs(GetEigenResult(k, big))) big = r;
    const double sign = GetEigenResult(k, big) < 0 ? -1.0 : 1.0;
    for (int r = 1; r <= kVars; ++r) loadings.SetVal(k, r, sign * GetEigenResult(k, r));
  }
  RemoveEigenMatrix();

  std::printf("\n%-13s", "loadings");
  for (int k = 1; k <= kVars; ++k) std::printf("      PC%d", k);
  std::printf("\n");
  for (int r = 1; r <= kVars; ++r) {
    std::printf("%-13s", kVarNames[r - 1]);
    for (int k = 1; k <= kVars; ++k) std::printf("  %7.4f", loadings.Elem(k, r));
    std::printf("\n");
  }

  // Scores of the first two components: centred data (150 x 4) times the first
  // two loading columns (4 x 2) gives a 150 x 2 matrix.
  TMatrix centred;
  centred.Assign(&data);
  TVector means;
  centred.MeanCenterColumns(&means);
  TMatrix firstTwo;
  firstTwo.Resize(2, kVars);
  firstTwo.CopyFrom(&loadings, 1, 1, 2, kVars, 1, 1);
  TMatrix scores;
  if (!centred.Multiply(&firstTwo, &scores)) {
    std::fprintf(stderr, "matrix sizes do not fit\n");
    return 1;
  }

  std::printf("\nscores of the first two components\n");
  std::printf("%6s  %-12s %7s  %7s\n", "flower", "species", "PC1", "PC2");
  for (int r : {1, 2, 3, 51, 52, 53, 101, 102, 103}) {
    std::printf("%6d  %-12s %7.3f  %7.3f\n", r, species[static_cast<size_t>(r - 1)].c_str(),
                scores.Elem(1, r), scores.Elem(2, r));
  }

  // The scores of a component have the component's eigenvalue as variance.
  double mean = 0, variance = 0;
  scores.MeanVar(1, 1, 1, scores.NrOfRows(), mean, variance);
  std::printf("\nvariance of all %d PC1 scores: %.5f (its eigenvalue)\n", scores.NrOfRows(),
              variance);
  return 0;
}
