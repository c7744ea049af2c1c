// The file and folder dialogs of the source step. On GTK a path set on a
// dialog before it ends (by the program, or by a test answering it) is not
// what GetPath() returns afterwards; these keep the two in step.
#pragma once

#include <wx/dirdlg.h>
#include <wx/filedlg.h>

class ArchiveFileDialog : public wxFileDialog {
public:
    explicit ArchiveFileDialog(wxWindow* parent);
    void SetPath(const wxString& path) override;
    wxString GetPath() const override;

private:
    wxString m_setPath;
};

class PartsFolderDialog : public wxDirDialog {
public:
    PartsFolderDialog(wxWindow* parent, const wxString& title);
    void SetPath(const wxString& path) override;
    wxString GetPath() const override;

private:
    wxString m_setPath;
};
