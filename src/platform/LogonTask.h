#pragma once

// The program's task in the system's task scheduler that starts it, with the highest rights the
// user has, when the current user logs on. Results are the system's status (0 success).
class LogonTask {
public:
    // What Register and Delete return when this system has no task scheduler that can hold the task.
    static constexpr long kUnavailable = -1;

    virtual ~LogonTask() = default;
    // Creates the task, or replaces the program's existing one.
    virtual long Register() = 0;
    // 0 also when there is no such task.
    virtual long Delete() = 0;
    virtual bool Exists() = 0;
};
