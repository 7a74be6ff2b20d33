#pragma once
#include <cstdint>

class CGpuControl;

// The six readings the monitoring window charts, taken together every 500 ms for the selected GPU.
struct MonitorSample {
    int coreClockMhz = 0;
    int memoryClockMhz = 0;
    int coreVoltageMv = 0;
    int temperatureC = 0;
    int gpuLoad = 0;
    int memoryLoad = 0;
};

// The hottest temperature the window charts; a reading above it counts as 0.
inline constexpr int kMonitorMaxTemperature = 120;

// One sample as the window takes it: false (and `sample` untouched) when the clocks cannot be read,
// which skips the whole tick. A failed voltage or load read gives 0; a failed temperature read keeps
// the temperature already in `sample`. The memory clock is multiplied by `memoryClockFactor`.
bool ReadMonitorSample(CGpuControl& gpu, int memoryClockFactor, MonitorSample& sample);

// A 64-bit quantity as a 32-bit reading, clamped rather than wrapped.
int ClampToInt(int64_t value);

// (current − rangeMin) ÷ (rangeMax − rangeMin) × 100, truncated; 0 for an empty range.
int RangePercent(int current, int rangeMin, int rangeMax);
