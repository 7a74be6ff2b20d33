#include "accessory/AccessoryConnection.h"

#include <algorithm>
#include <chrono>

#include "ui/CDialog.h"

AccessoryConnection::AccessoryConnection(HidSystem& hid, Clock& clock, CDialog& owner)
    : hid(hid), clock(clock), owner(owner) {
    InitLink(link, hid, kReadTimeoutMs, kWriteTimeoutMs);
}

AccessoryConnection::~AccessoryConnection() {
    StopReader();
    if (link.open) CloseLink(link);
}

void AccessoryConnection::Watch(bool on) {
    if (watching == on) return;
    watching = on;
    owner.Host().WatchDeviceChanges(owner, on);
}

int AccessoryConnection::BuildDeviceList() {
    if (!link.open) InitLink(link, hid, kReadTimeoutMs, kWriteTimeoutMs);
    slots = {};
    accessoryCount = ListSerialNumbers(hid, kAccessoryVendorId, kAccessoryProductId, slots);
    // Only the removal of a connected accessory is acted on, so with none present the registration
    // waits for the first connection (Connect registers). Some systems serve device notifications
    // with a thread of their own in the program, a megabyte of memory for nothing to watch.
    if (accessoryCount > 0) Watch(true);
    if (selectedEntry >= std::max(accessoryCount, 1)) selectedEntry = 0;
    return accessoryCount;
}

std::vector<AccessoryListLine> AccessoryConnection::ListLines() const {
    std::vector<AccessoryListLine> lines;
    for (int i = 0; i < accessoryCount && i < kTableSize; ++i) {
        if (slots[i].Serial().empty()) continue;
        lines.push_back({"USB " + std::to_string(i), i});
    }
    return lines;
}

void AccessoryConnection::SelectEntry(int entry) {
    if (entry >= 0 && entry < kTableSize) selectedEntry = entry;
}

std::string_view AccessoryConnection::ConnectMessage(ConnectResult result) {
    switch (result) {
        case ConnectResult::NoAccessory:
            return kTextDeviceNotFound;
        case ConnectResult::OpenFailed:
            return kTextCannotOpenDevice;
        default:
            return {};
    }
}

ConnectResult AccessoryConnection::Connect() {
    // After an unplug the table describes accessories that may be gone: look again.
    if (shutDown) BuildDeviceList();
    if (accessoryCount == 0) return ConnectResult::NoAccessory;
    if (connectedBefore) CloseConnection();

    const int interfacesPerDevice =
        CountInterfaces(hid, kAccessoryVendorId, kAccessoryProductId, accessoryCount);
    const AccessorySlot& slot = slots[selectedEntry];
    const LinkStatus status = OpenLink(link, kAccessoryVendorId, kAccessoryProductId, slot.instance,
                                       slot.Serial(), interfacesPerDevice, accessoryCount);
    if (status != LinkOk) {
        CloseLink(link);
        return status == LinkInUse ? ConnectResult::InUse : ConnectResult::OpenFailed;
    }
    current = std::make_shared<Current>();
    connectedBefore = true;
    shutDown = false;
    Watch(true);
    owner.SetTimer(kConnectionTimer, kConnectionTimerMs);
    return ConnectResult::Connected;
}

bool AccessoryConnection::OnTimer(int timerId) {
    if (timerId != kConnectionTimer) return false;
    if (link.open) RequestState();
    return true;
}

void AccessoryConnection::RequestState() {
    owner.KillTimer(kConnectionTimer);
    Send(AskStateCommand(scratch));
    clock.SleepMs(kStatePauseMs);
    // One reader per connection: the timer fires once, and every close joins the reader.
    if (reader.joinable()) return;
    stopReader = false;
    reader = std::thread(&AccessoryConnection::ReaderLoop, this, std::weak_ptr<Current>(current));
}

void AccessoryConnection::ReaderLoop(std::weak_ptr<Current> startedWith) {
    std::array<uint8_t, kStateBlockSize> block;
    while (!stopReader) {
        block.fill(0);
        size_t received = 0;
        const LinkStatus status = ReadLinkData(link, block, received);
        if (stopReader) return;
        const std::span<const uint8_t> got(block.data(), received);
        if (status == LinkOk && IsStateBlock(got) && awaitingState) {
            // A copy goes to the UI thread; this thread never touches the page.
            std::vector<uint8_t> copy(got.begin(), got.end());
            owner.PostToUi([this, startedWith, copy = std::move(copy)] {
                if (startedWith.lock()) ApplyReportedState(copy);
            });
            return;
        }
        std::unique_lock<std::mutex> lock(stopLock);
        stopSignal.wait_for(lock, std::chrono::milliseconds(kReaderRetryMs),
                            [this] { return stopReader.load(); });
    }
}

void AccessoryConnection::ApplyReportedState(const std::vector<uint8_t>& block) {
    VemraState state;
    if (!awaitingState || !ParseStateBlock(block, state)) return;
    awaitingState = false;
    if (stateHandler) stateHandler(state);
}

void AccessoryConnection::StopReader() {
    {
        std::lock_guard<std::mutex> lock(stopLock);
        stopReader = true;
    }
    stopSignal.notify_all();
    if (reader.joinable()) {
        if (link.handle) link.handle->CancelRead();
        reader.join();
    }
}

void AccessoryConnection::CloseConnection() {
    owner.KillTimer(kConnectionTimer);
    StopReader();
    current.reset();
    if (link.open) CloseLink(link);
}

void AccessoryConnection::Send(const AccessoryCommand& command) {
    if (link.open) WriteLinkData(link, command);
}

void AccessoryConnection::SendIdleSetting(const VemraState& state) {
    Send(StoreIdleCommand(scratch, state));
}

void AccessoryConnection::SendTurboSetting(const VemraState& state) {
    Send(StoreTurboCommand(scratch, state));
}

void AccessoryConnection::SendZoneSwitches(const VemraState& state) {
    Send(SwitchZonesCommand(scratch, state));
}

void AccessoryConnection::SendDefaults() {
    Send(RestoreDefaultsCommand(scratch));
}

bool AccessoryConnection::OnDeviceChange(uint32_t event, uint32_t deviceType) {
    if (event != kDeviceRemoveComplete || deviceType != kDeviceTypeInterface || !link.open || !link.handle)
        return false;
    HidAttributes attributes;
    if (link.handle->GetAttributes(attributes)) return false;
    Shutdown();
    shutDown = true;
    return true;
}

void AccessoryConnection::Shutdown() {
    if (shutDown) return;
    Watch(false);
    CloseConnection();
}
