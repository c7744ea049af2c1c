#include "UpdateCheck.h"

namespace vrz::updater {

UpdateRequest ParseUpdateArguments(const std::vector<std::string>& args) {
    UpdateRequest request;
    for (const std::string& arg : args) {
        if (arg == "/SilentCheck") request.silent = true;
    }
    return request;
}

std::string UpdateCaption() { return "Vant Repair Zip Update"; }

std::string UpdateNoticeText(const std::string& version) {
    return "Vant Repair Zip " + version +
           " is installed.\n\n"
           "Updates come through your system's package manager, together with the "
           "other programs (for example: sudo apt update && sudo apt upgrade).\n\n"
           "Open the project page?";
}

int RunUpdateCheck(const UpdateRequest& request, const std::string& version, const std::string& projectAddress,
                   UpdatePrompt& prompt) {
    if (request.silent) return 0;
    if (!prompt.AskYesNo(UpdateNoticeText(version), UpdateCaption())) return 0;
    if (prompt.OpenAddress(projectAddress)) return 0;
    prompt.ShowError("The project page could not be opened: " + projectAddress +
                         "\nNo web browser is set up to open it.",
                     UpdateCaption());
    return 1;
}

}  // namespace vrz::updater
