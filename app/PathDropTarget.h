// Files and folders dropped from a file manager: the first one dropped is
// handed on as a path; the window decides what to do with it.
#pragma once

#include <functional>

#include <wx/dnd.h>

class PathDropTarget : public wxFileDropTarget {
public:
    using Take = std::function<bool(const wxString& path)>;
    explicit PathDropTarget(Take take) : m_take(std::move(take)) {}

    bool OnDropFiles(wxCoord x, wxCoord y, const wxArrayString& paths) override;

private:
    Take m_take;
};
