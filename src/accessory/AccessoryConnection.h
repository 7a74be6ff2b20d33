#pragma once
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "accessory/AccessoryProtocol.h"
#include "accessory/UsbHidLink.h"
#include "platform/Clock.h"
#include "platform/HidSystem.h"

class CDialog;

// What the page shows when a connection fails (InUse shows nothing).
inline constexpr std::string_view kTextDeviceNotFound = "错误：无法找到设备！";
inline constexpr std::string_view kTextCannotOpenDevice = "错误：不能打开HID设备！";

enum class ConnectResult {
    Connected,
    NoAccessory,  // the device list is empty: kTextDeviceNotFound
    InUse,        // another program holds the accessory: no message
    OpenFailed,   // kTextCannotOpenDevice
};

// One line of the page's accessory list and the serial-table entry it stands for.
struct AccessoryListLine {
    std::string text;  // "USB <entry>"
    int entry = 0;
};

// The page's connection to the USB lighting accessory: the serial table and the device list, the
// link, the command scratch bytes, the reader thread and the waiting flag. Everything here runs on
// the page's UI thread, except the reader thread, which only reads the link and hands the state
// over through the page's PostToUi.
//
// Use from the page:
//   construction           -> connection(hid, clock, *this)       (a member of the page)
//   OnInitDialog           -> BuildDeviceList(), then fill the list from ListLines()
//   page shown / list pick -> SelectEntry(line.entry); Connect(); show ConnectMessage(result);
//                             re-read ListLines() (a connect after an unplug rebuilds the list)
//   OnTimer(id)            -> if (!connection.OnTimer(id)) default handling
//   OnDeviceChange(e, t)   -> if (connection.OnDeviceChange(e, t)) main window's AccessoryRemoved()
//   buttons                -> ignored while AwaitingState(); else Send*(state)
//   OnDestroy / program end-> Shutdown()
// OnStateReported's handler runs on the UI thread once per connection, with the state the
// accessory reported, only while the connection that read it is still the current one.
class AccessoryConnection {
public:
    static constexpr int kTableSize = 3;
    static constexpr int kConnectionTimer = 1;
    static constexpr uint32_t kConnectionTimerMs = 200;
    static constexpr uint32_t kReadTimeoutMs = 1000;
    static constexpr uint32_t kWriteTimeoutMs = 50;
    static constexpr uint32_t kStatePauseMs = 200;  // between asking for the state and reading it
    static constexpr uint32_t kReaderRetryMs = 500;
    static constexpr uint32_t kDeviceRemoveComplete = 0x8004;
    static constexpr uint32_t kDeviceTypeInterface = 5;

    // `owner` is the page: its timer 1 paces the state request and its PostToUi carries the state.
    AccessoryConnection(HidSystem& hid, Clock& clock, CDialog& owner);
    // Stops the reader (joined, never abandoned) and closes the link.
    ~AccessoryConnection();
    AccessoryConnection(const AccessoryConnection&) = delete;
    AccessoryConnection& operator=(const AccessoryConnection&) = delete;

    void OnStateReported(std::function<void(const VemraState&)> handler) {
        stateHandler = std::move(handler);
    }

    // Prepares the link (read 1000 ms, write 50 ms), fills the serial table and, when it found an
    // accessory, watches for unplugging; the number of accessories.
    int BuildDeviceList();
    int AccessoryCount() const { return accessoryCount; }
    const std::array<AccessorySlot, kTableSize>& SerialTable() const { return slots; }
    // A line per listed entry with a serial number.
    std::vector<AccessoryListLine> ListLines() const;
    // The serial-table entry the next Connect opens (0..2).
    void SelectEntry(int entry);
    int SelectedEntry() const { return selectedEntry; }

    // Closes a previous connection (its reader stopped first) and opens the selected entry; on
    // success starts the page's timer 1, whose tick asks for the state and starts the reader.
    ConnectResult Connect();
    static std::string_view ConnectMessage(ConnectResult result);
    // The page's timer: true when it was the connection's (then the page does nothing more).
    bool OnTimer(int timerId);
    bool IsOpen() const { return link.open != 0; }

    // Set from start until the accessory's state has been applied; the page's buttons that send or
    // change settings do nothing while it is set.
    bool AwaitingState() const { return awaitingState; }
    void SetAwaitingState(bool awaiting) { awaitingState = awaiting; }

    // Commands; each does nothing while the link is closed. The six data bytes persist between
    // commands, so bytes a command does not write keep what the previous one left.
    void SendIdleSetting(const VemraState& state);
    void SendTurboSetting(const VemraState& state);
    void SendZoneSwitches(const VemraState& state);
    void SendDefaults();
    const CommandScratch& Scratch() const { return scratch; }

    // A device-change event; true when it was the removal of the open accessory, which has then been
    // shut down (the page hands back to the main window). Other removals change nothing.
    bool OnDeviceChange(uint32_t event, uint32_t deviceType);
    // Stops watching, stops the reader (stop flag, cancel the pending read, join) and closes the
    // link. Does nothing after the accessory was unplugged, until a connect succeeds again.
    void Shutdown();
    bool IsShutDown() const { return shutDown; }

private:
    struct Current {};

    void Watch(bool on);
    void StopReader();
    void CloseConnection();
    void RequestState();
    void ReaderLoop(std::weak_ptr<Current> current);
    void ApplyReportedState(const std::vector<uint8_t>& block);
    void Send(const AccessoryCommand& command);

    HidSystem& hid;
    Clock& clock;
    CDialog& owner;
    std::function<void(const VemraState&)> stateHandler;

    UsbHidLink link;
    std::array<AccessorySlot, kTableSize> slots{};
    int accessoryCount = 0;
    int selectedEntry = 0;
    bool connectedBefore = false;
    bool watching = false;
    bool shutDown = false;
    CommandScratch scratch;
    std::atomic<bool> awaitingState{true};
    // Replaced by every connection; work posted by a reader is applied only while it still holds the
    // one it was started with.
    std::shared_ptr<Current> current;

    std::thread reader;
    std::atomic<bool> stopReader{false};
    std::mutex stopLock;
    std::condition_variable stopSignal;
};
