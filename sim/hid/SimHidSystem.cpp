#include "sim/hid/SimHidSystem.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

std::string SimHidPath(uint16_t vendorId, uint16_t productId, int instance, int interfaceNumber) {
    char text[160];
    char suffix[16] = "";
    if (interfaceNumber >= 0) std::snprintf(suffix, sizeof suffix, "&mi_%02d", interfaceNumber);
    std::snprintf(text, sizeof text,
                  "\\\\?\\hid#vid_%04x&pid_%04x%s#7&%08x&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}",
                  vendorId, productId, suffix, 0x1a2b0000u + static_cast<unsigned>(instance));
    return text;
}

// A handle on one interface. The interface is found by index; the system outlives its devices.
class SimHidSystem::Device : public HidDevice {
public:
    Device(SimHidSystem& system, int index, bool exclusive)
        : system(system), index(index), exclusive(exclusive) {}
    ~Device() override {
        std::lock_guard<std::mutex> guard(system.lock);
        SimHidInterface& it = system.interfaces[index];
        --it.openHandles;
        if (exclusive) it.openedExclusive = false;
    }

    bool GetAttributes(HidAttributes& attributes) override {
        std::lock_guard<std::mutex> guard(system.lock);
        const SimHidInterface& it = system.interfaces[index];
        if (!it.present) return false;
        attributes = {it.vendorId, it.productId, 0x0100};
        return true;
    }

    bool GetSerialNumber(std::u16string& serial) override {
        std::lock_guard<std::mutex> guard(system.lock);
        const SimHidInterface& it = system.interfaces[index];
        if (!it.present || !it.serial) return false;
        serial = it.serial->substr(0, 40);
        return true;
    }

    bool GetCaps(HidCaps& caps) override {
        std::lock_guard<std::mutex> guard(system.lock);
        const SimHidInterface& it = system.interfaces[index];
        if (!it.present || !it.capsReadable) return false;
        caps = it.caps;
        return true;
    }

    HidIoResult ReadReport(std::span<uint8_t> buffer, uint32_t timeoutMs, size_t& received) override {
        received = 0;
        std::unique_lock<std::mutex> guard(system.lock);
        system.interfaces[index].readTimeouts.push_back(timeoutMs);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            SimHidInterface& it = system.interfaces[index];
            if (cancelled) {
                ++it.readsCancelled;
                return HidIoResult::Cancelled;
            }
            if (!it.present) return HidIoResult::Failed;
            if (!it.reads.empty()) {
                SimHidRead read = std::move(it.reads.front());
                it.reads.pop_front();
                if (read.kind == SimHidRead::Kind::TimeOut) return HidIoResult::TimedOut;
                if (read.kind == SimHidRead::Kind::Failure) return HidIoResult::Failed;
                received = std::min(read.bytes.size(), buffer.size());
                std::copy_n(read.bytes.begin(), received, buffer.begin());
                return HidIoResult::Ok;
            }
            if (!it.blockWhenEmpty && !system.realTime) return HidIoResult::TimedOut;
            ++system.readsWaiting;
            system.changed.notify_all();
            const bool timedOut = system.changed.wait_until(guard, deadline) == std::cv_status::timeout;
            --system.readsWaiting;
            if (timedOut) {
                SimHidInterface& now = system.interfaces[index];
                if (now.reads.empty() && !cancelled && now.present) return HidIoResult::TimedOut;
            }
        }
    }

    HidIoResult WriteReport(std::span<const uint8_t> report, uint32_t) override {
        std::lock_guard<std::mutex> guard(system.lock);
        SimHidInterface& it = system.interfaces[index];
        if (!it.present) return HidIoResult::Failed;
        if (!it.writeResults.empty()) {
            const HidIoResult result = it.writeResults.front();
            it.writeResults.pop_front();
            if (result != HidIoResult::Ok) return result;
        }
        it.written.emplace_back(report.begin(), report.end());
        if (it.responder) it.responder->OnOutputReport(it.written.back(), it);
        system.changed.notify_all();
        return HidIoResult::Ok;
    }

    void CancelRead() override {
        std::lock_guard<std::mutex> guard(system.lock);
        cancelled = true;
        system.changed.notify_all();
    }

private:
    SimHidSystem& system;
    const int index;
    const bool exclusive;
    bool cancelled = false;  // guarded by the system's lock
};

int SimHidSystem::Add(SimHidInterface interface) {
    std::lock_guard<std::mutex> guard(lock);
    interfaces.push_back(std::move(interface));
    return static_cast<int>(interfaces.size()) - 1;
}

void SimHidSystem::Change(int index, const std::function<void(SimHidInterface&)>& change) {
    {
        std::lock_guard<std::mutex> guard(lock);
        change(interfaces.at(index));
    }
    changed.notify_all();
}

SimHidInterface SimHidSystem::Interface(int index) const {
    std::lock_guard<std::mutex> guard(lock);
    return interfaces.at(index);
}

void SimHidSystem::QueueReport(int index, std::vector<uint8_t> report) {
    Change(index, [&](SimHidInterface& it) {
        it.reads.push_back({SimHidRead::Kind::Report, std::move(report)});
    });
}

void SimHidSystem::QueueTimeOut(int index) {
    Change(index, [](SimHidInterface& it) { it.reads.push_back({SimHidRead::Kind::TimeOut, {}}); });
}

void SimHidSystem::QueueFailure(int index) {
    Change(index, [](SimHidInterface& it) { it.reads.push_back({SimHidRead::Kind::Failure, {}}); });
}

void SimHidSystem::Unplug(int index) {
    Change(index, [](SimHidInterface& it) { it.present = false; });
}

void SimHidSystem::Replug(int index) {
    Change(index, [](SimHidInterface& it) { it.present = true; });
}

void SimHidSystem::SetEnumerationFails(bool fails) {
    std::lock_guard<std::mutex> guard(lock);
    enumerationFails = fails;
}

int SimHidSystem::ListCount() const {
    std::lock_guard<std::mutex> guard(lock);
    return listCount;
}

int SimHidSystem::ReadsWaiting() const {
    std::lock_guard<std::mutex> guard(lock);
    return readsWaiting;
}

bool SimHidSystem::WaitForBlockedRead(uint32_t timeoutMs) const {
    std::unique_lock<std::mutex> guard(lock);
    return changed.wait_for(guard, std::chrono::milliseconds(timeoutMs), [this] { return readsWaiting > 0; });
}

std::vector<std::string> SimHidSystem::ListInterfacePaths() {
    std::lock_guard<std::mutex> guard(lock);
    ++listCount;
    std::vector<std::string> paths;
    if (enumerationFails) return paths;
    for (const SimHidInterface& it : interfaces)
        if (it.present) paths.push_back(it.path);
    return paths;
}

std::unique_ptr<HidDevice> SimHidSystem::OpenDevice(const std::string& path, bool exclusive,
                                                    uint32_t& error) {
    std::lock_guard<std::mutex> guard(lock);
    error = kHidErrorFileNotFound;
    for (size_t i = 0; i < interfaces.size(); ++i) {
        SimHidInterface& it = interfaces[i];
        if (!it.present || it.path != path) continue;
        if (it.openError != 0) {
            error = it.openError;
            return nullptr;
        }
        const bool otherForbids = it.heldByOther == SimHidHolder::Exclusive ||
                                  (exclusive && it.heldByOther == SimHidHolder::SharingReadWrite);
        const bool oursForbid = it.openedExclusive || (exclusive && it.openHandles > 0);
        if (otherForbids || oursForbid) {
            error = kHidErrorSharingViolation;
            return nullptr;
        }
        ++it.openHandles;
        ++it.openCount;
        if (exclusive) it.openedExclusive = true;
        error = kHidErrorNone;
        return std::make_unique<Device>(*this, static_cast<int>(i), exclusive);
    }
    return nullptr;
}
