#include <gtest/gtest.h>

#include <string>

#include "ScenarioText.h"
#include "gpu/CGpuControl.h"
#include "sim/SimDriver.h"

TEST(CGpuControl, StartsZeroedWithNoPstateChosen) {
    CGpuControl gpu(nullptr);
    EXPECT_EQ(gpu.status, 0);
    EXPECT_EQ(gpu.currentGpu, 0);
    EXPECT_EQ(gpu.gpuCount, 0);
    EXPECT_EQ(gpu.displayCount, 0);
    EXPECT_EQ(gpu.gpuHandles[63], nullptr);
    EXPECT_EQ(gpu.displayHandles[127], nullptr);
    EXPECT_EQ(gpu.pciDeviceId, 0);
    EXPECT_EQ(gpu.perf.vfMemoryLast, 0);
    EXPECT_EQ(gpu.coolerSettings.U32(1364), 0u);
    EXPECT_EQ(gpu.pstate, 16);
    EXPECT_STREQ(gpu.errorText, "");
}

TEST(CGpuControl, EnumeratesTccGpusFirstEachListLastHandleFirst) {
    SimDriver sim(ScenarioFromText(R"(
[gpu]
pci = 10DE 1B80 10DE 119E
[gpu]
tcc = yes
[gpu]
pci = 10DE 1B06 1043 85EA
[gpu]
tcc = yes
)"));
    // Driver order: P1 = gpu 0, T1 = gpu 1, P2 = gpu 2, T2 = gpu 3.
    CGpuControl gpu(sim.QueryInterface());
    ASSERT_EQ(gpu.EnumGpus(), 0);
    EXPECT_EQ(gpu.gpuCount, 4);
    EXPECT_EQ(gpu.gpuHandles[0], sim.GpuHandle(3));
    EXPECT_EQ(gpu.gpuHandles[1], sim.GpuHandle(1));
    EXPECT_EQ(gpu.gpuHandles[2], sim.GpuHandle(2));
    EXPECT_EQ(gpu.gpuHandles[3], sim.GpuHandle(0));
    EXPECT_EQ(gpu.gpuHandles[4], nullptr);
    // The PCI identity is that of index 0, here the second TCC GPU, which has none set.
    EXPECT_EQ(gpu.pciVendorId, 0x10DE);
    EXPECT_EQ(gpu.pciDeviceId, 0);
}

TEST(CGpuControl, ReadsThePciIdentityOfTheSelectedGpuAndEveryDisplay) {
    SimDriver sim(ScenarioFromText(R"(
[gpu]
pci = 10DE 1B80 1462 3364
[display]
id = 0x1000
[display]
id = 0x2000
connected = no
[display]
id = 0x3000
)"));
    CGpuControl gpu(sim.QueryInterface());
    ASSERT_EQ(gpu.EnumGpus(), 0);
    EXPECT_EQ(gpu.pciVendorId, 0x10DE);
    EXPECT_EQ(gpu.pciDeviceId, 0x1B80);
    EXPECT_EQ(gpu.pciSubVendorId, 0x1462);
    EXPECT_EQ(gpu.pciSubsystemId, 0x3364);
    EXPECT_EQ(gpu.displayCount, 2);
    EXPECT_EQ(gpu.displayHandles[0], sim.DisplayHandle(0));
    EXPECT_EQ(gpu.displayHandles[1], sim.DisplayHandle(2));
    EXPECT_EQ(sim.CallCount(QueryId::EnumNvidiaDisplayHandle), 3u);
}

TEST(CGpuControl, InitialisationFailureReturns1WithTheDriversText) {
    SimScenario scenario = ScenarioFromText(R"(
[driver]
fail = NvAPI_Initialize -6
error = -6 no card here
[gpu]
)");
    SimDriver sim(scenario);
    CGpuControl gpu(sim.QueryInterface());
    EXPECT_EQ(gpu.EnumGpus(), 1);
    EXPECT_EQ(gpu.status, NvStatus::NvidiaDeviceNotFound);
    EXPECT_STREQ(gpu.errorText, "no card here");
    EXPECT_EQ(sim.CallCount(QueryId::EnumPhysicalGPUs), 0u);
}

TEST(CGpuControl, MissingDriverLibraryReturns1) {
    CGpuControl gpu(nullptr);
    EXPECT_EQ(gpu.EnumGpus(), 1);
    EXPECT_EQ(gpu.status, NvStatus::LibraryNotFound);
    EXPECT_STREQ(gpu.errorText, "NVAPI status -2");
    EXPECT_EQ(gpu.gpuCount, 0);
}

TEST(CGpuControl, PhysicalEnumerationFailureReturns2AndKeepsTheTccGpus) {
    SimDriver sim(ScenarioFromText(R"(
[driver]
fail = NvAPI_EnumPhysicalGPUs -6
[gpu]
tcc = yes
[gpu]
)"));
    CGpuControl gpu(sim.QueryInterface());
    EXPECT_EQ(gpu.EnumGpus(), 2);
    EXPECT_EQ(gpu.gpuCount, 1);
    EXPECT_EQ(gpu.gpuHandles[0], sim.GpuHandle(0));
    EXPECT_STREQ(gpu.errorText, "NVAPI_NVIDIA_DEVICE_NOT_FOUND");
    EXPECT_EQ(sim.CallCount(QueryId::EnumNvidiaDisplayHandle), 0u);
}

TEST(CGpuControl, AFailingTccEnumerationCountsNoTccGpus) {
    SimDriver sim(ScenarioFromText(R"(
[driver]
fail = NvAPI_EnumTCCPhysicalGPUs -3
[gpu]
tcc = yes
[gpu]
)"));
    CGpuControl gpu(sim.QueryInterface());
    EXPECT_EQ(gpu.EnumGpus(), 0);
    EXPECT_EQ(gpu.gpuCount, 1);
    EXPECT_EQ(gpu.gpuHandles[0], sim.GpuHandle(1));
}

TEST(CGpuControl, AFailedPciQueryLeavesTheIdentityZeroAndStillSucceeds) {
    SimDriver sim(ScenarioFromText(
        "[gpu]\npci = 10DE 1B80 10DE 119E\n[driver]\nfail = NvAPI_GPU_GetPCIIdentifiers -1\n"));
    CGpuControl gpu(sim.QueryInterface());
    EXPECT_EQ(gpu.EnumGpus(), 0);
    EXPECT_EQ(gpu.pciVendorId, 0);
    EXPECT_EQ(gpu.pciDeviceId, 0);
}

TEST(CGpuControl, MoreGpusThanTheTableHoldsKeepsTheFirst64) {
    // 40 TCC and 40 other GPUs: the TCC list fills 40 entries, the other list the remaining 24.
    SimDriver sim(ScenarioFromText(GpusText(40, true) + GpusText(40, false)));
    CGpuControl gpu(sim.QueryInterface());
    ASSERT_EQ(gpu.EnumGpus(), 0);
    EXPECT_EQ(gpu.gpuCount, 64);
    EXPECT_EQ(gpu.gpuHandles[0], sim.GpuHandle(39));
    EXPECT_EQ(gpu.gpuHandles[39], sim.GpuHandle(0));
    EXPECT_EQ(gpu.gpuHandles[40], sim.GpuHandle(79));
    EXPECT_EQ(gpu.gpuHandles[63], sim.GpuHandle(56));
    EXPECT_EQ(gpu.displayCount, 0);  // the fields after the table are intact
}

TEST(CGpuControl, ADriverClaimingMoreGpusThanItCanReturnIsClamped) {
    SimDriver sim(ScenarioFromText("[driver]\nclaimed_gpu_count = 4000\n" + GpusText(2, false)));
    CGpuControl gpu(sim.QueryInterface());
    ASSERT_EQ(gpu.EnumGpus(), 0);
    EXPECT_EQ(gpu.gpuCount, 64);
    EXPECT_EQ(gpu.gpuHandles[62], sim.GpuHandle(1));
    EXPECT_EQ(gpu.gpuHandles[63], sim.GpuHandle(0));
    EXPECT_EQ(gpu.pciVendorId, 0);  // index 0 holds one of the driver's empty entries
}

TEST(CGpuControl, MoreDisplaysThanTheTableHoldsKeepsTheFirst128) {
    std::string text = "[gpu]\n";
    for (int i = 0; i < 130; ++i) text += "[display]\nid = " + std::to_string(0x1000 + i) + "\n";
    SimDriver sim(ScenarioFromText(text));
    CGpuControl gpu(sim.QueryInterface());
    ASSERT_EQ(gpu.EnumGpus(), 0);
    EXPECT_EQ(gpu.displayCount, 128);
    EXPECT_EQ(gpu.displayHandles[127], sim.DisplayHandle(127));
    EXPECT_EQ(gpu.gpuHandles[0], sim.GpuHandle(0));
    EXPECT_EQ(sim.CallCount(QueryId::EnumNvidiaDisplayHandle), 128u);
}

TEST(CGpuControl, ReadPciIdsAnswersForTheGpuAskedFor) {
    SimDriver sim(ScenarioFromText("[gpu]\npci = 10DE 1B80 10DE 119E\n[gpu]\npci = 10DE 1C03 1458 3FBC\n"));
    CGpuControl gpu(sim.QueryInterface());
    ASSERT_EQ(gpu.EnumGpus(), 0);
    uint16_t vendor = 0, device = 0, subVendor = 0, subsystem = 0;
    ASSERT_EQ(gpu.ReadPciIds(0, vendor, device, subVendor, subsystem), 0);
    EXPECT_EQ(device, 0x1C03);  // index 0 is the driver's last GPU
    EXPECT_EQ(subVendor, 0x1458);
    EXPECT_EQ(subsystem, 0x3FBC);
    gpu.currentGpu = 1;
    ASSERT_EQ(gpu.ReadPciIds(-1, vendor, device, subVendor, subsystem), 0);
    EXPECT_EQ(device, 0x1B80);
    EXPECT_EQ(gpu.pciDeviceId, 0x1C03);  // changing the selection does not re-read the fields

    device = 0xBEEF;
    EXPECT_EQ(gpu.ReadPciIds(2, vendor, device, subVendor, subsystem), 1);
    EXPECT_EQ(gpu.ReadPciIds(64, vendor, device, subVendor, subsystem), 1);
    EXPECT_EQ(gpu.ReadPciIds(-2, vendor, device, subVendor, subsystem), 1);
    EXPECT_EQ(device, 0xBEEF);
}

TEST(CGpuControl, AVanishedGpuFailsItsCallsWithoutHarm) {
    SimDriver sim;
    CGpuControl gpu(sim.QueryInterface());
    ASSERT_EQ(gpu.EnumGpus(), 0);
    sim.UnplugGpu(0);
    uint16_t vendor = 0, device = 0, subVendor = 0, subsystem = 0;
    EXPECT_EQ(gpu.ReadPciIds(-1, vendor, device, subVendor, subsystem), 1);
    EXPECT_EQ(gpu.status, NvStatus::HandleInvalidated);
}

TEST(CGpuControl, PrintStateErrorWritesTheDiagnosticLine) {
    SimDriver sim;
    CGpuControl gpu(sim.QueryInterface());
    gpu.FetchErrorText(NvStatus::IncompatibleStructVersion);
    testing::internal::CaptureStdout();
    gpu.PrintStateError();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Get current state  NVAPI_INCOMPATIBLE_STRUCT_VERSION\n");
}
