// What the updater does, apart from its windows. A packaged program is
// updated by the system's package manager, so there is nothing to download:
// the silent check at the wizard's start does nothing, and the check from the
// help menu says where updates come from and offers the project page.
#pragma once

#include <string>
#include <vector>

namespace vrz::updater {

struct UpdateRequest {
    bool silent = false;  // "/SilentCheck": started by the wizard, shows nothing
};

// Reads the updater's arguments ("/SilentCheck", "/NoIcon", "/NoUpdateSelf");
// unknown ones are ignored, as the wizard may pass more in later versions.
UpdateRequest ParseUpdateArguments(const std::vector<std::string>& args);

// The windows the check needs; the program supplies real ones, tests fakes.
class UpdatePrompt {
public:
    virtual ~UpdatePrompt() = default;
    // A Yes/No question; true when the answer is Yes.
    virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;
    // Opens a web address in the browser; false when that failed.
    virtual bool OpenAddress(const std::string& address) = 0;
    virtual void ShowError(const std::string& text, const std::string& caption) = 0;
};

std::string UpdateNoticeText(const std::string& version);
std::string UpdateCaption();

// Runs the check and returns the process's exit status: 0, or 1 when the
// project page was asked for and could not be opened.
int RunUpdateCheck(const UpdateRequest& request, const std::string& version, const std::string& projectAddress,
                   UpdatePrompt& prompt);

}  // namespace vrz::updater
