#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "sim/SimI2cBus.h"
#include "sim/SimZoneFollow.h"

// The card's lighting controllers at I2C address 0x90, as the program meets them.
//
// Timing (a convention of this simulator, the program's protocol gives only its own pauses): each
// controller is busy for a while after a transaction, and while busy it acknowledges everything
// but does nothing useful: a register command is dropped, a status read answers zeros, and a
// framed reply read before its time answers zeros (no FF AA header). A test that leaves out one
// of the program's pauses therefore sees a lost command or a missing controller.
constexpr uint8_t kSimLightingAddress = 0x90;

// One frame as a framed controller reads it: FF AA 00 00 "1.0" command, 16-bit length, payload, FF 55.
struct SimFrame {
    uint8_t command = 0;
    std::vector<uint8_t> payload;
    friend bool operator==(const SimFrame&, const SimFrame&) = default;
};

// Reads `bytes` as exactly one well-formed frame.
bool SimReadFrame(const std::vector<uint8_t>& bytes, SimFrame& frame);
// A reply frame (bytes 2 and 3 are 0, as every controller sends them).
std::vector<uint8_t> SimMakeFrame(uint8_t command, const std::vector<uint8_t>& payload);

// The register controller: 4-byte commands to register 0x00 (F0 static, F1 breath, F2 strobe,
// F3 cycle, F7 zone off flags, F8 defaults) and a 10-byte status read from register 0x00 after
// the probe writes (four zero bytes to 0x00, then to 0xA0).
class SimRegisterController : public SimI2cDevice {
public:
    // After a command it is busy for the pause the program gives that command; after a probe write
    // for 300 ms.
    static constexpr uint32_t kCommandBusyMs = 500;
    static constexpr uint32_t kZonesBusyMs = 300;
    static constexpr uint32_t kProbeBusyMs = 300;

    SimRegisterController() = default;
    explicit SimRegisterController(const std::array<uint8_t, 10>& initial) : status(initial) {}
    std::unique_ptr<SimI2cDevice> Clone() const override {
        return std::make_unique<SimRegisterController>(*this);
    }
    bool Write(uint8_t reg, const std::vector<uint8_t>& data) override;
    bool Read(uint8_t reg, size_t length, std::vector<uint8_t>& reply) override;

    // Model, mode, colour 1, colour 2, brightness << 5, logo off, armor off, 3 unused.
    std::array<uint8_t, 10> status{2, 3, 0, 0, 0xE0, 0, 0, 0, 0, 0};
    std::vector<std::array<uint8_t, 4>> commands;  // commands taken, in order
    std::vector<std::vector<uint8_t>> dropped;     // writes that came while it was busy
    uint64_t busyUntilMs = 0;
};

// What the framed controllers share: frames written to register 0x00 are read and handed to
// OnFrame; a reply becomes readable a given time after its request.
class SimFramedController : public SimI2cDevice {
public:
    bool Write(uint8_t reg, const std::vector<uint8_t>& data) override;
    bool Read(uint8_t reg, size_t length, std::vector<uint8_t>& reply) override;

    std::vector<SimFrame> frames;  // every frame taken, in order
    size_t otherWrites = 0;        // writes that were not one well-formed frame
    std::vector<uint8_t> pendingReply;
    uint64_t replyReadyMs = 0;

protected:
    virtual void OnFrame(const SimFrame& frame) = 0;
    // The reply to the request just taken, readable `delayMs` after it.
    void Answer(std::vector<uint8_t> reply, uint32_t delayMs);
};

// The zone controller: answers the layout query (0x0D) at once and the status request (0x01)
// 200 ms later with its 400-byte status in the zone controller's layout:
//   per set (idle at 0, turbo at 192): zone colours at +0, +15 (zone 0 on layout 1), +40 (zone 1
//   on layout 0), +50 (zone 2); effect code and parameter per zone at +60/+61, +71/+72, +82/+83;
//   absolute: zone layout values at 68, 79, 90 (high byte first), lighting on at 70, the fan/voltage
//   switch at 384.
class SimZoneController : public SimFramedController {
public:
    static constexpr uint32_t kStatusDelayMs = 200;
    static constexpr size_t kStatusBytes = 400;

    // `layout` 0, 1 or 2: the status starts in that layout's plain arrangement, every zone static.
    explicit SimZoneController(uint8_t layout);
    std::unique_ptr<SimI2cDevice> Clone() const override {
        return std::make_unique<SimZoneController>(*this);
    }

    // The layout reply's first payload byte: 8, 12 or 0 for layouts 0, 1 and 2.
    uint8_t layoutCode = 8;
    std::array<uint8_t, kStatusBytes> status{};
    // Every other command changes the status as SimZoneFollower describes.
    SimZoneFollower follower;

protected:
    void OnFrame(const SimFrame& frame) override;
};

// The controller that speaks the USB accessory's model, on cards with device id 0x1B82: answers
// the status request 200 ms later with its 140-byte status (idle rear colour at 0, front at 5,
// turbo rear at 15, front at 20; idle rear effect at 30..32, front at 41..43; settings marks at
// 38..39 and 49..50; rear lit at 40, front lit at 51; turbo effects at 85..87 and 96..98).
class SimCardAccessoryController : public SimFramedController {
public:
    static constexpr uint32_t kStatusDelayMs = 200;
    static constexpr size_t kStatusBytes = 140;

    SimCardAccessoryController();
    std::unique_ptr<SimI2cDevice> Clone() const override {
        return std::make_unique<SimCardAccessoryController>(*this);
    }

    std::array<uint8_t, kStatusBytes> status{};

protected:
    void OnFrame(const SimFrame& frame) override;
};
