#include "codec/WholeInflate.h"

#include <libdeflate.h>

#include <algorithm>

#include "codec/EntryDecoder.h"

namespace vrz {

WholeInflater::WholeInflater() = default;

WholeInflater::~WholeInflater() {
    if (decompressor_) libdeflate_free_decompressor(decompressor_);
}

bool WholeInflater::Inflate(const std::uint8_t* in, std::size_t length, std::size_t outputLimit, Result* result) {
    if (!decompressor_) decompressor_ = libdeflate_alloc_decompressor();
    if (!decompressor_) return false;
    // Not zero-filled: only the pages an output reaches are ever touched.
    if (!out_) out_.reset(new std::uint8_t[kMaxOutput]);
    std::size_t consumed = 0;
    std::size_t produced = 0;
    const libdeflate_result rc = libdeflate_deflate_decompress_ex(
        decompressor_, in, length, out_.get(), std::min(outputLimit, kMaxOutput), &consumed, &produced);
    // libdeflate reads past the end of a cut stream as zeros; a stream that
    // claims to end past the input is cut, not ended.
    if (rc != LIBDEFLATE_SUCCESS || consumed > length) return false;
    result->consumed = consumed;
    result->produced = produced;
    result->crc32 = UpdateCrc32(0, out_.get(), produced);
    return true;
}

}  // namespace vrz
