#include "lighting/LightingLink.h"

#include <cstring>
#include <limits>
#include <vector>

#include "lighting/LightingFrame.h"

namespace {

constexpr uint8_t kCommandRegister = 0x00;

}  // namespace

bool LightingLink::Write(uint8_t reg, const uint8_t* data, size_t length) {
    if (length > std::numeric_limits<uint32_t>::max()) return false;
    return gpu.WriteI2C(reg, data, static_cast<uint32_t>(length), kSelectedGpu) == 0;
}

bool LightingLink::Read(uint8_t* buffer, size_t length) {
    if (!buffer || length > std::numeric_limits<uint32_t>::max()) return false;
    std::memset(buffer, 0, length);
    return gpu.ReadI2C(buffer, static_cast<uint32_t>(length), kSelectedGpu) == 0;
}

bool LightingLink::SendRegisterCommand(const LedCommand& command) {
    const bool taken = Write(kCommandRegister, command.bytes.data(), command.bytes.size());
    Pause(command.pauseMs);
    return taken;
}

bool LightingLink::SendFrame(uint8_t command, const uint8_t* payload, uint16_t length) {
    const std::vector<uint8_t> frame = BuildFrame(command, payload, length);
    return Write(kCommandRegister, frame.data(), frame.size());
}

bool LightingLink::SendFrame(uint8_t command, std::initializer_list<uint8_t> payload) {
    return SendFrame(command, payload.begin(), static_cast<uint16_t>(payload.size()));
}
