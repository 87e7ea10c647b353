#pragma once
// A 1-bit BMP row is bytes whose most significant bit comes first; read as
// big-endian 64-bit words they are the packed store's words. These convert
// runs of whole words between the two, XORed with a mask on the way (the
// file's colour indices against ink), on wide registers where the processor
// has them.

#include <cstddef>
#include <cstdint>

namespace quillet::imaging {

// dst[i] = (the 8 bytes at src + 8 i read big-endian) ^ flip, i < words.
void wordsFromBigEndian(const std::uint8_t* src, std::size_t words, std::uint64_t flip, std::uint64_t* dst);

// The 8 bytes at dst + 8 i := src[i] ^ flip stored big-endian, i < words.
void bigEndianFromWords(const std::uint64_t* src, std::size_t words, std::uint64_t flip, std::uint8_t* dst);

}  // namespace quillet::imaging
