// Reading and writing the items of the library's binary records. An 80-bit
// extended is written as its 10-byte IEEE extended image (64-bit mantissa with an
// explicit integer bit, 15-bit exponent, sign), least significant byte first; a
// 32-bit integer as 4 bytes, least significant first. The byte images are the
// same on every host.
#pragma once

#include <array>
#include <cstdint>

#include "dari/platform/extended.h"
#include "dari/platform/streams.h"

namespace dari {

void WriteExtendedToStream(TStream& Stream, Extended Value);
void WriteLongintToStream(TStream& Stream, int32_t Value);

// Read the item at the stream position. When the stream holds fewer bytes than
// the item needs, Failed is set to true and the result is 0; otherwise Failed is
// left as it was.
Extended ReadExtendedFromStream(TStream& Stream, bool& Failed);
int32_t ReadLongintFromStream(TStream& Stream, bool& Failed);

namespace detail {
// The 10-byte extended image of Value and back.
std::array<uint8_t, 10> EncodeExtended(Extended Value);
Extended DecodeExtended(const std::array<uint8_t, 10>& Bytes);
}  // namespace detail

}  // namespace dari
