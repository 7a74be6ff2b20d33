#include "app/ConfigFile.h"

#include <cstdio>

std::string FormatValue(int value, int radix) {
    char buffer[16];
    if (radix == 16) {
        std::snprintf(buffer, sizeof(buffer), "%04X", static_cast<unsigned>(value));
    } else {
        std::snprintf(buffer, sizeof(buffer), "%d", value);
    }
    return buffer;
}

namespace {

std::string ReadText(const IniFile& ini, std::string_view section, std::string_view key,
                     std::string_view defaultText) {
    std::string text = ini.GetString(section, key, defaultText);
    if (text.size() > kConfigTextChars) text.resize(kConfigTextChars);
    return text;
}

}  // namespace

const std::array<std::string_view, kProfileKeyCount> kProfileKeys = {
    "CoreOffset", "MemOffset",  "TempTarget", "DisplayClock", "OverVolt",   "Power",      "FanSpeed",
    "FanMode",    "FanSpeedX0", "FanSpeedY0", "FanSpeedX1",   "FanSpeedY1", "FanSpeedX2", "FanSpeedY2",
    "FanSpeedX3", "FanSpeedY3", "FanSpeedX4", "FanSpeedY4",   "FanSpeedX5", "FanSpeedY5", "FanSpeedX6",
    "FanSpeedY6", "FanSpeedX7", "FanSpeedY7", "FanSpeedX8",   "FanSpeedY8", "FanSpeedX9", "FanSpeedY9",
    "LedMode",    "LedRgb0",    "LedRgb1",    "LedBright",    "LedLogo",    "LedArmor",
};

std::size_t ProfileKeyIndex(std::string_view key) {
    for (std::size_t i = 0; i < kProfileKeyCount; ++i) {
        if (kProfileKeys[i] == key) return i;
    }
    return kProfileKeyCount;
}

std::string ConfigFileNameForDevice(std::uint32_t deviceId) {
    char name[40];
    std::snprintf(name, sizeof(name), "Coralvane_DID%04X.cfg", static_cast<unsigned>(deviceId));
    return name;
}

ProfileRecord ProfileRecord::WithAllKeys(std::string_view section) {
    ProfileRecord record;
    record.section = std::string(section);
    for (std::size_t i = 0; i < kProfileKeyCount; ++i) record.fields[i].key = std::string(kProfileKeys[i]);
    return record;
}

ProfileField* ProfileRecord::Field(std::string_view key) {
    const std::size_t index = ProfileKeyIndex(key);
    return index < kProfileKeyCount ? &fields[index] : nullptr;
}

const ProfileField* ProfileRecord::Field(std::string_view key) const {
    const std::size_t index = ProfileKeyIndex(key);
    return index < kProfileKeyCount ? &fields[index] : nullptr;
}

int ProfileRecord::Value(std::string_view key) const {
    const ProfileField* field = Field(key);
    return (field && !field->key.empty()) ? field->value : 0;
}

bool ProfileRecord::SetValue(std::string_view key, int value) {
    ProfileField* field = Field(key);
    if (!field) return false;
    field->key = std::string(key);
    field->value = value;
    return true;
}

ConfigFile::ConfigFile(const ProgramFolder& folder, std::string_view fileName) {
    try {
        path = folder.ExecutableDir() / std::filesystem::path(std::string(fileName));
    } catch (...) {
        path.clear();
        lastStatus = IniStatus::OpenFailed;
    }
}

int ConfigFile::Finish(IniStatus status) {
    lastStatus = status;
    return status == IniStatus::Ok ? 0 : 1;
}

int ConfigFile::WriteFields(const ProfileRecord& record, bool appendLineFeed) {
    if (path.empty()) return Finish(IniStatus::OpenFailed);
    IniFile ini(path);
    if (const IniStatus status = ini.LoadForUpdate(); status != IniStatus::Ok) return Finish(status);
    for (const ProfileField& field : record.fields) {
        if (field.key.empty()) continue;
        const IniStatus status = ini.SetString(record.section, field.key, FormatValue(field.value, 10));
        if (status != IniStatus::Ok) return Finish(status);
    }
    if (appendLineFeed) ini.AppendLineFeed();
    return Finish(ini.Save());
}

int ConfigFile::WriteRecord(const ProfileRecord& record) {
    return WriteFields(record, true);
}

int ConfigFile::WriteRecordPlain(const ProfileRecord& record) {
    return WriteFields(record, false);
}

int ConfigFile::ReadRecord(ProfileRecord& record) {
    if (path.empty()) return Finish(IniStatus::OpenFailed);
    IniFile ini(path);
    const IniStatus status = ini.Load();
    if (status != IniStatus::Ok && status != IniStatus::FileTooLarge) return Finish(status);
    try {
        ProfileRecord result = record;
        for (ProfileField& field : result.fields) {
            if (field.key.empty()) continue;
            field.text = ReadText(ini, result.section, field.key, "0");
            field.value = ConvertDecimal(field.text);
        }
        record = std::move(result);
    } catch (...) {
        return Finish(IniStatus::OpenFailed);
    }
    lastStatus = status;
    return 0;
}

int ConfigFile::WriteSingle(const SettingValue& setting, const std::string& text, bool appendLineFeed) {
    if (path.empty()) return Finish(IniStatus::OpenFailed);
    IniFile ini(path);
    if (const IniStatus status = ini.LoadForUpdate(); status != IniStatus::Ok) return Finish(status);
    if (const IniStatus status = ini.SetString(setting.section, setting.key, text); status != IniStatus::Ok) {
        return Finish(status);
    }
    if (appendLineFeed) ini.AppendLineFeed();
    return Finish(ini.Save());
}

int ConfigFile::WriteValue(const SettingValue& setting, int radix) {
    if (radix != 10 && radix != 16) return Finish(IniStatus::InvalidName);
    return WriteSingle(setting, FormatValue(setting.value, radix), false);
}

int ConfigFile::WriteValueLf(const SettingValue& setting) {
    return WriteSingle(setting, FormatValue(setting.value, 10), true);
}

int ConfigFile::ReadValue(SettingValue& setting) {
    if (path.empty()) return Finish(IniStatus::OpenFailed);
    IniFile ini(path);
    const IniStatus status = ini.Load();
    if (status != IniStatus::Ok && status != IniStatus::FileTooLarge) return Finish(status);
    try {
        std::string text = ReadText(ini, setting.section, setting.key, "99");
        setting.value = ConvertDecimal(text);
        setting.text = std::move(text);
    } catch (...) {
        return Finish(IniStatus::OpenFailed);
    }
    lastStatus = status;
    return 0;
}
