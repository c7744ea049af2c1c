#include "XCmdBtnReset.h"

#include <wx/window.h>

int g_hotButtonId = -1;

wxDEFINE_EVENT(EVT_XCMDBTN_RESET, wxCommandEvent);

void SendXCmdBtnReset(wxWindow* target, int id, long extra) {
    if (target == nullptr) return;
    wxCommandEvent reset(EVT_XCMDBTN_RESET, target->GetId());
    reset.SetInt(id);
    reset.SetExtraLong(extra);
    // Like a sent window message: the receiver handles it, nobody above it.
    reset.StopPropagation();
    target->GetEventHandler()->ProcessEvent(reset);
}

void ForwardXCmdBtnReset(wxWindow* parent, const wxCommandEvent& reset) {
    const int id = reset.GetInt();
    for (wxWindow* child : parent->GetChildren()) {
        if (child->GetId() == id) {
            SendXCmdBtnReset(child, 0, 0);
            return;
        }
    }
}
