#pragma once
#include <array>
#include <vector>

#include "lighting/ZoneCommandSender.h"
#include "lighting/ZoneCommands.h"

// Keeps what the zone page and its windows send; answers with `result`.
class RecordingZoneSender : public ZoneCommandSender {
public:
    int Send(const ZoneSequence& sequence) override {
        sent.push_back(sequence);
        return result;
    }
    ZoneSequence All() const {
        ZoneSequence all;
        for (const ZoneSequence& s : sent) all.insert(all.end(), s.begin(), s.end());
        return all;
    }
    std::vector<ZoneSequence> sent;
    int result = 0;
};

using ZoneStatusBytes = std::array<uint8_t, kZoneStatusSize>;

// A status of a controller with the lighting on in the plain arrangement of `layout`; every zone
// of both sets static, idle zones red and turbo zones green at the top level.
inline ZoneStatusBytes PlainZoneStatus(uint8_t layout) {
    ZoneStatusBytes s{};
    const uint16_t values[3][3] = {{0x00FF, 0x0300, 0x0400}, {0x0078, 0x0387, 0x0400}, {0x0001, 0, 0}};
    const uint16_t* v = values[layout <= 2 ? layout : 0];
    const size_t at[3] = {68, 79, 90};
    for (int i = 0; i < 3; ++i) {
        s[at[i]] = uint8_t(v[i] >> 8);
        s[at[i] + 1] = uint8_t(v[i]);
    }
    s[70] = 1;
    for (size_t block : {size_t(0), size_t(192)}) {
        const uint8_t r = block == 0 ? 255 : 0, g = block == 0 ? 0 : 255;
        for (size_t offset : {size_t(0), size_t(15), size_t(40), size_t(50)}) {
            s[block + offset] = r;
            s[block + offset + 1] = g;
        }
    }
    return s;
}
