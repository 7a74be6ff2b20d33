#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <map>
#include <mutex>
#include <vector>

#include "gpu/NvQueryIds.h"
#include "gpu/NvTypes.h"
#include "sim/SimJournal.h"
#include "sim/SimScenario.h"

// A simulated driver, reachable only through the same query-interface entry point as the real one.
// The entry point is a plain C function and carries no context, so the most recently constructed
// SimDriver is the "active" one that answers; destroying it makes the one before it active again.
// Every call is journaled, and the scenario's rejections and failures are applied to it.
//
//   SimDriver sim(DefaultScenario());
//   CGpuControl gpu(sim.QueryInterface());
//   gpu.EnumGpus();
//   EXPECT_EQ(sim.CallCount(QueryId::EnumPhysicalGPUs), 1u);
class SimDriver {
public:
    explicit SimDriver(SimScenario scenario = DefaultScenario());
    ~SimDriver();
    SimDriver(const SimDriver&) = delete;
    SimDriver& operator=(const SimDriver&) = delete;

    static SimDriver* Active();
    NvQueryInterfaceFn QueryInterface() const;

    SimScenario& Model() { return model_; }
    bool Initialized() const { return initialized_; }
    void SetInitialized(bool initialized) { initialized_ = initialized; }

    // Handles are fixed pointer-sized values derived from the GPU's or display's position.
    NvPhysicalGpuHandle GpuHandle(size_t gpuIndex) const;
    NvDisplayHandle DisplayHandle(size_t displayIndex) const;
    // The GPU or display behind a handle, or null for a handle the simulator never gave out.
    SimGpu* FindGpu(NvPhysicalGpuHandle handle);
    int FindGpuIndex(NvPhysicalGpuHandle handle) const;
    SimDisplay* FindDisplay(NvDisplayHandle handle);

    const std::vector<SimJournalEntry>& Journal() const { return journal_; }
    // The calls of one function, oldest first. The entries stay where they are while more calls
    // arrive, so `sim.Calls(id)[0].received` may be held on to until ClearJournal.
    const std::deque<SimJournalEntry>& Calls(uint32_t queryId) const;
    size_t CallCount(uint32_t queryId) const { return Calls(queryId).size(); }
    void ClearJournal() {
        journal_.clear();
        callsById_.clear();
    }
    // Also hands every new entry to `sink` (the driver library writes them to a file).
    void SetJournalSink(std::function<void(const SimJournalEntry&)> sink) { sink_ = std::move(sink); }
    // Whether entries are kept in memory; a long-running program hands them to the sink only.
    void KeepJournal(bool keep) { keepJournal_ = keep; }

    void RejectVersion(uint32_t queryId, uint32_t version) {
        model_.rejectedVersions[queryId].insert(version);
    }
    void FailAlways(uint32_t queryId, int32_t status) { model_.failures[queryId] = {status, -1}; }
    void FailFirst(uint32_t queryId, int calls, int32_t status) {
        model_.failures[queryId] = {status, calls};
    }
    void ClearFailures() {
        model_.failures.clear();
        model_.rejectedVersions.clear();
    }
    // The GPU vanishes: it leaves the enumerations and its handle answers HandleInvalidated.
    void UnplugGpu(size_t gpuIndex);

private:
    friend class SimCall;
    void AddJournalEntry(SimJournalEntry entry);

    SimScenario model_;
    bool initialized_ = false;
    std::vector<SimJournalEntry> journal_;
    std::map<uint32_t, std::deque<SimJournalEntry>> callsById_;
    bool keepJournal_ = true;
    std::function<void(const SimJournalEntry&)> sink_;
    SimDriver* previous_ = nullptr;
};

// The bookkeeping of one simulated driver call, created first thing in every simulated function.
// It serialises calls, applies injected failures, refuses calls before NvAPI_Initialize, checks
// handles, pointers and record versions, and journals the call when it goes out of scope.
//
//   int32_t NVAPI_CALL SimGetThing(NvPhysicalGpuHandle handle, ThingRecord* record) {
//       SimCall call(QueryId::GetThing);
//       SimGpu* gpu = call.Gpu(handle);
//       if (!gpu || !call.Record(record, {0x00010010})) return call.Status();
//       ... fill the record from gpu->state ...
//       return call.Succeed();
//   }
class SimCall {
public:
    explicit SimCall(uint32_t queryId, bool needsInitialize = true);
    ~SimCall();
    SimCall(const SimCall&) = delete;
    SimCall& operator=(const SimCall&) = delete;

    bool Ok() const { return status_ == NvStatus::Ok; }
    int32_t Status() const { return status_; }
    int32_t Fail(int32_t status);
    int32_t Succeed() { return Fail(NvStatus::Ok); }

    SimDriver& Driver() { return *driver_; }
    SimScenario& Model() { return driver_->model_; }

    // Each check returns false (with the driver's status set) when the call must not go on,
    // including when an earlier check or an injected failure already stopped it.
    bool Pointer(const void* pointer);
    SimGpu* Gpu(NvPhysicalGpuHandle handle);
    // Checks the record's version word against the versions this function accepts (sizes
    // included) and the scenario's rejections; journals the record's bytes in and out.
    bool Record(void* record, std::initializer_list<uint32_t> acceptedVersions);
    // Journals an output buffer that has no version word.
    void Watch(void* buffer, size_t size);
    void AddPayload(const void* data, size_t size);

private:
    std::unique_lock<std::recursive_mutex> lock_;
    SimDriver* driver_ = nullptr;
    SimJournalEntry entry_;
    int32_t status_ = NvStatus::Ok;
    void* watched_ = nullptr;
    size_t watchedSize_ = 0;
};
