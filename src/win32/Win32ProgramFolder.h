#pragma once
#include <filesystem>

#include "platform/ProgramFolder.h"

// The folder of the running executable: its module file name up to the last backslash.
class Win32ProgramFolder : public ProgramFolder {
public:
    std::filesystem::path ExecutableDir() const override;
    // The executable's full path as the system reports it.
    static std::filesystem::path ExecutablePath();
};
