#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "sim/SimAreas.h"
#include "sim/SimDriver.h"
#include "sim/SimNumbers.h"
#include "sim/SimParse.h"
#include "sim/SimRecordBytes.h"
#include "sim/SimRegistry.h"
#include "sim/SimVersions.h"

// Displays: connected ids per GPU, each display's current timing, custom modes tried and saved,
// and the display configuration (one path with one target per display) that can change the mode.
namespace {

constexpr bool k64 = SimVersion::k64Bit;
constexpr size_t kTimingSize = 96;
constexpr size_t kCustomSize = 144;
constexpr size_t kCustomTiming = 44;
constexpr size_t kDetailsSize = 128;
constexpr size_t kDetailsTiming = 32;
constexpr size_t kSourceModeSize = 32;
constexpr size_t kDisplayIdsSize = 16;
// Path and target records hold pointers, so their offsets differ between 32 and 64 bits.
constexpr size_t kPathSize = SimVersion::PathInfoV2 & 0xFFFF;
constexpr size_t kPathTargets = k64 ? 16 : 12;
constexpr size_t kPathSourceMode = k64 ? 24 : 16;
constexpr size_t kTargetSize = k64 ? 24 : 12;
constexpr size_t kTargetDetails = k64 ? 8 : 4;
constexpr size_t kTargetId = k64 ? 16 : 8;
constexpr uint32_t kMaxIds = 128;
constexpr size_t kMaxSavedModes = 16;
constexpr uint32_t kIdActive = 1u << 2, kIdConnected = 1u << 6, kIdPhysicallyConnected = 1u << 17;

using TimingBytes = std::array<uint8_t, kTimingSize>;

struct TimingView {
    TimingBytes bytes;
    uint16_t HVisible() const { return Get<uint16_t>(0); }
    uint16_t HTotal() const { return Get<uint16_t>(8); }
    uint16_t VVisible() const { return Get<uint16_t>(12); }
    uint16_t VTotal() const { return Get<uint16_t>(20); }
    uint32_t PixelClock() const { return Get<uint32_t>(28); }
    uint32_t RateX1000() const { return Get<uint32_t>(40); }

    template <class T>
    T Get(size_t offset) const {
        T value;
        std::memcpy(&value, bytes.data() + offset, sizeof value);
        return value;
    }
    bool Plausible() const {
        return HVisible() > 0 && VVisible() > 0 && HTotal() >= HVisible() && VTotal() >= VVisible() &&
               PixelClock() > 0;
    }
};

TimingBytes MakeTiming(uint16_t hVisible, uint16_t vVisible, uint16_t hTotal, uint16_t vTotal,
                       uint32_t pclk) {
    TimingBytes bytes{};
    SimRecordBytes timing(bytes.data(), bytes.size());
    timing.Set<uint16_t>(0, hVisible);
    timing.Set<uint16_t>(8, hTotal);
    timing.Set<uint16_t>(12, vVisible);
    timing.Set<uint16_t>(20, vTotal);
    timing.SetU32(28, pclk);
    uint64_t rate = static_cast<uint64_t>(pclk) * 10000000ull / (static_cast<uint64_t>(hTotal) * vTotal);
    timing.SetU32(40, static_cast<uint32_t>(rate));
    timing.Set<uint16_t>(36, static_cast<uint16_t>(rate / 1000));
    char name[40] = {};
    std::snprintf(name, sizeof name, "%ux%u native", static_cast<unsigned>(hVisible),
                  static_cast<unsigned>(vVisible));
    timing.CopyIn(56, name, sizeof name);
    return bytes;
}

struct SimMode {
    uint32_t width = 0;
    uint32_t height = 0;
    TimingView timing{};
};

// A 1920 × 1080 monitor at 60 Hz unless the scenario says otherwise.
struct SimDisplayState {
    TimingView timing{MakeTiming(1920, 1080, 2200, 1125, 14850)};
    uint32_t width = 1920;
    uint32_t height = 1080;
    uint32_t refreshRate1K = 60000;
    bool tried = false;
    SimMode triedMode;
    std::vector<SimMode> savedModes;
};

// A driver that claims more paths than there are, answering only the first query.
struct SimDisplayConfig {
    uint32_t claimedPathCount = 0;
};

bool Active(const SimScenario& model, const SimDisplay& display) {
    return display.connected && display.gpu >= 0 && static_cast<size_t>(display.gpu) < model.gpus.size() &&
           model.gpus[display.gpu].present;
}

std::vector<SimDisplay*> ActiveDisplays(SimScenario& model) {
    std::vector<SimDisplay*> displays;
    for (auto& display : model.displays) {
        if (Active(model, display)) displays.push_back(&display);
    }
    return displays;
}

SimDisplay* FindDisplayById(SimScenario& model, uint32_t displayId) {
    for (auto& display : model.displays) {
        if (display.displayId == displayId && Active(model, display)) return &display;
    }
    return nullptr;
}

bool CountAllowed(uint32_t count) {
    return count > 0 && count <= kMaxIds;
}

int32_t NVAPI_CALL SimGetConnectedDisplayIds(NvPhysicalGpuHandle handle, void* ids, uint32_t* count,
                                             uint32_t) {
    SimCall call(QueryId::GetConnectedDisplayIds);
    if (!call.Gpu(handle) || !call.Pointer(count)) return call.Status();
    int gpuIndex = call.Driver().FindGpuIndex(handle);
    std::vector<SimDisplay*> connected;
    for (SimDisplay* display : ActiveDisplays(call.Model())) {
        if (display->gpu == gpuIndex) connected.push_back(display);
    }
    if (!ids) {
        call.Watch(count, sizeof *count);
        *count = static_cast<uint32_t>(connected.size());
        return call.Succeed();
    }
    if (!call.Record(ids, {SimVersion::GpuDisplayIds})) return call.Status();
    uint32_t filled = std::min(*count, static_cast<uint32_t>(connected.size()));
    auto* base = static_cast<uint8_t*>(ids);
    for (uint32_t i = 0; i < filled; ++i) {
        if (SimRecordBytes(base + kDisplayIdsSize * i, kDisplayIdsSize).U32(0) != SimVersion::GpuDisplayIds)
            return call.Fail(NvStatus::IncompatibleStructVersion);
    }
    for (uint32_t i = 0; i < filled; ++i) {
        SimRecordBytes entry(base + kDisplayIdsSize * i, kDisplayIdsSize);
        entry.SetU32(8, connected[i]->displayId);
        entry.SetU32(12, kIdActive | kIdConnected | kIdPhysicallyConnected);
        call.AddPayload(base + kDisplayIdsSize * i, kDisplayIdsSize);
    }
    *count = filled;
    return call.Succeed();
}

// Only the current timing (type 0) is simulated; the requested size does not matter for it.
int32_t NVAPI_CALL SimGetTiming(uint32_t displayId, void* input, void* timing) {
    SimCall call(QueryId::GetTiming);
    if (!call.Record(input, {SimVersion::TimingInput}) || !call.Pointer(timing)) return call.Status();
    call.AddPayload(input, SimVersion::TimingInput & 0xFFFF);
    call.Watch(timing, kTimingSize);
    SimDisplay* display = FindDisplayById(call.Model(), displayId);
    if (!display) return call.Fail(NvStatus::InvalidArgument);
    if (SimRecordBytes(input, SimVersion::TimingInput & 0xFFFF).U32(28) != 0)
        return call.Fail(NvStatus::NotSupported);
    const auto& state = display->state.Get<SimDisplayState>();
    SimRecordBytes(timing, kTimingSize).CopyIn(0, state.timing.bytes.data(), kTimingSize);
    return call.Succeed();
}

int32_t NVAPI_CALL SimTryCustomDisplay(uint32_t* ids, uint32_t count, void* displays) {
    SimCall call(QueryId::TryCustomDisplay);
    if (!call.Pointer(ids) || !call.Record(displays, {SimVersion::CustomDisplay})) return call.Status();
    if (!CountAllowed(count)) return call.Fail(NvStatus::InvalidArgument);
    call.AddPayload(ids, sizeof(uint32_t) * count);
    call.AddPayload(displays, kCustomSize * count);
    std::vector<std::pair<SimDisplay*, SimMode>> tried;
    for (uint32_t i = 0; i < count; ++i) {
        SimRecordBytes custom(static_cast<uint8_t*>(displays) + kCustomSize * i, kCustomSize);
        if (custom.U32(0) != SimVersion::CustomDisplay) return call.Fail(NvStatus::IncompatibleStructVersion);
        SimDisplay* display = FindDisplayById(call.Model(), ids[i]);
        SimMode mode{custom.U32(4), custom.U32(8), {}};
        custom.CopyOut(kCustomTiming, mode.timing.bytes.data(), kTimingSize);
        if (!display || mode.width == 0 || mode.height == 0 || !mode.timing.Plausible())
            return call.Fail(NvStatus::InvalidArgument);
        tried.emplace_back(display, mode);
    }
    for (auto& [display, mode] : tried) {
        auto& state = display->state.Get<SimDisplayState>();
        state.timing = mode.timing;
        state.width = mode.width;
        state.height = mode.height;
        state.refreshRate1K = mode.timing.RateX1000();
        state.tried = true;
        state.triedMode = mode;
    }
    return call.Succeed();
}

int32_t NVAPI_CALL SimSaveCustomDisplay(uint32_t* ids, uint32_t count, uint32_t thisOutputOnly,
                                        uint32_t thisMonitorOnly) {
    SimCall call(QueryId::SaveCustomDisplay);
    if (!call.Pointer(ids)) return call.Status();
    if (!CountAllowed(count)) return call.Fail(NvStatus::InvalidArgument);
    call.AddPayload(ids, sizeof(uint32_t) * count);
    call.AddPayload(&thisOutputOnly, sizeof thisOutputOnly);
    call.AddPayload(&thisMonitorOnly, sizeof thisMonitorOnly);
    std::vector<SimDisplay*> displays;
    for (uint32_t i = 0; i < count; ++i) {
        SimDisplay* display = FindDisplayById(call.Model(), ids[i]);
        // Only a mode that was tried can be saved.
        if (!display || !display->state.Get<SimDisplayState>().tried) return call.Fail(NvStatus::Error);
        displays.push_back(display);
    }
    for (SimDisplay* display : displays) {
        auto& state = display->state.Get<SimDisplayState>();
        if (state.savedModes.size() >= kMaxSavedModes) state.savedModes.erase(state.savedModes.begin());
        state.savedModes.push_back(state.triedMode);
    }
    return call.Succeed();
}

void FillDetails(SimRecordBytes& details, const SimDisplayState& state, bool primary) {
    details.SetU32(4, 0);
    details.SetU32(8, 0);
    details.SetU32(12, state.refreshRate1K);
    details.SetU32(16, primary ? 2u : 0u);
    details.CopyIn(kDetailsTiming, state.timing.bytes.data(), kTimingSize);
}

void FillSourceMode(SimRecordBytes& source, const SimDisplayState& state, int32_t x, bool primary) {
    source.SetU32(0, state.width);
    source.SetU32(4, state.height);
    source.SetU32(8, 32);
    source.SetS32(16, x);
    source.SetS32(20, 0);
    source.SetU32(28, primary ? 1u : 0u);
}

// The three-pass protocol: no paths asks for the count; paths without targets learn their target
// counts; paths with targets get everything.
int32_t NVAPI_CALL SimGetDisplayConfig(uint32_t* count, void* paths) {
    SimCall call(QueryId::GetDisplayConfig);
    if (!call.Pointer(count)) return call.Status();
    auto displays = ActiveDisplays(call.Model());
    if (!paths) {
        call.Watch(count, sizeof *count);
        uint32_t claimed = call.Model().state.Get<SimDisplayConfig>().claimedPathCount;
        *count = claimed ? claimed : static_cast<uint32_t>(displays.size());
        return call.Succeed();
    }
    if (!call.Record(paths, {SimVersion::PathInfoV2})) return call.Status();
    uint32_t filled = std::min(*count, static_cast<uint32_t>(displays.size()));
    auto* base = static_cast<uint8_t*>(paths);
    for (uint32_t i = 0; i < filled; ++i) {
        if (SimRecordBytes(base + kPathSize * i, kPathSize).U32(0) != SimVersion::PathInfoV2)
            return call.Fail(NvStatus::IncompatibleStructVersion);
    }
    int32_t x = 0;
    for (uint32_t i = 0; i < filled; ++i) {
        SimRecordBytes path(base + kPathSize * i, kPathSize);
        const auto& state = displays[i]->state.Get<SimDisplayState>();
        path.SetU32(4, i);
        void* targets = path.Pointer(kPathTargets);
        if (!targets) {
            path.SetU32(8, 1);
            continue;
        }
        if (path.U32(8) < 1) return call.Fail(NvStatus::InvalidArgument);
        SimRecordBytes target(targets, kTargetSize);
        target.SetU32(0, displays[i]->displayId);
        target.SetU32(kTargetId, i);
        if (void* detailsRecord = target.Pointer(kTargetDetails)) {
            SimRecordBytes details(detailsRecord, kDetailsSize);
            if (details.U32(0) != SimVersion::PathAdvancedTargetInfo)
                return call.Fail(NvStatus::IncompatibleStructVersion);
            FillDetails(details, state, i == 0);
        }
        if (void* sourceRecord = path.Pointer(kPathSourceMode)) {
            SimRecordBytes source(sourceRecord, kSourceModeSize);
            FillSourceMode(source, state, x, i == 0);
        }
        x += static_cast<int32_t>(state.width);
    }
    *count = filled;
    return call.Succeed();
}

// The saved custom mode with this size and rate, if the display has one.
const SimMode* SavedMode(const SimDisplayState& state, uint32_t width, uint32_t height, uint32_t rate) {
    for (const auto& mode : state.savedModes) {
        if (mode.width == width && mode.height == height && mode.timing.RateX1000() == rate) return &mode;
    }
    return nullptr;
}

int32_t NVAPI_CALL SimSetDisplayConfig(uint32_t count, void* paths, uint32_t flags) {
    SimCall call(QueryId::SetDisplayConfig);
    if (!call.Record(paths, {SimVersion::PathInfoV2})) return call.Status();
    if (!CountAllowed(count)) return call.Fail(NvStatus::InvalidArgument);
    call.AddPayload(&flags, sizeof flags);
    struct Change {
        SimDisplay* display;
        uint32_t width, height, rate;
        const SimMode* mode;
    };
    std::vector<Change> changes;
    auto* base = static_cast<uint8_t*>(paths);
    for (uint32_t i = 0; i < count; ++i) {
        SimRecordBytes path(base + kPathSize * i, kPathSize);
        if (path.U32(0) != SimVersion::PathInfoV2) return call.Fail(NvStatus::IncompatibleStructVersion);
        uint32_t targetCount = path.U32(8);
        void* targets = path.Pointer(kPathTargets);
        if (!CountAllowed(targetCount) || !targets) return call.Fail(NvStatus::InvalidArgument);
        void* sourceRecord = path.Pointer(kPathSourceMode);
        for (uint32_t t = 0; t < targetCount; ++t) {
            SimRecordBytes target(static_cast<uint8_t*>(targets) + kTargetSize * t, kTargetSize);
            SimDisplay* display = FindDisplayById(call.Model(), target.U32(0));
            if (!display) return call.Fail(NvStatus::InvalidArgument);
            const auto& state = display->state.Get<SimDisplayState>();
            Change change{display, state.width, state.height, state.refreshRate1K, nullptr};
            if (sourceRecord) {
                SimRecordBytes source(sourceRecord, kSourceModeSize);
                change.width = source.U32(0);
                change.height = source.U32(4);
            }
            if (void* detailsRecord = target.Pointer(kTargetDetails)) {
                SimRecordBytes details(detailsRecord, kDetailsSize);
                if (details.U32(0) != SimVersion::PathAdvancedTargetInfo)
                    return call.Fail(NvStatus::IncompatibleStructVersion);
                change.rate = details.U32(12);
            }
            uint32_t words[] = {target.U32(0), change.width, change.height, change.rate};
            call.AddPayload(words, sizeof words);
            // A display shows its current mode or one of its saved custom modes, nothing else.
            bool current = change.width == state.width && change.height == state.height &&
                           change.rate == state.refreshRate1K;
            change.mode = SavedMode(state, change.width, change.height, change.rate);
            if (!current && !change.mode) return call.Fail(NvStatus::InvalidArgument);
            changes.push_back(change);
        }
    }
    for (const Change& change : changes) {
        auto& state = change.display->state.Get<SimDisplayState>();
        if (change.mode) state.timing = change.mode->timing;
        state.width = change.width;
        state.height = change.height;
        state.refreshRate1K = change.rate;
    }
    return call.Succeed();
}

bool ReadTimingKey(SimKeyArgs& args) {
    std::vector<int32_t> n;
    bool ok = ParseInt32Words(args.value, n) && n.size() == 5 && n[0] > 0 && n[1] > 0 && n[2] >= n[0] &&
              n[3] >= n[1] && n[2] <= 0xFFFF && n[3] <= 0xFFFF && n[4] > 0;
    if (!ok) {
        args.error = "expected '<width> <height> <horizontal total> <vertical total> <pixel clock, 10 kHz>'";
        return false;
    }
    auto& state = args.Display().state.Get<SimDisplayState>();
    state.timing.bytes =
        MakeTiming(static_cast<uint16_t>(n[0]), static_cast<uint16_t>(n[1]), static_cast<uint16_t>(n[2]),
                   static_cast<uint16_t>(n[3]), static_cast<uint32_t>(n[4]));
    state.width = static_cast<uint32_t>(n[0]);
    state.height = static_cast<uint32_t>(n[1]);
    state.refreshRate1K = state.timing.RateX1000();
    return true;
}

}  // namespace

void RegisterSimDisplays(SimRegistry& registry) {
    registry.AddFunction(QueryId::GetConnectedDisplayIds, SimEntry(&SimGetConnectedDisplayIds));
    registry.AddFunction(QueryId::GetTiming, SimEntry(&SimGetTiming));
    registry.AddFunction(QueryId::TryCustomDisplay, SimEntry(&SimTryCustomDisplay));
    registry.AddFunction(QueryId::SaveCustomDisplay, SimEntry(&SimSaveCustomDisplay));
    registry.AddFunction(QueryId::GetDisplayConfig, SimEntry(&SimGetDisplayConfig));
    registry.AddFunction(QueryId::SetDisplayConfig, SimEntry(&SimSetDisplayConfig));

    registry.AddKey("display", "timing", ReadTimingKey);
    registry.AddKey("driver", "claimed_path_count", [](SimKeyArgs& a) {
        return ReadU32(a, a.scenario.state.Get<SimDisplayConfig>().claimedPathCount);
    });
}
