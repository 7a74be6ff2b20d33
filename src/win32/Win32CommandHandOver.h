#pragma once
#include "platform/CommandHandOver.h"

// Finds the main windows of the other running copies (the host's dialog class with the main
// window's title, in another process) and sends them the bytes as the system's copy-data message.
class Win32CommandHandOver : public CommandHandOver {
public:
    intptr_t SendToRunningCopy(uint32_t tag, std::string_view bytes) override;
};
