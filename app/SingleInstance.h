// Only one copy of the wizard runs per user: a second start says so and ends.
#pragma once

class wxSingleInstanceChecker;

constexpr const char* kSingleInstanceName = "GLOBAL-VTZIPREPAIR";

// Takes the lock into checker. False, after showing why, when another copy
// runs (IDS_RUNNING1 + IDS_RUNNING2) or the lock cannot be made (IDS_RUNNING4).
bool TakeSingleInstanceLock(wxSingleInstanceChecker& checker);
