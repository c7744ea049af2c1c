#include "scan/SplitSetChoice.h"

#include <map>
#include <utility>

namespace vrz {

namespace {

struct Group {
    bool numbered = false;
    std::string lastName;
};

}  // namespace

SplitSetChoice ChooseSplitSet(const std::vector<std::string>& names, PartFamily family) {
    std::map<std::pair<PartFamily, std::string>, Group> groups;
    for (const std::string& name : names) {
        const PartName part = ClassifyPartName(name);
        if (part.family == PartFamily::kNone) continue;
        if (family != PartFamily::kNone && part.family != family) continue;
        Group& group = groups[{part.family, part.setKey}];
        group.numbered = group.numbered || !part.isFinal;
        group.lastName = name;
    }
    SplitSetChoice choice;
    if (groups.empty()) return choice;

    const std::pair<const std::pair<PartFamily, std::string>, Group>* chosen = nullptr;
    int numberedGroups = 0;
    for (const auto& entry : groups) {
        if (!entry.second.numbered) continue;
        ++numberedGroups;
        chosen = &entry;
    }
    // Numbered parts of two sets, or several lone archives and no parts at all,
    // do not say which archive is meant.
    if (numberedGroups > 1 || (numberedGroups == 0 && groups.size() > 1)) {
        choice.outcome = SplitSetChoice::Outcome::kMixedParts;
        return choice;
    }
    if (chosen == nullptr) chosen = &*groups.begin();
    choice.outcome = SplitSetChoice::Outcome::kFound;
    choice.family = chosen->first.first;
    choice.setKey = chosen->first.second;
    choice.lastPartName = chosen->second.lastName;
    return choice;
}

}  // namespace vrz
