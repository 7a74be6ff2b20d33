#pragma once
#include <string>

#include "platform/LogonTask.h"

// The logon task through the Task Scheduler's COM interface (no schtasks, no command shell), in the
// scheduler's root folder: a logon trigger and principal for the current user with the highest run
// level, the running executable as its action and the executable's folder as working folder, no
// time limit, started on battery too. The scheduler counts as unavailable (LogonTask::kUnavailable)
// when it cannot be created or connected, or cannot make a logon task (not implemented).
class Win32LogonTask : public LogonTask {
public:
    // "CoralvaneStartUpAutoRun <user name>": one task per user who asked for autorun.
    static std::wstring TaskName();

    long Register() override;
    long Delete() override;
    bool Exists() override;
};
