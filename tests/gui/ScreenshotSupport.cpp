#include "ScreenshotSupport.h"

#include <chrono>
#include <cstdlib>

#include <gtest/gtest.h>
#include <wx/window.h>

#include "ArchiveFixtures.h"
#include "GuiTestSupport.h"
#include "text/LanguageTexts.h"

namespace vrz::guitest {

namespace {
std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}
}  // namespace

std::string ScreenshotFolder() { return Env("VRZ_SCREENSHOT_DIR"); }

void UseScreenshotLanguage() {
    const std::string language = Env("VRZ_SCREENSHOT_LANGUAGE");
    vrz::SelectLanguage(language.empty() ? 0 : std::atoi(language.c_str()));
}

void CaptureScreen(const wxWindow& window, wxRect rect, const std::string& name) {
    Pump(std::chrono::milliseconds(600));
    // Under GDK_SCALE the screen has more pixels than the window's coordinates.
    const double scale = window.GetContentScaleFactor();
    rect = wxRect(static_cast<int>(rect.x * scale), static_cast<int>(rect.y * scale),
                  static_cast<int>(rect.width * scale), static_cast<int>(rect.height * scale));
    const std::string file = ScreenshotFolder() + "/" + name + Env("VRZ_SCREENSHOT_SUFFIX") + ".png";
    const std::string geometry = std::to_string(rect.width) + "x" + std::to_string(rect.height) + "+" +
                                 std::to_string(rect.x) + "+" + std::to_string(rect.y);
    std::string output;
    EXPECT_EQ(RunCommand("import -window root -crop " + geometry + " +repage " + Quote(file), &output), 0) << output;
}

}  // namespace vrz::guitest
