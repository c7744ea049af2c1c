// Decides the name a found entry gets in the table: its own name when it lies
// at the top level or its reference folder was found before it, else a name
// inside the virtual folder "#Lost Files/". A folder entry whose parent is
// missing is filed there too: it is kept, like every entry found.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

#include "state/LostFilesName.h"
#include "state/NameArena.h"

namespace vrz {

class NameStep {
public:
    // Sets *tableName. Names are compared byte for byte.
    void Decide(const std::string& headerName, std::string* tableName) const;
    // Makes a row's final name known to later entries. Reference folders
    // always end with '/', so only folder names need remembering.
    void Remember(std::string_view tableName);
    void Clear() {
        known_.clear();
        storage_.Clear();
    }

    // The folder whose presence lets the name stand: "docs/" for "docs/a.txt",
    // and the grandparent for deeper names ("docs/" for "docs/sub/a.txt").
    // Empty for top-level names.
    static std::string ReferenceFolder(const std::string& name) { return std::string(ReferenceFolderOf(name)); }
    static std::string LostFilesName(const std::string& name) { return vrz::LostFilesName(name); }

private:
    // The same as a view into name, so that the lookup per entry allocates nothing.
    static std::string_view ReferenceFolderOf(std::string_view name);

    // Views into storage_, which never moves what it holds.
    std::unordered_set<std::string_view> known_;
    NameArena storage_;
};

}  // namespace vrz
