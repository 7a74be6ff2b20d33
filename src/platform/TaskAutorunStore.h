#pragma once
#include "platform/AutorunStore.h"
#include "platform/LogonTask.h"

// Autorun that really starts the program: it runs elevated, and with user account control on,
// Windows does not start such a program from a Run value at logon. So the entry is a logon task,
// and the Run value only where the system has no task scheduler for it. Never both: with user
// account control off both would start the program and the second copy would ask whether to run.
class TaskAutorunStore : public AutorunStore {
public:
    TaskAutorunStore(LogonTask& task, AutorunStore& runValue) : task(task), runValue(runValue) {}

    // The task, then any Run value (an older version's included) goes. When that value cannot be
    // removed, the task goes again and the removal's failure is the result.
    long SetAutorun() override;
    // Both entries; the first failure is the result.
    long RemoveAutorun() override;
    // 0 when the task exists, else what the Run value store says.
    int IsAutorunSet() override;

private:
    LogonTask& task;
    AutorunStore& runValue;
};
