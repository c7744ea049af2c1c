#include "HelpMenu.h"

#include <wx/menu.h>

#include "ImageResources.h"
#include "ResourceIds.h"
#include "WizardIds.h"
#include "text/ProgramPaths.h"

namespace {

void AppendWithBitmap(wxMenu* menu, int id, const wxString& text, int bitmapId) {
    auto* item = new wxMenuItem(menu, wizard::MenuItemId(id), text);
    const wxBitmap bitmap = LoadPngResource(bitmapId);
    if (bitmap.IsOk()) item->SetBitmap(bitmap);
    menu->Append(item);
}

}  // namespace

wxMenu* BuildHelpMenu(int currentLanguage) {
    auto* languages = new wxMenu;
    for (int index = 0; index < vrz::kLanguageCount; ++index) {
        AppendWithBitmap(languages, wizard::kMenuLanguageFirst + index, vrz::kLanguageNames[index],
                         index == currentLanguage ? vrz::IDB_MENU_CHECKED : vrz::IDB_MENU_UNCHECKED);
    }
    auto* menu = new wxMenu;
    menu->AppendSubMenu(languages, "&Language");
    AppendWithBitmap(menu, wizard::kMenuHelp, "&Help", vrz::IDB_MENU_HELP);
    AppendWithBitmap(menu, wizard::kMenuSupport, "&Support", vrz::IDB_MENU_SUPPORT);
    AppendWithBitmap(menu, wizard::kMenuUpdate, "&Update", vrz::IDB_MENU_UPDATE);
    AppendWithBitmap(menu, wizard::kMenuAbout, "&About", vrz::IDB_MENU_ABOUT);
    return menu;
}

wxMenu* BuildBrowseMenu() {
    auto* menu = new wxMenu;
    AppendWithBitmap(menu, wizard::kMenuBrowseFile, "&Browse File(zip/zipx)", vrz::IDB_FILE);
    AppendWithBitmap(menu, wizard::kMenuBrowseFolder, "&Browse Folder with splitted file parts", vrz::IDB_FOLDER);
    return menu;
}
