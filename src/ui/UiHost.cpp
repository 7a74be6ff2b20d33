#include "ui/UiHost.h"

#include <algorithm>

int AlphaForPercent(int percent) {
    // The system takes one byte; a percentage outside 0..100 would wrap into a wrong, often
    // near-invisible, alpha.
    return std::clamp(percent, 0, 100) * 255 / 100;
}
