#include "dari/base/stream_helpers.h"

#include <cmath>

namespace dari {
namespace detail {

std::array<uint8_t, 10> EncodeExtended(Extended Value) {
  uint64_t mantissa = 0;
  uint32_t exponent = 0;  // biased by 16383
  const bool negative = std::signbit(Value);
  const Extended a = std::fabs(Value);
  if (std::isnan(Value)) {
    exponent = 0x7FFF;
    mantissa = 0xC000000000000000ull;
  } else if (std::isinf(Value)) {
    exponent = 0x7FFF;
    mantissa = 0x8000000000000000ull;
  } else if (a != 0) {
    int e = 0;
    const Extended f = std::frexp(a, &e);  // a = f * 2^e, f in [0.5, 1)
    int biased = e - 1 + 16383;
    Extended m;
    if (biased <= 0) {
      biased = 0;  // denormal: a = m * 2^(1 - 16383 - 63)
      m = std::nearbyint(std::ldexp(a, 16445));
    } else {
      m = std::nearbyint(std::ldexp(f, 64));
    }
    if (m >= 18446744073709551616.0L) {  // rounding carried out of 64 bits
      m = std::ldexp(m, -1);
      ++biased;
    }
    if (biased >= 0x7FFF) {
      exponent = 0x7FFF;
      mantissa = 0x8000000000000000ull;
    } else {
      exponent = static_cast<uint32_t>(biased);
      mantissa = static_cast<uint64_t>(m);
    }
  }
  std::array<uint8_t, 10> bytes{};
  for (int k = 0; k < 8; ++k) bytes[static_cast<size_t>(k)] = static_cast<uint8_t>(mantissa >> (8 * k));
  const uint32_t top = exponent | (negative ? 0x8000u : 0u);
  bytes[8] = static_cast<uint8_t>(top);
  bytes[9] = static_cast<uint8_t>(top >> 8);
  return bytes;
}

Extended DecodeExtended(const std::array<uint8_t, 10>& Bytes) {
  uint64_t mantissa = 0;
  for (int k = 7; k >= 0; --k) mantissa = (mantissa << 8) | Bytes[static_cast<size_t>(k)];
  const uint32_t top = static_cast<uint32_t>(Bytes[8]) | (static_cast<uint32_t>(Bytes[9]) << 8);
  const bool negative = (top & 0x8000u) != 0;
  const int exponent = static_cast<int>(top & 0x7FFFu);
  Extended value;
  if (exponent == 0x7FFF) {
    value = (mantissa << 1) == 0 ? HUGE_VALL : std::nanl("");
  } else if (exponent == 0) {
    value = std::ldexp(static_cast<Extended>(mantissa), -16445);
  } else {
    value = std::ldexp(static_cast<Extended>(mantissa), exponent - 16383 - 63);
  }
  return negative ? -value : value;
}

}  // namespace detail

void WriteExtendedToStream(TStream& Stream, Extended Value) {
  const auto bytes = detail::EncodeExtended(Value);
  Stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void WriteLongintToStream(TStream& Stream, int32_t Value) {
  const uint32_t u = static_cast<uint32_t>(Value);
  const uint8_t bytes[4] = {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8),
                            static_cast<uint8_t>(u >> 16), static_cast<uint8_t>(u >> 24)};
  Stream.WriteBuffer(bytes, 4);
}

Extended ReadExtendedFromStream(TStream& Stream, bool& Failed) {
  std::array<uint8_t, 10> bytes{};
  if (Stream.Read(bytes.data(), 10) != 10) {
    Failed = true;
    return 0;
  }
  return detail::DecodeExtended(bytes);
}

int32_t ReadLongintFromStream(TStream& Stream, bool& Failed) {
  uint8_t bytes[4] = {};
  if (Stream.Read(bytes, 4) != 4) {
    Failed = true;
    return 0;
  }
  const uint32_t u = static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
                     (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
  return static_cast<int32_t>(u);
}

}  // namespace dari
