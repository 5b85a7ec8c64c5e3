// Small text helpers of the base library: fixed-point formatting that ignores
// the locale, pattern tests, control-character removal and character replacement.
#pragma once

#include <string>

#include "dari/platform/extended.h"

namespace dari {

// x in fixed-point notation with Decimals decimals (negative counts as 0) and "."
// as separator, right-aligned in at least Width characters. NaN and infinities
// are written "NAN", "INF" and "-INF".
std::string strff(Extended x, int Width, int Decimals);

// True when Text matches Pattern. The pattern "//dig" matches a text that holds
// at least one decimal digit; any other pattern matches a text that contains it.
bool StringContains(const std::string& Text, const std::string& Pattern);

// Text without the control characters (codes 0..31 and 127).
std::string RemoveControlChars(const std::string& Text);

// Text with each character A replaced by B.
std::string ReplaceCharInString(const std::string& Text, char A, char B);

}  // namespace dari
