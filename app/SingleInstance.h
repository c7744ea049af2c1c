// Only one copy of the wizard runs per user. A second start brings the
// running copy's window to the front and ends; with a file name it hands
// the file over, and the running window chooses it. The lock and the
// hand-over note live in $XDG_RUNTIME_DIR, or the settings folder without it.
#pragma once

#include <csignal>
#include <string>

#include <wx/string.h>

class wxSingleInstanceChecker;
class wxTopLevelWindow;

constexpr const char* kSingleInstanceName = "GLOBAL-VTZIPREPAIR";

// The signal a second start sends the running copy to bring its window forward.
constexpr int kComeForwardSignal = SIGUSR1;

// Where the lock file and the hand-over note are kept (created if needed).
std::string InstanceFolder();

// Takes the lock into checker. False when another copy runs: that copy is
// asked to come forward, given handOver (a path; it needs no box then) or,
// without one, the box IDS_RUNNING1 + IDS_RUNNING2 says why. False with
// IDS_RUNNING4 when the lock cannot be made.
bool TakeSingleInstanceLock(wxSingleInstanceChecker& checker, const wxString& handOver = wxString());

// The process id the running copy wrote into its lock file; 0 when unknown.
long RunningCopyPid(const std::string& lockPath);

// The hand-over note in folder: written by the second start, taken (read and
// removed) by the running copy; empty when there is none.
bool WriteHandOver(const std::string& folder, const std::string& path);
std::string TakeHandOver(const std::string& folder);

// In the running copy: shows window, restored and raised.
void BringToFront(wxTopLevelWindow& window);
