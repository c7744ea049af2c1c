#include "writer/PartialEntryWriter.h"

#include <algorithm>
#include <memory>

#include "codec/EntryDecoder.h"
#include "records/ByteOrder.h"
#include "records/ZipConstants.h"
#include "state/RecoveredEntry.h"
#include "verify/RangeDecode.h"
#include "writer/CentralHeaderBuilder.h"
#include "writer/Recompressor.h"

namespace vrz {

namespace {

constexpr std::uint16_t kVersionDeflate = 20;
constexpr std::size_t kZip64LocalExtraSize = 20;  // block header, uncompressed and compressed size

using Writer = ByteWriter<std::vector<std::uint8_t>>;

std::vector<std::uint8_t> LocalHeaderBytes(const PartialEntry& partial, std::uint16_t method, std::uint16_t flags,
                                           std::uint16_t version, bool zip64, std::uint32_t crc, std::uint64_t size) {
    const std::string name = partial.WrittenName();
    std::vector<std::uint8_t> out;
    Writer w(out);
    w.U32(zip::kLocalHeaderSignature);
    w.U16(version);
    w.U16(flags);
    w.U16(method);
    w.U16(partial.modTime);
    w.U16(partial.modDate);
    w.U32(crc);
    w.U32(zip64 ? zip::kZip64Marker32 : static_cast<std::uint32_t>(size));
    w.U32(zip64 ? zip::kZip64Marker32 : static_cast<std::uint32_t>(size));
    w.U16(static_cast<std::uint16_t>(name.size()));
    w.U16(static_cast<std::uint16_t>(zip64 ? kZip64LocalExtraSize : 0));
    w.Bytes(reinterpret_cast<const std::uint8_t*>(name.data()), name.size());
    if (zip64) {
        w.U16(zip::kExtraIdZip64);
        w.U16(16);
        w.U64(size);
        w.U64(size);
    }
    return out;
}

class PartialWriter {
public:
    PartialWriter(LayoutBlockReader& source, const PartialEntry& partial, const PartialWriteTarget& target,
                  PartialWriteOutcome* outcome)
        : source_(source), partial_(partial), target_(target), outcome_(*outcome) {}

    PartialWriteResult Run() {
        if (partial_.WrittenName().size() > 0xFFFF) return PartialWriteResult::kSourceFailed;
        return partial_.method == method::kStored ? WriteStored() : WriteDeflated();
    }

private:
    bool Append(const std::vector<std::uint8_t>& bytes) {
        if (!target_.append(bytes.data(), bytes.size())) return false;
        outcome_.entryLength += bytes.size();
        return true;
    }

    RangeDecodeHooks Hooks() const {
        RangeDecodeHooks hooks;
        hooks.mayContinue = target_.mayContinue;
        return hooks;
    }

    static PartialWriteResult Failed(RangeDecodeEnd end) {
        return end == RangeDecodeEnd::kCancelled ? PartialWriteResult::kCancelled : PartialWriteResult::kSourceFailed;
    }

    bool Finish(const std::vector<std::uint8_t>& local, std::uint64_t compressed, bool zip64) {
        RecoveredEntry row;
        row.crc32 = partial_.recoveredCrc;
        row.compressedSize = compressed;
        row.uncompressedSize = partial_.recoveredSize;
        row.zip64Local = zip64;
        CentralHeaderInput input;
        input.localRecord = local.data();
        input.localRecordLength = local.size();
        input.row = &row;
        input.outputOffset = target_.outputOffset;
        input.largeArchive = target_.largeArchive;
        return AppendCentralHeader(input, &outcome_.centralHeader);
    }

    // The bytes present, copied as they are; their CRC must be the one planned.
    PartialWriteResult WriteStored() {
        const bool zip64 = target_.largeArchive || partial_.recoveredSize >= zip::kZip64Threshold;
        const std::uint16_t version = zip64 ? zip::kZip64Version : kVersionDeflate;
        const std::uint16_t flags = partial_.flags & zip::kFlagUtf8;
        const std::vector<std::uint8_t> local =
            LocalHeaderBytes(partial_, method::kStored, flags, version, zip64, partial_.recoveredCrc, partial_.recoveredSize);
        if (!Append(local)) return PartialWriteResult::kOutputFailed;
        std::unique_ptr<EntryDecoder> copier = EntryDecoder::Create(method::kStored, 0);
        bool outputFailed = false;
        copier->SetSink([&](const std::uint8_t* data, std::size_t length) {
            if (target_.append(data, length)) return true;
            outputFailed = true;
            return false;
        });
        const RangeDecodeEnd end = DecodeRange(source_, partial_.dataStart, partial_.recoveredSize, *copier, Hooks());
        if (outputFailed) return PartialWriteResult::kOutputFailed;
        if (end != RangeDecodeEnd::kRanOut) return Failed(end);
        if (copier->Crc32() != partial_.recoveredCrc) return PartialWriteResult::kSourceFailed;
        outcome_.entryLength += partial_.recoveredSize;
        outcome_.versionNeeded = version;
        return Finish(local, partial_.recoveredSize, zip64) ? PartialWriteResult::kWritten
                                                            : PartialWriteResult::kSourceFailed;
    }

    // The decodable beginning, deflated again; exactly the bytes the plan counted.
    PartialWriteResult WriteDeflated() {
        // Deflate may grow incompressible data a little; leave room for that.
        const std::uint64_t bound = partial_.recoveredSize + partial_.recoveredSize / 1000 + (std::uint64_t{1} << 20);
        const bool zip64 = target_.largeArchive || bound >= zip::kZip64Threshold;
        const std::uint16_t version = zip64 ? zip::kZip64Version : kVersionDeflate;
        const std::uint16_t flags = (partial_.flags & zip::kFlagUtf8) | zip::kFlagDataDescriptor;
        const std::vector<std::uint8_t> local = LocalHeaderBytes(partial_, method::kDeflate, flags, version, zip64, 0, 0);
        if (!Append(local)) return PartialWriteResult::kOutputFailed;

        const std::uint64_t expected = partial_.expectedSize > 0 ? partial_.expectedSize : kUnknownSize;
        std::unique_ptr<EntryDecoder> decoder = EntryDecoder::Create(partial_.method, partial_.flags, expected);
        Recompressor compressor(target_.append);
        if (!decoder || !compressor.Ready()) return PartialWriteResult::kSourceFailed;
        std::uint64_t left = partial_.recoveredSize;
        std::uint32_t crc = 0;
        decoder->SetSink([&](const std::uint8_t* data, std::size_t length) {
            const std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(length, left));
            if (take == 0) return false;
            crc = UpdateCrc32(crc, data, take);
            left -= take;
            return compressor.Put(data, take, Z_NO_FLUSH);
        });
        const RangeDecodeEnd end = DecodeRange(source_, partial_.dataStart, partial_.dataAvailable, *decoder, Hooks());
        if (compressor.OutputFailed()) return PartialWriteResult::kOutputFailed;
        if (end == RangeDecodeEnd::kCancelled || end == RangeDecodeEnd::kUnreadable) return Failed(end);
        // A sink that stopped once the planned bytes were out ends as corrupt; that is expected.
        if (left != 0 || crc != partial_.recoveredCrc) return PartialWriteResult::kSourceFailed;
        if (!compressor.Put(nullptr, 0, Z_FINISH)) {
            return compressor.OutputFailed() ? PartialWriteResult::kOutputFailed : PartialWriteResult::kSourceFailed;
        }
        const std::uint64_t compressed = compressor.Written();
        outcome_.entryLength += compressed;

        std::vector<std::uint8_t> descriptor;
        Writer d(descriptor);
        d.U32(zip::kDataDescriptorSignature);
        d.U32(crc);
        if (zip64) {
            d.U64(compressed);
            d.U64(partial_.recoveredSize);
        } else {
            d.U32(static_cast<std::uint32_t>(compressed));
            d.U32(static_cast<std::uint32_t>(partial_.recoveredSize));
        }
        if (!Append(descriptor)) return PartialWriteResult::kOutputFailed;
        outcome_.versionNeeded = version;
        return Finish(local, compressed, zip64) ? PartialWriteResult::kWritten : PartialWriteResult::kSourceFailed;
    }

    LayoutBlockReader& source_;
    const PartialEntry& partial_;
    const PartialWriteTarget& target_;
    PartialWriteOutcome& outcome_;
};

}  // namespace

PartialWriteResult WritePartialEntry(LayoutBlockReader& source, const PartialEntry& partial,
                                     const PartialWriteTarget& target, PartialWriteOutcome* outcome) {
    *outcome = PartialWriteOutcome{};
    PartialWriter writer(source, partial, target, outcome);
    return writer.Run();
}

}  // namespace vrz
