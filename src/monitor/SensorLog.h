#pragma once
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "platform/AppendFile.h"
#include "platform/Clock.h"

// The six readings of one monitoring tick in their display units.
struct SensorSample {
    int coreClockMhz = 0;
    int memoryClockMhz = 0;
    int coreVoltageMv = 0;
    int temperatureC = 0;
    int gpuLoadPercent = 0;
    int memoryLoadPercent = 0;
};

inline constexpr std::string_view kSensorLogHeader =
    "Time,Engine Clock MHz,Memory Clock MHz,Core Voltage mV,Temperature C,Gpu Utilization %,Mem Utilization "
    "%";
inline constexpr std::string_view kSensorLogOpenFailedText = "无法写入日志文件！";
inline constexpr std::string_view kSensorLogWriteFailedText = "写入日志文件失败，日志已停止！";

// The sensor log: a CSV file with a header line and one line per tick, "time,six values", the time
// in ISO 8601 (UTC, milliseconds). The file is appended to, never truncated; every line is flushed
// as it is written; the first failed write closes the log.
class SensorLog {
public:
    // Times follow `clock` from the wall-clock moment Start is given.
    explicit SensorLog(Clock& clock, std::unique_ptr<LineFile> file = std::make_unique<AppendFile>());

    // Opens the file for appending; the header goes first into a new or empty file (and after a
    // line that a crash cut short, on a line of its own). False when the file cannot be opened or
    // the header cannot be written; the log is then not running.
    bool Start(const std::filesystem::path& path, int64_t wallClockMs);
    bool Start(const std::filesystem::path& path);
    // One line for the tick; false when the write failed, which stops the log.
    bool Write(const SensorSample& sample);
    void Stop();
    bool Running() const { return running; }
    const std::filesystem::path& Path() const { return path; }

private:
    Clock& clock;
    std::unique_ptr<LineFile> file;
    std::filesystem::path path;
    bool running = false;
    int64_t wallAtStart = 0;
    uint64_t clockAtStart = 0;
};

// "2026-12-10T16:40:05.500Z" for milliseconds since 1970 (UTC).
std::string IsoUtcTime(int64_t unixMs);
// One CSV line (ending CR LF) for a sample taken at the given time.
std::string SensorLogLine(int64_t unixMs, const SensorSample& sample);
