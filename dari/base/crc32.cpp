#include "dari/base/crc32.h"

#include <array>

namespace dari {
namespace {

constexpr std::array<uint32_t, 256> MakeCrcTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1u) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

constexpr std::array<uint32_t, 256> kCrcTable = MakeCrcTable();

}  // namespace

uint32_t CalcNextCRC32(uint8_t Data, uint32_t CRC) {
  return kCrcTable[(CRC ^ Data) & 0xFFu] ^ (CRC >> 8);
}

namespace detail {

void TCrc8Registers::FeedWord64(uint64_t Bits) {
  for (int k = 0; k < 8; ++k) {
    Reg[k] = CalcNextCRC32(static_cast<uint8_t>(Bits >> (8 * k)), Reg[k]);
  }
}

void TCrc8Registers::FeedWord32(uint32_t Bits, int First) {
  for (int k = 0; k < 4; ++k) {
    uint32_t& r = Reg[(First + k) & 7];
    r = CalcNextCRC32(static_cast<uint8_t>(Bits >> (8 * k)), r);
  }
}

std::string TCrc8Registers::Result() const {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string s(64, '0');
  for (int r = 0; r < 8; ++r) {
    const uint32_t v = ~Reg[r];
    for (int d = 0; d < 8; ++d) s[static_cast<size_t>(8 * r + d)] = kDigits[(v >> (28 - 4 * d)) & 0xFu];
  }
  return s;
}

}  // namespace detail
}  // namespace dari
