#include "HelpMenu.h"

#include <dlfcn.h>

#include <wx/menu.h>

#include "ImageResources.h"
#include "ResourceIds.h"
#include "UiText.h"
#include "WizardIds.h"
#include "text/LanguageTexts.h"
#include "text/ProgramPaths.h"

namespace {

// GTK 3 hides menu item images unless each item asks to show its own. The
// calls are looked up in the GTK library wx already uses, so the build needs
// no GTK headers; without them the menu just shows no images.
void AlwaysShowImage(wxMenuItem* item) {
    using GetType = unsigned long (*)();
    using IsA = int (*)(void*, unsigned long);
    using SetAlwaysShow = void (*)(void*, int);
    static const auto getType = reinterpret_cast<GetType>(dlsym(RTLD_DEFAULT, "gtk_image_menu_item_get_type"));
    static const auto isA = reinterpret_cast<IsA>(dlsym(RTLD_DEFAULT, "g_type_check_instance_is_a"));
    static const auto setAlwaysShow =
        reinterpret_cast<SetAlwaysShow>(dlsym(RTLD_DEFAULT, "gtk_image_menu_item_set_always_show_image"));
    void* widget = item->GetMenuItem();
    if (!getType || !isA || !setAlwaysShow || widget == nullptr) return;
    if (isA(widget, getType())) setAlwaysShow(widget, 1);
}

void AppendWithBitmap(wxMenu* menu, int id, const wxString& text, int bitmapId) {
    auto* item = new wxMenuItem(menu, wizard::MenuItemId(id), text);
    const wxBitmap bitmap = LoadPngResource(bitmapId);
    if (bitmap.IsOk()) item->SetBitmap(bitmap);
    menu->Append(item);
    AlwaysShowImage(item);
}

wxString MenuText(const char* key) { return LoadUiText(key, vrz::kTextCapacity); }

}  // namespace

wxMenu* BuildHelpMenu(int currentLanguage) {
    auto* languages = new wxMenu;
    for (int index = 0; index < vrz::kLanguageCount; ++index) {
        const std::string key = "IDS_LANGUAGE" + std::to_string(index + 1);
        AppendWithBitmap(languages, wizard::kMenuLanguageFirst + index, MenuText(key.c_str()),
                         index == currentLanguage ? vrz::IDB_MENU_CHECKED : vrz::IDB_MENU_UNCHECKED);
    }
    auto* menu = new wxMenu;
    menu->AppendSubMenu(languages, MenuText("IDS_MENU_LANGUAGE"));
    AppendWithBitmap(menu, wizard::kMenuHelp, MenuText("IDS_MENU_HELP"), vrz::IDB_MENU_HELP);
    AppendWithBitmap(menu, wizard::kMenuSupport, MenuText("IDS_MENU_SUPPORT"), vrz::IDB_MENU_SUPPORT);
    AppendWithBitmap(menu, wizard::kMenuUpdate, MenuText("IDS_MENU_UPDATE"), vrz::IDB_MENU_UPDATE);
    AppendWithBitmap(menu, wizard::kMenuAbout, MenuText("IDS_MENU_ABOUT"), vrz::IDB_MENU_ABOUT);
    return menu;
}

wxMenu* BuildBrowseMenu() {
    auto* menu = new wxMenu;
    AppendWithBitmap(menu, wizard::kMenuBrowseFile, MenuText("IDS_MENU_BROWSE_FILE"), vrz::IDB_FILE);
    AppendWithBitmap(menu, wizard::kMenuBrowseFolder, MenuText("IDS_MENU_BROWSE_FOLDER"), vrz::IDB_FOLDER);
    return menu;
}
