#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "accessory/UsbHidLink.h"
#include "sim/hid/SimHidSystem.h"
#include "usb_hid_fixture.h"

namespace {

class UsbHidLinkTest : public ::testing::Test {
protected:
    void SetUp() override { InitLink(link, hid, 1000, 50); }

    int AddAccessory(const std::u16string& serial, int instance = 0) {
        return hid.Add(AccessoryInterface(serial, instance));
    }
    LinkStatus Open(const std::string& serial, int perDevice = 1, int count = 1) {
        return OpenLink(link, kAccessoryVendorId, kAccessoryProductId, 0, serial, perDevice, count);
    }

    SimHidSystem hid;
    UsbHidLink link;
};

TEST_F(UsbHidLinkTest, InitialisationFillsInDefaultTimeOuts) {
    UsbHidLink other;
    InitLink(other, hid, 0, 0);
    EXPECT_EQ(other.readTimeoutMs, 600u);
    EXPECT_EQ(other.writeTimeoutMs, 500u);
    EXPECT_EQ(link.readTimeoutMs, 1000u);
    EXPECT_EQ(link.writeTimeoutMs, 50u);
    EXPECT_FALSE(link.open);
}

TEST_F(UsbHidLinkTest, SevenBytesGoOutAsOneFramedReportPaddedWithZeros) {
    const int index = AddAccessory(u"A1");
    ASSERT_EQ(Open("A1"), LinkOk);
    const std::array<uint8_t, 7> command{0xF5, 0, 0, 0, 0, 0, 0};
    ASSERT_EQ(WriteLinkData(link, command), LinkOk);

    std::vector<uint8_t> expected(64, 0);
    expected[0] = 0x3F;
    expected[1] = 0x07;
    expected[2] = 0xF5;
    const auto written = hid.Interface(index).written;
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(written[0], expected);
}

TEST_F(UsbHidLinkTest, WriteOutcomesBecomeLinkStatuses) {
    const int index = AddAccessory(u"A1");
    ASSERT_EQ(Open("A1"), LinkOk);
    hid.Change(index, [](SimHidInterface& it) {
        it.writeResults = {HidIoResult::TimedOut, HidIoResult::Failed};
    });
    const std::array<uint8_t, 7> command{0xF4};
    EXPECT_EQ(WriteLinkData(link, command), LinkTimedOut);
    EXPECT_EQ(WriteLinkData(link, command), LinkTransferFailed);
    EXPECT_EQ(WriteLinkData(link, command), LinkOk);
    EXPECT_EQ(hid.Interface(index).written.size(), 1u);
}

TEST_F(UsbHidLinkTest, ReadGathersReportsAndKeepsTheSurplusForTheNextRead) {
    const int index = AddAccessory(u"A1");
    ASSERT_EQ(Open("A1"), LinkOk);
    for (int r = 0; r < 5; ++r) hid.QueueReport(index, InputReport(62, static_cast<uint8_t>(r * 62)));

    std::array<uint8_t, 200> block{};
    size_t received = 0;
    ASSERT_EQ(ReadLinkData(link, block, received), LinkOk);
    EXPECT_EQ(received, 200u);
    for (size_t i = 0; i < 200; ++i) ASSERT_EQ(block[i], static_cast<uint8_t>(i)) << i;
    EXPECT_EQ(link.pendingCount, 48u);

    // The 48 kept bytes come first, then the fifth report's 62, then the time-out ends the read.
    ASSERT_EQ(ReadLinkData(link, block, received), LinkOk);
    EXPECT_EQ(received, 110u);
    for (size_t i = 0; i < 110; ++i) ASSERT_EQ(block[i], static_cast<uint8_t>(200 + i)) << i;
    EXPECT_EQ(link.pendingCount, 0u);
}

TEST_F(UsbHidLinkTest, ForeignAndDamagedReportsAreSkipped) {
    const int index = AddAccessory(u"A1");
    ASSERT_EQ(Open("A1"), LinkOk);
    std::vector<uint8_t> foreign = InputReport(62, 0xEE);
    foreign[0] = 0x3E;
    hid.QueueReport(index, foreign);
    hid.QueueReport(index, InputReport(63, 0xEE));      // count beyond any report
    hid.QueueReport(index, InputReport(40, 0xEE, 30));  // count beyond the bytes received
    hid.QueueReport(index, {0x3F});                     // no count byte at all
    hid.QueueReport(index, InputReport(10, 1));

    std::array<uint8_t, 200> block{};
    size_t received = 0;
    EXPECT_EQ(ReadLinkData(link, block, received), LinkOk);
    ASSERT_EQ(received, 10u);
    for (size_t i = 0; i < 10; ++i) EXPECT_EQ(block[i], i + 1);
}

TEST_F(UsbHidLinkTest, TimeOutsAndFailuresReportWhatReallyArrived) {
    const int index = AddAccessory(u"A1");
    ASSERT_EQ(Open("A1"), LinkOk);
    std::array<uint8_t, 200> block{};
    size_t received = 99;

    hid.QueueTimeOut(index);
    EXPECT_EQ(ReadLinkData(link, block, received), LinkTimedOut);
    EXPECT_EQ(received, 0u);

    hid.QueueReport(index, InputReport(62));
    hid.QueueTimeOut(index);
    EXPECT_EQ(ReadLinkData(link, block, received), LinkOk);
    EXPECT_EQ(received, 62u);

    hid.QueueReport(index, InputReport(62));
    hid.QueueFailure(index);
    EXPECT_EQ(ReadLinkData(link, block, received), LinkTransferFailed);
    EXPECT_EQ(received, 62u);
    EXPECT_EQ(hid.Interface(index).readTimeouts.back(), 1000u);
}

TEST_F(UsbHidLinkTest, ClosedLinkTouchesNothing) {
    const int index = AddAccessory(u"A1");
    std::array<uint8_t, 200> block{};
    size_t received = 5;
    EXPECT_EQ(CloseLink(link), LinkNotOpen);
    EXPECT_EQ(WriteLinkData(link, std::array<uint8_t, 7>{}), LinkNotOpen);
    EXPECT_EQ(ReadLinkData(link, block, received), LinkNotOpen);
    EXPECT_EQ(received, 0u);

    ASSERT_EQ(Open("A1"), LinkOk);
    EXPECT_EQ(hid.Interface(index).openHandles, 1);
    EXPECT_EQ(CloseLink(link), LinkOk);
    EXPECT_EQ(CloseLink(link), LinkNotOpen);
    EXPECT_EQ(hid.Interface(index).openHandles, 0);
}

TEST(UsbHidPathTest, IdentityIsALowerCaseSubstringOfThePath) {
    struct Case {
        const char* path;
        bool matches;
    };
    const Case cases[] = {
        {"\\\\?\\hid#vid_2047&pid_0310&mi_01#7&1a2b&0&0000#{4d1e55b2}", true},
        {"\\\\?\\hid#vid_2047&pid_0310#7&1a2b&0&0000#{4d1e55b2}", true},
        {"\\\\?\\hid#VID_2047&PID_0310&mi_01#7&1a2b&0&0000#{4d1e55b2}", false},
        {"\\\\?\\hid#vid_2047&pid_0311#7&1a2b&0&0000#{4d1e55b2}", false},
        {"\\\\?\\hid#vid_046d&pid_c52b#7&1a2b&0&0000#{4d1e55b2}", false},
    };
    EXPECT_EQ(IdentityPattern(0x2047, 0x0310), "vid_2047&pid_0310");
    for (const Case& c : cases) {
        SimHidSystem hid;
        SimHidInterface it;
        it.path = c.path;
        hid.Add(it);
        std::string path;
        EXPECT_EQ(FindInterfacePath(hid, 0, 0x2047, 0x0310, path), c.matches ? LinkOk : LinkNoMatch)
            << c.path;
        EXPECT_EQ(path, c.matches ? c.path : "");
        EXPECT_EQ(FindInterfacePath(hid, 1, 0x2047, 0x0310, path), LinkNoMatch);
        EXPECT_EQ(ProbeAccessoryPresent(hid), c.matches) << c.path;
    }
}

TEST(UsbHidPathTest, IndicesFrom128OnAreNeverLookedAt) {
    SimHidSystem hid;
    for (int i = 0; i < 130; ++i) hid.Add(AccessoryInterface(u"A1", i));
    std::string path;
    EXPECT_EQ(FindInterfacePath(hid, 127, 0x2047, 0x0310, path), LinkOk);
    EXPECT_EQ(FindInterfacePath(hid, 128, 0x2047, 0x0310, path), LinkNoMatch);
    EXPECT_EQ(FindInterfacePath(hid, -1, 0x2047, 0x0310, path), LinkNoMatch);
    EXPECT_EQ(CountInterfaces(hid, 0x2047, 0x0310, 1), 128);
}

TEST(UsbHidPathTest, NoInterfacesAtAllIsNoAccessory) {
    SimHidSystem hid;
    std::array<AccessorySlot, 3> table{};
    EXPECT_FALSE(ProbeAccessoryPresent(hid));
    EXPECT_EQ(ListSerialNumbers(hid, 0x2047, 0x0310, table), 0);
    EXPECT_EQ(CountInterfaces(hid, 0x2047, 0x0310, 0), 0);
    hid.Add(AccessoryInterface(u"A1", 0));
    hid.SetEnumerationFails(true);
    EXPECT_FALSE(ProbeAccessoryPresent(hid));
}

TEST(UsbHidOpenTest, IdentityIsConfirmedThroughTheAttributes) {
    SimHidSystem hid;
    SimHidInterface impostor = AccessoryInterface(u"A1", 0);
    impostor.productId = 0x0311;  // the path lies about the device
    const int index = hid.Add(impostor);
    uint32_t error = 99;
    EXPECT_EQ(OpenInterface(hid, impostor.path, 0x2047, 0x0310, false, error), nullptr);
    EXPECT_EQ(hid.Interface(index).openHandles, 0);
    EXPECT_NE(OpenInterface(hid, impostor.path, 0x2047, 0x0311, false, error), nullptr);
    EXPECT_EQ(error, 0u);
}

TEST(UsbHidOpenTest, ASharingViolationGetsOneSharedAttempt) {
    SimHidSystem hid;
    SimHidInterface it = AccessoryInterface(u"A1", 0);
    it.heldByOther = SimHidHolder::SharingReadWrite;
    hid.Add(it);
    uint32_t error = 99;
    auto device = OpenInterface(hid, it.path, 0x2047, 0x0310, true, error);
    EXPECT_NE(device, nullptr);
    EXPECT_EQ(error, 0u);  // the attempt that counted succeeded

    hid.Change(0, [](SimHidInterface& i) { i.heldByOther = SimHidHolder::Exclusive; });
    EXPECT_EQ(OpenInterface(hid, it.path, 0x2047, 0x0310, true, error), nullptr);
    EXPECT_EQ(error, kHidErrorSharingViolation);
}

struct SerialCase {
    const char* name;
    std::vector<SimHidInterface> interfaces;
    int count;
    std::vector<std::string> serials;
};

TEST(UsbHidSerialTest, AccessoriesAreListedOncePerSerialNumber) {
    SimHidInterface unreadable = AccessoryInterface(u"", 2);
    unreadable.serial.reset();
    SimHidInterface otherDevice = AccessoryInterface(u"Z9", 3);
    otherDevice.path = SimHidPath(0x046d, 0xc52b, 3);
    const SerialCase cases[] = {
        {"two accessories with two interfaces each",
         {AccessoryInterface(u"A1", 0, 0), AccessoryInterface(u"A1", 0, 1), AccessoryInterface(u"B2", 1, 0),
          AccessoryInterface(u"B2", 1, 1)},
         2,
         {"A1", "B2", ""}},
        {"two single-interface accessories without serial numbers",
         {AccessoryInterface(u"", 0), AccessoryInterface(u"", 1)},
         2,
         {"", "", ""}},
        {"two two-interface accessories without serial numbers",
         {AccessoryInterface(u"", 0, 0), AccessoryInterface(u"", 0, 1), AccessoryInterface(u"", 1, 0),
          AccessoryInterface(u"", 1, 1)},
         2,
         {"", "", ""}},
        {"more accessories than the table holds",
         {AccessoryInterface(u"A1", 0), AccessoryInterface(u"B2", 1), AccessoryInterface(u"C3", 2),
          AccessoryInterface(u"D4", 3)},
         3,
         {"A1", "B2", "C3"}},
        {"six accessories without serial numbers",
         {AccessoryInterface(u"", 0), AccessoryInterface(u"", 1), AccessoryInterface(u"", 2),
          AccessoryInterface(u"", 3), AccessoryInterface(u"", 4), AccessoryInterface(u"", 5)},
         3,
         {"", "", ""}},
        {"unreadable serial and another device are passed over",
         {unreadable, otherDevice, AccessoryInterface(u"B2", 1)},
         1,
         {"B2", "", ""}},
        {"a serial longer than the table's text is cut",
         {AccessoryInterface(u"0123456789012345678901234567890123456789", 0)},
         1,
         {"012345678901234567890123456789012345678", "", ""}},
    };
    for (const SerialCase& c : cases) {
        SimHidSystem hid;
        for (const SimHidInterface& it : c.interfaces) hid.Add(it);
        std::array<AccessorySlot, 3> table{};
        EXPECT_EQ(ListSerialNumbers(hid, 0x2047, 0x0310, table), c.count) << c.name;
        for (size_t i = 0; i < table.size(); ++i)
            EXPECT_EQ(table[i].Serial(), c.serials[i]) << c.name << " " << i;
        for (size_t i = 0; i < c.interfaces.size(); ++i)
            EXPECT_EQ(hid.Interface(int(i)).openHandles, 0) << c.name;
    }
}

TEST(UsbHidSerialTest, InterfacesPerAccessoryCountHeldInterfacesToo) {
    SimHidSystem hid;
    SimHidInterface held = AccessoryInterface(u"B2", 1, 1);
    held.heldByOther = SimHidHolder::Exclusive;
    hid.Add(AccessoryInterface(u"A1", 0, 0));
    hid.Add(AccessoryInterface(u"A1", 0, 1));
    hid.Add(AccessoryInterface(u"B2", 1, 0));
    hid.Add(held);
    EXPECT_EQ(CountInterfaces(hid, 0x2047, 0x0310, 2), 2);
    EXPECT_EQ(CountInterfaces(hid, 0x2047, 0x0310, 0), 0);
    hid.Change(3, [](SimHidInterface& it) { it.openError = kHidErrorAccessDenied; });
    EXPECT_EQ(CountInterfaces(hid, 0x2047, 0x0310, 1), 3);
}

TEST_F(UsbHidLinkTest, OpenPicksTheAccessoryBySerialNumber) {
    AddAccessory(u"A1", 0);
    const int b2 = AddAccessory(u"B2", 1);
    ASSERT_EQ(Open("B2", 1, 2), LinkOk);
    EXPECT_EQ(link.lastError, 0u);
    EXPECT_EQ(hid.Interface(0).openHandles, 0);
    EXPECT_EQ(hid.Interface(b2).openHandles, 1);
    EXPECT_TRUE(hid.Interface(b2).openedExclusive);  // one interface per accessory: exclusive
    EXPECT_EQ(link.inputReportLength, 64);
    EXPECT_EQ(link.outputReportLength, 64);
    EXPECT_EQ(Open("B2", 1, 2), LinkInUse);  // already open
    EXPECT_EQ(CloseLink(link), LinkOk);
    EXPECT_EQ(Open("C3", 1, 2), LinkNotFound);
}

TEST_F(UsbHidLinkTest, OpenOfAnAccessoryHeldElsewhereIsInUseAndKeepsNoHandle) {
    SimHidInterface it = AccessoryInterface(u"A1", 0, 0);
    it.heldByOther = SimHidHolder::Exclusive;
    hid.Add(it);
    hid.Add(AccessoryInterface(u"A1", 0, 1));
    EXPECT_EQ(Open("A1", 2, 1), LinkInUse);
    EXPECT_FALSE(link.open);
    EXPECT_EQ(hid.Interface(0).openHandles + hid.Interface(1).openHandles, 0);
}

TEST_F(UsbHidLinkTest, OpenRefusesReportSizesTheLinkCannotCarry) {
    struct Case {
        uint16_t input, output;
        bool readable;
        LinkStatus status;
    };
    const Case cases[] = {
        {64, 64, true, LinkOk},
        {3, 9, true, LinkOk},
        {8192, 9, true, LinkOk},
        {64, 8, true, LinkTransferFailed},
        {2, 64, true, LinkTransferFailed},
        {8193, 64, true, LinkTransferFailed},
        {0, 0, true, LinkTransferFailed},
        {64, 64, false, LinkTransferFailed},
    };
    const int index = AddAccessory(u"A1");
    for (const Case& c : cases) {
        hid.Change(index, [&](SimHidInterface& it) {
            it.caps = {c.input, c.output};
            it.capsReadable = c.readable;
        });
        EXPECT_EQ(Open("A1"), c.status) << c.input << " " << c.output;
        EXPECT_EQ(bool(link.open), c.status == LinkOk);
        EXPECT_EQ(hid.Interface(index).openHandles, c.status == LinkOk ? 1 : 0);
        CloseLink(link);
    }
}

TEST_F(UsbHidLinkTest, OpeningClearsBytesLeftFromTheLastConnection) {
    const int index = AddAccessory(u"A1");
    ASSERT_EQ(Open("A1"), LinkOk);
    hid.QueueReport(index, InputReport(62));
    std::array<uint8_t, 10> small{};
    size_t received = 0;
    ASSERT_EQ(ReadLinkData(link, small, received), LinkOk);
    EXPECT_EQ(link.pendingCount, 52u);
    CloseLink(link);
    ASSERT_EQ(Open("A1"), LinkOk);
    EXPECT_EQ(link.pendingCount, 0u);
}

TEST_F(UsbHidLinkTest, OrdinalPicksAmongAccessoriesWithoutSerialNumbers) {
    AddAccessory(u"", 0);
    const int second = AddAccessory(u"", 1);
    ASSERT_EQ(Open("1", 1, 2), LinkOk);
    EXPECT_EQ(hid.Interface(second).openHandles, 1);
    CloseLink(link);
    ASSERT_EQ(Open("", 1, 2), LinkOk);
    EXPECT_EQ(hid.Interface(0).openHandles, 1);
}

TEST_F(UsbHidLinkTest, UnpluggedDeviceFailsItsTransfers) {
    const int index = AddAccessory(u"A1");
    ASSERT_EQ(Open("A1"), LinkOk);
    hid.Unplug(index);
    std::array<uint8_t, 200> block{};
    size_t received = 0;
    EXPECT_EQ(ReadLinkData(link, block, received), LinkTransferFailed);
    EXPECT_EQ(WriteLinkData(link, std::array<uint8_t, 7>{}), LinkTransferFailed);
    EXPECT_EQ(CloseLink(link), LinkOk);
}

}  // namespace
