// Eigen's product for the matrix benchmark, compiled for the host processor so
// that Eigen uses its widest kernels (with fused multiply-add where available).
#include <Eigen/Dense>
#include <vector>

double EigenProductChecksum(int n, const std::vector<double>& a, const std::vector<double>& b,
                            std::vector<double>& c) {
  Eigen::Map<const Eigen::MatrixXd> A(a.data(), n, n), B(b.data(), n, n);
  Eigen::Map<Eigen::MatrixXd> C(c.data(), n, n);
  C.noalias() = A * B;
  return C(0, 0);
}
