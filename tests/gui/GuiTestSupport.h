// Helpers for tests that run real windows under a virtual display: pumping
// the event loop until something happened, and answering modal dialogs.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <wx/dialog.h>
#include <wx/modalhook.h>

namespace vrz::guitest {

// Runs pending events, timers and CallAfter calls until done() or timeout.
// Returns done().
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(20));
// Runs the event loop for a while.
void Pump(std::chrono::milliseconds duration);

// One modal dialog as the code under test asked for it.
struct ShownDialog {
    std::string kind;     // "message", "dir" or the dialog's class name
    std::string message;  // a message box's text (UTF-8)
    std::string caption;  // its caption, or a dialog's title
    long style = 0;       // a message box's style (icons, buttons)
};

// Answers every modal dialog instead of showing it, and keeps a record.
// The answer function gets the dialog and what was recorded of it; its
// result is what ShowModal returns (wxID_OK, wxID_YES, ...).
class DialogScript : public wxModalDialogHook {
public:
    using Answer = std::function<int(wxDialog*, const ShownDialog&)>;
    explicit DialogScript(Answer answer);
    ~DialogScript() override;

    const std::vector<ShownDialog>& Shown() const { return shown_; }
    // Message boxes whose text is exactly text.
    int CountMessages(const std::string& text) const;
    // Message boxes whose text starts with prefix.
    int CountMessagesStartingWith(const std::string& prefix) const;

protected:
    int Enter(wxDialog* dialog) override;
    void Exit(wxDialog*) override {}

private:
    Answer answer_;
    std::vector<ShownDialog> shown_;
};

}  // namespace vrz::guitest
