#include "PathDialogs.h"

#include "UiText.h"
#include "text/LanguageTexts.h"

ArchiveFileDialog::ArchiveFileDialog(wxWindow* parent)
    : wxFileDialog(parent, wxFileSelectorPromptStr, wxString(), wxString(),
                   LoadUiText("IDS_ARCHIVE_FILES", vrz::kTextCapacity) + "|*.zip;*.zipx",
                   wxFD_OPEN | wxFD_FILE_MUST_EXIST) {}

void ArchiveFileDialog::SetPath(const wxString& path) {
    m_setPath = path;
    wxFileDialog::SetPath(path);
}

wxString ArchiveFileDialog::GetPath() const {
    const wxString chosen = wxFileDialog::GetPath();
    return chosen.empty() ? m_setPath : chosen;
}

PartsFolderDialog::PartsFolderDialog(wxWindow* parent, const wxString& title)
    : wxDirDialog(parent, title, wxString(), wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST) {}

void PartsFolderDialog::SetPath(const wxString& path) {
    m_setPath = path;
    wxDirDialog::SetPath(path);
}

wxString PartsFolderDialog::GetPath() const {
    const wxString chosen = wxDirDialog::GetPath();
    return chosen.empty() ? m_setPath : chosen;
}
