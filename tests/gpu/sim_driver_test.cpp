#include <gtest/gtest.h>

#include <cstring>

#include "ScenarioText.h"
#include "gpu/NvApi.h"
#include "sim/SimDriver.h"

namespace {

// A driver already initialised, as every area's tests need it.
struct InitialisedSim {
    InitialisedSim() : sim(DefaultScenario()), api(sim.QueryInterface()) {
        EXPECT_EQ(api.Initialize(), NvStatus::Ok);
    }
    SimDriver sim;
    NvApi api;
};

}  // namespace

TEST(SimDriver, RefusesCallsBeforeInitialize) {
    SimDriver sim;
    NvApi api(sim.QueryInterface());
    NvPhysicalGpuHandle handles[64] = {};
    uint32_t count = 0;
    EXPECT_EQ(api.EnumPhysicalGPUs(handles, &count), NvStatus::ApiNotInitialized);
    char text[kNvShortStringMax];
    EXPECT_EQ(api.GetErrorMessage(NvStatus::ApiNotInitialized, text), NvStatus::Ok);
    EXPECT_STREQ(text, "NVAPI_API_NOT_INITIALIZED");
    EXPECT_EQ(api.Initialize(), NvStatus::Ok);
    EXPECT_EQ(api.EnumPhysicalGPUs(handles, &count), NvStatus::Ok);
    EXPECT_EQ(count, 1u);
}

TEST(SimDriver, JournalsEachCallWithItsRecordAsReceivedAndAsReturned) {
    InitialisedSim s;
    NV_DISPLAY_DRIVER_VERSION record{};
    record.version = kDisplayDriverVersionVer;
    std::memset(record.szAdapterString, 'Q', sizeof record.szAdapterString);
    ASSERT_EQ(s.api.GetDisplayDriverVersion(nullptr, &record), NvStatus::Ok);

    const SimJournalEntry& entry = s.sim.Journal().back();
    EXPECT_EQ(entry.queryId, QueryId::GetDisplayDriverVersion);
    EXPECT_EQ(entry.function, "NvAPI_GetDisplayDriverVersion");
    EXPECT_EQ(entry.status, NvStatus::Ok);
    EXPECT_EQ(entry.version, kDisplayDriverVersionVer);
    ASSERT_EQ(entry.received.size(), sizeof record);
    ASSERT_EQ(entry.returned.size(), sizeof record);
    EXPECT_EQ(entry.received[76], 'Q');
    EXPECT_EQ(entry.returned[76], 'G');  // "GeForce GTX 1080"
    uint32_t returnedVersion = 0;
    std::memcpy(&returnedVersion, &entry.returned[4], 4);
    EXPECT_EQ(returnedVersion, 41130u);
    EXPECT_EQ(FormatJournalEntry(entry).substr(0, 60),
              "F951A4D1 NvAPI_GetDisplayDriverVersion status=0 version=0001");
}

TEST(SimDriver, RejectsUnknownAndScenarioRejectedVersions) {
    InitialisedSim s;
    NV_DISPLAY_DRIVER_VERSION record{};
    record.version = MakeNvVersion(1, sizeof record - 4);
    EXPECT_EQ(s.api.GetDisplayDriverVersion(nullptr, &record), NvStatus::IncompatibleStructVersion);
    EXPECT_EQ(s.sim.Journal().back().received.size(), 4u);  // an unknown size is never read past the version

    record.version = kDisplayDriverVersionVer;
    s.sim.RejectVersion(QueryId::GetDisplayDriverVersion, kDisplayDriverVersionVer);
    EXPECT_EQ(s.api.GetDisplayDriverVersion(nullptr, &record), NvStatus::IncompatibleStructVersion);
    EXPECT_EQ(record.drvVersion, 0u);
}

TEST(SimDriver, FailsAFunctionForItsFirstCallsOrForEver) {
    InitialisedSim s;
    uint32_t kilobytes = 0;
    NvPhysicalGpuHandle gpu = s.sim.GpuHandle(0);
    s.sim.FailFirst(QueryId::GetPhysicalFrameBufferSize, 2, NvStatus::NotSupported);
    EXPECT_EQ(s.api.GetPhysicalFrameBufferSize(gpu, &kilobytes), NvStatus::NotSupported);
    EXPECT_EQ(s.api.GetPhysicalFrameBufferSize(gpu, &kilobytes), NvStatus::NotSupported);
    EXPECT_EQ(kilobytes, 0u);
    EXPECT_EQ(s.api.GetPhysicalFrameBufferSize(gpu, &kilobytes), NvStatus::Ok);
    EXPECT_EQ(kilobytes, 8388608u);

    s.sim.FailAlways(QueryId::GetGpuCoreCount, NvStatus::Error);
    uint32_t cores = 0;
    for (int i = 0; i < 5; ++i) EXPECT_EQ(s.api.GetGpuCoreCount(gpu, &cores), NvStatus::Error);
    EXPECT_EQ(s.sim.CallCount(QueryId::GetGpuCoreCount), 5u);
    EXPECT_EQ(s.sim.Calls(QueryId::GetGpuCoreCount).back().status, NvStatus::Error);
}

TEST(SimDriver, ChecksHandlesAndPointers) {
    InitialisedSim s;
    uint32_t value = 0;
    EXPECT_EQ(s.api.GetGpuCoreCount(nullptr, &value), NvStatus::ExpectedPhysicalGpuHandle);
    EXPECT_EQ(s.api.GetGpuCoreCount(s.sim.GpuHandle(1), &value), NvStatus::ExpectedPhysicalGpuHandle);
    EXPECT_EQ(s.api.GetGpuCoreCount(s.sim.GpuHandle(0), nullptr), NvStatus::InvalidArgument);
    EXPECT_EQ(s.api.GetDisplayDriverVersion(reinterpret_cast<NvDisplayHandle>(s.sim.GpuHandle(0)), nullptr),
              NvStatus::ExpectedDisplayHandle);
    NvDisplayHandle display = nullptr;
    EXPECT_EQ(s.api.EnumNvidiaDisplayHandle(0, &display), NvStatus::Ok);
    EXPECT_EQ(s.api.EnumNvidiaDisplayHandle(1, &display), NvStatus::EndEnumeration);
    EXPECT_EQ(display, s.sim.DisplayHandle(0));
}

TEST(SimDriver, OnlyTheActiveDriverAnswersAndNoneAfterItIsGone) {
    NvQueryInterfaceFn queryInterface = nullptr;
    {
        SimDriver outer(ScenarioFromText("[gpu]\ncores = 1\n"));
        queryInterface = outer.QueryInterface();
        {
            SimDriver inner(ScenarioFromText("[gpu]\ncores = 2\n"));
            EXPECT_EQ(SimDriver::Active(), &inner);
            NvApi api(queryInterface);
            api.Initialize();
            uint32_t cores = 0;
            EXPECT_EQ(api.GetGpuCoreCount(inner.GpuHandle(0), &cores), NvStatus::Ok);
            EXPECT_EQ(cores, 2u);
            EXPECT_EQ(outer.Journal().size(), 0u);
        }
        EXPECT_EQ(SimDriver::Active(), &outer);
    }
    EXPECT_EQ(SimDriver::Active(), nullptr);
    EXPECT_EQ(queryInterface(QueryId::Initialize), nullptr);
}

TEST(SimDriver, GivesNoFunctionForAnIdItDoesNotKnow) {
    SimDriver sim;
    EXPECT_EQ(sim.QueryInterface()(0x12345678), nullptr);
    EXPECT_NE(sim.QueryInterface()(QueryId::Initialize), nullptr);
}

TEST(SimDriver, JournalSinkSeesEveryCall) {
    SimDriver sim;
    std::vector<std::string> lines;
    sim.SetJournalSink([&](const SimJournalEntry& entry) { lines.push_back(FormatJournalEntry(entry)); });
    NvApi api(sim.QueryInterface());
    api.Initialize();
    api.Initialize();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "0150E828 NvAPI_Initialize status=0 version=00000000 in= out= data=");

    sim.KeepJournal(false);
    api.Initialize();
    EXPECT_EQ(lines.size(), 3u);
    EXPECT_EQ(sim.Journal().size(), 2u);
}

TEST(SimDriver, AnEntryOfCallsStaysValidWhileMoreCallsArrive) {
    InitialisedSim s;
    const SimJournalEntry& first = s.sim.Calls(QueryId::Initialize)[0];
    for (int i = 0; i < 100; ++i) s.api.Initialize();
    EXPECT_EQ(first.function, "NvAPI_Initialize");
    EXPECT_EQ(s.sim.CallCount(QueryId::Initialize), 101u);
    EXPECT_EQ(s.sim.Journal().size(), 101u);
}
