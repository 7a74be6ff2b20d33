#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "FuzzCheck.h"
#include "lighting/LightingDetection.h"
#include "lighting/LightingFrame.h"
#include "lighting/ZoneCommands.h"
#include "sim/SimDriver.h"
#include "sim/SimI2cBus.h"
#include "support/FakeClock.h"

namespace {

// A lighting controller whose every answer comes from the input: acknowledged or not, and the
// bytes of each read (any length, cut or padded by the bus like a real one).
class FuzzController : public SimI2cDevice {
public:
    explicit FuzzController(FuzzedDataProvider& input) : in(input) {}
    std::unique_ptr<SimI2cDevice> Clone() const override { return std::make_unique<FuzzController>(in); }
    bool Write(uint8_t, const std::vector<uint8_t>&) override { return in.remaining_bytes() == 0 || in.ConsumeBool(); }
    bool Read(uint8_t, size_t length, std::vector<uint8_t>& reply) override {
        if (in.remaining_bytes() > 0 && !in.ConsumeBool()) return false;
        reply = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, length + 16));
        return true;
    }

private:
    FuzzedDataProvider& in;
};

void CheckParser(const uint8_t* data, size_t size) {
    FrameReply reply;
    const bool closed = ParseFrame(data, size, reply);
    FuzzCheck(reply.stored <= kMaxReplyPayload, "a reply keeps at most its bound");
    if (closed) {
        FuzzCheck(reply.stored == std::min<size_t>(reply.length, kMaxReplyPayload),
                  "a closed frame holds its whole payload up to the bound");
    }
}

// The zone page reads the status the detection kept: whatever its bytes, every zone comes out with
// a mode and a colour its tables have, and only a whole reply may reprogram the controller.
void CheckZoneReader(const LightingState& state) {
    ZoneLightingState zones;
    zones.layout = state.zoneLayout;
    const ZoneSequence init = ReadZoneStatus(zones, state.zoneStatus, state.zoneStatusComplete);
    FuzzCheck(init.empty() || state.zoneStatusComplete, "a broken-off status never programs the controller");
    for (const auto& set : zones.settings) {
        for (const ZoneSettings& zone : set) {
            FuzzCheck(zone.mode == kZoneUnset || zone.mode <= ZoneWave, "a zone's mode is one of the page's");
            FuzzCheck(zone.colourIndex == kZoneUnset || zone.colourIndex <= kZoneCustomColour,
                      "a zone's colour is a named one or the custom one");
            FuzzCheck(zone.brightness == kZoneUnset || zone.brightness <= kZoneTopBrightness,
                      "a zone's brightness is a level of the row");
        }
    }
    for (uint8_t highlight : zones.zoneHighlight) FuzzCheck(highlight <= 3, "the highlighted zone exists");
}

}  // namespace

// Replies from the card's lighting controller are the device's word: the frame parser and the
// detection's status readers must stay within their buffers and never take a reply they refused.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckParser(data, size);

    FuzzedDataProvider in(data, size);
    const bool accessoryOnCard = in.ConsumeBool();
    LightingState before;
    before.zoneLayout = in.ConsumeIntegral<uint8_t>();
    before.zoneStatus.fill(0xA5);
    before.cardAccessoryStatus.fill(0x5A);
    before.ledStatus.fill(0x3C);

    static SimDriver sim(SimScenario{});
    SimScenario scenario = DefaultScenario();
    I2cBus(scenario.gpus.at(0)).Attach(0x90, std::make_unique<FuzzController>(in));
    sim.Model() = std::move(scenario);
    CGpuControl gpu(sim.QueryInterface());
    if (gpu.EnumGpus() != 0) return 0;
    FakeClock clock;
    LightingLink link(gpu, clock);
    LightingState state = before;
    DetectLighting(link, accessoryOnCard, state);

    FuzzCheck(state.kind == LightingNone || state.kind == LightingRegister || state.kind == LightingZone ||
                  state.kind == LightingCardAccessory,
              "the card's detection finds a card controller or nothing");
    if (state.kind == LightingRegister) {
        FuzzCheck(state.ledStatus[0] == 1 || state.ledStatus[0] == 2, "a register controller has a known model");
    } else {
        FuzzCheck(state.ledStatus == LedStatus{}, "no register controller leaves a zeroed status");
    }
    FuzzCheck(state.zoneLayout == before.zoneLayout || state.zoneLayout <= 2, "the layout is 0, 1, 2 or unchanged");
    FuzzCheck(!accessoryOnCard || state.zoneLayout == before.zoneLayout, "an accessory card never asks for its layout");
    if (state.kind != LightingZone) FuzzCheck(state.zoneStatus == before.zoneStatus, "a refused zone reply changes nothing");
    if (state.kind != LightingCardAccessory) {
        FuzzCheck(state.cardAccessoryStatus == before.cardAccessoryStatus, "a refused accessory reply changes nothing");
    }
    if (state.kind == LightingZone) CheckZoneReader(state);
    FuzzCheck(clock.SleptMs() <= 1700, "the detection's pauses stay those of the protocol");
    return 0;
}
