#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

#include "gpu/CGpuControl.h"

namespace {

constexpr uint32_t kUnsetWidth = 1024;
constexpr uint32_t kUnsetHeight = 999;
constexpr uint32_t kCustomDepth = 32;
constexpr uint32_t kWaitBeforeReapplyMs = 1000;
constexpr uint32_t kReapplyFlags =
    kDisplayConfigSaveToPersistence | kDisplayConfigDriverReloadAllowed | kDisplayConfigForceModeEnumeration;
// A configuration has a path per source and a target per display; far larger counts are a driver
// answering nonsense, refused before anything is allocated for them.
constexpr uint32_t kMaxConfigEntries = kMaxDisplayIds;

NV_TIMING_INPUT CurrentTimingInput(uint32_t width, uint32_t height) {
    NV_TIMING_INPUT input;
    std::memset(&input, 0, sizeof input);
    input.version = kTimingInputVer;
    input.width = width;
    input.height = height;
    input.rr = 60.0f;
    input.type = kTimingOverrideCurrent;
    return input;
}

NV_CUSTOM_DISPLAY UnsetCustomDisplay() {
    NV_CUSTOM_DISPLAY display;
    std::memset(&display, 0, sizeof display);
    display.version = kCustomDisplayVer;
    display.width = kUnsetWidth;
    display.height = kUnsetHeight;
    display.depth = kCustomDepth;
    display.colorFormat = kColorFormatA8R8G8B8;
    display.srcPartition = {0.0f, 0.0f, 1.0f, 1.0f};
    display.xRatio = 1.0f;
    display.yRatio = 1.0f;
    return display;
}

// Turns the display's current timing into the same mode at a new pixel clock. The refresh rate
// follows from the totals; a timing whose totals are 0, or a rate that does not fit the record,
// cannot be a mode and is refused.
bool RetimeCustomDisplay(NV_CUSTOM_DISPLAY& display, int32_t pixelClock) {
    NV_TIMING& timing = display.timing;
    uint32_t totals = static_cast<uint32_t>(timing.HTotal) * timing.VTotal;
    if (totals == 0) return false;
    // The product is rounded to single precision on purpose; the store makes the 32-bit x87 build
    // round it too instead of keeping it in extended precision.
    volatile float totalsAsFloat = static_cast<float>(totals);
    double rateX1000 = static_cast<double>(pixelClock) * 10000000.0 / totalsAsFloat;
    if (rateX1000 >= static_cast<double>(std::numeric_limits<uint16_t>::max()) * 1000.0) return false;
    display.width = timing.HVisible;
    display.height = timing.VVisible;
    timing.pclk = static_cast<uint32_t>(pixelClock);
    timing.etc.rrx1k = static_cast<uint32_t>(rateX1000);
    timing.etc.rr = static_cast<uint16_t>(timing.etc.rrx1k / 1000);
    std::memset(timing.etc.name, 0, sizeof timing.etc.name);
    return true;
}

}  // namespace

int CGpuControl::ListConnectedDisplays(uint32_t (&displayIds)[kMaxDisplayIds], uint32_t& count) {
    count = 0;
    NvPhysicalGpuHandle gpus[kNvMaxPhysicalGpus] = {};
    uint32_t gpuTotal = 0;
    status = nvapi.EnumPhysicalGPUs(gpus, &gpuTotal);
    if (status != NvStatus::Ok) return status;

    std::array<NV_GPU_DISPLAYIDS, kMaxDisplayIds> entries;
    for (uint32_t g = 0; g < std::min(gpuTotal, kNvMaxPhysicalGpus); ++g) {
        uint32_t reported = 0;
        status = nvapi.GetConnectedDisplayIds(gpus[g], nullptr, &reported, 0);
        if (status != NvStatus::Ok) return -1;
        if (reported == 0) continue;
        // More displays than a GPU can drive is a driver answering nonsense.
        if (reported > entries.size()) return -1;
        std::memset(entries.data(), 0, sizeof entries);
        for (uint32_t i = 0; i < reported; ++i) entries[i].version = kGpuDisplayIdsVer;
        uint32_t filled = reported;
        status = nvapi.GetConnectedDisplayIds(gpus[g], entries.data(), &filled, 0);
        if (status != NvStatus::Ok) return -1;
        filled = std::min(filled, reported);
        for (uint32_t i = 0; i < filled && count < kMaxDisplayIds; ++i)
            displayIds[count++] = entries[i].displayId;
    }
    return 0;
}

int CGpuControl::ReadPixelClock(GpuPerfInfo& info) {
    uint32_t ids[kMaxDisplayIds] = {};
    uint32_t count = 0;
    int listed = ListConnectedDisplays(ids, count);
    if (listed != 0) return listed;
    if (count == 0) return -1;
    NV_TIMING_INPUT input = CurrentTimingInput(kUnsetWidth, kUnsetHeight);
    NV_TIMING timing;
    std::memset(&timing, 0, sizeof timing);
    status = nvapi.GetTiming(ids[0], &input, &timing);
    if (status != NvStatus::Ok) return status;
    info.pixelClock = static_cast<int32_t>(timing.pclk);
    return 0;
}

int CGpuControl::WritePixelClock(GpuPerfInfo info) {
    if (info.pixelClock <= 0) return kPixelClockUnchanged;
    uint32_t ids[kMaxDisplayIds] = {};
    uint32_t count = 0;
    if (ListConnectedDisplays(ids, count) != 0 || count == 0) return kPixelClockUnchanged;

    std::array<NV_CUSTOM_DISPLAY, kMaxDisplayIds> displays;
    for (uint32_t i = 0; i < count; ++i) {
        NV_CUSTOM_DISPLAY& display = displays[i];
        display = UnsetCustomDisplay();
        NV_TIMING_INPUT input = CurrentTimingInput(display.width, display.height);
        status = nvapi.GetTiming(ids[i], &input, &display.timing);
        if (status != NvStatus::Ok) return kPixelClockUnchanged;
        if (!RetimeCustomDisplay(display, info.pixelClock)) return kPixelClockUnchanged;
    }

    status = nvapi.TryCustomDisplay(ids, count, displays.data());
    if (status != NvStatus::Ok) return kPixelClockUnchanged;
    status = nvapi.SaveCustomDisplay(ids, count, 1, 1);
    if (status != NvStatus::Ok) return kPixelClockUnchanged;

    clock.SleepMs(kWaitBeforeReapplyMs);

    // From here a failure cannot be undone: the saved mode stays, and the configuration is left
    // as the driver has it for the caller to report.
    uint32_t pathCount = 0;
    DisplayPathSet set;
    if (ReadDisplayPaths(pathCount, set) != 0) return kPixelClockNotReapplied;
    if (pathCount == 0) return kPixelClockNotReapplied;
    NV_DISPLAYCONFIG_PATH_INFO& first = set.paths[0];
    if (first.targetInfoCount == 0 || !first.sourceModeInfo || !first.targetInfo ||
        !first.targetInfo[0].details)
        return kPixelClockNotReapplied;
    first.sourceModeInfo->resolution.width = displays[0].width;
    first.sourceModeInfo->resolution.height = displays[0].height;
    first.targetInfo[0].details->refreshRate1K = displays[0].timing.etc.rrx1k;
    status = nvapi.SetDisplayConfig(1, &first, kReapplyFlags);
    return status == NvStatus::Ok ? 0 : kPixelClockNotReapplied;
}

int CGpuControl::ReadDisplayPaths(uint32_t& count, DisplayPathSet& set) {
    count = 0;
    set = DisplayPathSet();
    uint32_t pathCount = 0;
    status = nvapi.GetDisplayConfig(&pathCount, nullptr);
    if (status != NvStatus::Ok) return status;
    if (pathCount == 0) return 0;
    if (pathCount > kMaxConfigEntries) {
        status = NvStatus::OutOfMemory;
        return status;
    }
    try {
        DisplayPathSet built;
        NV_DISPLAYCONFIG_PATH_INFO cleared;
        std::memset(&cleared, 0, sizeof cleared);
        cleared.version = kPathInfoVer;
        built.paths.assign(pathCount, cleared);
        uint32_t asked = pathCount;
        status = nvapi.GetDisplayConfig(&asked, built.paths.data());
        if (status != NvStatus::Ok) return status;
        pathCount = std::min(asked, pathCount);
        built.paths.resize(pathCount);

        NV_DISPLAYCONFIG_PATH_ADVANCED_TARGET_INFO details;
        std::memset(&details, 0, sizeof details);
        details.version = kPathAdvancedTargetInfoVer;
        NV_DISPLAYCONFIG_PATH_TARGET_INFO target;
        std::memset(&target, 0, sizeof target);
        NV_DISPLAYCONFIG_SOURCE_MODE_INFO source;
        std::memset(&source, 0, sizeof source);
        built.sourceModes.assign(pathCount, source);
        built.targets.resize(pathCount);
        built.details.resize(pathCount);
        for (uint32_t p = 0; p < pathCount; ++p) {
            uint32_t targetCount = built.paths[p].targetInfoCount;
            if (targetCount > kMaxConfigEntries) {
                status = NvStatus::OutOfMemory;
                return status;
            }
            built.targets[p].assign(targetCount, target);
            built.details[p].assign(targetCount, details);
            for (uint32_t t = 0; t < targetCount; ++t) built.targets[p][t].details = &built.details[p][t];
            built.paths[p].sourceModeInfo = &built.sourceModes[p];
            built.paths[p].targetInfo = targetCount ? built.targets[p].data() : nullptr;
        }

        asked = pathCount;
        status = nvapi.GetDisplayConfig(&asked, built.paths.data());
        if (status != NvStatus::Ok) return status;
        // The arrays were sized by the second answer; counts of a third that disagrees are cut
        // to what was allocated.
        pathCount = std::min(asked, pathCount);
        built.paths.resize(pathCount);
        for (uint32_t p = 0; p < pathCount; ++p) {
            auto allocated = static_cast<uint32_t>(built.targets[p].size());
            built.paths[p].targetInfoCount = std::min(built.paths[p].targetInfoCount, allocated);
        }
        set = std::move(built);
        count = pathCount;
        return 0;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    status = NvStatus::OutOfMemory;
    return status;
}
