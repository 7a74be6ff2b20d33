#include "monitor/MonitorSample.h"

#include <algorithm>
#include <limits>

#include "gpu/CGpuControl.h"

int ClampToInt(int64_t value) {
    return int(std::clamp<int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

int RangePercent(int current, int rangeMin, int rangeMax) {
    if (rangeMax == rangeMin) return 0;
    const double percent = (double(current) - rangeMin) / (double(rangeMax) - rangeMin) * 100.0;
    return ClampToInt(int64_t(std::clamp(percent, -1e12, 1e12)));
}

bool ReadMonitorSample(CGpuControl& gpu, int memoryClockFactor, MonitorSample& sample) {
    GpuPerfInfo info{};
    if (gpu.ReadCurrentClocks(kSelectedGpu, info) != 0) return false;
    sample.coreClockMhz = info.graphicsClock / 1000;
    sample.memoryClockMhz = ClampToInt(int64_t(info.memoryClock / 1000) * memoryClockFactor);

    sample.coreVoltageMv = gpu.ReadCoreVoltage(kSelectedGpu, info) == 0 ? info.coreVoltage / 1000 : 0;

    int temperature = 0;
    if (gpu.ReadTemperature(temperature, kSelectedGpu) == 0) {
        sample.temperatureC = temperature > kMonitorMaxTemperature ? 0 : temperature;
    }

    if (gpu.ReadUtilization(kSelectedGpu, info) == 0) {
        sample.gpuLoad = info.gpuLoad;
        sample.memoryLoad = info.memoryLoad;
    } else {
        sample.gpuLoad = 0;
        sample.memoryLoad = 0;
    }
    return true;
}
