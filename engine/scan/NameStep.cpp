#include "scan/NameStep.h"

#include <algorithm>

namespace vrz {

std::string_view NameStep::ReferenceFolderOf(std::string_view name) {
    const auto last = name.rfind('/');
    if (last == std::string_view::npos) return {};
    const auto first = name.find('/');
    if (first == last) {
        if (last + 1 == name.size()) return {};  // a top-level folder such as docs/
        return name.substr(0, first + 1);
    }
    // The grandparent of the entry: up to and including the second-to-last slash.
    const auto second = name.rfind('/', last - 1);
    return name.substr(0, second + 1);
}

void NameStep::Remember(std::string_view tableName) {
    if (tableName.empty() || tableName.back() != '/' || known_.count(tableName) != 0) return;
    known_.insert(storage_.View(storage_.Add(tableName)));
}

void NameStep::Decide(const std::string& headerName, std::string* tableName) const {
    const std::string_view reference = ReferenceFolderOf(headerName);
    if (reference.empty() || known_.count(reference) != 0)
        *tableName = headerName;
    else
        *tableName = LostFilesName(headerName);
}

}  // namespace vrz
