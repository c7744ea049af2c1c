#include "scan/PartNames.h"

#include <cctype>

namespace vrz {

namespace {

std::string LowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Digits after prefix in extension, as a part number; 0 when not all digits.
int PartNumber(const std::string& extension, const std::string& prefix) {
    if (extension.size() <= prefix.size() || extension.compare(0, prefix.size(), prefix) != 0) return 0;
    long number = 0;
    for (std::size_t i = prefix.size(); i < extension.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(extension[i]))) return 0;
        number = number * 10 + (extension[i] - '0');
        if (number > 1000000) return 0;
    }
    return static_cast<int>(number);
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() > tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Volumes number with at least three digits.
constexpr std::size_t kVolumeDigits = 3;

}  // namespace

PartName ClassifyPartName(const std::string& fileName) {
    PartName part;
    const auto dot = fileName.rfind('.');
    if (dot == std::string::npos || dot == 0) return part;
    const std::string extension = LowerCase(fileName.substr(dot));
    part.base = fileName.substr(0, dot);
    if (extension == ".zip") {
        part.family = PartFamily::kZip;
        part.isFinal = true;
    } else if (extension == ".zipx") {
        part.family = PartFamily::kZipx;
        part.isFinal = true;
    } else if (const int zx = PartNumber(extension, ".zx"); zx > 0) {
        part.family = PartFamily::kZipx;
        part.number = zx;
    } else if (const int z = PartNumber(extension, ".z"); z > 0) {
        part.family = PartFamily::kZip;
        part.number = z;
    } else if (const int volume = PartNumber(extension, ".");
               volume > 0 && extension.size() > kVolumeDigits &&
               (EndsWith(LowerCase(part.base), ".zip") || EndsWith(LowerCase(part.base), ".zipx"))) {
        part.family = PartFamily::kVolumes;
        part.number = volume;
    } else {
        part.base.clear();
    }
    part.setKey = LowerCase(part.base);
    return part;
}

}  // namespace vrz
