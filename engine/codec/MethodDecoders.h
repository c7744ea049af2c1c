// The decoder of each method the engine reads; EntryDecoder::Create picks one.
#pragma once

#include <cstdint>
#include <memory>

#include "codec/EntryDecoder.h"

namespace vrz {

std::unique_ptr<EntryDecoder> MakeStoredDecoder();
std::unique_ptr<EntryDecoder> MakeDeflateDecoder();
std::unique_ptr<EntryDecoder> MakeBzip2Decoder();
// ZIP's LZMA: a 4-byte version/properties-size prefix, the 5 properties
// bytes, then a raw LZMA1 stream that ends with a marker when flag bit 1 is set.
std::unique_ptr<EntryDecoder> MakeLzmaDecoder(std::uint16_t flags, std::uint64_t expectedSize);
std::unique_ptr<EntryDecoder> MakeXzDecoder();
std::unique_ptr<EntryDecoder> MakeZstdDecoder();

}  // namespace vrz
