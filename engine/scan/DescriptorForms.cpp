#include "scan/DescriptorForms.h"

#include <cstring>

#include "records/ByteOrder.h"
#include "records/ZipConstants.h"

namespace vrz {

namespace {

struct Form {
    std::size_t length;
    bool signature;
    bool wide;  // 8-byte sizes
};

constexpr Form kForms32[] = {{zip::kDataDescriptorSize, true, false},
                             {zip::kZip64DataDescriptorSize, true, true},
                             {zip::kBareDataDescriptorSize, false, false},
                             {zip::kBareZip64DataDescriptorSize, false, true}};
constexpr Form kForms64[] = {{zip::kZip64DataDescriptorSize, true, true},
                             {zip::kDataDescriptorSize, true, false},
                             {zip::kBareZip64DataDescriptorSize, false, true},
                             {zip::kBareDataDescriptorSize, false, false}};

constexpr std::uint64_t k32BitLimit = std::uint64_t{1} << 32;

// The bytes after a record start another record of an archive.
bool RecordBeginsAt(SourceReader& reader, std::uint64_t at, std::uint64_t runEnd) {
    if (at == runEnd) return true;
    if (runEnd - at < 4) return false;
    const std::uint8_t* p = reader.Bytes(at, 4);
    if (!p || p[0] != 'P' || p[1] != 'K') return false;
    const std::uint8_t a = p[2];
    const std::uint8_t b = p[3];
    return (a == 3 && b == 4) || (a == 1 && b == 2) || (a == 5 && b == 6) || (a == 6 && b == 6) ||
           (a == 7 && b == 8);
}

bool Agrees(const Form& form, const DescriptorValues& v, const DescriptorExpectation& e) {
    if (!form.wide && e.dataLength >= k32BitLimit) return false;
    if (v.compressedSize != e.dataLength) return false;
    if (e.storedPlain && v.uncompressedSize != v.compressedSize) return false;
    if (e.decoded) {
        if (v.crc32 != e.decodedCrc) return false;
        if (!form.wide && e.decodedSize >= k32BitLimit) return false;
        if (v.uncompressedSize != e.decodedSize) return false;
    }
    return true;
}

}  // namespace

bool ReadAgreeingDescriptor(SourceReader& reader, std::uint64_t at, std::uint64_t runEnd,
                            const DescriptorExpectation& expect, DescriptorValues* out) {
    bool found = false;
    for (const Form& form : expect.zip64First ? kForms64 : kForms32) {
        if (!form.signature && !expect.allowBare) continue;
        if (at > runEnd || form.length > runEnd - at) continue;
        // Copied, so a descriptor longer than a small read window still reads.
        std::uint8_t d[zip::kZip64DataDescriptorSize];
        if (!reader.Copy(at, form.length, d)) continue;
        // A damaged signature does not hide a descriptor whose CRC-32 and
        // sizes are exactly what decoding gave, with a record right after it.
        const bool signatureDamaged = form.signature && std::memcmp(d, zip::kSigDataDescriptor, 4) != 0;
        if (signatureDamaged && !(expect.decoded && expect.allowBare)) continue;
        const std::uint8_t* fields = form.signature ? d + 4 : d;
        DescriptorValues v;
        v.at = at;
        v.length = form.length;
        v.crc32 = ReadU32(fields);
        v.compressedSize = form.wide ? ReadU64(fields + 4) : ReadU32(fields + 4);
        v.uncompressedSize = form.wide ? ReadU64(fields + 12) : ReadU32(fields + 8);
        if (!Agrees(form, v, expect)) continue;
        const bool recordFollows = RecordBeginsAt(reader, at + form.length, runEnd);
        // A ZIP64 entry's descriptor cut short can read as a 32-bit one (an
        // empty entry's even agrees with its decoded data); only a record
        // after it vouches for the short form.
        if (expect.zip64First && !form.wide && !recordFollows) continue;
        if (signatureDamaged && !recordFollows) continue;
        if (recordFollows) {
            *out = v;
            return true;
        }
        if (!found) {
            *out = v;
            found = true;
        }
    }
    if (found || !expect.decoded) return found;
    // One damaged size field: a signed descriptor at the stream's end whose
    // CRC-32 is the decoded one and after which a record begins still ends
    // the entry; the decoded sizes stand for the damaged ones.
    for (const Form& form : expect.zip64First ? kForms64 : kForms32) {
        if (!form.signature || at > runEnd || form.length > runEnd - at) continue;
        std::uint8_t d[zip::kZip64DataDescriptorSize];
        if (!reader.Copy(at, form.length, d) || std::memcmp(d, zip::kSigDataDescriptor, 4) != 0) continue;
        if (ReadU32(d + 4) != expect.decodedCrc || !RecordBeginsAt(reader, at + form.length, runEnd)) continue;
        if (!form.wide && (expect.dataLength >= k32BitLimit || expect.decodedSize >= k32BitLimit)) continue;
        out->at = at;
        out->length = form.length;
        out->crc32 = expect.decodedCrc;
        out->compressedSize = expect.dataLength;
        out->uncompressedSize = expect.decodedSize;
        return true;
    }
    return false;
}

}  // namespace vrz
