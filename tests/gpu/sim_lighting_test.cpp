#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SimCard.h"
#include "sim/SimLighting.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Read(SimCard& card, uint32_t length) {
    Bytes buffer(length, 0xEE);
    EXPECT_EQ(card.gpu.ReadI2C(buffer.data(), length, -1), 0);
    return buffer;
}

void Write(SimCard& card, uint8_t reg, const Bytes& data) {
    EXPECT_EQ(card.gpu.WriteI2C(reg, data.data(), static_cast<uint32_t>(data.size()), -1), 0);
}

}  // namespace

TEST(SimLighting, RegisterControllerTakesCommandsOnlyOutsideItsPause) {
    SimCard card("lighting = register 02 03 00 00 E0 00 00\n");
    auto* controller = I2cBus(card.Gpu()).DeviceAs<SimRegisterController>(kSimLightingAddress);
    ASSERT_NE(controller, nullptr);

    Write(card, 0x00, {0xF0, 0x04, 0x06, 0xA0});
    Write(card, 0x00, {0xF7, 0x01, 0x00, 0x00});  // inside the 500 ms: dropped
    EXPECT_EQ(Read(card, 10), Bytes(10, 0));      // busy: no status
    card.Advance(499);
    EXPECT_EQ(Read(card, 10), Bytes(10, 0));
    card.Advance(1);
    EXPECT_EQ(Read(card, 10), (Bytes{2, 0, 4, 6, 0xA0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(controller->dropped, (std::vector<Bytes>{{0xF7, 0x01, 0x00, 0x00}}));
    Write(card, 0x00, {0xF7, 0x01, 0x00, 0x00});
    card.Advance(300);
    EXPECT_EQ(Read(card, 10)[5], 1);
}

TEST(SimLighting, FramedReplyComesOnlyAfterItsDelay) {
    SimCard card("lighting = zone 2\n");
    const Bytes request = {0xFF, 0xAA, 0, 0, 0x31, 0x2E, 0x30, 0, 0x01, 0, 1, 0x10, 0xFF, 0x55};
    Write(card, 0x00, request);
    card.Advance(199);
    EXPECT_EQ(Read(card, 413), Bytes(413, 0));
    Write(card, 0x00, request);
    card.Advance(200);
    const Bytes reply = Read(card, 413);
    EXPECT_EQ(Bytes(reply.begin(), reply.begin() + 11), (Bytes{0xFF, 0xAA, 0, 0, 0x31, 0x2E, 0x30, 0, 0x01, 0x01, 0x90}));
    EXPECT_EQ(reply[11 + 69], 0x01);  // layout 2's zone-0 value
    EXPECT_EQ(Bytes(reply.end() - 2, reply.end()), (Bytes{0xFF, 0x55}));
    // A reply is read once.
    EXPECT_EQ(Read(card, 413), Bytes(413, 0));

    Write(card, 0x00, {0xFF, 0xAA, 0, 0, 0x31, 0x2E, 0x30, 0, 0x0D, 0, 1, 0x10, 0xFF, 0x55});
    EXPECT_EQ(Read(card, 14)[11], 0);  // layout 2 answers 0 at once
    auto* zone = I2cBus(card.Gpu()).DeviceAs<SimZoneController>(kSimLightingAddress);
    EXPECT_EQ(zone->frames.size(), 3u);
    Write(card, 0x00, {0xFF, 0xAA, 0, 0, 0x31, 0x2E, 0x30, 0, 0x0D, 0, 2, 0x10, 0xFF, 0x55});  // length lies
    EXPECT_EQ(zone->frames.size(), 3u);
    EXPECT_EQ(zone->otherWrites, 1u);
}

TEST(SimLighting, ControllersAreCopiedWithTheScenario) {
    SimScenario scenario = ScenarioFromText("[gpu]\nlighting = card_accessory\nlighting_status = 0 AB CD\n");
    SimScenario copy = scenario;
    auto* original = I2cBus(scenario.gpus[0]).DeviceAs<SimCardAccessoryController>(kSimLightingAddress);
    auto* copied = I2cBus(copy.gpus[0]).DeviceAs<SimCardAccessoryController>(kSimLightingAddress);
    ASSERT_NE(copied, nullptr);
    EXPECT_NE(copied, original);
    EXPECT_EQ(copied->status[1], 0xCD);
}

TEST(SimLighting, ScenarioLinesAreChecked) {
    const std::string kinds = "expected 'none', 'register [status bytes]', 'zone <0-2>' or 'card_accessory'";
    struct Case {
        const char* lines;
        std::string error;
    } cases[] = {
        {"lighting = zone 3", "line 2: lighting: " + kinds},
        {"lighting = zone", "line 2: lighting: " + kinds},
        {"lighting = register 1 2 3 4 5 6 7 8 9 A B", "line 2: lighting: " + kinds},
        {"lighting = register 100", "line 2: lighting: " + kinds},
        {"lighting = rgb", "line 2: lighting: " + kinds},
        {"lighting_status = 0 01", "line 2: lighting_status: no lighting controller on this GPU (set 'lighting' first)"},
        {"lighting = zone 0\nlighting_status = 399 01 02", "line 3: lighting_status: bytes beyond the controller's status"},
        {"lighting = register\nlighting_status = 10 01", "line 3: lighting_status: bytes beyond the controller's status"},
        {"lighting = register\nlighting_status = x 01", "line 3: lighting_status: expected '<offset> <hexadecimal bytes>'"},
    };
    for (const Case& c : cases) {
        SimScenario scenario;
        std::string error;
        EXPECT_FALSE(ParseScenario(std::string("[gpu]\n") + c.lines + "\n", scenario, error)) << c.lines;
        EXPECT_EQ(error, c.error);
    }
}
