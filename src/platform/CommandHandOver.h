#pragma once
#include <cstdint>
#include <string_view>

// Reaches the main window of another running copy of the program.
class CommandHandOver {
public:
    virtual ~CommandHandOver() = default;
    // Sends the tagged bytes to each main window of another copy until one answers; the answer,
    // or 0 when none did (none found, none answered in time, or each said no).
    virtual intptr_t SendToRunningCopy(uint32_t tag, std::string_view bytes) = 0;
};
