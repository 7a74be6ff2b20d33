#pragma once
#include "lighting/ZoneCommands.h"

// Where the zone page, the colour editor and the fan/voltage panel send their command sequences:
// each command goes out as one frame on the card's lighting link, followed by its pause.
class ZoneCommandSender {
public:
    virtual ~ZoneCommandSender() = default;
    // 0 when every write went through, 1 when any failed (the rest is still sent).
    virtual int Send(const ZoneSequence& sequence) = 0;
};
