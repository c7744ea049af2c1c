// The popup menus of the pages, built in code: the help menu (with its
// language submenu) and the source step's browse menu. Item ids are
// wizard::MenuItemId(command).
#pragma once

class wxMenu;

// "&Language" (the five languages, the check image on currentLanguage),
// "&Help", "&Support", "&Update", "&About". The caller owns the menu.
wxMenu* BuildHelpMenu(int currentLanguage);

// "&Browse File(zip/zipx)" and "&Browse Folder with splitted file parts".
wxMenu* BuildBrowseMenu();
