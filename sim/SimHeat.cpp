#include "sim/SimHeat.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr uint64_t kStepMs = 250;
// A long gap (the library left idle for hours) is crossed in at most this many steps.
constexpr uint64_t kMaxSteps = 2000;

// The fan level before the driver rounds it to whole percent; the heat model uses this one, so
// that the temperature and the automatic fan settle smoothly instead of trading rounding steps.
double ExactFanLevel(const SimFan& fan, double temperatureC) {
    double level = fan.heldLevel;
    if (fan.policy != kSimFanManual) {
        if (temperatureC <= fan.autoLowC) {
            level = fan.autoLowLevel;
        } else if (temperatureC >= fan.autoHighC) {
            level = fan.autoHighLevel;
        } else {
            double share = (temperatureC - fan.autoLowC) / (fan.autoHighC - fan.autoLowC);
            level = fan.autoLowLevel + share * (fan.autoHighLevel - fan.autoLowLevel);
        }
    }
    return std::clamp(level, static_cast<double>(fan.minLevel),
                      static_cast<double>(std::max(fan.minLevel, fan.maxLevel)));
}

double SettlingTemperature(const SimHeat& heat, uint32_t loadPercent, double fanLevel) {
    double rise = heat.idleRiseC + heat.loadRiseC * loadPercent / 100.0;
    double cooling = heat.fanCoolingPercent / 100.0 * std::clamp(fanLevel, 0.0, 100.0) / 100.0;
    return heat.ambientC + rise * (1.0 - cooling);
}

// Where an undisturbed GPU sits: the automatic fan and the temperature settle on each other,
// which a few rounds find because the fan cools less than the curve raises it.
double SettledStart(const SimHeat& heat, const SimLoad& load, const SimFan& fan, uint64_t nowMs) {
    uint32_t loadPercent = SimGpuLoadAt(load, nowMs);
    double temperature = SettlingTemperature(heat, loadPercent, ExactFanLevel(fan, heat.ambientC));
    for (int round = 0; round < 200; ++round) {
        double next = SettlingTemperature(heat, loadPercent, ExactFanLevel(fan, temperature));
        if (std::fabs(next - temperature) < 1e-9) break;
        temperature = next;
    }
    return temperature;
}

}  // namespace

uint32_t SimGpuLoadAt(const SimLoad& load, uint64_t nowMs) {
    if (load.swingPeriodMs == 0 || load.swingPercent == 0) return std::min<uint32_t>(load.gpuPercent, 100);
    double phase = 2.0 * kPi * static_cast<double>(nowMs % load.swingPeriodMs) / load.swingPeriodMs;
    double value = load.gpuPercent + load.swingPercent * std::sin(phase);
    return static_cast<uint32_t>(std::lround(std::clamp(value, 0.0, 100.0)));
}

int32_t SimFanLevelAt(const SimFan& fan, double temperatureC) {
    return static_cast<int32_t>(std::lround(ExactFanLevel(fan, temperatureC)));
}

void AdvanceSimHeat(SimGpu& gpu, uint64_t nowMs) {
    SimHeat& heat = gpu.state.Get<SimHeat>();
    const SimLoad& load = gpu.state.Get<SimLoad>();
    const SimFan& fan = gpu.state.Get<SimFan>();
    if (!heat.running) {
        heat.temperatureC = heat.startGiven ? heat.startC : SettledStart(heat, load, fan, nowMs);
        heat.lastMs = nowMs;
        heat.running = true;
        return;
    }
    // Time set back by a test: restart the drift from there rather than run backwards.
    if (nowMs <= heat.lastMs) {
        heat.lastMs = nowMs;
        return;
    }
    uint64_t elapsed = nowMs - heat.lastMs;
    uint64_t steps = std::min((elapsed + kStepMs - 1) / kStepMs, kMaxSteps);
    double stepMs = static_cast<double>(elapsed) / static_cast<double>(steps);
    double keep = std::exp(-stepMs / std::max<uint32_t>(heat.timeConstantMs, 1));
    for (uint64_t step = 1; step <= steps; ++step) {
        auto at = heat.lastMs + static_cast<uint64_t>(stepMs * static_cast<double>(step));
        double settling =
            SettlingTemperature(heat, SimGpuLoadAt(load, at), ExactFanLevel(fan, heat.temperatureC));
        heat.temperatureC = settling + (heat.temperatureC - settling) * keep;
    }
    heat.lastMs = nowMs;
}

double SimTemperatureNow(SimGpu& gpu, uint64_t nowMs) {
    AdvanceSimHeat(gpu, nowMs);
    return gpu.state.Get<SimHeat>().temperatureC;
}

int32_t SimFanLevelNow(SimGpu& gpu, uint64_t nowMs) {
    double temperature = SimTemperatureNow(gpu, nowMs);
    return SimFanLevelAt(gpu.state.Get<SimFan>(), temperature);
}
