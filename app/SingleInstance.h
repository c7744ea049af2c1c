// Only one copy of the wizard runs per user: a second start says so, brings
// the running copy's window to the front and ends.
#pragma once

#include <csignal>
#include <string>

class wxSingleInstanceChecker;
class wxTopLevelWindow;

constexpr const char* kSingleInstanceName = "GLOBAL-VTZIPREPAIR";

// The signal a second start sends the running copy to bring its window forward.
constexpr int kComeForwardSignal = SIGUSR1;

// Takes the lock into checker. False, after showing why, when another copy
// runs (IDS_RUNNING1 + IDS_RUNNING2; that copy is then asked to come
// forward) or the lock cannot be made (IDS_RUNNING4).
bool TakeSingleInstanceLock(wxSingleInstanceChecker& checker);

// The process id the running copy wrote into its lock file; 0 when unknown.
long RunningCopyPid(const std::string& lockPath);

// In the running copy: shows window, restored and raised.
void BringToFront(wxTopLevelWindow& window);
