// Uses the installed library through its umbrella header, as an application would.
#include <cstdio>

#include "dari/dari.h"

int main() {
  using namespace dari;

  uint32_t crc = 0xFFFFFFFFu;
  for (const char* p = "123456789"; *p != '\0'; ++p) crc = CalcNextCRC32(static_cast<uint8_t>(*p), crc);

  TVector v;
  v.Resize(3);
  v.SetVal(1, 3.0);
  v.SetVal(2, 4.0);

  TMatrix a, b, c;
  a.Resize(2, 2);  // columns, rows
  b.Resize(2, 2);
  a.SetElem(1, 1, 1.0);
  a.SetElem(2, 1, 2.0);
  a.SetElem(1, 2, 3.0);
  a.SetElem(2, 2, 4.0);
  b.FillDiag(1.0);
  const bool multiplied = a.Multiply(&b, &c);

  if (~crc != 0xCBF43926u || v.Leng() != 5.0 || !multiplied || c.Elem(2, 2) != 4.0) {
    std::puts("consumer: unexpected result");
    return 1;
  }
  std::puts("consumer: dari package found and working");
  return 0;
}
