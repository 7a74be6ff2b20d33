#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "JournalBytes.h"
#include "ScenarioText.h"
#include "SimCard.h"
#include "gpu/CGpuControl.h"
#include "sim/SimDriver.h"
#include "sim/SimTuning.h"

namespace {

// A small curve: graphics points 0-3 (the first two not carrying the offset), memory points 5-6.
const char* const kSmallCurve =
    "vf_domain = graphics 0 3 300000 -200000\n"
    "vf_domain = memory 5 6 1000000 -500000\n"
    "vf_point_flags = 0 1 1\n"
    "vf_point_offset = 0 1 -7000\n"
    "vf_point_offset = 2 3 40000\n"
    "vf_point_offset = 5 6 120000\n";

constexpr size_t PointOffsetAt(size_t point) {
    return 68 + 36 * point + 20;
}

}  // namespace

TEST(ReadVfDomains, TakesTheFirstTwoEntriesByPosition) {
    // Memory listed first: the program takes position 0 as graphics whatever its domain id says.
    SimCard machine(
        "vf_domain = memory 80 80 1000000 -1000000\n"
        "vf_domain = graphics 0 79 500000 -250000\n");
    GpuPerfInfo info = UntouchedInfo();
    machine.gpu.ReadVfDomains(kSelectedGpu, info);
    EXPECT_EQ(info.vfGraphicsUpper, 1000000);
    EXPECT_EQ(info.vfGraphicsLower, -1000000);
    EXPECT_EQ(info.vfGraphicsFirst, 80);
    EXPECT_EQ(info.vfGraphicsLast, 80);
    EXPECT_EQ(info.vfMemoryUpper, 500000);
    EXPECT_EQ(info.vfMemoryLower, -250000);
    EXPECT_EQ(info.vfMemoryFirst, 0);
    EXPECT_EQ(info.vfMemoryLast, 79);
}

TEST(ReadVfDomains, AFailedReadLeavesTheFields) {
    for (uint32_t failing : {QueryId::GetVfDomainInfo, QueryId::GetVfPointInfo}) {
        SCOPED_TRACE(QueryIdToName(failing));
        SimCard machine(kSmallCurve);
        machine.sim.FailAlways(failing, NvStatus::NotSupported);
        GpuPerfInfo info = UntouchedInfo();
        machine.gpu.ReadVfDomains(kSelectedGpu, info);
        EXPECT_EQ(info.vfGraphicsUpper, kUntouched);
        EXPECT_EQ(info.vfMemoryLast, kUntouched);
        EXPECT_EQ(machine.gpu.status, NvStatus::NotSupported);
    }
}

TEST(ReadVfOffsets, TakesEachDomainsFirstPointThatCarriesTheOffset) {
    SimCard machine(kSmallCurve);
    GpuPerfInfo info = UntouchedInfo();
    machine.gpu.ReadVfOffsets(info);
    EXPECT_EQ(info.graphicsOffset, 40000);
    EXPECT_EQ(info.memoryOffset, 120000);
    // The control read asks for exactly the points of the point information's mask.
    auto reads = machine.sim.Calls(QueryId::GetVfPointControl);
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_EQ(WordAt(reads[0].received, 4), 0x6Fu);
}

TEST(ReadVfOffsets, SkipsFlaggedDomainEntriesAndTakesNothingFromFailedReads) {
    struct Case {
        const char* name;
        std::string keys;
        uint32_t failing;
        int32_t graphicsOffset, memoryOffset;
    };
    const Case cases[] = {
        {"graphics entry flagged",
         "vf_domain = graphics 0 3 300000 -200000 skipped\n" + std::string(kSmallCurve), 0, 40000, 120000},
        {"only a flagged entry",
         "vf_domain = graphics 2 3 300000 -200000 skipped\nvf_point_offset = 2 3 40000\n", 0, kUntouched,
         kUntouched},
        {"domain read fails", kSmallCurve, QueryId::GetVfDomainInfo, kUntouched, kUntouched},
        {"point read fails", kSmallCurve, QueryId::GetVfPointInfo, kUntouched, kUntouched},
        {"control read fails", kSmallCurve, QueryId::GetVfPointControl, kUntouched, kUntouched},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimCard machine(c.keys);
        if (c.failing) machine.sim.FailAlways(c.failing, NvStatus::Error);
        GpuPerfInfo info = UntouchedInfo();
        machine.gpu.ReadVfOffsets(info);
        EXPECT_EQ(info.graphicsOffset, c.graphicsOffset);
        EXPECT_EQ(info.memoryOffset, c.memoryOffset);
    }
}

TEST(SetVfPointOffset, Point37SendsOnlyBit5OfWord1) {
    SimCard machine("vf_domain = graphics 0 79 500000 -500000\n");
    ASSERT_EQ(machine.gpu.SetVfPointOffset(37, 26000), 1);

    std::vector<uint32_t> order;
    for (const auto& call : machine.sim.Journal()) order.push_back(call.queryId);
    EXPECT_EQ(order, (std::vector<uint32_t>{QueryId::GetVfDomainInfo, QueryId::GetVfPointInfo,
                                            QueryId::GetVfPointControl, QueryId::SetVfPointControl}));
    for (uint32_t id : {QueryId::GetVfPointControl, QueryId::SetVfPointControl}) {
        const auto& bytes = machine.sim.Calls(id)[0].received;
        ASSERT_EQ(bytes.size(), 9248u);
        EXPECT_EQ(WordAt(bytes, 0), 0x00012420u);
        for (size_t word = 0; word < 8; ++word)
            EXPECT_EQ(WordAt(bytes, 4 + 4 * word), word == 1 ? 1u << 5 : 0u) << "mask word " << word;
    }
    EXPECT_EQ(SignedAt(machine.sim.Calls(QueryId::SetVfPointControl)[0].received, PointOffsetAt(37)), 26000);

    GpuPerfInfo info{};
    machine.gpu.ReadVfOffsets(info);
    EXPECT_EQ(info.graphicsOffset, 0);  // point 0 still carries the domain's old offset
    machine.sim.ClearJournal();
    machine.gpu.ReadVfOffsets(info);
    EXPECT_EQ(SignedAt(machine.sim.Calls(QueryId::GetVfPointControl)[0].returned, PointOffsetAt(37)), 26000);
}

TEST(SetVfPointOffset, Returns0WhenAnyStepFails) {
    struct Case {
        const char* name;
        uint32_t failing;
        int point;
        int offset;
        size_t calls;
    };
    const Case cases[] = {
        {"domain read fails", QueryId::GetVfDomainInfo, 2, 1000, 1},
        {"point read fails", QueryId::GetVfPointInfo, 2, 1000, 2},
        {"control read fails", QueryId::GetVfPointControl, 2, 1000, 3},
        {"write refused", QueryId::SetVfPointControl, 2, 1000, 4},
        {"offset above the limit", 0, 2, 300001, 4},
        {"point the curve lacks", 0, 40, 1000, 4},
        {"point past the mask", 0, 255, 1000, 0},
        {"negative point", 0, -1, 1000, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimCard machine(kSmallCurve);
        if (c.failing) machine.sim.FailAlways(c.failing, NvStatus::Error);
        EXPECT_EQ(machine.gpu.SetVfPointOffset(c.point, c.offset), 0);
        EXPECT_EQ(machine.sim.Journal().size(), c.calls);
        EXPECT_EQ(machine.Tuning().graphicsOffsetKhz, 40000);
    }
}

TEST(WriteVfOffsets, WritesEveryPointOfEachDomainOnce) {
    SimCard machine(kSmallCurve);
    GpuPerfInfo info{};
    info.graphicsOffset = 100000;
    info.memoryOffset = -50000;
    machine.gpu.WriteVfOffsets(kSelectedGpu, info);

    // Two reads for the domains, then four calls a point: points 0-3 and 5-6.
    EXPECT_EQ(machine.sim.Journal().size(), 2u + 4u * 6u);
    auto writes = machine.sim.Calls(QueryId::SetVfPointControl);
    ASSERT_EQ(writes.size(), 6u);
    const size_t points[] = {0, 1, 2, 3, 5, 6};
    for (size_t i = 0; i < writes.size(); ++i) {
        size_t k = points[i];
        EXPECT_EQ(WordAt(writes[i].received, 4 + 4 * (k / 32)), 1u << (k % 32));
        EXPECT_EQ(SignedAt(writes[i].received, PointOffsetAt(k)), k < 5 ? 100000 : -50000);
    }
    GpuPerfInfo back{};
    machine.gpu.ReadVfOffsets(back);
    EXPECT_EQ(back.graphicsOffset, 100000);
    EXPECT_EQ(back.memoryOffset, -50000);
    EXPECT_EQ(machine.Tuning().graphicsOffsetKhz, 100000);
    EXPECT_EQ(machine.Tuning().memoryOffsetKhz, -50000);
}

TEST(WriteVfOffsets, WritesNoPointOfADomainWithoutPoints) {
    // Memory's first point above its last: no memory point is written.
    SimCard machine(
        "vf_domain = graphics 0 1 300000 -200000\n"
        "vf_domain = memory 5 4 1000000 -500000\n");
    GpuPerfInfo info{};
    info.graphicsOffset = 10000;
    info.memoryOffset = 20000;
    machine.gpu.WriteVfOffsets(kSelectedGpu, info);
    auto writes = machine.sim.Calls(QueryId::SetVfPointControl);
    ASSERT_EQ(writes.size(), 2u);
    for (size_t k = 0; k < writes.size(); ++k) {
        EXPECT_EQ(WordAt(writes[k].received, 4), 1u << k);
        EXPECT_EQ(SignedAt(writes[k].received, PointOffsetAt(k)), 10000);
    }
}

TEST(WriteVfOffsets, WritesNothingWhenTheDomainsCannotBeRead) {
    // The caller's copy still names points: they must not be taken as the curve's.
    SimCard machine(kSmallCurve);
    machine.sim.FailFirst(QueryId::GetVfPointInfo, 1, NvStatus::Error);
    GpuPerfInfo info{};
    info.vfGraphicsFirst = 0;
    info.vfGraphicsLast = 3;
    info.graphicsOffset = 90000;
    machine.gpu.WriteVfOffsets(kSelectedGpu, info);
    EXPECT_EQ(machine.sim.CallCount(QueryId::SetVfPointControl), 0u);
}

TEST(VoltBoost, RoundTripsThePercentAtByte4) {
    SimCard machine("volt_boost = 12\n");
    uint8_t percent = 0;
    ASSERT_EQ(machine.gpu.ReadVoltBoost(percent), NvStatus::Ok);
    EXPECT_EQ(percent, 12);

    ASSERT_EQ(machine.gpu.WriteVoltBoost(kSelectedGpu, 75), 0);
    auto writes = machine.sim.Calls(QueryId::SetVoltBoost);
    ASSERT_EQ(writes.size(), 1u);
    std::vector<uint8_t> expected(40, 0);
    expected[0] = 0x28;
    expected[2] = 0x01;
    expected[4] = 75;
    EXPECT_EQ(writes[0].received, expected);
    ASSERT_EQ(machine.gpu.ReadVoltBoost(percent), NvStatus::Ok);
    EXPECT_EQ(percent, 75);
    EXPECT_EQ(machine.Tuning().voltBoostPercent, 75u);
}

TEST(VoltBoost, FailuresKeepTheOutputAndReportTheStatus) {
    SimCard machine("volt_boost = 12\n");
    EXPECT_EQ(machine.gpu.WriteVoltBoost(kSelectedGpu, 101), 1);
    machine.sim.FailAlways(QueryId::GetVoltBoost, NvStatus::NotSupported);
    uint8_t percent = 33;
    EXPECT_EQ(machine.gpu.ReadVoltBoost(percent), NvStatus::NotSupported);
    EXPECT_EQ(percent, 33);
    EXPECT_EQ(machine.Tuning().voltBoostPercent, 12u);
}
