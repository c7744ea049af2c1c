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
    // A folder keeps its own last component and its trailing '/'.
    const bool folder = !name.empty() && name.back() == '/';
    const std::string path = folder ? name.substr(0, name.size() - 1) : name;
    const auto slash = path.rfind('/');
    const std::string last = slash == 0 || slash == std::string::npos ? path : path.substr(slash + 1);
    return kLostFilesFolder + last + (folder ? "/" : "");
}

void NameStep::Decide(const std::string& headerName, std::string* tableName) const {
    const std::string reference = ReferenceFolder(headerName);
    if (reference.empty() || known_.count(reference) != 0)
        *tableName = headerName;
    else
        *tableName = LostFilesName(headerName);
}

}  // namespace vrz
