#include <algorithm>
#include <cstdio>
#include <vector>

#include "accessory/UsbHidLink.h"
#include "accessory/UsbHidWalk.h"

std::string AccessorySlot::Serial() const {
    return std::string(serial.data(), std::find(serial.begin(), serial.end(), '\0'));
}

std::string IdentityPattern(uint16_t vendorId, uint16_t productId) {
    char text[32];
    std::snprintf(text, sizeof text, "vid_%04x&pid_%04x", vendorId, productId);
    return text;
}

LinkStatus FindInterfacePath(HidSystem& system, int index, uint16_t vendorId, uint16_t productId,
                             std::string& path) {
    if (index < 0 || index >= kMaxInterfaceIndex) return LinkNoMatch;
    const std::vector<std::string> paths = system.ListInterfacePaths();
    if (static_cast<size_t>(index) >= paths.size()) return LinkNoMatch;
    if (paths[index].find(IdentityPattern(vendorId, productId)) == std::string::npos) return LinkNoMatch;
    path = paths[index];
    return LinkOk;
}

std::vector<std::string> MatchingInterfacePaths(HidSystem& system, uint16_t vendorId, uint16_t productId) {
    // One list per walk: the interfaces cannot shift under the walk between two indices.
    std::vector<std::string> paths = system.ListInterfacePaths();
    if (paths.size() > static_cast<size_t>(kMaxInterfaceIndex)) paths.resize(kMaxInterfaceIndex);
    const std::string pattern = IdentityPattern(vendorId, productId);
    std::erase_if(paths, [&](const std::string& path) { return path.find(pattern) == std::string::npos; });
    return paths;
}

std::unique_ptr<HidDevice> OpenInterface(HidSystem& system, const std::string& path, uint16_t vendorId,
                                         uint16_t productId, bool exclusiveFirst, uint32_t& lastError) {
    std::unique_ptr<HidDevice> device = system.OpenDevice(path, exclusiveFirst, lastError);
    if (!device && lastError == kHidErrorSharingViolation) device = system.OpenDevice(path, false, lastError);
    if (!device) return nullptr;
    lastError = kHidErrorNone;
    HidAttributes attributes;
    if (!device->GetAttributes(attributes) || attributes.vendorId != vendorId ||
        attributes.productId != productId)
        return nullptr;
    return device;
}

int CountInterfaces(HidSystem& system, uint16_t vendorId, uint16_t productId, int divisor) {
    int count = 0;
    for (const std::string& path : MatchingInterfacePaths(system, vendorId, productId)) {
        uint32_t error = 0;
        std::unique_ptr<HidDevice> device = OpenInterface(system, path, vendorId, productId, false, error);
        if (device || error == kHidErrorSharingViolation) ++count;
    }
    if (count == 0 || divisor <= 0) return 0;
    return count / divisor;
}

namespace {

void StoreSerial(AccessorySlot& slot, const std::string& text) {
    slot.serial.fill('\0');
    std::copy_n(text.begin(), std::min(text.size(), kSerialCapacity - 1), slot.serial.begin());
}

// The interface number of a path of the form ...vid_xxxx&pid_xxxx&mi_NN..., read as the device
// setup writes it: the digit run that starts at the second digit.
int InterfaceNumberOf(const std::string& path) {
    constexpr size_t kSuffixMark = 26;
    constexpr size_t kNumberStart = 30;
    if (path.size() <= kNumberStart || path[kSuffixMark] != 'm') return 0;
    int number = 0;
    for (size_t i = kNumberStart; i < path.size() && i < kNumberStart + 4; ++i) {
        if (path[i] < '0' || path[i] > '9') break;
        number = number * 10 + (path[i] - '0');
    }
    return number;
}

}  // namespace

int ListSerialNumbers(HidSystem& system, uint16_t vendorId, uint16_t productId,
                      std::span<AccessorySlot> table) {
    const int capacity = static_cast<int>(table.size());
    int stored = 0;
    int blankRun = 1;
    int maxInterface = 0;
    bool firstStored = false;
    std::string lastText;
    for (const std::string& path : MatchingInterfacePaths(system, vendorId, productId)) {
        uint32_t error = 0;
        std::unique_ptr<HidDevice> device = OpenInterface(system, path, vendorId, productId, false, error);
        if (!device) continue;
        std::u16string wide;
        if (!device->GetSerialNumber(wide)) continue;
        const std::string text = NarrowSerial(wide);
        lastText = text;
        bool duplicate = false;
        for (int i = 0; i < stored; ++i) duplicate = duplicate || table[i].Serial() == text;
        if (text.empty() && firstStored && duplicate) {
            // Another interface of an accessory without a serial number.
            maxInterface = std::max(maxInterface, InterfaceNumberOf(path));
            ++blankRun;
        } else if (!duplicate && blankRun == 1) {
            firstStored = true;
            if (stored < capacity) StoreSerial(table[stored++], text);
        }
    }
    int count = stored;
    if (blankRun >= 3 || (blankRun == 2 && stored != 2)) count = blankRun / (maxInterface + 1);
    count = std::min(count, capacity);
    for (int i = stored; i < count; ++i) StoreSerial(table[i], lastText);
    return std::max(count, 0);
}

bool ProbeAccessoryPresent(HidSystem& system) {
    std::vector<std::string> paths = system.ListInterfacePaths();
    if (paths.size() > static_cast<size_t>(kMaxInterfaceIndex)) paths.resize(kMaxInterfaceIndex);
    for (const std::string& path : paths) {
        const size_t vid = path.find("vid_");
        if (vid == std::string::npos) continue;
        const size_t pid = path.find("pid_", vid);
        if (pid == std::string::npos) continue;
        if (path.compare(vid + 4, 4, "2047") == 0 && path.compare(pid + 4, 4, "0310") == 0) return true;
    }
    return false;
}
