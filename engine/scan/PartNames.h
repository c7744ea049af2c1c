// How the parts of a split archive are named: the ZIP family is base.z01,
// base.z02, … and base.zip; the ZIPX family base.zx01, … and base.zipx.
// Byte-split volumes cut one whole archive into base.zip.001, base.zip.002, …
// (or base.zipx.001, …), with no final part of their own. Names are matched
// without regard to case (SET.Z01 … SET.ZIP, as copied from systems that
// write names in capitals).
#pragma once

#include <string>

namespace vrz {

enum class PartFamily { kNone, kZip, kZipx, kVolumes };

struct PartName {
    PartFamily family = PartFamily::kNone;
    std::string base;    // the name before the extension, as written
    std::string setKey;  // base in lower case: parts of one set share it
    int number = 0;    // 1, 2, … for numbered parts; 0 for the final part
    bool isFinal = false;
};

// Classifies a file name; family kNone when it is not a part of either family.
PartName ClassifyPartName(const std::string& fileName);

}  // namespace vrz
