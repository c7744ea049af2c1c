// Window ids of the wizard: the pages, the navigation commands the frame
// understands, the chrome controls every page carries and the menu commands.
#pragma once

namespace wizard {

// Step pages, children of the frame.
constexpr int kPageSource = 1013;
constexpr int kPageRepair = 1014;
constexpr int kPagePreview = 1015;
constexpr int kPageSave = 1016;

// Navigation commands sent to the frame. They share their numbers with the
// home (120) and repair (368) buttons but never travel as button events: a
// page asks for a step through StepPage::SendNavigation, a queued call to
// CMainFrame::Navigate, while a click is a wxEVT_BUTTON that its page handles.
constexpr int kShowSource = 120;
constexpr int kShowRepair = 368;
constexpr int kShowPreview = 374;
constexpr int kShowSave = 375;

// Chrome controls.
constexpr int kLogo = 365;
constexpr int kHelpLink = 108;
constexpr int kFaqLink = 348;
constexpr int kTipsButton = 343;
constexpr int kSocialLink = 350;
constexpr int kHomeButton = 120;

// wx menus take item ids below 32767; the menu commands (40011 and up) are
// carried by menu items this much lower and handled under these ids.
constexpr int kMenuItemIdOffset = 20000;
constexpr int MenuItemId(int command) { return command - kMenuItemIdOffset; }

// Help menu (menu resource 120).
constexpr int kMenuHelp = 40011;
constexpr int kMenuUpdate = 40012;
constexpr int kMenuAbout = 40013;
constexpr int kMenuSupport = 40050;
constexpr int kMenuLanguageFirst = 40043;  // + language index 0..4
constexpr int kMenuLanguageLast = 40047;

// Browse menu (menu resource 327) of the source step.
constexpr int kMenuBrowseFile = 40048;
constexpr int kMenuBrowseFolder = 40049;

// Controls of the source, repair and save steps.
constexpr int kBrowseButton = 367;
constexpr int kRepairButton = 368;
constexpr int kSourcePathBox = 369;
constexpr int kProgressBar = 370;
constexpr int kCancelButton = 371;
constexpr int kAnimation = 379;

}  // namespace wizard
