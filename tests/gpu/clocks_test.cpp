#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "JournalBytes.h"
#include "ScenarioText.h"
#include "SimCard.h"
#include "gpu/CGpuControl.h"
#include "sim/SimDriver.h"
#include "sim/SimTuning.h"

namespace {

// Offsets in the p-state table record as the driver documents it.
constexpr size_t kP0 = 20;
constexpr size_t kP0Graphics = kP0 + 8;
constexpr size_t kP0Memory = kP0 + 8 + 44;
constexpr size_t kP0BaseVoltage = kP0 + 360;
constexpr size_t kOverVoltCount = 7316;
constexpr size_t kOverVolt0 = 7320;

}  // namespace

TEST(ReadPstateTable, FillsTheClockFieldsOfTheEntryKind) {
    struct Case {
        const char* keys;
        int32_t graphicsClock, graphicsRangeMin, graphicsRangeMax;
        int32_t memoryClock, memorySingleClock, memoryRangeMin, memoryRangeMax;
    };
    const Case cases[] = {
        {"p0_graphics = range 139000 1911000\np0_memory = single 5005000\n", kUntouched, 139000, 1911000,
         5005000, 5005000, kUntouched, kUntouched},
        {"p0_graphics = single 1607000\np0_memory = range 405000 5005000\n", 1607000, kUntouched, kUntouched,
         kUntouched, kUntouched, 405000, 5005000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        SimCard machine(std::string(c.keys) +
                        "p0_graphics_delta = 50000 -200000 300000\n"
                        "p0_memory_delta = -100000 -500000 1000000\n"
                        "p0_base_voltage = 1062500 25000 0 100000\n");
        GpuPerfInfo info = UntouchedInfo();
        ASSERT_EQ(machine.gpu.ReadPstateTable(kSelectedGpu, info, 0), 0);
        EXPECT_EQ(info.graphicsClock, c.graphicsClock);
        EXPECT_EQ(info.graphicsRangeMin, c.graphicsRangeMin);
        EXPECT_EQ(info.graphicsRangeMax, c.graphicsRangeMax);
        EXPECT_EQ(info.memoryClock, c.memoryClock);
        EXPECT_EQ(info.memorySingleClock, c.memorySingleClock);
        EXPECT_EQ(info.memoryRangeMin, c.memoryRangeMin);
        EXPECT_EQ(info.memoryRangeMax, c.memoryRangeMax);
        EXPECT_EQ(info.graphicsOffset, 50000);
        EXPECT_EQ(info.graphicsOffsetMin, -200000);
        EXPECT_EQ(info.graphicsOffsetMax, 300000);
        EXPECT_EQ(info.memoryOffset, -100000);
        EXPECT_EQ(info.memoryOffsetMin, -500000);
        EXPECT_EQ(info.memoryOffsetMax, 1000000);
        EXPECT_EQ(info.coreVoltOffset, 25000);
        EXPECT_EQ(info.coreVoltOffsetMin, 0);
        EXPECT_EQ(info.coreVoltOffsetMax, 100000);
        EXPECT_EQ(info.powerTarget, kUntouched);
    }
}

TEST(ReadPstateTable, TheLastEditableOverVoltageEntryWins) {
    SimCard machine(
        "over_volt = 10000 0 50000 editable\n"
        "over_volt = 20000 -5000 87500 editable\n"
        "over_volt = 30000 0 99000 locked\n");
    GpuPerfInfo info = UntouchedInfo();
    ASSERT_EQ(machine.gpu.ReadPstateTable(kSelectedGpu, info, 0), 0);
    EXPECT_EQ(info.overVolt, 20000);
    EXPECT_EQ(info.overVoltMin, -5000);
    EXPECT_EQ(info.overVoltMax, 87500);
}

// The p-state whose entries are taken comes from the driver unless the caller names one; while no
// p-state is known only the table-wide over-voltage fields are filled.
TEST(ReadPstateTable, ChoosesThePstateFromTheDriverOrTheCaller) {
    struct Case {
        const char* name;
        const char* currentKey;  // empty: the current p-state cannot be read
        int argument;
        int expectedPstate;
        bool p0Filled;
    };
    const Case cases[] = {
        {"current P0", "current_pstate = 0", kPstateNone, 0, true},
        {"current read fails, 16 asked", "", kPstateNone, kPstateNone, false},
        {"current read fails, P0 asked", "", 0, 0, true},
        {"current P8, 16 asked", "current_pstate = 8", kPstateNone, 8, false},
        {"current P8, P0 asked", "current_pstate = 8", 0, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimCard machine(std::string(c.currentKey) + "\nover_volt = 12500 0 100000\n");
        if (!*c.currentKey) machine.sim.FailAlways(QueryId::GetCurrentPstate, NvStatus::NotSupported);
        GpuPerfInfo info = UntouchedInfo();
        ASSERT_EQ(machine.gpu.ReadPstateTable(kSelectedGpu, info, c.argument), 0);
        EXPECT_EQ(machine.gpu.pstate, c.expectedPstate);
        EXPECT_EQ(info.graphicsOffset, c.p0Filled ? 0 : kUntouched);
        EXPECT_EQ(info.memoryClock, c.p0Filled ? 5005000 : kUntouched);
        EXPECT_EQ(info.coreVoltOffsetMax, c.p0Filled ? 0 : kUntouched);
        EXPECT_EQ(info.overVolt, 12500);
        EXPECT_EQ(info.overVoltMax, 100000);
    }
}

// Version 1 has no over-voltage list, so a driver that only takes version 1 gives none.
TEST(ReadPstateTable, FallsBackFromVersion3To2To1) {
    struct Case {
        std::vector<uint32_t> rejected;
        std::vector<uint32_t> sent;
        int result;
        bool overVoltFilled;
        bool p0Filled;
    };
    const Case cases[] = {
        {{}, {0x00031CF8}, 0, true, true},
        {{0x00031CF8}, {0x00031CF8, 0x00021CF8}, 0, true, true},
        {{0x00031CF8, 0x00021CF8}, {0x00031CF8, 0x00021CF8, 0x00011C94}, 0, false, true},
        {{0x00031CF8, 0x00021CF8, 0x00011C94}, {0x00031CF8, 0x00021CF8, 0x00011C94}, 1, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rejected.size());
        SimCard machine("p0_graphics_delta = 70000 -200000 200000\nover_volt = 12500 0 100000\n");
        for (uint32_t version : c.rejected) machine.sim.RejectVersion(QueryId::GetPstates20, version);
        GpuPerfInfo info = UntouchedInfo();
        EXPECT_EQ(machine.gpu.ReadPstateTable(kSelectedGpu, info, 0), c.result);
        std::vector<uint32_t> sent;
        for (const auto& call : machine.sim.Calls(QueryId::GetPstates20)) sent.push_back(call.version);
        EXPECT_EQ(sent, c.sent);
        EXPECT_EQ(info.overVolt, c.overVoltFilled ? 12500 : kUntouched);
        EXPECT_EQ(info.graphicsOffset, c.p0Filled ? 70000 : kUntouched);
    }
}

TEST(WriteClockOffsets, SendsOneVersion1RecordWithTheThreeDeltas) {
    SimCard machine("p0_base_voltage = 1062500 0 -50000 50000\n");
    GpuPerfInfo info{};
    info.graphicsOffset = 150000;
    info.memoryOffset = -250000;
    info.coreVoltOffset = 12500;
    info.overVolt = 99999;  // not a p-state delta: must not travel
    ASSERT_EQ(machine.gpu.WriteClockOffsets(kSelectedGpu, info), 0);

    auto calls = machine.sim.Calls(QueryId::SetPstates20);
    ASSERT_EQ(calls.size(), 1u);
    const auto& bytes = calls[0].received;
    ASSERT_EQ(bytes.size(), 7316u);
    EXPECT_EQ(WordAt(bytes, 0), 0x00011C94u);
    EXPECT_EQ(WordAt(bytes, 8), 1u);
    EXPECT_EQ(WordAt(bytes, 12), 2u);
    EXPECT_EQ(WordAt(bytes, 16), 1u);
    EXPECT_EQ(WordAt(bytes, kP0), 0u);
    EXPECT_EQ(WordAt(bytes, kP0Graphics), 0u);
    EXPECT_EQ(SignedAt(bytes, kP0Graphics + 12), 150000);
    EXPECT_EQ(WordAt(bytes, kP0Memory), 4u);
    EXPECT_EQ(SignedAt(bytes, kP0Memory + 12), -250000);
    EXPECT_EQ(WordAt(bytes, kP0BaseVoltage), 0u);
    EXPECT_EQ(SignedAt(bytes, kP0BaseVoltage + 12), 12500);
    // Nothing else is set: no entry types, flags, ranges or further entries.
    const std::pair<size_t, size_t> fields[] = {
        {0, 20}, {kP0Graphics + 12, 4}, {kP0Memory, 4}, {kP0Memory + 12, 4}, {kP0BaseVoltage + 12, 4}};
    std::vector<size_t> strayBytes;
    for (size_t i = 0; i < bytes.size(); ++i) {
        bool named = false;
        for (const auto& [offset, size] : fields) named = named || (i >= offset && i < offset + size);
        if (!named && bytes[i] != 0) strayBytes.push_back(i);
    }
    EXPECT_TRUE(strayBytes.empty()) << "first stray byte at " << strayBytes.front();

    GpuPerfInfo back{};
    ASSERT_EQ(machine.gpu.ReadPstateTable(kSelectedGpu, back, 0), 0);
    EXPECT_EQ(back.graphicsOffset, 150000);
    EXPECT_EQ(back.memoryOffset, -250000);
    EXPECT_EQ(back.coreVoltOffset, 12500);
    EXPECT_EQ(machine.Tuning().graphicsOffsetKhz, 150000);
    EXPECT_EQ(machine.Tuning().memoryOffsetKhz, -250000);
    EXPECT_EQ(machine.Tuning().baseVoltOffsetUv, 12500);
}

TEST(WriteClockOffsets, IsNotRetriedWhenRefused) {
    struct Case {
        const char* name;
        bool rejectVersion1;
        int32_t graphicsOffset;
    };
    const Case cases[] = {{"version 1 rejected", true, 0},
                          {"offset above the driver's range", false, 900000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimCard machine("p0_graphics_delta = 0 -200000 200000\n");
        if (c.rejectVersion1) machine.sim.RejectVersion(QueryId::SetPstates20, 0x00011C94);
        GpuPerfInfo info{};
        info.graphicsOffset = c.graphicsOffset;
        EXPECT_EQ(machine.gpu.WriteClockOffsets(kSelectedGpu, info), 1);
        EXPECT_EQ(machine.sim.CallCount(QueryId::SetPstates20), 1u);
        EXPECT_NE(machine.gpu.status, NvStatus::Ok);
        EXPECT_EQ(machine.Tuning().graphicsOffsetKhz, 0);
    }
}

TEST(WriteOverVolt, FallsBackFromVersion3To2To1ButOnlyVersions2And3CarryIt) {
    struct Case {
        std::vector<uint32_t> rejected;
        std::vector<uint32_t> sent;
        int result;
    };
    const Case cases[] = {
        {{}, {0x00031CF8}, 0},
        {{0x00031CF8}, {0x00031CF8, 0x00021CF8}, 0},
        // Version 1 has no room for the over-voltage: taken alone it carries nothing.
        {{0x00031CF8, 0x00021CF8}, {0x00031CF8, 0x00021CF8, 0x00011C94}, 1},
        {{0x00031CF8, 0x00021CF8, 0x00011C94}, {0x00031CF8, 0x00021CF8, 0x00011C94}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rejected.size());
        SimCard machine("over_volt = 0 0 100000\n");
        for (uint32_t version : c.rejected) machine.sim.RejectVersion(QueryId::SetPstates20, version);
        GpuPerfInfo info{};
        info.overVolt = 37500;
        EXPECT_EQ(machine.gpu.WriteOverVolt(kSelectedGpu, info), c.result);
        auto calls = machine.sim.Calls(QueryId::SetPstates20);
        std::vector<uint32_t> sent;
        for (const auto& call : calls) sent.push_back(call.version);
        EXPECT_EQ(sent, c.sent);
        // Every version carries an empty table; versions 2 and 3 add one core over-voltage entry.
        for (const auto& call : calls) {
            EXPECT_EQ(WordAt(call.received, 8), 0u);
            if (call.version == 0x00011C94) continue;
            EXPECT_EQ(WordAt(call.received, kOverVoltCount), 1u);
            EXPECT_EQ(WordAt(call.received, kOverVolt0), 0u);
            EXPECT_EQ(SignedAt(call.received, kOverVolt0 + 12), 37500);
        }
        bool written = c.rejected.size() < 2;
        EXPECT_EQ(machine.Tuning().overVoltUv, written ? 37500 : 0);
    }
}

TEST(WriteOverVolt, ReadsBackThroughTheFirstEditableEntry) {
    SimCard machine("over_volt = 5000 0 20000 locked\nover_volt = 0 0 100000 editable\n");
    GpuPerfInfo info{};
    info.overVolt = 62500;
    ASSERT_EQ(machine.gpu.WriteOverVolt(kSelectedGpu, info), 0);
    GpuPerfInfo back{};
    ASSERT_EQ(machine.gpu.ReadPstateTable(kSelectedGpu, back, 0), 0);
    EXPECT_EQ(back.overVolt, 62500);
    EXPECT_EQ(back.overVoltMax, 100000);
}
