// Tells whether a file chosen on its own is one part of a split archive whose
// other parts lie beside it: the final base.zip of base.z01, base.z02, …, or
// any volume of base.zip.001, base.zip.002, …. Repairing that file alone
// would give a silent partial result; the whole set is repaired instead.
#pragma once

#include <string>

namespace vrz {

// True when filePath belongs to the one split set of its folder; *folder is
// then that folder.
bool SplitSetBesideFile(const std::string& filePath, std::string* folder);

}  // namespace vrz
