#pragma once
#include <algorithm>
#include <array>
#include <cstdint>

// The bytes of one setting in the accessory-model controller's 140-byte status.
struct SettingBytes {
    uint8_t re, rp3, rp4, fe, fp3, fp4;
    std::array<uint8_t, 3> rear, front;
};

inline constexpr std::array<uint8_t, 3> kRedRgb{255, 0, 0};
inline constexpr std::array<uint8_t, 3> kBlueRgb{0, 0, 255};
inline constexpr std::array<uint8_t, 3> kWhiteRgb{255, 255, 255};
inline constexpr std::array<uint8_t, 3> kOrangeRgb{255, 128, 0};

// A status holding settings (word 38..39 non-zero) with both zones lit unless told otherwise.
inline std::array<uint8_t, 140> CardStatus(const SettingBytes& idle, const SettingBytes& turbo,
                                           bool frontLit = true, bool rearLit = true) {
    std::array<uint8_t, 140> s{};
    auto put = [&](const SettingBytes& b, size_t rearRgb, size_t frontRgb, size_t re, size_t fe) {
        std::copy(b.rear.begin(), b.rear.end(), s.begin() + long(rearRgb));
        std::copy(b.front.begin(), b.front.end(), s.begin() + long(frontRgb));
        s[re] = b.re;
        s[re + 1] = b.rp3;
        s[re + 2] = b.rp4;
        s[fe] = b.fe;
        s[fe + 1] = b.fp3;
        s[fe + 2] = b.fp4;
    };
    put(idle, 0, 5, 30, 41);
    put(turbo, 15, 20, 85, 96);
    s[39] = 1;
    s[40] = rearLit ? 1 : 0;
    s[51] = frontLit ? 1 : 0;
    return s;
}
