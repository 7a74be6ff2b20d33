#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gpu/ScenarioText.h"
#include "lighting/LightingDetection.h"
#include "sim/SimDriver.h"
#include "sim/SimLighting.h"
#include "support/SimPacedClock.h"

namespace {

using Bytes = std::vector<uint8_t>;

// One card whose [gpu] keys the test gives, behind a GPU control object, with a clock that moves
// the simulator's time by the program's pauses.
struct LightingCard {
    explicit LightingCard(const std::string& gpuKeys) : sim(ScenarioFromText("[gpu]\n" + gpuKeys)) {
        FreezeSimTime(sim.Model(), 0);
        EXPECT_EQ(gpu.EnumGpus(), 0);
        sim.ClearJournal();
    }
    SimI2cBus& Bus() { return I2cBus(sim.Model().gpus[0]); }
    template <class T>
    T* Controller() {
        return Bus().DeviceAs<T>(kSimLightingAddress);
    }
    std::vector<SimI2cTransfer> Writes() {
        std::vector<SimI2cTransfer> writes;
        for (const SimI2cTransfer& t : Bus().transfers) {
            if (t.write) writes.push_back(t);
        }
        return writes;
    }
    std::vector<size_t> ReadLengths() {
        std::vector<size_t> lengths;
        for (const SimI2cTransfer& t : Bus().transfers) {
            if (!t.write) lengths.push_back(t.data.size());
        }
        return lengths;
    }
    LightingState Detect(bool accessoryOnCard = false) {
        LightingState state;
        ::DetectLighting(link, accessoryOnCard, state);
        return state;
    }

    SimDriver sim;
    CGpuControl gpu{sim.QueryInterface()};
    SimPacedClock clock{sim};
    LightingLink link{gpu, clock};
};

const Bytes kZeros4 = {0, 0, 0, 0};

}  // namespace

TEST(LightingDetection, RegisterControllerIsFoundByTheProbeAloneWithItsPauses) {
    LightingCard card("lighting = register 02 01 04 06 A0 00 01\n");
    LightingState state = card.Detect();

    EXPECT_EQ(state.kind, LightingRegister);
    EXPECT_EQ(state.ledStatus, (LedStatus{2, 1, 4, 6, 0xA0, 0, 1, 0, 0, 0}));
    const auto writes = card.Writes();
    ASSERT_EQ(writes.size(), 2u);  // no frame follows
    EXPECT_EQ(writes[0].reg, Bytes{0x00});
    EXPECT_EQ(writes[0].data, kZeros4);
    EXPECT_EQ(writes[1].reg, Bytes{0xA0});
    EXPECT_EQ(writes[1].data, kZeros4);
    EXPECT_EQ(card.ReadLengths(), std::vector<size_t>{10});
    EXPECT_EQ(card.clock.sleeps, (std::vector<uint32_t>{300, 300, 300}));
}

TEST(LightingDetection, OtherModelBytesFallThroughToTheFramedProbes) {
    for (const char* model : {"00", "03"}) {
        SCOPED_TRACE(model);
        LightingCard card(std::string("lighting = register ") + model + " 01 04 06 A0\n");
        LightingState state = card.Detect();
        EXPECT_EQ(state.kind, LightingNone);
        EXPECT_EQ(state.ledStatus, LedStatus{});  // zero when not LightingRegister
        // Probe writes, the layout query and the status request.
        ASSERT_EQ(card.Writes().size(), 4u);
        EXPECT_EQ(card.ReadLengths(), (std::vector<size_t>{10, 14, 413}));
    }
}

TEST(LightingDetection, ZoneControllerGivesItsLayoutAndStatus) {
    LightingCard card("lighting = zone 1\nlighting_status = 384 00\nlighting_status = 399 7E\n");
    LightingState state = card.Detect();

    EXPECT_EQ(state.kind, LightingZone);
    EXPECT_EQ(state.zoneLayout, 1);
    EXPECT_EQ(state.zoneStatus[68], 0x00);
    EXPECT_EQ(state.zoneStatus[69], 0x78);
    EXPECT_EQ(state.zoneStatus[70], 1);
    EXPECT_EQ(state.zoneStatus[kZoneStatusSwitchByte], 0);
    EXPECT_EQ(state.zoneStatus[399], 0x7E);
    auto* zone = card.Controller<SimZoneController>();
    ASSERT_EQ(zone->frames.size(), 2u);
    EXPECT_EQ(zone->frames[0], (SimFrame{0x0D, {0x10}}));
    EXPECT_EQ(zone->frames[1], (SimFrame{0x01, {0x10}}));
    EXPECT_EQ(card.ReadLengths(), (std::vector<size_t>{10, 14, 413}));
    // Probe pauses, 200 ms before the status read and 500 ms after it; the layout is read at once.
    EXPECT_EQ(card.clock.sleeps, (std::vector<uint32_t>{300, 300, 300, 200, 500}));
}

TEST(LightingDetection, LayoutReplyMapsKnownCodesAndKeepsThePreviousOtherwise) {
    struct Case {
        uint8_t code;
        uint8_t previous;
        uint8_t expected;
    };
    const Case cases[] = {{8, 0xFF, 0}, {12, 0xFF, 1}, {0, 0xFF, 2}, {5, 0xFF, 0xFF}, {5, 1, 1}, {0xFF, 2, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.code));
        LightingCard card("lighting = zone 0\n");
        card.Controller<SimZoneController>()->layoutCode = c.code;
        uint8_t layout = c.previous;
        QueryZoneLayout(card.link, layout);
        EXPECT_EQ(layout, c.expected);
    }
}

TEST(LightingDetection, LayoutQueryWithoutAnAnswerKeepsTheLayout) {
    LightingCard card("");
    uint8_t layout = 1;
    QueryZoneLayout(card.link, layout);
    EXPECT_EQ(layout, 1);
}

TEST(LightingDetection, AccessoryOnCardReads153BytesAndNeverAsksForTheLayout) {
    LightingCard card("pci = 10DE 1B82 10DE 1234\nlighting = card_accessory\nlighting_status = 139 5C\n");
    LightingState state = card.Detect(true);

    EXPECT_EQ(state.kind, LightingCardAccessory);
    EXPECT_EQ(state.cardAccessoryStatus[40], 1);
    EXPECT_EQ(state.cardAccessoryStatus[139], 0x5C);
    EXPECT_EQ(state.zoneLayout, kZoneLayoutUnknown);
    auto* controller = card.Controller<SimCardAccessoryController>();
    ASSERT_EQ(controller->frames.size(), 1u);
    EXPECT_EQ(controller->frames[0], (SimFrame{0x01, {0x10}}));
    EXPECT_EQ(card.ReadLengths(), (std::vector<size_t>{10, 153}));
}

TEST(LightingDetection, NothingOnTheBusLeavesNoneAndTheAreasAsTheyWere) {
    LightingCard card("");
    LightingState state;
    state.zoneLayout = 2;
    state.zoneStatus.fill(0x11);
    state.cardAccessoryStatus.fill(0x22);
    state.ledStatus.fill(0x33);
    ::DetectLighting(card.link, false, state);
    EXPECT_EQ(state.kind, LightingNone);
    EXPECT_EQ(state.ledStatus, LedStatus{});
    EXPECT_EQ(state.zoneLayout, 2);
    EXPECT_EQ(state.zoneStatus[0], 0x11);
    EXPECT_EQ(state.zoneStatus[399], 0x11);
    EXPECT_EQ(state.cardAccessoryStatus[0], 0x22);
}

// The previous card's status must not stay in the buffer a failed read leaves behind.
TEST(LightingDetection, FailedReadsAfterARegisterCardFindNothing) {
    LightingCard card("lighting = register 02 01 04 06 A0 00 00\n");
    LightingState state = card.Detect();
    ASSERT_EQ(state.kind, LightingRegister);

    card.sim.FailFirst(QueryId::I2CRead, 1000, NvStatus::Error);
    ::DetectLighting(card.link, false, state);
    EXPECT_EQ(state.kind, LightingNone);
    EXPECT_EQ(state.ledStatus, LedStatus{});
}

TEST(LightingDetection, ShortStatusReplyFillsOnlyWhatItCarried) {
    LightingCard card("lighting = zone 0\n");
    auto* zone = card.Controller<SimZoneController>();
    zone->status.fill(0x44);
    LightingState state;
    state.zoneStatus.fill(0x99);
    // A device that closes its frame after 10 payload bytes though the read asks for 413.
    struct ShortZone : SimZoneController {
        ShortZone() : SimZoneController(0) {}
        std::unique_ptr<SimI2cDevice> Clone() const override { return std::make_unique<ShortZone>(*this); }
        void OnFrame(const SimFrame& frame) override {
            SimZoneController::OnFrame(frame);
            if (frame.command == 0x01) Answer(SimMakeFrame(0x01, Bytes(10, 0x44)), kStatusDelayMs);
        }
    };
    card.Bus().Attach(kSimLightingAddress, std::make_unique<ShortZone>());
    ::DetectLighting(card.link, false, state);
    EXPECT_EQ(state.kind, LightingZone);
    EXPECT_EQ(state.zoneStatus[9], 0x44);
    EXPECT_EQ(state.zoneStatus[10], 0x00);  // not the 0xFF padding nor the frame's closing bytes
    EXPECT_EQ(state.zoneStatus[399], 0x00);
}

TEST(LightingDetection, MissingPausesFindNothing) {
    // A clock whose sleeps do not reach the simulator: every read comes too early.
    for (const char* keys : {"lighting = register 02 01 04 06 A0 00 00\n", "lighting = zone 0\n",
                             "lighting = card_accessory\n"}) {
        SCOPED_TRACE(keys);
        LightingCard card(keys);
        FakeClock idle;
        LightingLink hasty(card.gpu, idle);
        LightingState state;
        ::DetectLighting(hasty, std::string(keys).find("card") != std::string::npos, state);
        EXPECT_EQ(state.kind, LightingNone);
    }
}

TEST(LightingLink, RegisterCommandWritesItsBytesThenPauses) {
    LightingCard card("lighting = register 02 00 00 00 00 00 00\n");
    EXPECT_TRUE(card.link.SendRegisterCommand(LedCmdStatic(4, 6, 5)));
    EXPECT_TRUE(card.link.SendRegisterCommand(LedCmdZones(1, 0)));
    EXPECT_TRUE(card.link.SendRegisterCommand(LedCmdDefault()));

    auto* controller = card.Controller<SimRegisterController>();
    using Command = std::array<uint8_t, 4>;
    EXPECT_EQ(controller->commands,
              (std::vector<Command>{{0xF0, 0x04, 0x06, 0xA0}, {0xF7, 0x01, 0x00, 0x00}, {0xF8, 0, 0, 0}}));
    EXPECT_TRUE(controller->dropped.empty());
    EXPECT_EQ(card.clock.sleeps, (std::vector<uint32_t>{500, 300, 500}));
    const auto writes = card.Writes();
    ASSERT_EQ(writes.size(), 3u);
    EXPECT_EQ(writes[0].reg, Bytes{0x00});
}

TEST(LightingLink, CommandsTable) {
    struct Case {
        LedCommand command;
        std::array<uint8_t, 4> bytes;
        uint32_t pause;
    };
    const Case cases[] = {
        {LedCmdStatic(0, 6, 7), {0xF0, 0, 6, 0xE0}, 500}, {LedCmdStatic(1, 2, 0), {0xF0, 1, 2, 0x00}, 500},
        {LedCmdBreath(3, 4), {0xF1, 3, 4, 0x07}, 500},    {LedCmdStrobe(5, 6), {0xF2, 5, 6, 0x07}, 500},
        {LedCmdCycle(), {0xF3, 0, 0, 0}, 500},            {LedCmdZones(0, 1), {0xF7, 0, 1, 0}, 300},
        {LedCmdDefault(), {0xF8, 0, 0, 0}, 500},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.command.bytes, c.bytes);
        EXPECT_EQ(c.command.pauseMs, c.pause);
    }
}

TEST(LightingLink, FramesGoToRegisterZeroWithoutAPause) {
    LightingCard card("lighting = zone 0\n");
    EXPECT_TRUE(card.link.SendFrame(0x0C, {1}));
    EXPECT_TRUE(card.clock.sleeps.empty());
    const auto writes = card.Writes();
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].reg, Bytes{0x00});
    EXPECT_EQ(writes[0].data, (Bytes{0xFF, 0xAA, 0, 0, 0x31, 0x2E, 0x30, 0, 0x0C, 0, 1, 1, 0xFF, 0x55}));
}

TEST(LightingLink, FailedTransactionsAreReportedToTheCaller) {
    LightingCard card("");
    EXPECT_FALSE(card.link.SendFrame(0x0C, {1}));
    EXPECT_FALSE(card.link.SendRegisterCommand(LedCmdCycle()));
    EXPECT_EQ(card.clock.sleeps, std::vector<uint32_t>{500});  // the pause is kept either way
    uint8_t buffer[4] = {9, 9, 9, 9};
    EXPECT_FALSE(card.link.Read(buffer, sizeof buffer));
    EXPECT_EQ(Bytes(buffer, buffer + 4), kZeros4);
}
