// The box that ends a save whose archive holds damaged, unchecked or partial
// entries: the sentence, the output file, and every such entry in a scrolled
// field (a message box would cut a long list off the screen).
#pragma once

#include <wx/dialog.h>

class wxTextCtrl;

class CompletionDialog : public wxDialog {
public:
    CompletionDialog(wxWindow* parent, const wxString& caption, const wxString& message, const wxString& list,
                     bool warning);

    const wxString& Message() const { return m_message; }
    wxTextCtrl* ListField() const { return m_list; }
    bool IsWarning() const { return m_warning; }

private:
    wxString m_message;
    wxTextCtrl* m_list = nullptr;
    bool m_warning = false;
};
