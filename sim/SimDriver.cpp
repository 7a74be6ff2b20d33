#include "sim/SimDriver.h"

#include <algorithm>
#include <cstring>

#include "sim/SimRegistry.h"

namespace {

// One lock for the active pointer and every call: the program's driver calls come from one
// thread, but nothing stops a test or a plug-in from calling from another.
std::recursive_mutex& SimLock() {
    static std::recursive_mutex lock;
    return lock;
}

SimDriver* gActive = nullptr;

constexpr uintptr_t kGpuHandleBase = 0x00C0A000;
constexpr uintptr_t kDisplayHandleBase = 0x00D15000;
constexpr uintptr_t kHandleStep = 0x10;

void* NVAPI_CALL SimQueryInterface(uint32_t queryId) {
    std::lock_guard<std::recursive_mutex> lock(SimLock());
    if (!gActive) return nullptr;
    return TheSimRegistry().FindFunction(queryId);
}

}  // namespace

SimDriver::SimDriver(SimScenario scenario) : model_(std::move(scenario)) {
    std::lock_guard<std::recursive_mutex> lock(SimLock());
    previous_ = gActive;
    gActive = this;
}

SimDriver::~SimDriver() {
    std::lock_guard<std::recursive_mutex> lock(SimLock());
    if (gActive == this) gActive = previous_;
}

SimDriver* SimDriver::Active() {
    std::lock_guard<std::recursive_mutex> lock(SimLock());
    return gActive;
}

NvQueryInterfaceFn SimDriver::QueryInterface() const {
    return &SimQueryInterface;
}

NvPhysicalGpuHandle SimDriver::GpuHandle(size_t gpuIndex) const {
    return reinterpret_cast<NvPhysicalGpuHandle>(kGpuHandleBase + kHandleStep * (gpuIndex + 1));
}

NvDisplayHandle SimDriver::DisplayHandle(size_t displayIndex) const {
    return reinterpret_cast<NvDisplayHandle>(kDisplayHandleBase + kHandleStep * (displayIndex + 1));
}

int SimDriver::FindGpuIndex(NvPhysicalGpuHandle handle) const {
    auto value = reinterpret_cast<uintptr_t>(handle);
    if (value <= kGpuHandleBase || (value - kGpuHandleBase) % kHandleStep != 0) return -1;
    size_t index = (value - kGpuHandleBase) / kHandleStep - 1;
    return index < model_.gpus.size() ? static_cast<int>(index) : -1;
}

SimGpu* SimDriver::FindGpu(NvPhysicalGpuHandle handle) {
    int index = FindGpuIndex(handle);
    return index < 0 ? nullptr : &model_.gpus[index];
}

SimDisplay* SimDriver::FindDisplay(NvDisplayHandle handle) {
    auto value = reinterpret_cast<uintptr_t>(handle);
    if (value <= kDisplayHandleBase || (value - kDisplayHandleBase) % kHandleStep != 0) return nullptr;
    size_t index = (value - kDisplayHandleBase) / kHandleStep - 1;
    return index < model_.displays.size() ? &model_.displays[index] : nullptr;
}

const std::deque<SimJournalEntry>& SimDriver::Calls(uint32_t queryId) const {
    static const std::deque<SimJournalEntry> kNone;
    auto found = callsById_.find(queryId);
    return found == callsById_.end() ? kNone : found->second;
}

void SimDriver::UnplugGpu(size_t gpuIndex) {
    if (gpuIndex < model_.gpus.size()) model_.gpus[gpuIndex].present = false;
}

void SimDriver::AddJournalEntry(SimJournalEntry entry) {
    if (sink_) sink_(entry);
    if (!keepJournal_) return;
    callsById_[entry.queryId].push_back(entry);
    journal_.push_back(std::move(entry));
}

SimCall::SimCall(uint32_t queryId, bool needsInitialize) : lock_(SimLock()), driver_(gActive) {
    entry_.queryId = queryId;
    entry_.function = std::string(QueryIdToName(queryId));
    if (!driver_) {
        status_ = NvStatus::LibraryNotFound;
        return;
    }
    auto failure = driver_->model_.failures.find(queryId);
    if (failure != driver_->model_.failures.end() && failure->second.remaining != 0) {
        status_ = failure->second.status;
        if (failure->second.remaining > 0) --failure->second.remaining;
        return;
    }
    if (needsInitialize && !driver_->initialized_) status_ = NvStatus::ApiNotInitialized;
}

SimCall::~SimCall() {
    if (!driver_) return;
    if (watched_) {
        const auto* bytes = static_cast<const uint8_t*>(watched_);
        entry_.returned.assign(bytes, bytes + watchedSize_);
    }
    entry_.status = status_;
    driver_->AddJournalEntry(std::move(entry_));
}

int32_t SimCall::Fail(int32_t status) {
    status_ = status;
    return status_;
}

bool SimCall::Pointer(const void* pointer) {
    if (!Ok()) return false;
    if (!pointer) Fail(NvStatus::InvalidArgument);
    return Ok();
}

SimGpu* SimCall::Gpu(NvPhysicalGpuHandle handle) {
    if (!Ok()) return nullptr;
    SimGpu* gpu = driver_->FindGpu(handle);
    if (!gpu) {
        Fail(NvStatus::ExpectedPhysicalGpuHandle);
        return nullptr;
    }
    if (!gpu->present) {
        Fail(NvStatus::HandleInvalidated);
        return nullptr;
    }
    return gpu;
}

bool SimCall::Record(void* record, std::initializer_list<uint32_t> acceptedVersions) {
    if (!Pointer(record)) return false;
    uint32_t version = 0;
    std::memcpy(&version, record, sizeof version);
    entry_.version = version;
    bool accepted =
        std::find(acceptedVersions.begin(), acceptedVersions.end(), version) != acceptedVersions.end();
    // The size half of an accepted version word says how many bytes the caller owns.
    size_t size = accepted ? (version & 0xFFFF) : sizeof version;
    const auto* bytes = static_cast<const uint8_t*>(record);
    entry_.received.assign(bytes, bytes + size);
    watched_ = record;
    watchedSize_ = size;
    auto rejected = driver_->model_.rejectedVersions.find(entry_.queryId);
    if (rejected != driver_->model_.rejectedVersions.end() && rejected->second.count(version))
        accepted = false;
    if (!accepted) Fail(NvStatus::IncompatibleStructVersion);
    return Ok();
}

void SimCall::Watch(void* buffer, size_t size) {
    if (!buffer) return;
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    entry_.received.assign(bytes, bytes + size);
    watched_ = buffer;
    watchedSize_ = size;
}

void SimCall::AddPayload(const void* data, size_t size) {
    if (!data) return;
    const auto* bytes = static_cast<const uint8_t*>(data);
    entry_.payload.insert(entry_.payload.end(), bytes, bytes + size);
}
