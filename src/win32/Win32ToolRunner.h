#pragma once
#include <string>
#include <vector>

#include "platform/ToolRunner.h"

// The command line CreateProcessW gets for an argument list: every argument in double quotes, with
// the backslashes and quotes inside escaped so the C run time hands the same list back.
std::wstring QuotedCommandLine(const std::vector<std::wstring>& arguments);

// Runs a program with CreateProcessW by its full path (no search, no command interpreter, no
// inherited handles) and waits, dispatching this thread's messages with its windows disabled.
class Win32ToolRunner : public ToolRunner {
public:
    ToolOutcome RunAndWait(const ToolLaunch& launch) override;
    // A 64-bit build, or a 32-bit one that IsWow64Process (looked up at run time) says runs on
    // 64-bit Windows.
    bool SystemIs64Bit() override;
};
