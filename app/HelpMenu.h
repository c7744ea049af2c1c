// The popup menus of the pages, built in code: the help menu (with its
// language submenu) and the source step's browse menu. Item ids are
// wizard::MenuItemId(command).
#pragma once

class wxMenu;

// Language (the five languages, the check image on currentLanguage), Help,
// Support, Update, About, in the current language. The caller owns the menu.
wxMenu* BuildHelpMenu(int currentLanguage);

// Browse for one archive file, or for a folder of split parts.
wxMenu* BuildBrowseMenu();
