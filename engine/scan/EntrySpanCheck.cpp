#include "scan/EntrySpanCheck.h"

#include <algorithm>

#include "codec/EntryDecoder.h"
#include "io/FileIo.h"
#include "io/LayoutFiles.h"
#include "io/SourceLayout.h"
#include "records/ZipConstants.h"

namespace vrz {

namespace {

constexpr std::size_t kReadBlock = 64u << 10;

}  // namespace

bool EntryVerifiesAcross(const std::vector<std::string>& paths, std::uint64_t dataStart, const HeaderSpot& entry) {
    if ((entry.flags & zip::kFlagEncrypted) != 0) return false;
    std::unique_ptr<EntryDecoder> decoder = EntryDecoder::Create(entry.method, entry.flags, entry.uncompressedSize);
    if (!decoder) return false;
    SourceLayout layout;
    for (const std::string& path : paths) {
        std::uint64_t size = 0;
        if (!FileSize(path, &size)) return false;
        layout.AddPart(path, size, true);
    }
    if (dataStart > layout.TotalSize() || entry.compressedSize > layout.TotalSize() - dataStart) return false;
    LayoutFiles files(layout);
    std::vector<std::uint8_t> block(kReadBlock);
    std::uint64_t position = dataStart;
    std::uint64_t remaining = entry.compressedSize;
    while (remaining > 0) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(remaining, block.size()));
        if (!files.Read(position, block.data(), want, LayoutFiles::ShortRead::kFail)) return false;
        std::size_t consumed = 0;
        const DecodeResult result = decoder->Feed(block.data(), want, &consumed);
        if (result == DecodeResult::kCorrupt) return false;
        position += want;
        remaining -= want;
        if (result == DecodeResult::kStreamEnd) break;
    }
    if (decoder->HasOwnEnd() && !decoder->Ended()) return false;
    return decoder->Crc32() == entry.crc32 && decoder->DecodedSize() == entry.uncompressedSize;
}

}  // namespace vrz
