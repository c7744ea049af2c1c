#include "GuiTestSupport.h"

#include <thread>

#include <wx/app.h>
#include <wx/dirdlg.h>
#include <wx/msgdlg.h>

namespace vrz::guitest {

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return done();
        wxTheApp->Yield(true);
        wxTheApp->ProcessPendingEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void Pump(std::chrono::milliseconds duration) {
    const auto deadline = std::chrono::steady_clock::now() + duration;
    PumpUntil([&] { return std::chrono::steady_clock::now() >= deadline; }, duration + std::chrono::seconds(1));
}

DialogScript::DialogScript(Answer answer) : answer_(std::move(answer)) {
    Register();
}

DialogScript::~DialogScript() {
    Unregister();
}

int DialogScript::Enter(wxDialog* dialog) {
    ShownDialog shown;
    if (auto* box = dynamic_cast<wxMessageDialog*>(dialog)) {
        shown.kind = "message";
        shown.message = box->GetMessage().ToStdString(wxConvUTF8);
        shown.caption = box->GetCaption().ToStdString(wxConvUTF8);
        shown.style = box->GetMessageDialogStyle();
    } else if (dynamic_cast<wxDirDialog*>(dialog) != nullptr) {
        shown.kind = "dir";
        shown.caption = dialog->GetTitle().ToStdString(wxConvUTF8);
    } else {
        shown.kind = wxString(dialog->GetClassInfo()->GetClassName()).ToStdString();
        shown.caption = dialog->GetTitle().ToStdString(wxConvUTF8);
    }
    shown_.push_back(shown);
    return answer_(dialog, shown_.back());
}

int DialogScript::CountMessages(const std::string& text) const {
    int count = 0;
    for (const ShownDialog& shown : shown_) {
        if (shown.kind == "message" && shown.message == text) ++count;
    }
    return count;
}

int DialogScript::CountMessagesStartingWith(const std::string& prefix) const {
    int count = 0;
    for (const ShownDialog& shown : shown_) {
        if (shown.kind == "message" && shown.message.rfind(prefix, 0) == 0) ++count;
    }
    return count;
}

}  // namespace vrz::guitest
