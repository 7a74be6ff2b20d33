#pragma once

// The card's state at the program's first start, in profile units.
struct DefaultProfileValues {
    int coreOffsetMhz = 0;
    int memOffsetMhz = 0;
    int tempTargetDefault = 0;
    int powerDefaultPct = 0;
    int fanSpeed = 0;
};
