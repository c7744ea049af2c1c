// Ids of the embedded images (EmbeddedResources.h), grouped by where they
// are shown. Button images come in sets: normal, hover, pressed.
#pragma once

namespace vrz {

// Program icon: 256 px; kProgramIconSmallerSizes via FindEmbeddedIcon.
constexpr int IDI_PROGRAM = 102;
constexpr int kProgramIconSmallerSizes[] = {48, 32, 16};

// Chrome of every step page.
constexpr int IDB_LOGO_SMALL = 289;          // 93x21, top band
constexpr int IDB_HELP_LINK_NORMAL = 109;    // 16x16, top band
constexpr int IDB_HELP_LINK_HOVER = 257;
constexpr int IDB_HELP_LINK_PRESSED = 110;
constexpr int IDB_FAQ_LINK = 233;            // 16x16, top band
constexpr int IDB_TIPS_LINK = 235;           // 16x16, bottom band
constexpr int IDB_SOCIAL_LINK = 276;         // 16x16, bottom band
constexpr int IDB_HOME_NORMAL = 112;         // 32x32, blue band
constexpr int IDB_HOME_HOVER = 111;
constexpr int IDB_HOME_PRESSED = 113;
constexpr int IDB_HOME_DISABLED = 313;

// Source, repair and save pages.
constexpr int IDB_SMALL_BUTTON_NORMAL = 311;   // 104x26: browse, cancel
constexpr int IDB_SMALL_BUTTON_HOVER = 310;
constexpr int IDB_SMALL_BUTTON_PRESSED = 312;
constexpr int IDB_REPAIR_BUTTON_NORMAL = 315;  // 383x99
constexpr int IDB_REPAIR_BUTTON_HOVER = 314;
constexpr int IDB_REPAIR_BUTTON_PRESSED = 316;
constexpr int IDB_SAVE_BUTTON_NORMAL = 325;    // 383x99
constexpr int IDB_SAVE_BUTTON_HOVER = 324;
constexpr int IDB_SAVE_BUTTON_PRESSED = 326;
constexpr int IDR_ANIMATION_SCANNING = 335;    // 400x100 GIF, repair page
constexpr int IDR_ANIMATION_SAVING = 336;      // 400x100 GIF, save page

// Preview page; the folder and file icons also sit in the browse menu.
constexpr int IDB_NEXT_NORMAL = 331;  // 32x32, blue band
constexpr int IDB_NEXT_HOVER = 330;
constexpr int IDB_NEXT_PRESSED = 332;
constexpr int IDB_FOLDER = 328;       // 16x16, alpha instead of a black key
constexpr int IDB_FILE = 329;         // 16x16, alpha instead of a black key

// Help menu items, 16x16.
constexpr int IDB_MENU_HELP = 121;
constexpr int IDB_MENU_UPDATE = 122;
constexpr int IDB_MENU_ABOUT = 123;
constexpr int IDB_MENU_SUPPORT = 338;
constexpr int IDB_MENU_CHECKED = 1055;    // language in use
constexpr int IDB_MENU_UNCHECKED = 299;   // fully transparent

// Tips note.
constexpr int IDB_TIPS_CLOSE = 303;  // 16x16
constexpr int IDB_TIPS_ICON = 337;   // 24x24

// About box.
constexpr int IDB_ABOUT_LOGO = 604;   // 204x44, drawn stretched to 310x44
constexpr int IDB_ABOUT_CLOSE = 605;  // 18x18
constexpr int IDB_ABOUT_OK = 606;     // 109x43, "OK" is part of the image

}  // namespace vrz
