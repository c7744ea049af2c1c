#include "PageFonts.h"

bool g_isWindows6 = false;

wxFont PageFont(int pointSize) {
    return wxFont(wxFontInfo(pointSize)
                      .Family(wxFONTFAMILY_SWISS)
                      .FaceName(g_isWindows6 ? "Segoe UI" : "Trebuchet MS"));
}
