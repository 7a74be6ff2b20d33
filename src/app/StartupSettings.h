#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string_view>

#include "platform/ProgramFolder.h"

inline constexpr std::string_view kSettingsSection = "Coralvane";
inline constexpr std::string_view kWindowsStartupSection = "Windows Startup";
inline constexpr std::string_view kFanSection = "CoustomFanSpeed";
inline constexpr std::array<std::string_view, 5> kProfileSections = {"Default", "Start_OC", "Profile1",
                                                                     "Profile2", "Profile3"};
// Shown when the first run cannot store the result of registering autorun.
inline constexpr std::string_view kAutorunNotSavedText = "无法保存自动运行！";
// Shown at start when the program folder is so deep that the configuration file's path is over
// the limit: settings can then be neither read nor saved, and the user should move the program.
inline constexpr std::string_view kConfigPathTooLongText =
    "配置文件路径过长，无法读取或保存设置！请将程序移到较短的路径。";
inline constexpr int kFanCurvePointCount = 10;

// The settings the main window keeps from the start-up read of the configuration file.
struct StartupSettings {
    int initialized = 0;    // 1 when the file was complete; otherwise the first run just ran
    int autoOverClock = 0;  // these five are 1 only when the file holds exactly 1
    int startupMinimize = 0;
    int fanAdvanced = 0;
    int synchronize = 0;
    int transparence = 0;
    int transPercent = 0;  // as read, even outside 0..9
    int top = 0;           // as read; any non-zero value means always on top
    int keyOc = 0;         // as read; any non-zero value means the one-key overclock is on
    // The stored fan curve, "FanSpeedX%d" (temperature / 10) and "FanSpeedY%d" (level) per point.
    std::array<int, kFanCurvePointCount> fanSteps = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    std::array<int, kFanCurvePointCount> fanLevels = {9, 8, 7, 6, 5, 4, 3, 2, 1, 0};
};

// What the first run needs from the rest of the program.
struct FirstRunHooks {
    // Registers the program to start with Windows; 0 on success (the registry status).
    std::function<int()> setAutorun;
    // Shows a failure text in the message dialog (the caller picks the dialog's mode).
    std::function<void(std::string_view text)> showMessage;
};

// Whether the start-up read will run the first-run procedure ("Initialized" not exactly 1).
bool IsFirstRun(const ProgramFolder& folder, std::string_view configName);

// The start-up read: when "Initialized" is not exactly 1 (a missing file included) it runs the
// first-run procedure and returns the construction values with initialized 0, which tells the
// main window to write the "Default" and "Start_OC" profiles later in its start-up.
StartupSettings ReadStartupSettings(const ProgramFolder& folder, std::string_view configName,
                                    std::uint32_t deviceId, const FirstRunHooks& hooks);

// The writes of the first-run procedure, in their order: the program settings, autorun 0, the
// five profile sections with every value 0, autorun registration and its result, the fan state.
void WriteFirstRunFile(const ProgramFolder& folder, std::string_view configName, std::uint32_t deviceId,
                       const FirstRunHooks& hooks);
