#pragma once
#include <filesystem>
#include <string>
#include <vector>

// One run of an outside command-line program.
struct ToolLaunch {
    // Full path of the program; it is started by this path and never looked up or handed to a shell.
    std::filesystem::path program;
    // The whole argument list, the program's own name first, each argument kept as one.
    std::vector<std::string> arguments;
    // The program's current directory.
    std::filesystem::path workFolder;
};

struct ToolOutcome {
    bool started = false;  // false: the program could not be started (missing, not executable)
    int exitCode = -1;     // the program's exit code once it ended
    bool Succeeded() const { return started && exitCode == 0; }
};

// Starts outside programs and waits for them. The program's windows stay responsive but take no
// input while it waits (as under a modal dialog); the program is never stopped early.
class ToolRunner {
public:
    virtual ~ToolRunner() = default;
    virtual ToolOutcome RunAndWait(const ToolLaunch& launch) = 0;
    // Whether the system is 64-bit Windows (also when this process is a 32-bit one on it).
    virtual bool SystemIs64Bit() = 0;
};
