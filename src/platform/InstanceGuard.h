#pragma once
#include <string_view>

enum class InstanceStatus {
    First,           // the guard was created: no other copy holds it
    AlreadyRunning,  // another running copy holds the guard
    Failed,          // the guard could not be created
};

// Marks that a copy of the program runs, for exactly the lifetime of the process: the guard is
// never released by the program, so it vanishes with the process however that ends.
class InstanceGuard {
public:
    virtual ~InstanceGuard() = default;
    virtual InstanceStatus CreateInstanceMutex(std::string_view name) = 0;
};
