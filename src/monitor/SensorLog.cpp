#include "monitor/SensorLog.h"

#include <chrono>
#include <cstdio>

SensorLog::SensorLog(Clock& logClock, std::unique_ptr<LineFile> lineFile)
    : clock(logClock), file(std::move(lineFile)) {}

bool SensorLog::Start(const std::filesystem::path& logPath) {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return Start(logPath, std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

bool SensorLog::Start(const std::filesystem::path& logPath, int64_t wallClockMs) {
    Stop();
    path = logPath;
    if (!file->Open(path)) return false;
    // The header starts a new table only; a line a crash cut short ends before ours begin.
    std::string opening;
    if (file->SizeAtOpen() == 0) {
        opening = std::string(kSensorLogHeader) + "\r\n";
    } else if (file->LastByte() != '\n') {
        opening = "\r\n";
    }
    if (!opening.empty() && !file->Append(opening)) {
        file->Close();
        return false;
    }
    wallAtStart = wallClockMs;
    clockAtStart = clock.NowMs();
    running = true;
    return true;
}

bool SensorLog::Write(const SensorSample& sample) {
    if (!running) return false;
    const int64_t now = wallAtStart + static_cast<int64_t>(clock.NowMs() - clockAtStart);
    if (file->Append(SensorLogLine(now, sample))) return true;
    Stop();
    return false;
}

void SensorLog::Stop() {
    if (running) file->Close();
    running = false;
}

std::string IsoUtcTime(int64_t unixMs) {
    using namespace std::chrono;
    const sys_time<milliseconds> moment{milliseconds(unixMs)};
    const sys_days day = floor<days>(moment);
    const year_month_day date(day);
    const hh_mm_ss<milliseconds> time(moment - day);
    char text[40];
    std::snprintf(text, sizeof(text), "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()), static_cast<int>(time.subseconds().count()));
    return text;
}

std::string SensorLogLine(int64_t unixMs, const SensorSample& s) {
    char values[96];
    std::snprintf(values, sizeof(values), ",%d,%d,%d,%d,%d,%d\r\n", s.coreClockMhz, s.memoryClockMhz,
                  s.coreVoltageMv, s.temperatureC, s.gpuLoadPercent, s.memoryLoadPercent);
    return IsoUtcTime(unixMs) + values;
}
