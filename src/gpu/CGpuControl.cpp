#include "gpu/CGpuControl.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

Clock& DefaultClock() {
    static SystemClock systemClock;
    return systemClock;
}

}  // namespace

CGpuControl::CGpuControl(NvQueryInterfaceFn queryInterface, Clock* pacingClock)
    : status(0),
      errorText{},
      currentGpu(0),
      gpuCount(0),
      displayCount(0),
      displayHandles{},
      gpuHandles{},
      pciVendorId(0),
      pciDeviceId(0),
      pciSubVendorId(0),
      pciSubsystemId(0),
      coolerSettings{},
      perf{},
      lastTemperature(0),
      fanLevel(0),
      pstate(kPstateNone),
      nvapi(queryInterface),
      clock(pacingClock ? *pacingClock : DefaultClock()) {}

NvPhysicalGpuHandle CGpuControl::GpuHandle(int gpuIndex) const {
    int index = gpuIndex == kSelectedGpu ? currentGpu : gpuIndex;
    if (index < 0 || index >= kMaxGpuHandles) return nullptr;
    return gpuHandles[index];
}

void CGpuControl::FetchErrorText(int32_t failedStatus) {
    char text[kNvShortStringMax] = {};
    if (nvapi.GetErrorMessage(failedStatus, text) == NvStatus::Ok) {
        text[kNvShortStringMax - 1] = '\0';
        std::memcpy(errorText, text, sizeof errorText);
    } else {
        // Without the driver there is no text to fetch; the number still tells what went wrong.
        std::snprintf(errorText, sizeof errorText, "NVAPI status %d", static_cast<int>(failedStatus));
    }
}

void CGpuControl::PrintStateError() const {
    std::printf("Get current state  %s\n", errorText);
    std::fflush(stdout);
}

int CGpuControl::EnumGpus() {
    status = nvapi.Initialize();
    FetchErrorText(status);
    if (status != NvStatus::Ok) return 1;

    // Both lists are appended driver's-last-first. The table holds 64 handles, as many as one list
    // may carry; when the two lists together bring more, the first 64 in that order are kept.
    NvPhysicalGpuHandle local[kNvMaxPhysicalGpus];
    int filled = 0;
    auto appendReversed = [&](uint32_t reported) {
        uint32_t count = std::min(reported, kNvMaxPhysicalGpus);
        for (uint32_t i = count; i > 0 && filled < kMaxGpuHandles; --i) gpuHandles[filled++] = local[i - 1];
    };

    std::fill(std::begin(local), std::end(local), nullptr);
    uint32_t tccCount = 0;
    status = nvapi.EnumTCCPhysicalGPUs(local, &tccCount);
    if (status == NvStatus::Ok) appendReversed(tccCount);

    std::fill(std::begin(local), std::end(local), nullptr);
    uint32_t physicalCount = 0;
    status = nvapi.EnumPhysicalGPUs(local, &physicalCount);
    if (status == NvStatus::Ok) appendReversed(physicalCount);
    gpuCount = filled;
    FetchErrorText(status);
    if (status != NvStatus::Ok) return 2;

    // The driver ends the display list with an error; a table already full ends it too.
    for (uint32_t index = 0; displayCount < kMaxDisplayHandles; ++index) {
        NvDisplayHandle display = nullptr;
        status = nvapi.EnumNvidiaDisplayHandle(index, &display);
        if (status != NvStatus::Ok) break;
        displayHandles[displayCount++] = display;
    }

    uint32_t deviceId = 0, subSystemId = 0, revisionId = 0, extDeviceId = 0;
    status =
        nvapi.GetPCIIdentifiers(GpuHandle(currentGpu), &deviceId, &subSystemId, &revisionId, &extDeviceId);
    if (status == NvStatus::Ok) {
        pciVendorId = static_cast<uint16_t>(deviceId & 0xFFFF);
        pciDeviceId = static_cast<uint16_t>(extDeviceId & 0xFFFF);
        pciSubVendorId = static_cast<uint16_t>(subSystemId & 0xFFFF);
        pciSubsystemId = static_cast<uint16_t>(subSystemId >> 16);
    }
    return 0;
}

int CGpuControl::ReadPciIds(int gpuIndex, uint16_t& vendorId, uint16_t& deviceId, uint16_t& subVendorId,
                            uint16_t& subsystemId) {
    uint32_t device = 0, subSystem = 0, revision = 0, extDevice = 0;
    status = nvapi.GetPCIIdentifiers(GpuHandle(gpuIndex), &device, &subSystem, &revision, &extDevice);
    if (status != NvStatus::Ok) return 1;
    vendorId = static_cast<uint16_t>(device & 0xFFFF);
    deviceId = static_cast<uint16_t>(extDevice & 0xFFFF);
    subVendorId = static_cast<uint16_t>(subSystem & 0xFFFF);
    subsystemId = static_cast<uint16_t>(subSystem >> 16);
    return 0;
}
