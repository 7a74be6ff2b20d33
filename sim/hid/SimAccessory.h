#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "sim/hid/SimHidSystem.h"

// The USB lighting accessory as the program meets it: it takes 7-byte commands in reports
// 0x3F, n, payload and answers 0xF5 with a 200-byte state block spread over reports of up to 62
// payload bytes. It keeps its two settings itself: ten bytes, in the order of the state block
// (Idle front mode, front colour, rear mode, rear colour, the same for Turbo, front off, rear off).
class SimAccessory : public SimHidResponder {
public:
    static constexpr std::array<uint8_t, 10> kDefaults{3, 4, 0, 4, 3, 0, 1, 0, 0, 0};

    SimAccessory() = default;
    // Every command received is also appended to `journalFile` as one line of hex bytes.
    explicit SimAccessory(std::string journalFile) : journal(std::move(journalFile)) {}

    void OnOutputReport(const std::vector<uint8_t>& report, SimHidInterface& self) override;

    std::array<uint8_t, 10> Settings() const;
    void SetSettings(const std::array<uint8_t, 10>& settings);
    // The commands (7 bytes each) in the order received.
    std::vector<std::vector<uint8_t>> Commands() const;
    // The mark byte of the next state blocks (the real mark is 'L').
    void SetStateMark(uint8_t mark);
    // The 200-byte block the accessory sends now.
    std::vector<uint8_t> StateBlock() const;

private:
    std::vector<uint8_t> StateBlockLocked() const;

    mutable std::mutex lock;
    std::array<uint8_t, 10> settings = kDefaults;
    std::vector<std::vector<uint8_t>> commands;
    uint8_t mark = 'L';
    std::string journal;
};

// Splits a payload into input reports 0x3F, n, bytes (n up to 62), zero padded to `reportLength`.
std::vector<std::vector<uint8_t>> SimFrameReports(const std::vector<uint8_t>& payload, size_t reportLength);

// Adds one single-interface accessory with `serial` to `system`; its index.
int AddSimAccessory(SimHidSystem& system, std::shared_ptr<SimAccessory> accessory,
                    const std::u16string& serial, int instance);

// The accessories the program simulates when CORALVANE_SIM_ACCESSORY names their serial numbers
// (comma-separated, e.g. "A1,B2"); their commands go to CORALVANE_SIM_ACCESSORY_JOURNAL when set.
// Null when the variable is not set.
std::unique_ptr<SimHidSystem> SimAccessoriesFromEnvironment();
