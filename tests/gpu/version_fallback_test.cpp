#include <gtest/gtest.h>

#include <vector>

#include "gpu/NvApi.h"
#include "gpu/VersionFallback.h"
#include "sim/SimDriver.h"

TEST(VersionFallback, TriesVersionsInOrderAndStopsAtTheFirstSuccess) {
    std::vector<uint32_t> tried;
    int32_t status = CallWithVersions({3, 2, 1}, [&](uint32_t version) {
        tried.push_back(version);
        return version == 2 ? NvStatus::Ok : NvStatus::IncompatibleStructVersion;
    });
    EXPECT_EQ(status, NvStatus::Ok);
    EXPECT_EQ(tried, (std::vector<uint32_t>{3, 2}));
}

TEST(VersionFallback, ReturnsTheLastFailureWhenEveryVersionFails) {
    int attempts = 0;
    int32_t status = CallWithVersions({3, 2, 1}, [&](uint32_t version) {
        ++attempts;
        return version == 1 ? NvStatus::NotSupported : NvStatus::IncompatibleStructVersion;
    });
    EXPECT_EQ(status, NvStatus::NotSupported);
    EXPECT_EQ(attempts, 3);
}

TEST(VersionFallback, AVersionTheDriverRejectsIsRetriedWithTheNextOne) {
    SimDriver sim;
    sim.RejectVersion(QueryId::GetDisplayDriverVersion, kDisplayDriverVersionVer);
    NvApi api(sim.QueryInterface());
    ASSERT_EQ(api.Initialize(), NvStatus::Ok);

    // The simulator accepts one version; with it rejected, a record twice as long is not accepted either.
    const uint32_t doubled = MakeNvVersion(2, 2 * sizeof(NV_DISPLAY_DRIVER_VERSION));
    NV_DISPLAY_DRIVER_VERSION record[2] = {};
    auto attempt = [&](uint32_t version) {
        record[0] = {};
        record[0].version = version;
        return api.GetDisplayDriverVersion(nullptr, record);
    };
    EXPECT_EQ(CallWithVersions({kDisplayDriverVersionVer, doubled}, attempt),
              NvStatus::IncompatibleStructVersion);

    sim.ClearFailures();
    sim.ClearJournal();
    EXPECT_EQ(CallWithVersions({doubled, kDisplayDriverVersionVer}, attempt), NvStatus::Ok);
    auto calls = sim.Calls(QueryId::GetDisplayDriverVersion);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].version, doubled);
    EXPECT_EQ(calls[0].status, NvStatus::IncompatibleStructVersion);
    EXPECT_EQ(calls[1].version, kDisplayDriverVersionVer);
    EXPECT_EQ(calls[1].status, NvStatus::Ok);
    EXPECT_EQ(record[0].drvVersion, 41130u);
}
