#pragma once
#include "gpu/CGpuControl.h"
#include "lighting/LightingLink.h"
#include "lighting/ZoneCommandSender.h"
#include "platform/Clock.h"

// Zone command sequences over the card's lighting link on the selected GPU: one frame per command,
// then the command's pause.
class LinkZoneSender : public ZoneCommandSender {
public:
    LinkZoneSender(CGpuControl& gpuControl, Clock& waitClock) : gpu(gpuControl), clock(waitClock) {}

    int Send(const ZoneSequence& sequence) override {
        LightingLink link(gpu, clock);
        bool ok = true;
        for (const ZoneCommand& command : sequence) {
            ok = link.SendFrame(command.code, command.payload.data(), uint16_t(command.payload.size())) && ok;
            if (command.pauseAfterMs != 0) link.Pause(command.pauseAfterMs);
        }
        return ok ? 0 : 1;
    }

private:
    CGpuControl& gpu;
    Clock& clock;
};
