// Colour conversions of the image correlation: a grey value and the
// lightness / saturation / hue triple of an RGB colour.
#pragma once

namespace dari {

// Luma of an RGB colour (components 0..255): 0.299 R + 0.587 G + 0.114 B, 0..255.
double RGBtoGray(int Red, int Green, int Blue);

// HSI model: Intensity = (R + G + B) / 3 in 0..255; Saturation = 1 - min/I in
// 0..1 (0 for black); Hue in degrees 0..360 (0 for greys). Components outside
// 0..255 are clamped.
void RGBtoHSI(int Red, int Green, int Blue, double& Intensity, double& Saturation, double& Hue);

}  // namespace dari
