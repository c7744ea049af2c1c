#include "CliTexts.h"

#include <cinttypes>
#include <cstdio>
#include <map>

#include "codec/EntryDecoder.h"
#include "text/LanguageTexts.h"

namespace vrz::cli {

namespace {

const std::map<std::string, std::string>& BuiltInEnglish() {
    static const std::map<std::string, std::string> texts = {
        {"IDS_WORD8", "The repair was cancelled."},
        {"IDS_WORD9", "The chosen file is too small to be a ZIP archive (30 bytes or less)."},
        {"IDS_FAILEDFILE",
         "The archive, or one of its parts, could not be opened. Check that it still exists and that you are "
         "allowed to read it."},
        {"IDS_CREATEDFAILED",
         "Saving could not start: the damaged archive could not be opened, or a temporary work file could not be "
         "created."},
        {"IDS_LOWDIKSPACE",
         "There is not enough free space in the chosen folder for the repaired archive. Choose another drive or "
         "free some space."},
        {"IDS_SAVE_ABORTED", "Saving was cancelled; no repaired archive was written."},
        {"IDS_SAVE_CREATE_FAILED", "The repaired archive could not be created in this folder:"},
        {"IDS_SAVE_DISK_FULL", "The disk became full while the repaired archive was being written; nothing was kept:"},
        {"IDS_SAVE_WRITE_FAILED", "The repaired archive could not be written; nothing was kept:"},
        {"IDS_SAVE_READ_FAILED", "The damaged archive could not be read while saving; nothing was written:"},
        {"IDS_SAVE_NAME_FAILED", "The repaired archive could not be given its name; nothing was kept:"},
        {"IDS_FOLDER_UNREADABLE", "The chosen folder could not be read:"},
        {"IDS_MTEXT3", "The chosen folder holds no part of a split archive (.z01 ... .zip or .zx01 ... .zipx)."},
        {"IDS_MTEXT4",
         "The files in the chosen folder do not belong to one split archive. Put the parts of one archive, and "
         "nothing else, in a folder of their own."},
    };
    return texts;
}

std::string Format(const char* format, std::uint64_t a, std::uint64_t b = 0) {
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, format, a, b);
    return buffer;
}

}  // namespace

std::string Text(const std::string& key) {
    const std::string text = LoadText(key, kTextCapacity);
    if (!text.empty()) return text;
    const auto found = BuiltInEnglish().find(key);
    return found != BuiltInEnglish().end() ? found->second : key;
}

const char* StatusCode(EntryStatus status) {
    switch (status) {
        case EntryStatus::kIntact: return "intact";
        case EntryStatus::kDamaged: return "damaged";
        case EntryStatus::kNotChecked: return "not-checked";
        case EntryStatus::kPartial: return "partial";
        case EntryStatus::kUnverified: break;
    }
    return "unverified";
}

const char* ReasonCode(CheckReason reason) {
    switch (reason) {
        case CheckReason::kNone: return "";
        case CheckReason::kCrcMismatch: return "crc-mismatch";
        case CheckReason::kSizeMismatch: return "size-mismatch";
        case CheckReason::kDoesNotDecode: return "does-not-decode";
        case CheckReason::kStreamCutShort: return "stream-cut-short";
        case CheckReason::kEncrypted: return "encrypted";
        case CheckReason::kMethodNotSupported: return "method-not-supported";
        case CheckReason::kUnreadable: return "unreadable";
        case CheckReason::kCutOff: return "cut-off";
        case CheckReason::kLongerThanDeclared: return "longer-than-declared";
    }
    return "";
}

std::string MethodName(std::uint16_t m) {
    switch (m) {
        case method::kStored: return "stored";
        case method::kShrink: return "Shrink";
        case 2: case 3: case 4: case 5: return "Reduce";
        case method::kImplode: return "Implode";
        case method::kDeflate: return "Deflate";
        case method::kDeflate64: return "Deflate64";
        case method::kBzip2: return "bzip2";
        case method::kLzma: return "LZMA";
        case method::kZstd: return "zstd";
        case method::kXz: return "xz";
        case method::kPpmd: return "PPMd";
        case method::kAes: return "AES";
        default: return "method " + std::to_string(m);
    }
}

std::string ReasonText(const EntryCheck& check, std::uint32_t storedCrc, std::uint64_t storedSize) {
    switch (check.reason) {
        case CheckReason::kNone: return "";
        case CheckReason::kCrcMismatch:
            return Format("CRC-32 is %08" PRIx64 ", stored %08" PRIx64, check.decodedCrc, storedCrc);
        case CheckReason::kSizeMismatch:
            return Format("decodes to %" PRIu64 " bytes, stored size %" PRIu64, check.decodedSize, storedSize);
        case CheckReason::kDoesNotDecode:
            return Format("data does not decode at byte %" PRIu64, check.failureOffset);
        case CheckReason::kStreamCutShort:
            return Format("compressed data ends early, after %" PRIu64 " bytes", check.failureOffset);
        case CheckReason::kEncrypted: return "encrypted";
        case CheckReason::kMethodNotSupported: return MethodName(check.method) + " not supported";
        case CheckReason::kUnreadable: return "could not be read";
        case CheckReason::kCutOff:
            return Format("cut off, %" PRIu64 " bytes recovered", check.decodedSize);
        case CheckReason::kLongerThanDeclared:
            return Format("decodes to more than its stored size of %" PRIu64 " bytes", storedSize);
    }
    return "";
}

const char* FindingCode(FindingKind kind) {
    switch (kind) {
        case FindingKind::kExtentPastEnd: return "extent-past-end";
        case FindingKind::kNameLengthInvalid: return "name-length-invalid";
        case FindingKind::kDescriptorNotFound: return "descriptor-not-found";
        case FindingKind::kInsideEntryData: return "inside-entry-data";
        case FindingKind::kPartMissing: return "part-missing";
        case FindingKind::kUnreadable: return "unreadable";
        case FindingKind::kDataDoesNotDecode: return "data-does-not-decode";
        case FindingKind::kCentralDirectorySkipped: return "central-directory-skipped";
        case FindingKind::kRecoveredFromCentral: return "recovered-from-central";
        case FindingKind::kCentralRecordMismatch: return "central-record-mismatch";
        case FindingKind::kStrayPart: return "stray-part";
        case FindingKind::kPartJoinedByEntries: return "part-joined-by-entries";
        case FindingKind::kSizeFieldCorrected: return "size-field-corrected";
        case FindingKind::kEntryCutAtHeader: return "entry-cut-at-header";
        case FindingKind::kSwallowingHeaderDropped: return "swallowing-header-dropped";
        case FindingKind::kLocalFieldFromCentral: return "local-field-from-central";
        case FindingKind::kNameConflictDecided: return "name-conflict-decided";
        case FindingKind::kHeaderMadeReadable: return "header-made-readable";
    }
    return "unknown";
}

const char* FindingFieldCode(FindingField field) {
    switch (field) {
        case FindingField::kNone: return "";
        case FindingField::kCompressedSize: return "compressed-size";
        case FindingField::kUncompressedSize: return "uncompressed-size";
        case FindingField::kCrc32: return "crc32";
        case FindingField::kMethod: return "method";
        case FindingField::kFlags: return "flags";
        case FindingField::kVersionNeeded: return "version-needed";
        case FindingField::kName: return "name";
        case FindingField::kExtraField: return "extra-field";
        case FindingField::kModTime: return "modified";
    }
    return "";
}

const char* FindingBasisCode(FindingBasis basis) {
    switch (basis) {
        case FindingBasis::kNone: return "";
        case FindingBasis::kStreamEnd: return "stream-end";
        case FindingBasis::kDataVerifies: return "data-verifies";
        case FindingBasis::kNextHeader: return "next-header";
        case FindingBasis::kCentralRecord: return "central-record";
        case FindingBasis::kReadersRefuse: return "readers-refuse";
        case FindingBasis::kOtherRecordDamaged: return "other-record-damaged";
    }
    return "";
}

namespace {

std::string FieldValue(FindingField field, std::uint64_t value) {
    switch (field) {
        case FindingField::kCrc32: return Format("%08" PRIx64, value);
        case FindingField::kFlags:
        case FindingField::kVersionNeeded: return Format("0x%04" PRIx64, value);
        case FindingField::kExtraField: return Format("%" PRIu64 " bytes", value);
        case FindingField::kModTime: {
            char text[80];
            std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", 1980u + unsigned(value >> 25),
                          unsigned(value >> 21) & 0xFu, unsigned(value >> 16) & 0x1Fu, unsigned(value >> 11) & 0x1Fu,
                          unsigned(value >> 5) & 0x3Fu, (unsigned(value) & 0x1Fu) * 2);
            return text;
        }
        default: return Format("%" PRIu64, value);
    }
}

const char* BasisText(FindingBasis basis) {
    switch (basis) {
        case FindingBasis::kNone: return "nothing confirms either";
        case FindingBasis::kStreamEnd: return "the compressed stream ends there";
        case FindingBasis::kDataVerifies: return "the data check with it";
        case FindingBasis::kNextHeader: return "an entry of its own begins there";
        case FindingBasis::kCentralRecord: return "the intact central record says so";
        case FindingBasis::kReadersRefuse: return "readers refuse the other";
        case FindingBasis::kOtherRecordDamaged: return "the other record holds values no writer makes";
    }
    return "";
}

// "compressed size 934 kept, 1234 given up: the compressed stream ends there"
std::string DecidedText(const ScanFinding& f, const char* what) {
    if (f.field == FindingField::kName)
        return std::string(what) + ": name \"" + f.name + "\" kept, \"" + f.otherName + "\" given up: " +
               BasisText(f.basis);
    std::string field = FindingFieldCode(f.field);
    for (char& c : field)
        if (c == '-') c = ' ';
    return std::string(what) + ": " + field + " " + FieldValue(f.field, f.won) + " kept, " +
           FieldValue(f.field, f.lost) + " given up: " + BasisText(f.basis);
}

}  // namespace

std::string FindingText(const ScanFinding& finding) {
    switch (finding.kind) {
        case FindingKind::kExtentPastEnd: return "the entry's data runs past the end of the file";
        case FindingKind::kNameLengthInvalid: return "the name length is invalid";
        case FindingKind::kDescriptorNotFound: return "the data descriptor was not found";
        case FindingKind::kInsideEntryData: return "the header lies inside another entry's data";
        case FindingKind::kPartMissing: return "the entry runs into a missing part";
        case FindingKind::kUnreadable: return "the bytes could not be read";
        case FindingKind::kDataDoesNotDecode: return "the entry's data does not decode";
        case FindingKind::kCentralDirectorySkipped: return "a central directory was stepped over";
        case FindingKind::kRecoveredFromCentral: return "the local header was rebuilt from its central record";
        case FindingKind::kCentralRecordMismatch:
            if (finding.field == FindingField::kNone) return "the central record disagrees with the local header";
            return DecidedText(finding, "the central record disagrees with the local header");
        case FindingKind::kSizeFieldCorrected: return DecidedText(finding, "a size field the data refute");
        case FindingKind::kEntryCutAtHeader:
            return DecidedText(finding, "the unverified entry holds an entry of its own");
        case FindingKind::kSwallowingHeaderDropped:
            return "the header reaches over an entry of its own and its data do not verify";
        case FindingKind::kLocalFieldFromCentral:
            return DecidedText(finding, "a damaged local field replaced from the central record");
        case FindingKind::kNameConflictDecided:
            return DecidedText(finding, "the local and central names differ");
        case FindingKind::kHeaderMadeReadable: return DecidedText(finding, "a field readers refuse written sound");
        case FindingKind::kStrayPart:
            return "the file is named like a part, but another file is that part or the set has no such part; "
                   "it was set aside";
        case FindingKind::kPartJoinedByEntries:
            return "the part's size differs from the other parts'; it was joined where its entries line up";
    }
    return "";
}

}  // namespace vrz::cli
