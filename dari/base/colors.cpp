#include "dari/base/colors.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace dari {

double RGBtoGray(int Red, int Green, int Blue) {
  const double r = std::clamp(Red, 0, 255), g = std::clamp(Green, 0, 255), b = std::clamp(Blue, 0, 255);
  return 0.299 * r + 0.587 * g + 0.114 * b;
}

void RGBtoHSI(int Red, int Green, int Blue, double& Intensity, double& Saturation, double& Hue) {
  const double r = std::clamp(Red, 0, 255), g = std::clamp(Green, 0, 255), b = std::clamp(Blue, 0, 255);
  Intensity = (r + g + b) / 3.0;
  const double lowest = std::min({r, g, b});
  Saturation = Intensity > 0 ? 1.0 - lowest / Intensity : 0.0;
  const double num = 0.5 * ((r - g) + (r - b));
  const double den = std::sqrt((r - g) * (r - g) + (r - b) * (g - b));
  if (den <= 0) {
    Hue = 0.0;
    return;
  }
  const double theta = std::acos(std::clamp(num / den, -1.0, 1.0)) * 180.0 / std::numbers::pi;
  Hue = b > g ? 360.0 - theta : theta;
}

}  // namespace dari
