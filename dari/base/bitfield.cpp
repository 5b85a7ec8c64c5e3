#include "dari/base/bitfield.h"

#include <algorithm>
#include <bit>

namespace dari {

void TBitFld::SetSize(int n) {
  FSize = n < 0 ? -1 : n;
  const size_t bits = static_cast<size_t>(static_cast<int64_t>(FSize) + 1);
  FWords.assign((bits + 63) / 64, 0);
}

void TBitFld::SetBit(int Ix, bool Value) {
  if (Ix < 0 || Ix > FSize) return;
  const uint64_t mask = uint64_t{1} << (Ix % 64);
  uint64_t& w = FWords[static_cast<size_t>(Ix / 64)];
  w = Value ? (w | mask) : (w & ~mask);
}

bool TBitFld::GetBit(int Ix) const {
  if (Ix < 0 || Ix > FSize) return false;
  return ((FWords[static_cast<size_t>(Ix / 64)] >> (Ix % 64)) & 1u) != 0;
}

void TBitFld::Clear() { std::fill(FWords.begin(), FWords.end(), 0); }

void TBitFld::Invert() {
  for (uint64_t& w : FWords) w = ~w;
  ClearUnusedBits();
}

void TBitFld::Clone(const TBitFld* Source) {
  if (Source == nullptr || Source == this) return;
  FSize = Source->FSize;
  FWords = Source->FWords;
}

void TBitFld::CombineWith(const TBitFld* Other, TLogicOp Op) {
  if (Other == nullptr) return;
  const size_t common = std::min(FWords.size(), Other->FWords.size());
  for (size_t i = 0; i < common; ++i) {
    const uint64_t o = Other->FWords[i];
    switch (Op) {
      case loAnd: FWords[i] &= o; break;
      case loOr: FWords[i] |= o; break;
      case loXor: FWords[i] ^= o; break;
      case loAndNot: FWords[i] &= ~o; break;
    }
  }
  // With "and", bits beyond the other field's size meet missing (false) bits.
  if (Op == loAnd) std::fill(FWords.begin() + static_cast<std::ptrdiff_t>(common), FWords.end(), 0);
  ClearUnusedBits();
}

int TBitFld::CountTrueBits() const {
  int count = 0;
  for (uint64_t w : FWords) count += std::popcount(w);
  return count;
}

void TBitFld::ClearUnusedBits() {
  const int used = (FSize + 1) % 64;
  if (used != 0 && !FWords.empty()) FWords.back() &= (uint64_t{1} << used) - 1;
}

}  // namespace dari
