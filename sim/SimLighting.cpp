#include "sim/SimLighting.h"

#include <algorithm>
#include <string_view>

#include "sim/SimAreas.h"
#include "sim/SimParse.h"
#include "sim/SimRegistry.h"

namespace {

constexpr uint8_t kFrameVersion[4] = {0x31, 0x2E, 0x30, 0x00};
constexpr uint8_t kStatusRequest = 0x01;
constexpr uint8_t kLayoutQuery = 0x0D;

}  // namespace

bool SimReadFrame(const std::vector<uint8_t>& bytes, SimFrame& frame) {
    if (bytes.size() < 13 || bytes[0] != 0xFF || bytes[1] != 0xAA || bytes[2] != 0 || bytes[3] != 0)
        return false;
    if (!std::equal(std::begin(kFrameVersion), std::end(kFrameVersion), bytes.begin() + 4)) return false;
    const size_t length = size_t(bytes[9]) << 8 | bytes[10];
    if (bytes.size() != length + 13 || bytes[11 + length] != 0xFF || bytes[12 + length] != 0x55) return false;
    frame.command = bytes[8];
    frame.payload.assign(bytes.begin() + 11, bytes.begin() + 11 + static_cast<std::ptrdiff_t>(length));
    return true;
}

std::vector<uint8_t> SimMakeFrame(uint8_t command, const std::vector<uint8_t>& payload) {
    std::vector<uint8_t> frame(payload.size() + 13);
    const uint8_t head[11] = {0xFF,
                              0xAA,
                              0x00,
                              0x00,
                              kFrameVersion[0],
                              kFrameVersion[1],
                              kFrameVersion[2],
                              kFrameVersion[3],
                              command,
                              static_cast<uint8_t>(payload.size() >> 8),
                              static_cast<uint8_t>(payload.size() & 0xFF)};
    std::copy(std::begin(head), std::end(head), frame.begin());
    std::copy(payload.begin(), payload.end(), frame.begin() + 11);
    frame[frame.size() - 2] = 0xFF;
    frame[frame.size() - 1] = 0x55;
    return frame;
}

bool SimRegisterController::Write(uint8_t reg, const std::vector<uint8_t>& data) {
    if (nowMs < busyUntilMs) {
        dropped.push_back(data);
        return true;
    }
    if (reg != 0x00 || data.size() != 4 || data[0] < 0xF0) {
        // The probe writes (zeros to 0x00 and 0xA0) and anything else it does not know.
        busyUntilMs = nowMs + kProbeBusyMs;
        return true;
    }
    std::array<uint8_t, 4> command{data[0], data[1], data[2], data[3]};
    commands.push_back(command);
    uint32_t busy = kCommandBusyMs;
    switch (command[0]) {
        case 0xF0:
            status[4] = command[3];
            [[fallthrough]];
        case 0xF1:
        case 0xF2:
            status[1] = command[0] - 0xF0;
            status[2] = command[1];
            status[3] = command[2];
            break;
        case 0xF3:
            status[1] = 3;
            break;
        case 0xF7:
            status[5] = command[1];
            status[6] = command[2];
            busy = kZonesBusyMs;
            break;
        case 0xF8:
            status[1] = 3;
            status[2] = status[3] = 0;
            status[4] = 0xE0;
            status[5] = status[6] = 0;
            break;
        default:
            break;
    }
    busyUntilMs = nowMs + busy;
    return true;
}

bool SimRegisterController::Read(uint8_t, size_t length, std::vector<uint8_t>& reply) {
    reply.assign(length, 0);
    if (nowMs >= busyUntilMs) std::copy_n(status.begin(), std::min(length, status.size()), reply.begin());
    return true;
}

bool SimFramedController::Write(uint8_t reg, const std::vector<uint8_t>& data) {
    SimFrame frame;
    if (reg != 0x00 || !SimReadFrame(data, frame)) {
        ++otherWrites;
        return true;
    }
    frames.push_back(frame);
    OnFrame(frames.back());
    return true;
}

bool SimFramedController::Read(uint8_t, size_t length, std::vector<uint8_t>& reply) {
    reply.assign(length, 0);
    if (pendingReply.empty() || nowMs < replyReadyMs) return true;
    std::copy_n(pendingReply.begin(), std::min(length, pendingReply.size()), reply.begin());
    pendingReply.clear();
    return true;
}

void SimFramedController::Answer(std::vector<uint8_t> reply, uint32_t delayMs) {
    pendingReply = std::move(reply);
    replyReadyMs = nowMs + delayMs;
}

SimZoneController::SimZoneController(uint8_t layout) {
    static constexpr uint8_t kCodes[3] = {8, 12, 0};
    // Zone layout values at 68, 79 and 90 of each plain arrangement.
    static constexpr uint16_t kArrangements[3][3] = {
        {0x00FF, 0x0300, 0x0400}, {0x0078, 0x0387, 0x0400}, {0x0001, 0, 0}};
    layout = std::min<uint8_t>(layout, 2);
    layoutCode = kCodes[layout];
    follower = SimZoneFollower(layout);
    for (size_t zone = 0; zone < 3; ++zone) {
        status[68 + 11 * zone] = static_cast<uint8_t>(kArrangements[layout][zone] >> 8);
        status[69 + 11 * zone] = static_cast<uint8_t>(kArrangements[layout][zone] & 0xFF);
    }
    status[70] = 1;
    // Idle: every zone static white; turbo: static red. Effect codes stay 0 (static).
    for (size_t set = 0; set < 2; ++set) {
        const uint8_t rgb[3] = {255, uint8_t(set == 0 ? 255 : 0), uint8_t(set == 0 ? 255 : 0)};
        for (size_t offset : {0, 15, 40, 50}) std::copy_n(rgb, 3, status.begin() + set * 192 + offset);
    }
    status[384] = 1;
}

void SimZoneController::OnFrame(const SimFrame& frame) {
    if (frame.command == kStatusRequest) {
        Answer(SimMakeFrame(kStatusRequest, {status.begin(), status.end()}), kStatusDelayMs);
    } else if (frame.command == kLayoutQuery) {
        Answer(SimMakeFrame(kLayoutQuery, {layoutCode}), 0);
    } else {
        follower.Take(frame.command, frame.payload, status);
    }
}

SimCardAccessoryController::SimCardAccessoryController() {
    // Idle: rear blue, front red, both steady and lit; the settings marks say it holds settings.
    const uint8_t blue[3] = {0, 0, 255}, red[3] = {255, 0, 0};
    std::copy_n(blue, 3, status.begin());
    std::copy_n(red, 3, status.begin() + 5);
    std::copy_n(blue, 3, status.begin() + 15);
    std::copy_n(red, 3, status.begin() + 20);
    status[38] = 0x01;
    status[49] = 0x01;
    status[40] = 1;
    status[51] = 1;
}

void SimCardAccessoryController::OnFrame(const SimFrame& frame) {
    if (frame.command == kStatusRequest) {
        Answer(SimMakeFrame(kStatusRequest, {status.begin(), status.end()}), kStatusDelayMs);
    }
}

namespace {

bool ParseNumber(std::string_view word, uint32_t& value) {
    int64_t number = 0;
    if (!ParseInteger(word, number) || number < 0 || number > 0xFFFF) return false;
    value = static_cast<uint32_t>(number);
    return true;
}

bool ReadHexBytes(const std::vector<std::string_view>& words, size_t first, std::vector<uint8_t>& bytes) {
    for (size_t i = first; i < words.size(); ++i) {
        uint64_t byte = 0;
        if (!ParseHexNumber(words[i], byte) || byte > 0xFF) return false;
        bytes.push_back(static_cast<uint8_t>(byte));
    }
    return true;
}

bool ReadLighting(SimKeyArgs& args) {
    const auto words = SplitWords(args.value);
    SimI2cBus& bus = I2cBus(args.Gpu());
    const std::string_view kind = words.empty() ? std::string_view() : words[0];
    std::vector<uint8_t> bytes;
    if (kind == "none" && words.size() == 1) {
        bus.Detach(kSimLightingAddress);
        return true;
    }
    if (kind == "register" && words.size() <= 11 && ReadHexBytes(words, 1, bytes)) {
        std::array<uint8_t, 10> status{};
        std::copy(bytes.begin(), bytes.end(), status.begin());
        if (bytes.empty()) status = SimRegisterController().status;
        bus.Attach(kSimLightingAddress, std::make_unique<SimRegisterController>(status));
        return true;
    }
    uint32_t layout = 0;
    if (kind == "zone" && words.size() == 2 && ParseNumber(words[1], layout) && layout <= 2) {
        bus.Attach(kSimLightingAddress, std::make_unique<SimZoneController>(static_cast<uint8_t>(layout)));
        return true;
    }
    if (kind == "card_accessory" && words.size() == 1) {
        bus.Attach(kSimLightingAddress, std::make_unique<SimCardAccessoryController>());
        return true;
    }
    args.error = "expected 'none', 'register [status bytes]', 'zone <0-2>' or 'card_accessory'";
    return false;
}

template <size_t N>
bool Patch(std::array<uint8_t, N>& status, uint32_t offset, const std::vector<uint8_t>& bytes) {
    if (offset > N || bytes.size() > N - offset) return false;
    std::copy(bytes.begin(), bytes.end(), status.begin() + offset);
    return true;
}

bool ReadLightingStatus(SimKeyArgs& args) {
    const auto words = SplitWords(args.value);
    uint32_t offset = 0;
    std::vector<uint8_t> bytes;
    if (words.size() < 2 || !ParseNumber(words[0], offset) || !ReadHexBytes(words, 1, bytes)) {
        args.error = "expected '<offset> <hexadecimal bytes>'";
        return false;
    }
    SimI2cBus& bus = I2cBus(args.Gpu());
    bool patched = false;
    if (auto* reg = bus.DeviceAs<SimRegisterController>(kSimLightingAddress)) {
        patched = Patch(reg->status, offset, bytes);
    } else if (auto* zone = bus.DeviceAs<SimZoneController>(kSimLightingAddress)) {
        patched = Patch(zone->status, offset, bytes);
    } else if (auto* card = bus.DeviceAs<SimCardAccessoryController>(kSimLightingAddress)) {
        patched = Patch(card->status, offset, bytes);
    } else {
        args.error = "no lighting controller on this GPU (set 'lighting' first)";
        return false;
    }
    if (!patched) args.error = "bytes beyond the controller's status";
    return patched;
}

}  // namespace

void RegisterSimLighting(SimRegistry& registry) {
    registry.AddKey("gpu", "lighting", ReadLighting);
    registry.AddKey("gpu", "lighting_status", ReadLightingStatus);
}
