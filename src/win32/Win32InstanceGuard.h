#pragma once
#include "platform/InstanceGuard.h"

// A named kernel mutex, not initially owned, with default security. Its handle is deliberately
// never closed: the name then exists for exactly as long as this process runs.
class Win32InstanceGuard : public InstanceGuard {
public:
    InstanceStatus CreateInstanceMutex(std::string_view name) override;
};
