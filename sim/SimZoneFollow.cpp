#include "sim/SimZoneFollow.h"

namespace {

constexpr size_t kTurboBlock = 192;
constexpr size_t kEffectOffset[3] = {60, 71, 82};
constexpr size_t kLayoutValue[3] = {68, 79, 90};
constexpr size_t kLightingOn = 70;
constexpr size_t kFanVoltSwitch = 384;

}  // namespace

size_t SimZoneFollower::ColourOffset(uint8_t zone) const {
    if (zone == 0) return layout == 1 ? 15 : 0;
    if (zone == 1) return layout == 0 ? 40 : 0;
    return 50;
}

bool SimZoneFollower::Take(uint8_t command, const std::vector<uint8_t>& p, Status& status) {
    if (!started) {
        factory = status;
        started = true;
    }
    const size_t block = writingSet == 0 ? 0 : kTurboBlock;
    switch (command) {
        case 0x0B:
            if (p.size() != 2) return false;
            // 1, s begins writing set s; 0, s ends it (the turbo wave's end keeps the turbo set).
            writingSet = p[1] <= 1 ? p[1] : 0;
            return true;
        case 0x04:
            if (p.size() != 5 || !HasZone(p[0])) return false;
            for (size_t i = 0; i < 3; ++i) status[block + ColourOffset(p[0]) + i] = p[1 + i];
            return true;
        case 0x08:
            if (p.size() != 6 || !HasZone(p[0])) return false;
            status[block + kEffectOffset[p[0]]] = p[1];
            status[block + kEffectOffset[p[0]] + 1] = p[4];
            return true;
        case 0x09:
            if (p.size() != 3 || !HasZone(p[0])) return false;
            if (p[1] != 0xFF) status[block + kEffectOffset[p[0]] + 1] = p[1];
            return true;
        case 0x06:
            if (p.size() != 4 || p[0] > 2) return false;
            status[kLayoutValue[p[0]]] = p[3] ? p[1] : 0;
            status[kLayoutValue[p[0]] + 1] = p[3] ? p[2] : 0;
            return true;
        case 0x05: {
            if (p.size() != 2 || p[0] > 2) return false;
            lit[size_t(writingSet)][p[0]] = p[1] != 0;
            bool any = false;
            for (const auto& set : lit) {
                for (bool zone : set) any = any || zone;
            }
            status[kLightingOn] = any ? 1 : 0;
            return true;
        }
        case 0xFF:
            for (uint8_t zone = 0; zone < 3; ++zone) {
                for (size_t i = 0; i < 3; ++i)
                    status[block + ColourOffset(zone) + i] = factory[block + ColourOffset(zone) + i];
                for (size_t i = 0; i < 2; ++i)
                    status[block + kEffectOffset[zone] + i] = factory[block + kEffectOffset[zone] + i];
            }
            return true;
        case 0x0C:
            if (p.size() != 1) return false;
            status[kFanVoltSwitch] = p[0];
            return true;
        case 0x03:
        case 0x0A:
            return true;
        default:
            return false;
    }
}
