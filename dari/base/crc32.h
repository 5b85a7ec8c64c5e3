// One step of the standard reflected CRC-32 (polynomial EDB88320 hexadecimal).
// Start the register at FFFFFFFF, feed every byte, complement the end value:
// "123456789" gives CBF43926.
#pragma once

#include <cstdint>
#include <string>

namespace dari {

uint32_t CalcNextCRC32(uint8_t Data, uint32_t CRC);

namespace detail {

// Eight CRC-32 registers, as used by the containers' 64-character checksums:
// byte k of an item goes to register k mod 8 (or to a register the container picks).
struct TCrc8Registers {
  uint32_t Reg[8] = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu,
                     0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};

  // Feeds the 8 bytes of Bits, least significant first, byte k to register k.
  void FeedWord64(uint64_t Bits);
  // Feeds the 4 bytes of Bits, least significant first, byte k to register First + k.
  void FeedWord32(uint32_t Bits, int First);
  // The complemented registers, each as 8 upper-case hex digits: 64 characters.
  std::string Result() const;
};

}  // namespace detail
}  // namespace dari
