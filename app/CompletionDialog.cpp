#include "CompletionDialog.h"

#include <wx/artprov.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

CompletionDialog::CompletionDialog(wxWindow* parent, const wxString& caption, const wxString& message,
                                   const wxString& list, bool warning)
    : wxDialog(parent, wxID_ANY, caption, wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      m_message(message),
      m_warning(warning) {
    auto* top = new wxBoxSizer(wxHORIZONTAL);
    const wxArtID icon = warning ? wxART_WARNING : wxART_INFORMATION;
    top->Add(new wxStaticBitmap(this, wxID_ANY, wxArtProvider::GetBitmap(icon, wxART_MESSAGE_BOX)), 0, wxALL, 10);
    auto* text = new wxStaticText(this, wxID_ANY, message);
    text->Wrap(520);
    top->Add(text, 1, wxTOP | wxRIGHT | wxBOTTOM, 10);

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(top, 0, wxEXPAND);
    m_list = new wxTextCtrl(this, wxID_ANY, list, wxDefaultPosition, wxSize(600, 240),
                            wxTE_MULTILINE | wxTE_READONLY | wxTE_DONTWRAP | wxHSCROLL);
    column->Add(m_list, 1, wxEXPAND | wxLEFT | wxRIGHT, 10);
    column->Add(CreateStdDialogButtonSizer(wxOK), 0, wxEXPAND | wxALL, 10);
    SetSizerAndFit(column);
    CentreOnParent();
}
