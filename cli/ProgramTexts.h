// Finds the language file the user chose without creating anything: a scan
// must not leave a settings folder behind.
#pragma once

namespace vrz::cli {

void UseProgramTexts();

}  // namespace vrz::cli
