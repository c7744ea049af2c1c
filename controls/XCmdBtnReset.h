// The page-wide hot button: at most one sticky command button of a page
// shows its hover image. A button asks its parent to reset another button
// with EVT_XCMDBTN_RESET; the parent passes it on to the child named by id.
#pragma once

#include <wx/event.h>

// Control id of the button that last became hot; -1 when none. Pages set it
// to -1 when they are created and destroyed.
extern int g_hotButtonId;

// The event's int is the id of the button to reset; its extra long is 1 when
// a newly hovered button clears the previous hot one, else 0.
wxDECLARE_EVENT(EVT_XCMDBTN_RESET, wxCommandEvent);

#define EVT_XCMDBTN_RESET_HANDLER(func) \
    wx__DECLARE_EVT0(EVT_XCMDBTN_RESET, wxCommandEventHandler(func))

// Delivers a reset to exactly one handler, without passing it further up.
void SendXCmdBtnReset(wxWindow* target, int id, long extra);

// What a parent does with a reset from one of its buttons: forwards it, with
// 0 and 0, to its child of that id; nothing when it has none.
void ForwardXCmdBtnReset(wxWindow* parent, const wxCommandEvent& reset);
