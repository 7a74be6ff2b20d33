#include "app/StartupSettings.h"

#include <cstdio>
#include <string>

#include "app/ConfigFile.h"

namespace {

std::string PointKey(char axis, int index) {
    char key[16];
    std::snprintf(key, sizeof(key), "FanSpeed%c%d", axis, index);
    return key;
}

// One primitive per call, as the file is opened and closed around every single read or write.
int ReadSetting(const ProgramFolder& folder, std::string_view configName, std::string_view section,
                std::string_view key, int& value) {
    SettingValue setting{std::string(section), std::string(key), {}, value};
    const int result = ConfigFile(folder, configName).ReadValue(setting);
    value = setting.value;
    return result;
}

int WriteSetting(const ProgramFolder& folder, std::string_view configName, std::string_view section,
                 std::string_view key, int value, int radix = 10) {
    return ConfigFile(folder, configName)
        .WriteValue({std::string(section), std::string(key), {}, value}, radix);
}

int ExactlyOne(int value) {
    return value == 1 ? 1 : 0;
}

}  // namespace

void WriteFirstRunFile(const ProgramFolder& folder, std::string_view configName, std::uint32_t deviceId,
                       const FirstRunHooks& hooks) {
    WriteSetting(folder, configName, kSettingsSection, "GPUDID", static_cast<int>(deviceId), 16);
    // "Initialized" takes its place now but turns 1 only as the last write: a first run cut short
    // (crash, power loss) must run again rather than leave a file without profiles or fan keys.
    WriteSetting(folder, configName, kSettingsSection, "Initialized", 0);
    WriteSetting(folder, configName, kSettingsSection, "Synchronize", 1);
    for (const char* key : {"AutoOverClock", "StartupMinimize", "Transparence", "TransPercent", "FanAdvanced",
                            "Top", "KeyOC"}) {
        WriteSetting(folder, configName, kSettingsSection, key, 0);
    }
    ConfigFile(folder, configName).WriteValueLf({std::string(kWindowsStartupSection), "AutoRun", {}, 0});

    for (std::string_view section : kProfileSections) {
        ConfigFile(folder, configName).WriteRecord(ProfileRecord::WithAllKeys(section));
    }

    const bool registered = hooks.setAutorun && hooks.setAutorun() == 0;
    if (WriteSetting(folder, configName, kWindowsStartupSection, "AutoRun", registered ? 1 : 0) != 0 &&
        hooks.showMessage) {
        hooks.showMessage(kAutorunNotSavedText);
    }

    WriteSetting(folder, configName, kFanSection, "FanMode", 0);
    WriteSetting(folder, configName, kFanSection, "FanSpeed", 0);
    for (int i = 0; i < kFanCurvePointCount; ++i) {
        WriteSetting(folder, configName, kFanSection, PointKey('X', i), i + 1);
        WriteSetting(folder, configName, kFanSection, PointKey('Y', i), 9 - i);
    }
    WriteSetting(folder, configName, kSettingsSection, "Initialized", 1);
}

StartupSettings ReadStartupSettings(const ProgramFolder& folder, std::string_view configName,
                                    std::uint32_t deviceId, const FirstRunHooks& hooks) {
    StartupSettings settings;
    ReadSetting(folder, configName, kSettingsSection, "Initialized", settings.initialized);
    if (settings.initialized != 1) {
        WriteFirstRunFile(folder, configName, deviceId, hooks);
        return StartupSettings{};
    }

    auto readFlag = [&](std::string_view key, int& flag) {
        ReadSetting(folder, configName, kSettingsSection, key, flag);
        flag = ExactlyOne(flag);
    };
    readFlag("AutoOverClock", settings.autoOverClock);
    readFlag("StartupMinimize", settings.startupMinimize);
    readFlag("FanAdvanced", settings.fanAdvanced);
    readFlag("Synchronize", settings.synchronize);
    readFlag("Transparence", settings.transparence);
    ReadSetting(folder, configName, kSettingsSection, "TransPercent", settings.transPercent);
    ReadSetting(folder, configName, kSettingsSection, "Top", settings.top);
    ReadSetting(folder, configName, kSettingsSection, "KeyOC", settings.keyOc);

    for (int i = 0; i < kFanCurvePointCount; ++i) {
        ReadSetting(folder, configName, kFanSection, PointKey('X', i), settings.fanSteps[i]);
        ReadSetting(folder, configName, kFanSection, PointKey('Y', i), settings.fanLevels[i]);
    }
    return settings;
}
