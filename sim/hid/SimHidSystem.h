#pragma once
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/HidSystem.h"

// One scripted outcome of a read: a report, a time-out, or a failed transfer.
struct SimHidRead {
    enum class Kind { Report, TimeOut, Failure };
    Kind kind = Kind::Report;
    std::vector<uint8_t> bytes;
};

struct SimHidInterface;

// Answers what the program writes to an interface (the simulated accessory); called with the
// system's lock held, it may queue reads on `self`.
class SimHidResponder {
public:
    virtual ~SimHidResponder() = default;
    virtual void OnOutputReport(const std::vector<uint8_t>& report, SimHidInterface& self) = 0;
};

// Another program's hold on an interface.
enum class SimHidHolder {
    None,
    SharingReadWrite,  // it shares: our shared opens work, our exclusive ones fail
    Exclusive,         // every open of ours fails with a sharing violation
};

// One HID interface as the simulated system shows it.
struct SimHidInterface {
    std::string path;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    std::optional<std::u16string> serial;  // none: reading the serial number fails
    HidCaps caps{64, 64};
    bool capsReadable = true;
    SimHidHolder heldByOther = SimHidHolder::None;
    uint32_t openError = 0;  // not 0: every open fails with this system error
    bool present = true;
    // A read with nothing queued waits (real time, up to its time-out) for a report, a cancel or an
    // unplug instead of timing out at once; always so when the whole system runs in real time.
    bool blockWhenEmpty = false;
    std::deque<SimHidRead> reads;
    std::deque<HidIoResult> writeResults;       // outcomes of the next writes; Ok when empty
    std::vector<std::vector<uint8_t>> written;  // every output report that was accepted
    std::vector<uint32_t> readTimeouts;         // the time-out of every read
    int openHandles = 0;
    bool openedExclusive = false;
    int openCount = 0;
    int readsCancelled = 0;
    std::shared_ptr<SimHidResponder> responder;
};

// A device path as the device setup forms it, lower case: "\\?\hid#vid_2047&pid_0310&mi_01#...".
// `interfaceNumber` < 0 leaves the "&mi_NN" part out.
std::string SimHidPath(uint16_t vendorId, uint16_t productId, int instance, int interfaceNumber = -1);

// HID interfaces scripted by a test, or carrying simulated accessories. Thread-safe: one lock for
// everything, so a reader thread and the UI thread may use devices at the same time.
class SimHidSystem : public HidSystem {
public:
    // With realTime, a read with nothing queued waits up to its time-out, as a real device does
    // (the program under `make run`); without, it times out at once (tests).
    explicit SimHidSystem(bool realTime = false) : realTime(realTime) {}

    // Adds an interface; the result is its index in the enumeration.
    int Add(SimHidInterface interface);
    // Runs `change` on interface `index` under the lock, then wakes waiting reads.
    void Change(int index, const std::function<void(SimHidInterface&)>& change);
    // A copy of interface `index` as it is now.
    SimHidInterface Interface(int index) const;
    void QueueReport(int index, std::vector<uint8_t> report);
    void QueueTimeOut(int index);
    void QueueFailure(int index);
    // The interface leaves the enumeration; open handles fail from now on.
    void Unplug(int index);
    void Replug(int index);
    // Whole enumeration fails (empty list).
    void SetEnumerationFails(bool fails);
    int ListCount() const;
    int ReadsWaiting() const;
    // Blocks (real time, up to `timeoutMs`) until a read is waiting on an empty queue; true then.
    bool WaitForBlockedRead(uint32_t timeoutMs) const;

    std::vector<std::string> ListInterfacePaths() override;
    std::unique_ptr<HidDevice> OpenDevice(const std::string& path, bool exclusive, uint32_t& error) override;

private:
    class Device;
    friend class Device;

    const bool realTime;
    mutable std::mutex lock;
    mutable std::condition_variable changed;
    std::vector<SimHidInterface> interfaces;
    bool enumerationFails = false;
    int listCount = 0;
    int readsWaiting = 0;
};
