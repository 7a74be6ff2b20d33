#include "app/StartupFailSafe.h"

#include <string>

#include "app/ConfigFile.h"

bool FailSafeRecordLeft(const ProgramFolder& folder, std::string_view configName) {
    SettingValue setting{std::string(kFailSafeSection), std::string(kFailSafeKey), {}, 0};
    // A missing key reads as 99; only the 1 this program writes counts.
    return ConfigFile(folder, configName).ReadValue(setting) == 0 && setting.value == 1;
}

int WriteFailSafeRecord(const ProgramFolder& folder, std::string_view configName, bool pending) {
    const SettingValue setting{std::string(kFailSafeSection), std::string(kFailSafeKey), {}, pending ? 1 : 0};
    return ConfigFile(folder, configName).WriteValue(setting, 10);
}

StartupOverclock DecideStartupOverclock(bool wanted, bool commandProfile, bool shiftHeld, bool recordLeft) {
    if (!wanted) return StartupOverclock::None;
    if (commandProfile) return StartupOverclock::SkipCommand;
    if (recordLeft) return StartupOverclock::SkipLeftover;
    if (shiftHeld) return StartupOverclock::SkipShift;
    return StartupOverclock::Apply;
}

std::string_view StartupOverclockText(StartupOverclock decision) {
    if (decision == StartupOverclock::SkipLeftover) return kFailSafeLeftoverText;
    if (decision == StartupOverclock::SkipShift) return kFailSafeShiftText;
    return {};
}
