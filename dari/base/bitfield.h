// TBitFld: a resizable set of bits with indices 0..Size() after SetSize(n).
#pragma once

#include <cstdint>
#include <vector>

#include "dari/base/types.h"
#include "dari/platform/component.h"

namespace dari {

class TBitFld : public TObject {
 public:
  TBitFld() = default;
  std::string ClassName() const override { return "TBitFld"; }

  // Holds bits 0..n (n + 1 bits), all false; a negative n leaves no bits.
  void SetSize(int n);
  // The highest index n of the last SetSize(n); -1 before any.
  int Size() const { return FSize; }

  // Writes and reads bit Ix; indices outside 0..Size() are ignored and read false.
  void SetBit(int Ix, bool Value);
  bool GetBit(int Ix) const;

  void Clear();   // every bit false
  void Invert();  // every bit flipped
  // Becomes a copy of Source (size and bits); a null source does nothing.
  void Clone(const TBitFld* Source);
  // Combines in place with Other by Op, over the bits both fields have.
  void CombineWith(const TBitFld* Other, TLogicOp Op);
  int CountTrueBits() const;

 private:
  void ClearUnusedBits();

  int FSize = -1;
  std::vector<uint64_t> FWords;
};

}  // namespace dari
