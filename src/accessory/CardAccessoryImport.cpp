#include "accessory/CardAccessoryImport.h"

#include "accessory/AccessoryPalette.h"

namespace {

// Where one setting sits in the status block.
struct SettingOffsets {
    size_t rearRgb, frontRgb, rearEffect, frontEffect;
};
constexpr SettingOffsets kIdleOffsets{0, 5, 30, 41};
constexpr SettingOffsets kTurboOffsets{15, 20, 85, 96};
constexpr size_t kRearWord = 38;
constexpr size_t kFrontWord = 49;
constexpr size_t kRearLit = 40;
constexpr size_t kFrontLit = 51;

class StatusBytes {
public:
    explicit StatusBytes(std::span<const uint8_t> bytes) : bytes(bytes) {}
    uint8_t operator[](size_t offset) const {
        return offset < bytes.size() && offset < kCardAccessoryStatusSize ? bytes[offset] : 0;
    }
    int Word(size_t offset) const { return (*this)[offset] << 8 | (*this)[offset + 1]; }
    int Colour(size_t offset) const {
        return PaletteCodeOf((*this)[offset], (*this)[offset + 1], (*this)[offset + 2]);
    }

private:
    std::span<const uint8_t> bytes;
};

int RearModeOfEffect(uint8_t effect) {
    switch (effect) {
        case 0:
        case 2:
            return 1;
        case 1:
            return 0;
        default:
            return kNotRecognised;
    }
}

int FrontModeOfEffect(uint8_t effect) {
    switch (effect) {
        case 0:
        case 3:
            return 3;
        case 8:
            return 0;
        case 10:
            return 2;
        case 11:
            return 1;
        default:
            return kNotRecognised;
    }
}

AccessorySet ReadSetting(const StatusBytes& status, const SettingOffsets& at) {
    const uint8_t re = status[at.rearEffect];
    const uint8_t rp3 = status[at.rearEffect + 1];
    const uint8_t rp4 = status[at.rearEffect + 2];
    const uint8_t fe = status[at.frontEffect];
    const uint8_t fp3 = status[at.frontEffect + 1];
    const uint8_t fp4 = status[at.frontEffect + 2];
    const bool rearAnimated = re == 1 || re == 2;

    AccessorySet set;
    set.rearMode = RearModeOfEffect(re);
    set.frontMode = FrontModeOfEffect(fe);
    const bool bothCycle = (rp3 == 3 && rp4 == 3) || (rp3 == 3 && rp4 == 2 && fp3 == 3 && fp4 == 2) ||
                           (rp3 == 0 && rp4 == 0 && fp3 == 3 && (fp4 == 1 || fp4 == 3)) ||
                           (fp3 == 3 && fp4 == 2 && rearAnimated) || (fp3 == 0 && fp4 == 0 && rearAnimated);
    if (bothCycle) {
        set.frontColour = kColourCycle;
        set.rearColour = kColourCycle;
    } else if (fe == 3 || (fp3 == 3 && fp4 == 2)) {
        set.frontColour = kColourCycle;
        set.rearColour = status.Colour(at.rearRgb);
    } else if (re == 2 || (rp3 == 3 && rp4 == 1)) {
        set.rearColour = kColourCycle;
        set.frontColour = status.Colour(at.frontRgb);
    } else {
        set.frontColour = status.Colour(at.frontRgb);
        set.rearColour = status.Colour(at.rearRgb);
    }
    return set;
}

}  // namespace

int PaletteCodeOf(uint8_t r, uint8_t g, uint8_t b) {
    for (size_t code = 0; code < kAccessoryPalette.size(); ++code) {
        const auto& rgb = kAccessoryPalette[code];
        if (rgb[0] == r && rgb[1] == g && rgb[2] == b) return int(code);
    }
    return kNotRecognised;
}

CardAccessoryImport DecodeCardAccessoryStatus(std::span<const uint8_t> bytes) {
    const StatusBytes status(bytes);
    CardAccessoryImport result;
    result.holdsNoSettings = status.Word(kRearWord) == 0 && status.Word(kFrontWord) == 0;
    result.frontLit = status[kFrontLit] != 0;
    result.rearLit = status[kRearLit] != 0;
    result.idle = ReadSetting(status, kIdleOffsets);
    result.turbo = ReadSetting(status, kTurboOffsets);
    return result;
}
