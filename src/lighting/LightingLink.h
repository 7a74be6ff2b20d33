#pragma once
#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "gpu/CGpuControl.h"
#include "lighting/LedCommands.h"
#include "platform/Clock.h"

// The one way the program talks to the card's lighting controller (I2C address 0x90 on the
// selected GPU). Every lighting window and the detection use it:
//
//   LightingLink link(gpu, clock);
//   link.SendRegisterCommand(LedCmdStatic(4, 6, 5));   // F0 04 06 A0 to register 0x00, 500 ms pause
//   link.SendFrame(0x0C, {1});                         // FF AA 00 00 31 2E 30 00 0C 00 01 01 FF 55
//   link.Pause(200);                                   // through the clock: tests do not wait
//   uint8_t reply[413];
//   link.Read(reply, sizeof reply);                    // cleared first; false when the read failed
//
// Bus results are not reported to the user: a lost command leaves the lighting as it was. Write
// and Read say whether the driver took the transaction for callers that must not show success
// after a failure; nothing here retries beyond what CGpuControl does.
class LightingLink {
public:
    LightingLink(CGpuControl& gpu, Clock& clock) : gpu(gpu), clock(clock) {}

    // One block write to `reg`. True when the driver took it.
    bool Write(uint8_t reg, const uint8_t* data, size_t length);
    // One block read of `length` bytes from register 0x00 into `buffer`, which is zeroed first so
    // a failed or short read never leaves older bytes behind. True when the driver took it.
    bool Read(uint8_t* buffer, size_t length);
    // The protocol's waits, through the clock.
    void Pause(uint32_t ms) { clock.SleepMs(ms); }

    // A register command to register 0x00 followed by its pause. True when the write was taken.
    bool SendRegisterCommand(const LedCommand& command);
    // One frame (command, payload) written to register 0x00; no pause, no read-back.
    bool SendFrame(uint8_t command, const uint8_t* payload, uint16_t length);
    bool SendFrame(uint8_t command, std::initializer_list<uint8_t> payload);

private:
    CGpuControl& gpu;
    Clock& clock;
};
