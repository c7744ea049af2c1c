#include "scan/NameStep.h"

#include <algorithm>

namespace vrz {

std::string NameStep::ReferenceFolder(const std::string& name) {
    const auto slashes = std::count(name.begin(), name.end(), '/');
    if (slashes == 0) return {};
    if (slashes == 1) {
        const auto slash = name.find('/');
        if (slash + 1 == name.size()) return {};  // a top-level folder such as docs/
        return name.substr(0, slash) + "/";
    }
    std::string cut = name.substr(0, name.rfind('/'));
    const auto second = cut.rfind('/');
    cut = second == std::string::npos ? std::string() : cut.substr(0, second);
    return cut + "/";
}

std::string NameStep::LostFilesName(const std::string& name) {
    const auto slash = name.rfind('/');
    const std::string last = slash == 0 ? name : name.substr(slash + 1);
    return kLostFilesFolder + last;
}

bool NameStep::Decide(const std::string& headerName, std::string* tableName) const {
    const std::string reference = ReferenceFolder(headerName);
    if (reference.empty() || known_.count(reference) != 0) {
        *tableName = headerName;
        return true;
    }
    if (headerName.back() == '/') return false;
    *tableName = LostFilesName(headerName);
    return true;
}

}  // namespace vrz
