#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// How the simulated zone controller's 400-byte status follows the commands it takes. The program
// only ever sees the status, so this is the simulator's own convention, kept to what the status can
// show: the set being written (0x0B 1, s and 0, s), zone colours (0x04) at the offsets of the controller's layout,
// effect code and parameter (0x08; a 0x09 whose first byte is not 0xFF sets the parameter), layout
// entries (0x06: the value when enabled, 0 when not; absolute, whichever set is written), zone
// switches (0x05: the lighting-on byte is 1 while any zone of either set is lit), the set's own
// defaults (0xFF: its colours and effects as they were before the first command) and the
// fan/voltage switch (0x0C). Zones a layout lacks (1 and 2 on layout 2) ignore commands.
class SimZoneFollower {
public:
    static constexpr size_t kStatusBytes = 400;
    using Status = std::array<uint8_t, kStatusBytes>;

    SimZoneFollower() = default;
    explicit SimZoneFollower(uint8_t zoneLayout) : layout(zoneLayout) {}

    // Applies one command to `status`. False for a command or payload the controller ignores.
    bool Take(uint8_t command, const std::vector<uint8_t>& payload, Status& status);
    int WritingSet() const { return writingSet; }

private:
    bool HasZone(uint8_t zone) const { return zone < 3 && (layout != 2 || zone == 0); }
    size_t ColourOffset(uint8_t zone) const;

    uint8_t layout = 0;
    // The status before the first command: what the set defaults bring back.
    Status factory{};
    bool started = false;
    int writingSet = 0;
    std::array<std::array<bool, 3>, 2> lit{{{true, true, true}, {true, true, true}}};
};
