#pragma once
#include <cstddef>
#include <cstdint>

#include "gpu/NvTypes.h"

constexpr uint32_t kMaxDisplayIds = 128;

struct NV_GPU_DISPLAYIDS {
    uint32_t version;
    int32_t connectorType;
    uint32_t displayId;
    uint32_t flags;  // bit 2: active, bit 6: connected, bit 17: physically connected
};
static_assert(sizeof(NV_GPU_DISPLAYIDS) == 16);
constexpr uint32_t kGpuDisplayIdsVer = MakeNvVersion(3, sizeof(NV_GPU_DISPLAYIDS));
static_assert(kGpuDisplayIdsVer == 0x00030010);

// Three words of options; the program leaves them all 0.
struct NV_TIMING_FLAG {
    uint32_t interlace;  // bits 0-3: interlaced
    uint32_t format;     // bits 0-7: TV format, CEA id or predefined id
    uint32_t scaling;    // bits 0-7: preferred scaling
};
static_assert(sizeof(NV_TIMING_FLAG) == 12);

constexpr uint32_t kTimingOverrideCurrent = 0;

struct NV_TIMING_INPUT {
    uint32_t version;
    uint32_t width;
    uint32_t height;
    float rr;
    NV_TIMING_FLAG flag;
    uint32_t type;  // kTimingOverrideCurrent: the display's current timing
};
static_assert(sizeof(NV_TIMING_INPUT) == 32);
static_assert(offsetof(NV_TIMING_INPUT, flag) == 16);
static_assert(offsetof(NV_TIMING_INPUT, type) == 28);
constexpr uint32_t kTimingInputVer = NvVersionOf<NV_TIMING_INPUT>(1);
static_assert(kTimingInputVer == 0x00010020);

struct NV_TIMINGEXT {
    uint32_t flag;
    uint16_t rr;     // refresh rate, Hz
    uint32_t rrx1k;  // refresh rate × 1000
    uint32_t aspect;
    uint16_t rep;
    uint32_t status;
    uint8_t name[40];
};
static_assert(sizeof(NV_TIMINGEXT) == 64);
static_assert(offsetof(NV_TIMINGEXT, rr) == 4);
static_assert(offsetof(NV_TIMINGEXT, rrx1k) == 8);
static_assert(offsetof(NV_TIMINGEXT, rep) == 16);
static_assert(offsetof(NV_TIMINGEXT, name) == 24);

struct NV_TIMING {
    uint16_t HVisible;
    uint16_t HBorder;
    uint16_t HFrontPorch;
    uint16_t HSyncWidth;
    uint16_t HTotal;
    uint8_t HSyncPol;
    uint16_t VVisible;
    uint16_t VBorder;
    uint16_t VFrontPorch;
    uint16_t VSyncWidth;
    uint16_t VTotal;
    uint8_t VSyncPol;
    uint16_t interlaced;
    uint32_t pclk;  // pixel clock, 10 kHz
    NV_TIMINGEXT etc;
};
static_assert(sizeof(NV_TIMING) == 96);
static_assert(offsetof(NV_TIMING, HTotal) == 8);
static_assert(offsetof(NV_TIMING, VVisible) == 12);
static_assert(offsetof(NV_TIMING, VTotal) == 20);
static_assert(offsetof(NV_TIMING, interlaced) == 24);
static_assert(offsetof(NV_TIMING, pclk) == 28);
static_assert(offsetof(NV_TIMING, etc) == 32);

struct NV_VIEWPORTF {
    float x;
    float y;
    float w;
    float h;
};

constexpr uint32_t kColorFormatA8R8G8B8 = 21;

struct NV_CUSTOM_DISPLAY {
    uint32_t version;
    uint32_t width;
    uint32_t height;
    uint32_t depth;
    uint32_t colorFormat;
    NV_VIEWPORTF srcPartition;
    float xRatio;
    float yRatio;
    NV_TIMING timing;
    uint32_t flags;  // bit 0: hardware mode set only
};
static_assert(sizeof(NV_CUSTOM_DISPLAY) == 144);
static_assert(offsetof(NV_CUSTOM_DISPLAY, srcPartition) == 20);
static_assert(offsetof(NV_CUSTOM_DISPLAY, xRatio) == 36);
static_assert(offsetof(NV_CUSTOM_DISPLAY, timing) == 44);
static_assert(offsetof(NV_CUSTOM_DISPLAY, flags) == 140);
constexpr uint32_t kCustomDisplayVer = NvVersionOf<NV_CUSTOM_DISPLAY>(1);
static_assert(kCustomDisplayVer == 0x00010090);

struct NV_RESOLUTION {
    uint32_t width;
    uint32_t height;
    uint32_t colorDepth;
};

struct NV_POSITION {
    int32_t x;
    int32_t y;
};

struct NV_DISPLAYCONFIG_SOURCE_MODE_INFO {
    NV_RESOLUTION resolution;
    uint32_t colorFormat;
    NV_POSITION position;
    uint32_t spanningOrientation;
    uint32_t flags;  // bit 0: GDI primary, bit 1: SLI focus
};
static_assert(sizeof(NV_DISPLAYCONFIG_SOURCE_MODE_INFO) == 32);
static_assert(offsetof(NV_DISPLAYCONFIG_SOURCE_MODE_INFO, position) == 16);

struct NV_DISPLAYCONFIG_PATH_ADVANCED_TARGET_INFO {
    uint32_t version;
    uint32_t rotation;
    uint32_t scaling;
    uint32_t refreshRate1K;
    uint32_t flags;  // bit 0: interlaced, bit 1: primary
    uint32_t connector;
    uint32_t tvFormat;
    uint32_t timingOverride;
    NV_TIMING timing;
};
static_assert(sizeof(NV_DISPLAYCONFIG_PATH_ADVANCED_TARGET_INFO) == 128);
static_assert(offsetof(NV_DISPLAYCONFIG_PATH_ADVANCED_TARGET_INFO, refreshRate1K) == 12);
static_assert(offsetof(NV_DISPLAYCONFIG_PATH_ADVANCED_TARGET_INFO, timing) == 32);
constexpr uint32_t kPathAdvancedTargetInfoVer = NvVersionOf<NV_DISPLAYCONFIG_PATH_ADVANCED_TARGET_INFO>(1);
static_assert(kPathAdvancedTargetInfoVer == 0x00010080);

struct NV_DISPLAYCONFIG_PATH_TARGET_INFO {
    uint32_t displayId;
    NV_DISPLAYCONFIG_PATH_ADVANCED_TARGET_INFO* details;
    uint32_t targetId;
};

struct NV_DISPLAYCONFIG_PATH_INFO {
    uint32_t version;
    uint32_t sourceId;
    uint32_t targetInfoCount;
    NV_DISPLAYCONFIG_PATH_TARGET_INFO* targetInfo;
    NV_DISPLAYCONFIG_SOURCE_MODE_INFO* sourceModeInfo;
    uint32_t flags;  // bit 0: non-NVIDIA adapter
    void* pOSAdapterID;
};
constexpr uint32_t kPathInfoVer = NvVersionOf<NV_DISPLAYCONFIG_PATH_INFO>(2);

#if __SIZEOF_POINTER__ == 4
static_assert(sizeof(NV_DISPLAYCONFIG_PATH_TARGET_INFO) == 12);
static_assert(offsetof(NV_DISPLAYCONFIG_PATH_TARGET_INFO, targetId) == 8);
static_assert(offsetof(NV_DISPLAYCONFIG_PATH_INFO, targetInfo) == 12);
static_assert(offsetof(NV_DISPLAYCONFIG_PATH_INFO, sourceModeInfo) == 16);
static_assert(offsetof(NV_DISPLAYCONFIG_PATH_INFO, pOSAdapterID) == 24);
static_assert(kPathInfoVer == 0x0002001C);
#else
static_assert(sizeof(NV_DISPLAYCONFIG_PATH_TARGET_INFO) == 24);
static_assert(offsetof(NV_DISPLAYCONFIG_PATH_TARGET_INFO, targetId) == 16);
static_assert(offsetof(NV_DISPLAYCONFIG_PATH_INFO, targetInfo) == 16);
static_assert(offsetof(NV_DISPLAYCONFIG_PATH_INFO, sourceModeInfo) == 24);
static_assert(offsetof(NV_DISPLAYCONFIG_PATH_INFO, pOSAdapterID) == 40);
static_assert(sizeof(NV_DISPLAYCONFIG_PATH_INFO) == 48);
#endif

// Flags of NvAPI_DISP_SetDisplayConfig.
constexpr uint32_t kDisplayConfigSaveToPersistence = 0x2;
constexpr uint32_t kDisplayConfigDriverReloadAllowed = 0x4;
constexpr uint32_t kDisplayConfigForceModeEnumeration = 0x8;
