// Uses the installed library through its umbrella header.
#include <cstdio>

#include "dari/dari.h"

int main() {
  uint32_t crc = 0xFFFFFFFFu;
  for (const char* p = "123456789"; *p != '\0'; ++p) crc = dari::CalcNextCRC32(static_cast<uint8_t>(*p), crc);
  if (~crc != 0xCBF43926u) {
    std::puts("consumer: wrong CRC-32");
    return 1;
  }
  std::puts("consumer: dari package found and working");
  return 0;
}
