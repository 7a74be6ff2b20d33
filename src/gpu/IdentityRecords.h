#pragma once
#include <cstddef>
#include <cstdint>

#include "gpu/NvTypes.h"

// Driver version record of NvAPI_GetDisplayDriverVersion.
struct NV_DISPLAY_DRIVER_VERSION {
    uint32_t version;
    uint32_t drvVersion;  // e.g. 41130 for 411.30
    uint32_t bldChangeListNum;
    char szBuildBranchString[kNvShortStringMax];
    char szAdapterString[kNvShortStringMax];
};
static_assert(sizeof(NV_DISPLAY_DRIVER_VERSION) == 140);
static_assert(offsetof(NV_DISPLAY_DRIVER_VERSION, drvVersion) == 4);
static_assert(offsetof(NV_DISPLAY_DRIVER_VERSION, szBuildBranchString) == 12);
static_assert(offsetof(NV_DISPLAY_DRIVER_VERSION, szAdapterString) == 76);

constexpr uint32_t kDisplayDriverVersionVer = NvVersionOf<NV_DISPLAY_DRIVER_VERSION>(1);
static_assert(kDisplayDriverVersionVer == 0x0001008C);
