#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "JournalBytes.h"
#include "ScenarioText.h"
#include "gpu/CGpuControl.h"
#include "sim/SimDriver.h"
#include "support/FakeClock.h"

namespace {

struct Machine {
    explicit Machine(const std::string& text) : sim(ScenarioFromText(text)) {
        EXPECT_EQ(gpu.EnumGpus(), 0);
        sim.ClearJournal();
    }
    std::vector<uint32_t> Listed(int& result) {
        uint32_t ids[kMaxDisplayIds] = {};
        uint32_t count = 0;
        result = gpu.ListConnectedDisplays(ids, count);
        return std::vector<uint32_t>(ids, ids + count);
    }
    int32_t PixelClock() {
        GpuPerfInfo info{};
        EXPECT_EQ(gpu.ReadPixelClock(info), 0);
        return info.pixelClock;
    }

    SimDriver sim;
    FakeClock clock;
    CGpuControl gpu{sim.QueryInterface(), &clock};
};

const char* const kOneDisplay =
    "[gpu]\n"
    "[display]\nid = 0x1000\ntiming = 1920 1080 2200 1125 14850\n";

const char* const kTwoDisplays =
    "[gpu]\n"
    "[display]\nid = 0x1000\ntiming = 1920 1080 2200 1125 14850\n"
    "[display]\nid = 0x2000\ntiming = 2560 1440 2720 1481 24150\n";

GpuPerfInfo WithPixelClock(int32_t pixelClock) {
    GpuPerfInfo info{};
    info.pixelClock = pixelClock;
    return info;
}

// The custom display records handed to TryCustomDisplay follow the display ids in its payload.
struct TriedDisplays {
    explicit TriedDisplays(const SimJournalEntry& call, size_t count)
        : bytes(call.payload), base(4 * count) {}
    uint32_t Word(size_t display, size_t offset) const {
        return WordAt(bytes, base + 144 * display + offset);
    }
    float Float(size_t display, size_t offset) const {
        uint32_t word = Word(display, offset);
        float value;
        std::memcpy(&value, &word, sizeof value);
        return value;
    }
    uint32_t Timing(size_t display, size_t offset) const { return Word(display, 44 + offset); }

    std::vector<uint8_t> bytes;
    size_t base;
};

}  // namespace

TEST(ListConnectedDisplays, ListsInGpuOrderThenDriverOrder) {
    Machine machine(
        "[gpu]\n[gpu]\n[gpu]\n"
        "[display]\ngpu = 1\nid = 0x300\n"
        "[display]\ngpu = 0\nid = 0x100\n"
        "[display]\ngpu = 0\nid = 0x200\nconnected = no\n"
        "[display]\ngpu = 0\nid = 0x400\n");
    int result = -99;
    EXPECT_EQ(machine.Listed(result), (std::vector<uint32_t>{0x100, 0x400, 0x300}));
    EXPECT_EQ(result, 0);
    // A count query per GPU, and a second query only for GPUs with displays, every entry versioned.
    auto calls = machine.sim.Calls(QueryId::GetConnectedDisplayIds);
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[1].version, 0x00030010u);
    EXPECT_EQ(calls[1].payload.size(), 2u * 16u);
    EXPECT_EQ(WordAt(calls[1].payload, 16), 0x00030010u);
}

TEST(ListConnectedDisplays, ReportsFailuresByTheirOwnResults) {
    struct Case {
        uint32_t failing;
        int expected;
    };
    const Case cases[] = {
        {QueryId::EnumPhysicalGPUs, NvStatus::NvidiaDeviceNotFound},
        {QueryId::GetConnectedDisplayIds, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QueryIdToName(c.failing));
        Machine machine(kTwoDisplays);
        machine.sim.FailAlways(c.failing, NvStatus::NvidiaDeviceNotFound);
        int result = 0;
        EXPECT_TRUE(machine.Listed(result).empty());
        EXPECT_EQ(result, c.expected);
    }
}

TEST(ReadPixelClock, ReadsTheFirstDisplaysCurrentTiming) {
    Machine machine(kTwoDisplays);
    GpuPerfInfo info{};
    ASSERT_EQ(machine.gpu.ReadPixelClock(info), 0);
    EXPECT_EQ(info.pixelClock, 14850);
    auto calls = machine.sim.Calls(QueryId::GetTiming);
    ASSERT_EQ(calls.size(), 1u);
    const auto& input = calls[0].payload;
    EXPECT_EQ(WordAt(input, 0), 0x00010020u);
    EXPECT_EQ(WordAt(input, 4), 1024u);
    EXPECT_EQ(WordAt(input, 8), 999u);
    float rate = 0;
    std::memcpy(&rate, input.data() + 12, sizeof rate);
    EXPECT_EQ(rate, 60.0f);
    EXPECT_EQ(WordAt(input, 28), 0u);
}

TEST(ReadPixelClock, FailuresKeepThePixelClock) {
    struct Case {
        const char* name;
        const char* scenario;
        uint32_t failing;
        int expected;
    };
    const Case cases[] = {
        {"no display", "[gpu]\n", 0, -1},
        {"timing refused", kOneDisplay, QueryId::GetTiming, NvStatus::NotSupported},
        {"displays not listed", kOneDisplay, QueryId::GetConnectedDisplayIds, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Machine machine(c.scenario);
        if (c.failing) machine.sim.FailAlways(c.failing, NvStatus::NotSupported);
        GpuPerfInfo info = WithPixelClock(777);
        EXPECT_EQ(machine.gpu.ReadPixelClock(info), c.expected);
        EXPECT_EQ(info.pixelClock, 777);
    }
}

// The refresh rate follows from the totals taken as a single-precision number: the last case
// differs by one from the exact quotient.
TEST(WritePixelClock, RetimesTheCurrentModeAndReappliesIt) {
    struct Case {
        const char* timing;
        int32_t pixelClock;
        uint32_t width, height, rateX1000, rate;
    };
    const Case cases[] = {
        {"1920 1080 2200 1125 14850", 14850, 1920, 1080, 60000, 60},
        {"1920 1080 2200 1125 14850", 16000, 1920, 1080, 64646, 64},
        {"2560 1440 2720 1481 24150", 24150, 2560, 1440, 59950, 59},
        {"3840 2160 4413 3827 59400", 123457, 3840, 2160, 73100, 73},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pixelClock);
        Machine machine(std::string("[gpu]\n[display]\nid = 0x1000\ntiming = ") + c.timing + "\n");
        ASSERT_EQ(machine.gpu.WritePixelClock(WithPixelClock(c.pixelClock)), 0);

        auto tries = machine.sim.Calls(QueryId::TryCustomDisplay);
        ASSERT_EQ(tries.size(), 1u);
        TriedDisplays tried(tries[0], 1);
        EXPECT_EQ(WordAt(tried.bytes, 0), 0x1000u);
        EXPECT_EQ(tried.Word(0, 0), 0x00010090u);
        EXPECT_EQ(tried.Word(0, 4), c.width);
        EXPECT_EQ(tried.Word(0, 8), c.height);
        EXPECT_EQ(tried.Word(0, 12), 32u);
        EXPECT_EQ(tried.Word(0, 16), 21u);
        const float partition[] = {0.0f, 0.0f, 1.0f, 1.0f, 1.0f, 1.0f};
        for (size_t i = 0; i < 6; ++i) EXPECT_EQ(tried.Float(0, 20 + 4 * i), partition[i]);
        EXPECT_EQ(tried.Timing(0, 28), static_cast<uint32_t>(c.pixelClock));
        EXPECT_EQ(tried.Timing(0, 40), c.rateX1000);
        EXPECT_EQ(tried.Timing(0, 36) & 0xFFFF, c.rate);
        for (size_t offset = 56; offset < 96; offset += 4) EXPECT_EQ(tried.Timing(0, offset), 0u) << "name";

        auto saves = machine.sim.Calls(QueryId::SaveCustomDisplay);
        ASSERT_EQ(saves.size(), 1u);
        EXPECT_EQ(saves[0].payload, (std::vector<uint8_t>{0x00, 0x10, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}));
        EXPECT_EQ(machine.clock.sleeps, std::vector<uint32_t>{1000});

        auto sets = machine.sim.Calls(QueryId::SetDisplayConfig);
        ASSERT_EQ(sets.size(), 1u);
        EXPECT_EQ(sets[0].status, NvStatus::Ok);
        // Flags, then the one target: display id, source width and height, refresh rate x 1000.
        const auto& sent = sets[0].payload;
        ASSERT_EQ(sent.size(), 20u);
        EXPECT_EQ(WordAt(sent, 0), 0x0Eu);
        EXPECT_EQ(WordAt(sent, 4), 0x1000u);
        EXPECT_EQ(WordAt(sent, 8), c.width);
        EXPECT_EQ(WordAt(sent, 12), c.height);
        EXPECT_EQ(WordAt(sent, 16), c.rateX1000);
        EXPECT_EQ(machine.PixelClock(), c.pixelClock);
    }
}

TEST(WritePixelClock, GivesEveryDisplayTheClockAndRewritesOnlyTheFirstPath) {
    Machine machine(kTwoDisplays);
    ASSERT_EQ(machine.gpu.WritePixelClock(WithPixelClock(16000)), 0);

    auto tries = machine.sim.Calls(QueryId::TryCustomDisplay);
    ASSERT_EQ(tries.size(), 1u);
    TriedDisplays tried(tries[0], 2);
    EXPECT_EQ(WordAt(tried.bytes, 0), 0x1000u);
    EXPECT_EQ(WordAt(tried.bytes, 4), 0x2000u);
    EXPECT_EQ(tried.Timing(0, 28), 16000u);
    EXPECT_EQ(tried.Timing(1, 28), 16000u);
    EXPECT_EQ(tried.Word(1, 4), 2560u);
    EXPECT_EQ(tried.Timing(1, 40), 39718u);  // 16000e7 / (2720 x 1481)
    EXPECT_EQ(machine.sim.Calls(QueryId::SaveCustomDisplay)[0].payload.size(), 2u * 4u + 8u);

    auto sets = machine.sim.Calls(QueryId::SetDisplayConfig);
    ASSERT_EQ(sets.size(), 1u);
    const auto& sent = sets[0].payload;
    ASSERT_EQ(sent.size(), 20u) << "one path with one target";
    EXPECT_EQ(WordAt(sent, 4), 0x1000u);
    EXPECT_EQ(WordAt(sent, 8), 1920u);
    EXPECT_EQ(WordAt(sent, 16), 64646u);
}

// Before the mode is tried and saved a failure leaves the display alone; after it, the failure is
// reported and the display keeps what the driver has. The process goes on either way.
TEST(WritePixelClock, ReportsFailuresAndLeavesTheDisplayToTheDriver) {
    struct Case {
        uint32_t failing;
        int expected;
        bool slept;
        int32_t pixelClockAfter;
    };
    const Case cases[] = {
        {QueryId::EnumPhysicalGPUs, kPixelClockUnchanged, false, 14850},
        {QueryId::GetTiming, kPixelClockUnchanged, false, 14850},
        {QueryId::TryCustomDisplay, kPixelClockUnchanged, false, 14850},
        // A tried mode is in force until the driver drops it; only saving it failed.
        {QueryId::SaveCustomDisplay, kPixelClockUnchanged, false, 16000},
        {QueryId::GetDisplayConfig, kPixelClockNotReapplied, true, 16000},
        {QueryId::SetDisplayConfig, kPixelClockNotReapplied, true, 16000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QueryIdToName(c.failing));
        Machine machine(kOneDisplay);
        machine.sim.FailFirst(c.failing, 1, NvStatus::Error);
        EXPECT_EQ(machine.gpu.WritePixelClock(WithPixelClock(16000)), c.expected);
        EXPECT_EQ(machine.gpu.status, NvStatus::Error);
        EXPECT_EQ(machine.clock.SleptMs(), c.slept ? 1000u : 0u);
        if (!c.slept) {
            EXPECT_EQ(machine.sim.CallCount(QueryId::SetDisplayConfig), 0u);
        }
        EXPECT_EQ(machine.PixelClock(), c.pixelClockAfter);
    }
}

TEST(WritePixelClock, DoesNothingWithoutADisplayOrAUsableClock) {
    struct Case {
        const char* name;
        const char* scenario;
        int32_t pixelClock;
    };
    const Case cases[] = {
        {"no display", "[gpu]\n", 16000},
        {"zero pixel clock", kOneDisplay, 0},
        {"negative pixel clock", kOneDisplay, -5},
        {"rate beyond the record", kOneDisplay, 2000000000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Machine machine(c.scenario);
        EXPECT_EQ(machine.gpu.WritePixelClock(WithPixelClock(c.pixelClock)), kPixelClockUnchanged);
        EXPECT_EQ(machine.sim.CallCount(QueryId::TryCustomDisplay), 0u);
        EXPECT_TRUE(machine.clock.sleeps.empty());
    }
}

TEST(ReadDisplayPaths, ReadsInThreePassesIntoArraysItOwns) {
    Machine machine(kTwoDisplays);
    uint32_t count = 0;
    DisplayPathSet set;
    ASSERT_EQ(machine.gpu.ReadDisplayPaths(count, set), 0);
    ASSERT_EQ(count, 2u);
    ASSERT_EQ(set.paths.size(), 2u);
    EXPECT_EQ(machine.sim.CallCount(QueryId::GetDisplayConfig), 3u);
    const uint32_t widths[] = {1920, 2560};
    const uint32_t ids[] = {0x1000, 0x2000};
    const uint32_t rates[] = {60000, 59950};
    for (size_t p = 0; p < 2; ++p) {
        SCOPED_TRACE(p);
        const auto& path = set.paths[p];
        EXPECT_EQ(path.version, kPathInfoVer);
        ASSERT_EQ(path.targetInfoCount, 1u);
        ASSERT_EQ(path.targetInfo, set.targets[p].data());
        ASSERT_EQ(path.sourceModeInfo, &set.sourceModes[p]);
        EXPECT_EQ(path.sourceModeInfo->resolution.width, widths[p]);
        EXPECT_EQ(path.targetInfo[0].displayId, ids[p]);
        ASSERT_EQ(path.targetInfo[0].details, &set.details[p][0]);
        EXPECT_EQ(path.targetInfo[0].details->version, 0x00010080u);
        EXPECT_EQ(path.targetInfo[0].details->refreshRate1K, rates[p]);
    }

    // Moving the set keeps every pointer valid.
    DisplayPathSet moved = std::move(set);
    EXPECT_EQ(moved.paths[1].targetInfo[0].details->refreshRate1K, 59950u);
}

TEST(ReadDisplayPaths, RefusesCountsItCannotHoldAndReportsFailures) {
    struct Case {
        const char* name;
        const char* driverKeys;
        bool rejectPathVersion;
        int expected;
        uint32_t count;
        size_t calls;
    };
    const Case cases[] = {
        {"driver claims 4294967295 paths", "claimed_path_count = 4294967295\n", false, NvStatus::OutOfMemory,
         0, 1},
        {"driver claims 5 paths, has 2", "claimed_path_count = 5\n", false, 0, 2, 3},
        {"path version rejected", "", true, NvStatus::IncompatibleStructVersion, 0, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Machine machine(std::string("[driver]\n") + c.driverKeys + kTwoDisplays);
        if (c.rejectPathVersion) machine.sim.RejectVersion(QueryId::GetDisplayConfig, kPathInfoVer);
        uint32_t count = 99;
        DisplayPathSet set;
        EXPECT_EQ(machine.gpu.ReadDisplayPaths(count, set), c.expected);
        EXPECT_EQ(count, c.count);
        EXPECT_EQ(set.paths.size(), c.count);
        EXPECT_EQ(machine.sim.CallCount(QueryId::GetDisplayConfig), c.calls);
    }
}
