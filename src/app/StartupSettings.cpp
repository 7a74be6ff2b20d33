#include "app/StartupSettings.h"

#include <cstdio>
#include <string>

#include "app/ConfigFile.h"
#include "app/IniFile.h"

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

// A run of first-run writes made on one copy of the file and saved in one replacement. Each
// single-key primitive reads what the one before it wrote, so the bytes are theirs; the file is
// replaced once instead of once a key (which is most of a first start's time under Wine).
class FirstRunEdit {
public:
    FirstRunEdit(const ProgramFolder& folder, std::string_view configName)
        : ini(ConfigFile(folder, configName).Path()) {
        status = ini.Path().empty() ? IniStatus::OpenFailed : ini.LoadForUpdate();
    }

    void Set(std::string_view section, std::string_view key, int value, int radix = 10) {
        if (status == IniStatus::Ok) ini.SetString(section, key, FormatValue(value, radix));
    }
    // As WriteValueLf and WriteRecord do after their keys.
    void LineFeed() {
        if (status == IniStatus::Ok) ini.AppendLineFeed();
    }
    void Record(const ProfileRecord& record) {
        for (const ProfileField& field : record.fields) {
            if (!field.key.empty()) Set(record.section, field.key, field.value);
        }
        LineFeed();
    }
    void Save() {
        if (status == IniStatus::Ok) ini.Save();
    }

private:
    IniFile ini;
    IniStatus status = IniStatus::Ok;
};

}  // namespace

void WriteFirstRunFile(const ProgramFolder& folder, std::string_view configName, std::uint32_t deviceId,
                       const FirstRunHooks& hooks) {
    FirstRunEdit settingsAndProfiles(folder, configName);
    settingsAndProfiles.Set(kSettingsSection, "GPUDID", static_cast<int>(deviceId), 16);
    // "Initialized" takes its place now but turns 1 only as the last write: a first run cut short
    // (crash, power loss) must run again rather than leave a file without profiles or fan keys.
    settingsAndProfiles.Set(kSettingsSection, "Initialized", 0);
    settingsAndProfiles.Set(kSettingsSection, "Synchronize", 1);
    for (const char* key : {"AutoOverClock", "StartupMinimize", "Transparence", "TransPercent", "FanAdvanced",
                            "Top", "KeyOC"}) {
        settingsAndProfiles.Set(kSettingsSection, key, 0);
    }
    settingsAndProfiles.Set(kWindowsStartupSection, "AutoRun", 0);
    settingsAndProfiles.LineFeed();
    for (std::string_view section : kProfileSections) {
        settingsAndProfiles.Record(ProfileRecord::WithAllKeys(section));
    }
    settingsAndProfiles.Save();

    const bool registered = hooks.setAutorun && hooks.setAutorun() == 0;
    if (WriteSetting(folder, configName, kWindowsStartupSection, "AutoRun", registered ? 1 : 0) != 0 &&
        hooks.showMessage) {
        hooks.showMessage(kAutorunNotSavedText);
    }

    FirstRunEdit fanState(folder, configName);
    fanState.Set(kFanSection, "FanMode", 0);
    fanState.Set(kFanSection, "FanSpeed", 0);
    for (int i = 0; i < kFanCurvePointCount; ++i) {
        fanState.Set(kFanSection, PointKey('X', i), i + 1);
        fanState.Set(kFanSection, PointKey('Y', i), 9 - i);
    }
    fanState.Set(kSettingsSection, "Initialized", 1);
    fanState.Save();
}

bool IsFirstRun(const ProgramFolder& folder, std::string_view configName) {
    int initialized = 0;
    ReadSetting(folder, configName, kSettingsSection, "Initialized", initialized);
    return initialized != 1;
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
