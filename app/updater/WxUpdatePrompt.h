// The updater's windows: wxWidgets message boxes and the default browser.
#pragma once

#include "UpdateCheck.h"

namespace vrz::updater {

class WxUpdatePrompt : public UpdatePrompt {
public:
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    bool OpenAddress(const std::string& address) override;
    void ShowError(const std::string& text, const std::string& caption) override;
};

}  // namespace vrz::updater
