// The file and folder dialogs of the source step. On GTK a path set on a
// dialog before it ends (by the program, or by a test answering it) is not
// what GetPath() returns afterwards; these keep the two in step. Both open
// in the folder used last, which the settings file keeps between runs.
#pragma once

#include <string>

#include <wx/dirdlg.h>
#include <wx/filedlg.h>

// The archive filter's patterns, "*.[zZ][iI][pP];..." (GTK matches patterns
// with case, so BACKUP.ZIP needs its letters spelled both ways).
wxString ArchiveFilePatterns();
// Whether fileName is shown under the archive filter.
bool MatchesArchivePatterns(const wxString& fileName);

// The folder the source dialogs start in; empty when none was used yet.
wxString LastSourceFolder();
void RememberSourceFolder(const wxString& folder);

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
