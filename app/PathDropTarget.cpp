#include "PathDropTarget.h"

bool PathDropTarget::OnDropFiles(wxCoord, wxCoord, const wxArrayString& paths) {
    // One archive is repaired at a time: the first path is the choice.
    return !paths.empty() && m_take && m_take(paths[0]);
}
