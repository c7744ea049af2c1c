// Pictures for the documentation (scripts/screenshots): where they go, the
// language and name suffix of this run, and grabbing a window's area.
#pragma once

#include <string>

#include <wx/gdicmn.h>

class wxWindow;

namespace vrz::guitest {

// The folder named by VRZ_SCREENSHOT_DIR; empty when no pictures are wanted.
std::string ScreenshotFolder();

// Chooses the language of VRZ_SCREENSHOT_LANGUAGE (an index, English when unset).
void UseScreenshotLanguage();

// Lets everything paint, then grabs rect (in window coordinates of the
// desktop, scaled like window's content) into folder/name + suffix + ".png".
void CaptureScreen(const wxWindow& window, wxRect rect, const std::string& name);

}  // namespace vrz::guitest
