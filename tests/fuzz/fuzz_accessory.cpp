#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "accessory/AccessoryProtocol.h"
#include "accessory/UsbHidLink.h"
#include "sim/hid/SimHidSystem.h"

// The accessory is a device anyone can build: its paths, serial numbers, report sizes and input
// reports all come from the input. Discovery stays within the serial table, the link opens only with
// report sizes it can carry, every read returns at most what was asked with the surplus kept
// within one report's payload, and the state parser takes only a marked block of 110 bytes or more.

namespace {

constexpr uint16_t kVendor = 0x2047;
constexpr uint16_t kProduct = 0x0310;

SimHidInterface FuzzedInterface(FuzzedDataProvider& in, int instance) {
    SimHidInterface it;
    const int interfaceNumber = in.ConsumeIntegralInRange<int>(-1, 12);
    it.path = in.ConsumeBool() ? SimHidPath(kVendor, kProduct, instance, interfaceNumber)
                               : in.ConsumeRandomLengthString(96);
    it.vendorId = in.ConsumeBool() ? kVendor : in.ConsumeIntegral<uint16_t>();
    it.productId = in.ConsumeBool() ? kProduct : in.ConsumeIntegral<uint16_t>();
    if (in.ConsumeBool()) {
        const std::string text = in.ConsumeRandomLengthString(48);
        it.serial = std::u16string(text.begin(), text.end());
    }
    it.caps.inputReportLength = in.ConsumeBool() ? 64 : in.ConsumeIntegralInRange<uint16_t>(0, 9000);
    it.caps.outputReportLength = in.ConsumeBool() ? 64 : in.ConsumeIntegralInRange<uint16_t>(0, 300);
    it.capsReadable = in.ConsumeProbability<float>() > 0.05f;
    const int holder = in.ConsumeIntegralInRange<int>(0, 7);
    it.heldByOther = holder == 1   ? SimHidHolder::Exclusive
                     : holder == 2 ? SimHidHolder::SharingReadWrite
                                   : SimHidHolder::None;
    return it;
}

void QueueFuzzedReads(FuzzedDataProvider& in, SimHidSystem& hid, int index) {
    const int reads = in.ConsumeIntegralInRange<int>(0, 24);
    for (int r = 0; r < reads; ++r) {
        const int kind = in.ConsumeIntegralInRange<int>(0, 9);
        if (kind == 0) {
            hid.QueueTimeOut(index);
        } else if (kind == 1) {
            hid.QueueFailure(index);
        } else if (kind <= 4) {
            hid.QueueReport(index, in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, 80)));
        } else {
            // A well-formed report with a fuzzed count and payload.
            std::vector<uint8_t> report(64, 0);
            report[0] = 0x3F;
            report[1] = in.ConsumeIntegralInRange<uint8_t>(0, 70);
            const std::vector<uint8_t> payload = in.ConsumeBytes<uint8_t>(62);
            std::copy(payload.begin(), payload.end(), report.begin() + 2);
            hid.QueueReport(index, report);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    SimHidSystem hid;
    const int count = in.ConsumeIntegralInRange<int>(1, 6);
    for (int i = 0; i < count; ++i) hid.Add(FuzzedInterface(in, i));

    std::array<AccessorySlot, 3> table{};
    const int accessories = ListSerialNumbers(hid, kVendor, kProduct, table);
    FuzzCheck(accessories >= 0 && accessories <= 3, "the accessory count fits the serial table");
    for (const AccessorySlot& slot : table) FuzzCheck(slot.Serial().size() < 40, "serials stay terminated");
    const int perDevice = CountInterfaces(hid, kVendor, kProduct, accessories);
    FuzzCheck(perDevice >= 0 && perDevice <= count, "interfaces per accessory are interfaces that exist");

    UsbHidLink link;
    InitLink(link, hid, 1000, 50);
    const std::string wanted = table[in.ConsumeIntegralInRange<int>(0, 2)].Serial();
    const LinkStatus opened = OpenLink(link, kVendor, kProduct, 0, wanted, perDevice, accessories);
    if (opened != LinkOk) {
        FuzzCheck(!link.open && !link.handle, "a refused open keeps no device");
        return 0;
    }
    FuzzCheck(link.inputReportLength >= 3 && link.inputReportLength <= kLinkBufferSize,
              "an open link's input report fits its buffer");
    FuzzCheck(link.outputReportLength >= 9, "an open link's output report holds a command");

    for (int i = 0; i < count; ++i) QueueFuzzedReads(in, hid, i);
    const AccessoryCommand ask{kCmdAskState};
    WriteLinkData(link, ask);
    while (in.remaining_bytes() > 0) {
        std::vector<uint8_t> buffer(in.ConsumeBool() ? kStateBlockSize
                                                     : in.ConsumeIntegralInRange<size_t>(0, 300));
        size_t received = 0;
        const LinkStatus status = ReadLinkData(link, buffer, received);
        FuzzCheck(received <= buffer.size(), "a read returns at most what was asked");
        FuzzCheck(status != LinkTimedOut || received == 0, "a time-out delivers nothing");
        FuzzCheck(link.pendingCount <= 62, "the kept surplus is part of one report");
        VemraState state;
        const std::span<const uint8_t> got(buffer.data(), received);
        const bool parsed = ParseStateBlock(got, state);
        FuzzCheck(parsed == (received >= 110 && buffer[99] == 'L'), "a state block is marked and whole");
        if (parsed) {
            FuzzCheck(state.idleFrontMode == buffer[100] && state.turboRearOff == buffer[109] &&
                          state.idleRearOff == state.turboRearOff && state.stateKnown == 0,
                      "the fields come from bytes 100..109");
        }
        if (status == LinkTimedOut && in.ConsumeBool()) break;
    }
    CloseLink(link);
    return 0;
}
