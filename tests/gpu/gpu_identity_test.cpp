#include <gtest/gtest.h>

#include <string>

#include "ScenarioText.h"
#include "gpu/CGpuControl.h"
#include "sim/SimDriver.h"

namespace {

// One enumerated GPU built from the [gpu] keys given.
struct IdentityFixture {
    explicit IdentityFixture(const std::string& gpuKeys)
        : sim(ScenarioFromText("[gpu]\n" + gpuKeys)), gpu(sim.QueryInterface()) {
        EXPECT_EQ(gpu.EnumGpus(), 0);
    }
    SimDriver sim;
    CGpuControl gpu;
};

}  // namespace

TEST(GpuIdentity, MemorySizeRoundsKilobytesToTheNearestMegabyteHalfUp) {
    struct Case {
        uint32_t kilobytes;
        int megabytes;
    } cases[] = {
        {8 * 1024 * 1024, 8192}, {5 * 1024 + 512, 6}, {5 * 1024 + 511, 5}, {0, 0}, {0xFFFFFFFF, 4194304},
    };
    for (const auto& c : cases) {
        IdentityFixture f("framebuffer_kb = " + std::to_string(c.kilobytes));
        int megabytes = -1;
        EXPECT_EQ(f.gpu.ReadMemorySize(-1, megabytes), 0);
        EXPECT_EQ(megabytes, c.megabytes) << c.kilobytes;
    }
}

TEST(GpuIdentity, MemorySizeIsZeroAfterAFailure) {
    IdentityFixture f("framebuffer_kb = 4096");
    f.sim.FailAlways(QueryId::GetPhysicalFrameBufferSize, NvStatus::Error);
    int megabytes = 77;
    EXPECT_EQ(f.gpu.ReadMemorySize(-1, megabytes), 1);
    EXPECT_EQ(megabytes, 0);
    EXPECT_EQ(f.gpu.status, NvStatus::Error);
}

TEST(GpuIdentity, MemoryTypeAndMakerCodesMapToTheirTexts) {
    struct Case {
        uint32_t code;
        const char* type;
        const char* maker;
    } cases[] = {
        {0, "UNKNOWN", "UNKNOWN"}, {1, "SDRAM", "Samsung"},      {6, "GDDR4", "Hynix"},
        {8, "GDDR5", "Winbond"},   {10, "GDDR5X", "Micron"},     {13, "SDDR4", "kept"},
        {14, "kept", "kept"},      {0xFFFFFFFF, "kept", "kept"},
    };
    for (const auto& c : cases) {
        IdentityFixture f("memory_type = " + std::to_string(c.code) +
                          "\nmemory_maker = " + std::to_string(c.code));
        std::string type = "kept", maker = "kept";
        EXPECT_EQ(f.gpu.ReadMemoryType(-1, type), 0);
        EXPECT_EQ(f.gpu.ReadMemoryMaker(-1, maker), 0);
        EXPECT_EQ(type, c.type) << c.code;
        EXPECT_EQ(maker, c.maker) << c.code;
    }
}

TEST(GpuIdentity, AFailedMemoryQueryReturns1AndKeepsTheText) {
    IdentityFixture f("memory_type = 8\nmemory_maker = 6");
    f.sim.FailAlways(QueryId::GetMemoryType, NvStatus::NotSupported);
    f.sim.FailAlways(QueryId::GetMemoryMaker, NvStatus::NotSupported);
    std::string type = "kept", maker = "kept";
    EXPECT_EQ(f.gpu.ReadMemoryType(-1, type), 1);
    EXPECT_EQ(f.gpu.ReadMemoryMaker(-1, maker), 1);
    EXPECT_EQ(type, "kept");
    EXPECT_EQ(maker, "kept");
    EXPECT_EQ(f.gpu.status, NvStatus::NotSupported);
}

TEST(GpuIdentity, DefaultCardReportsItsWholeIdentity) {
    SimDriver sim;
    CGpuControl gpu(sim.QueryInterface());
    ASSERT_EQ(gpu.EnumGpus(), 0);
    std::string name, vbios;
    int cores = 0, bits = 0;
    uint32_t driverVersion = 0;
    EXPECT_EQ(gpu.GetFullName(-1, name), 0);
    EXPECT_EQ(gpu.GetVbiosVersion(-1, vbios), 0);
    EXPECT_EQ(gpu.GetCoreCount(-1, cores), 0);
    EXPECT_EQ(gpu.GetMemoryBusWidth(-1, bits), 0);
    EXPECT_EQ(gpu.GetDriverVersion(driverVersion), 0);
    EXPECT_EQ(name, "GeForce GTX 1080");
    EXPECT_EQ(vbios, "86.04.17.00.01");
    EXPECT_EQ(cores, 2560);
    EXPECT_EQ(bits, 256);
    EXPECT_EQ(driverVersion, 41130u);
    EXPECT_EQ(gpu.pciDeviceId, 0x1B80);
    // The driver-version call names the first display and sends a cleared record of the right version.
    auto calls = sim.Calls(QueryId::GetDisplayDriverVersion);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].version, 0x0001008Cu);
    ASSERT_EQ(calls[0].received.size(), 140u);
    for (size_t i = 4; i < 140; ++i) ASSERT_EQ(calls[0].received[i], 0) << i;
}

TEST(GpuIdentity, NamesOfTheLongestLengthArriveWhole) {
    std::string longest(63, 'x');
    IdentityFixture f("name = " + longest + "\nvbios = " + longest);
    std::string name, vbios;
    EXPECT_EQ(f.gpu.GetFullName(-1, name), 0);
    EXPECT_EQ(f.gpu.GetVbiosVersion(-1, vbios), 0);
    EXPECT_EQ(name, longest);
    EXPECT_EQ(vbios, longest);
}

TEST(GpuIdentity, FailedGettersReturn1AndKeepTheirOutputs) {
    IdentityFixture f("name = Card\ncores = 10\nbus_width = 128");
    for (uint32_t id : {QueryId::GetFullName, QueryId::GetVbiosVersionString, QueryId::GetGpuCoreCount,
                        QueryId::GetMemoryBusWidth, QueryId::GetDisplayDriverVersion}) {
        f.sim.FailAlways(id, NvStatus::Error);
    }
    std::string name = "kept", vbios = "kept";
    int cores = 5, bits = 6;
    uint32_t driverVersion = 9;
    EXPECT_EQ(f.gpu.GetFullName(-1, name), 1);
    EXPECT_EQ(f.gpu.GetVbiosVersion(-1, vbios), 1);
    EXPECT_EQ(f.gpu.GetCoreCount(-1, cores), 1);
    EXPECT_EQ(f.gpu.GetMemoryBusWidth(-1, bits), 1);
    EXPECT_EQ(f.gpu.GetDriverVersion(driverVersion), 1);
    EXPECT_EQ(name, "kept");
    EXPECT_EQ(vbios, "kept");
    EXPECT_EQ(cores, 5);
    EXPECT_EQ(bits, 6);
    EXPECT_EQ(driverVersion, 0u);
}
