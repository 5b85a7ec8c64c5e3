#include "dari/base/strings.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace dari {

std::string strff(Extended x, int Width, int Decimals) {
  std::string text;
  if (std::isnan(x)) {
    text = "NAN";
  } else if (std::isinf(x)) {
    text = x > 0 ? "INF" : "-INF";
  } else {
    const int decimals = std::clamp(Decimals, 0, 60);
    char buffer[5000];  // the largest extended has 4933 integer digits
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed, decimals);
    text.assign(buffer, result.ptr);
  }
  if (Width > 0 && static_cast<int>(text.size()) < Width) {
    text.insert(0, static_cast<size_t>(Width) - text.size(), ' ');
  }
  return text;
}

bool StringContains(const std::string& Text, const std::string& Pattern) {
  if (Pattern == "//dig") {
    return std::any_of(Text.begin(), Text.end(), [](char c) { return c >= '0' && c <= '9'; });
  }
  return Text.find(Pattern) != std::string::npos;
}

std::string RemoveControlChars(const std::string& Text) {
  std::string result;
  result.reserve(Text.size());
  for (char c : Text) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 32 && u != 127) result.push_back(c);
  }
  return result;
}

std::string ReplaceCharInString(const std::string& Text, char A, char B) {
  std::string result = Text;
  std::replace(result.begin(), result.end(), A, B);
  return result;
}

}  // namespace dari
