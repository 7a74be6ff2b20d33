#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "accessory/AccessoryConnection.h"
#include "sim/hid/SimAccessory.h"
#include "support/FakeClock.h"
#include "ui/CDialog.h"
#include "ui/HeadlessHost.h"
#include "usb_hid_fixture.h"

namespace {

using SteadyClock = std::chrono::steady_clock;
using Command = std::vector<uint8_t>;

// The page's part of the connection: its timer goes to the connection.
class TestPage : public CDialog {
public:
    explicit TestPage(UiHost& host) : CDialog(host, 224) {}
    AccessoryConnection* connection = nullptr;

protected:
    void OnTimer(int timerId) override {
        if (!connection || !connection->OnTimer(timerId)) CDialog::OnTimer(timerId);
    }
};

// Two simulated accessories, A1 and B2, behind a page that owns the connection.
class AccessoryConnectionTest : public ::testing::Test {
protected:
    AccessoryConnectionTest() {
        host.autoPump = false;
        page.Create();
        a1 = AddSimAccessory(hid, accessoryA1, u"A1", 0);
        b2 = AddSimAccessory(hid, accessoryB2, u"B2", 1);
        connection = std::make_unique<AccessoryConnection>(hid, clock, page);
        page.connection = connection.get();
        connection->OnStateReported([this](const VemraState& state) { reported.push_back(state); });
    }
    ~AccessoryConnectionTest() override {
        page.connection = nullptr;
        connection.reset();
    }

    // Connects, lets timer 1 fire and waits (real time, bounded) until the reader has posted the
    // state, which then runs on this, the UI thread.
    void ConnectAndReadState() {
        ASSERT_EQ(connection->BuildDeviceList(), 2);
        ASSERT_EQ(connection->Connect(), ConnectResult::Connected);
        ASSERT_TRUE(host.FireTimer(page, 1));
        ASSERT_TRUE(WaitForPosts(1));
        host.RunPosted();
    }
    bool WaitForPosts(size_t count) {
        const auto deadline = SteadyClock::now() + std::chrono::seconds(5);
        while (host.PendingPosts() < count) {
            if (SteadyClock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    HeadlessHost host;
    TestPage page{host};
    SimHidSystem hid;
    FakeClock clock;
    std::shared_ptr<SimAccessory> accessoryA1 = std::make_shared<SimAccessory>();
    std::shared_ptr<SimAccessory> accessoryB2 = std::make_shared<SimAccessory>();
    int a1 = 0;
    int b2 = 0;
    std::unique_ptr<AccessoryConnection> connection;
    std::vector<VemraState> reported;
};

TEST_F(AccessoryConnectionTest, DeviceListNamesEachAccessoryBySerialEntry) {
    EXPECT_EQ(connection->BuildDeviceList(), 2);
    EXPECT_TRUE(host.IsWatchingDevices(page));
    const auto lines = connection->ListLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, "USB 0");
    EXPECT_EQ(lines[1].text, "USB 1");
    EXPECT_EQ(lines[1].entry, 1);
    EXPECT_EQ(connection->SerialTable()[1].Serial(), "B2");
    EXPECT_EQ(connection->SelectedEntry(), 0);
}

TEST_F(AccessoryConnectionTest, ConnectAsksForTheStateAndTheReaderHandsItToTheUiThread) {
    accessoryA1->SetSettings({1, 7, 1, 2, 0, 6, 0, 5, 1, 0});
    ASSERT_EQ(connection->BuildDeviceList(), 2);
    ASSERT_EQ(connection->Connect(), ConnectResult::Connected);
    EXPECT_TRUE(connection->IsOpen());
    EXPECT_EQ(host.TimerInterval(page, 1), 200u);
    EXPECT_TRUE(accessoryA1->Commands().empty());

    ASSERT_TRUE(host.FireTimer(page, 1));
    EXPECT_FALSE(host.IsTimerRunning(page, 1));  // once per connection
    EXPECT_EQ(accessoryA1->Commands(), (std::vector<Command>{{0xF5, 0, 0, 0, 0, 0, 0}}));
    EXPECT_EQ(clock.sleeps, (std::vector<uint32_t>{200}));
    ASSERT_TRUE(WaitForPosts(1));
    EXPECT_TRUE(reported.empty());  // nothing before the UI thread runs it
    EXPECT_TRUE(connection->AwaitingState());

    host.RunPosted();
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].idleFrontColour, 7);
    EXPECT_EQ(reported[0].turboRearColour, 5);
    EXPECT_EQ(reported[0].idleFrontOff, 1);
    EXPECT_FALSE(connection->AwaitingState());
    EXPECT_EQ(hid.Interface(a1).readTimeouts.front(), 1000u);
    EXPECT_TRUE(accessoryB2->Commands().empty());
}

TEST_F(AccessoryConnectionTest, PageCommandsSendTheirBytes) {
    ConnectAndReadState();
    VemraState state = reported.at(0);
    state.idleFrontMode = 1;
    state.idleFrontColour = 2;
    state.turboRearColour = 6;
    state.idleFrontOff = 1;
    connection->SendIdleSetting(state);
    connection->SendZoneSwitches(state);
    connection->SendTurboSetting(state);
    connection->SendDefaults();
    const std::vector<Command> expected{{0xF5, 0, 0, 0, 0, 0, 0},
                                        {0xF0, 1, 2, 0, 4, 0, 0},
                                        {0xF3, 1, 0, 0, 4, 0, 0},
                                        {0xF1, 3, 0, 1, 6, 0, 0},
                                        {0xF4, 0, 0, 0, 0, 0, 0}};
    EXPECT_EQ(accessoryA1->Commands(), expected);
    // Every command was one report of 64 bytes: 3F 07, the command, zeros.
    for (const auto& report : hid.Interface(a1).written) {
        ASSERT_EQ(report.size(), 64u);
        EXPECT_EQ(report[0], 0x3F);
        EXPECT_EQ(report[1], 0x07);
        EXPECT_EQ(std::count(report.begin() + 9, report.end(), 0), 55);
    }
    EXPECT_EQ(accessoryA1->Settings(), SimAccessory::kDefaults);
}

TEST_F(AccessoryConnectionTest, CommandsOnAClosedLinkAreSkipped) {
    connection->SendDefaults();
    connection->SendIdleSetting(DefaultAccessoryState());
    EXPECT_TRUE(hid.Interface(a1).written.empty());
    EXPECT_FALSE(connection->OnTimer(2));
    EXPECT_TRUE(connection->OnTimer(1));  // its own timer, though nothing is open
    EXPECT_TRUE(hid.Interface(a1).written.empty());
}

TEST_F(AccessoryConnectionTest, FailedConnectionsSayWhy) {
    EXPECT_EQ(connection->Connect(), ConnectResult::NoAccessory);
    EXPECT_EQ(AccessoryConnection::ConnectMessage(ConnectResult::NoAccessory), "错误：无法找到设备！");
    ASSERT_EQ(connection->BuildDeviceList(), 2);

    hid.Change(a1, [](SimHidInterface& it) { it.heldByOther = SimHidHolder::Exclusive; });
    EXPECT_EQ(connection->Connect(), ConnectResult::InUse);
    EXPECT_EQ(AccessoryConnection::ConnectMessage(ConnectResult::InUse), "");

    hid.Change(a1, [](SimHidInterface& it) {
        it.heldByOther = SimHidHolder::None;
        it.caps.outputReportLength = 8;
    });
    EXPECT_EQ(connection->Connect(), ConnectResult::OpenFailed);
    EXPECT_EQ(AccessoryConnection::ConnectMessage(ConnectResult::OpenFailed), "错误：不能打开HID设备！");
    EXPECT_FALSE(connection->IsOpen());
    EXPECT_FALSE(host.IsTimerRunning(page, 1));
    EXPECT_EQ(hid.Interface(a1).openHandles, 0);
}

TEST_F(AccessoryConnectionTest, PickingAnotherEntryClosesTheOldConnectionAndOpensThatSerial) {
    ConnectAndReadState();
    connection->SelectEntry(1);
    ASSERT_EQ(connection->Connect(), ConnectResult::Connected);
    EXPECT_EQ(hid.Interface(a1).openHandles, 0);
    EXPECT_EQ(hid.Interface(b2).openHandles, 1);
    connection->SendDefaults();
    EXPECT_EQ(accessoryB2->Commands(), (std::vector<Command>{{0xF4, 0, 0, 0, 0, 0, 0}}));
}

TEST_F(AccessoryConnectionTest, ADroppedBlockIsRetriedAfterThePause) {
    hid.Change(a1, [](SimHidInterface& it) { it.blockWhenEmpty = true; });
    accessoryA1->SetStateMark('K');
    ASSERT_EQ(connection->BuildDeviceList(), 2);
    ASSERT_EQ(connection->Connect(), ConnectResult::Connected);
    const auto start = SteadyClock::now();
    ASSERT_TRUE(host.FireTimer(page, 1));
    ASSERT_TRUE(hid.WaitForBlockedRead(5000));  // the bad block was read and dropped
    accessoryA1->SetStateMark('L');
    for (auto& report : SimFrameReports(accessoryA1->StateBlock(), 64)) hid.QueueReport(a1, report);
    ASSERT_TRUE(WaitForPosts(1));
    EXPECT_GE(SteadyClock::now() - start, std::chrono::milliseconds(AccessoryConnection::kReaderRetryMs));
    host.RunPosted();
    EXPECT_EQ(reported.size(), 1u);
}

TEST_F(AccessoryConnectionTest, StateReadByAnEarlierConnectionIsNotApplied) {
    ASSERT_EQ(connection->BuildDeviceList(), 2);
    ASSERT_EQ(connection->Connect(), ConnectResult::Connected);
    ASSERT_TRUE(host.FireTimer(page, 1));
    ASSERT_TRUE(WaitForPosts(1));
    ASSERT_EQ(connection->Connect(), ConnectResult::Connected);  // reconnect before the UI ran it
    host.RunPosted();
    EXPECT_TRUE(reported.empty());
    EXPECT_TRUE(connection->AwaitingState());

    ASSERT_TRUE(host.FireTimer(page, 1));
    ASSERT_TRUE(WaitForPosts(1));
    host.RunPosted();
    EXPECT_EQ(reported.size(), 1u);
}

TEST_F(AccessoryConnectionTest, DeviceChangesAreWatchedOnlyWhileThereIsAnAccessory) {
    hid.Unplug(a1);
    hid.Unplug(b2);
    EXPECT_EQ(connection->BuildDeviceList(), 0);
    EXPECT_FALSE(host.IsWatchingDevices(page));
    EXPECT_EQ(connection->Connect(), ConnectResult::NoAccessory);
    EXPECT_FALSE(host.IsWatchingDevices(page));
    hid.Replug(b2);
    EXPECT_EQ(connection->BuildDeviceList(), 1);
    EXPECT_TRUE(host.IsWatchingDevices(page));
}

TEST_F(AccessoryConnectionTest, UnplugOfTheOpenAccessoryShutsDownAndAReplugConnectsAgain) {
    ConnectAndReadState();
    hid.Unplug(b2);
    EXPECT_FALSE(connection->OnDeviceChange(AccessoryConnection::kDeviceRemoveComplete, 5));  // not ours
    EXPECT_TRUE(connection->IsOpen());
    hid.Unplug(a1);
    EXPECT_FALSE(connection->OnDeviceChange(0x8000, 5));  // arrival
    EXPECT_FALSE(connection->OnDeviceChange(AccessoryConnection::kDeviceRemoveComplete, 2));
    EXPECT_TRUE(connection->IsOpen());

    EXPECT_TRUE(connection->OnDeviceChange(AccessoryConnection::kDeviceRemoveComplete, 5));
    EXPECT_FALSE(connection->IsOpen());
    EXPECT_TRUE(connection->IsShutDown());
    EXPECT_FALSE(host.IsWatchingDevices(page));
    connection->Shutdown();  // harmless now

    EXPECT_EQ(connection->Connect(), ConnectResult::NoAccessory);  // both gone
    hid.Replug(a1);
    ASSERT_EQ(connection->Connect(), ConnectResult::Connected);
    EXPECT_FALSE(connection->IsShutDown());
    EXPECT_TRUE(host.IsWatchingDevices(page));
    EXPECT_EQ(connection->AccessoryCount(), 1);
    EXPECT_EQ(connection->ListLines().size(), 1u);
}

// The reader blocks in a read that only a cancel ends; shutdown must not wait for the read's time-out.
TEST_F(AccessoryConnectionTest, ShutdownWhileTheReaderIsBlockedReturnsAtOnceAndDeliversNothing) {
    hid.Change(a1, [](SimHidInterface& it) {
        it.blockWhenEmpty = true;
        it.responder.reset();  // never answers
    });
    ASSERT_EQ(connection->BuildDeviceList(), 2);
    ASSERT_EQ(connection->Connect(), ConnectResult::Connected);
    ASSERT_TRUE(host.FireTimer(page, 1));
    ASSERT_TRUE(hid.WaitForBlockedRead(5000));

    const auto start = SteadyClock::now();
    connection->Shutdown();
    EXPECT_LT(SteadyClock::now() - start, std::chrono::milliseconds(500));
    EXPECT_EQ(hid.Interface(a1).readsCancelled, 1);
    EXPECT_EQ(hid.Interface(a1).openHandles, 0);
    EXPECT_EQ(hid.ReadsWaiting(), 0);
    EXPECT_FALSE(connection->IsOpen());

    for (auto& report : SimFrameReports(accessoryA1->StateBlock(), 64)) hid.QueueReport(a1, report);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(host.PendingPosts(), 0u);
    host.RunPosted();
    EXPECT_TRUE(reported.empty());
}

TEST_F(AccessoryConnectionTest, StatePostedBeforeShutdownIsNotApplied) {
    ASSERT_EQ(connection->BuildDeviceList(), 2);
    ASSERT_EQ(connection->Connect(), ConnectResult::Connected);
    ASSERT_TRUE(host.FireTimer(page, 1));
    ASSERT_TRUE(WaitForPosts(1));
    connection->Shutdown();
    host.RunPosted();
    EXPECT_TRUE(reported.empty());
}

TEST_F(AccessoryConnectionTest, DestroyingTheConnectionJoinsABlockedReader) {
    hid.Change(a1, [](SimHidInterface& it) {
        it.blockWhenEmpty = true;
        it.responder.reset();
    });
    ASSERT_EQ(connection->BuildDeviceList(), 2);
    ASSERT_EQ(connection->Connect(), ConnectResult::Connected);
    ASSERT_TRUE(host.FireTimer(page, 1));
    ASSERT_TRUE(hid.WaitForBlockedRead(5000));
    const auto start = SteadyClock::now();
    page.connection = nullptr;
    connection.reset();
    EXPECT_LT(SteadyClock::now() - start, std::chrono::milliseconds(500));
    EXPECT_EQ(hid.Interface(a1).openHandles, 0);
}

}  // namespace
