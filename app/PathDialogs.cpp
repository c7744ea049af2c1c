#include "PathDialogs.h"

#include <fnmatch.h>

#include <wx/tokenzr.h>

#include "UiText.h"
#include "text/IniFile.h"
#include "text/LanguageTexts.h"
#include "text/ProgramPaths.h"

namespace {

constexpr const char* kLastFolderKey = "LastFolder";
constexpr std::size_t kPathCapacity = 4097;

// "zip" -> "*.[zZ][iI][pP]".
wxString AnyCaseExtensionPattern(const wxString& extension) {
    wxString pattern = "*.";
    for (const wxUniChar c : extension) {
        pattern << '[' << wxString(c).Lower() << wxString(c).Upper() << ']';
    }
    return pattern;
}

}  // namespace

wxString ArchiveFilePatterns() { return AnyCaseExtensionPattern("zip") + ";" + AnyCaseExtensionPattern("zipx"); }

bool MatchesArchivePatterns(const wxString& fileName) {
    const std::string name = ToUtf8(fileName);
    wxStringTokenizer patterns(ArchiveFilePatterns(), ";");
    while (patterns.HasMoreTokens()) {
        if (::fnmatch(ToUtf8(patterns.GetNextToken()).c_str(), name.c_str(), FNM_PERIOD) == 0) return true;
    }
    return false;
}

wxString LastSourceFolder() {
    return FromUtf8(vrz::ReadIniString(vrz::CurrentProgramPaths().settingsPath, vrz::kSettingsSection,
                                       kLastFolderKey, kPathCapacity));
}

void RememberSourceFolder(const wxString& folder) {
    if (folder.empty()) return;
    vrz::WriteIniString(vrz::CurrentProgramPaths().settingsPath, vrz::kSettingsSection, kLastFolderKey,
                        ToUtf8(folder));
}

ArchiveFileDialog::ArchiveFileDialog(wxWindow* parent)
    : wxFileDialog(parent, wxFileSelectorPromptStr, LastSourceFolder(), wxString(),
                   LoadUiText("IDS_ARCHIVE_FILES", vrz::kTextCapacity) + "|" + ArchiveFilePatterns() + "|" +
                       LoadUiText("IDS_ALL_FILES", vrz::kTextCapacity) + "|*",
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
    : wxDirDialog(parent, title, LastSourceFolder(), wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST) {}

void PartsFolderDialog::SetPath(const wxString& path) {
    m_setPath = path;
    wxDirDialog::SetPath(path);
}

wxString PartsFolderDialog::GetPath() const {
    const wxString chosen = wxDirDialog::GetPath();
    return chosen.empty() ? m_setPath : chosen;
}
