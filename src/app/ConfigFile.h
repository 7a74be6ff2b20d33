#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "app/IniFile.h"
#include "platform/ProgramFolder.h"

inline constexpr std::string_view kDefaultConfigName = "Coralvane.ini";
// Values are read into a 32-character buffer, so at most 31 characters of text reach the caller.
inline constexpr std::size_t kConfigTextChars = 31;

// "Coralvane_DID%04X.cfg" for the PCI device id of the GPU selected at start-up.
std::string ConfigFileNameForDevice(std::uint32_t deviceId);

// The unit of the single-key primitives.
struct SettingValue {
    std::string section;
    std::string key;
    std::string text;
    int value = 0;
};

inline constexpr std::size_t kProfileKeyCount = 34;
// The keys of a profile section in the order they are written when the section is created.
extern const std::array<std::string_view, kProfileKeyCount> kProfileKeys;
// The position of a key in kProfileKeys (exact spelling), or kProfileKeyCount for another name.
std::size_t ProfileKeyIndex(std::string_view key);

struct ProfileField {
    std::string key;  // empty: the field is not used
    std::string text;
    int value = 0;
};

// The unit of the whole-section primitives; fields[i] belongs to kProfileKeys[i].
struct ProfileRecord {
    std::string section;
    std::array<ProfileField, kProfileKeyCount> fields;

    // A record for section with every one of the 34 keys named and every value 0.
    static ProfileRecord WithAllKeys(std::string_view section);
    // The field of a profile key (exact spelling of kProfileKeys), or nullptr for another name.
    ProfileField* Field(std::string_view key);
    const ProfileField* Field(std::string_view key) const;
    // The value of a named field; 0 when the key is unknown or not named.
    int Value(std::string_view key) const;
    // Names the key's field and sets its value; false for a name that is not a profile key.
    bool SetValue(std::string_view key, int value);
};

// The configuration file: a short-lived object per operation; nothing is cached between
// operations and the file is read, or read and replaced, whole by each primitive, so a record is
// written all at once. Every primitive returns 0 on success and 1 when the file cannot be
// opened, read or written; LastStatus says why. A file over kMaxIniFileBytes reads from its
// first part (LastStatus FileTooLarge, result 0) and is never rewritten.
// A setting's text as the file holds it: radix 16 "%04X", else a decimal number.
std::string FormatValue(int value, int radix);

class ConfigFile {
public:
    explicit ConfigFile(const ProgramFolder& folder, std::string_view fileName = kDefaultConfigName);

    int WriteRecord(const ProfileRecord& record);
    int WriteRecordPlain(const ProfileRecord& record);
    // Missing keys read as "0"; on failure the record is left untouched.
    int ReadRecord(ProfileRecord& record);
    // radix 16 writes "%04X", radix 10 a decimal number; any other radix is refused.
    int WriteValue(const SettingValue& setting, int radix);
    int WriteValueLf(const SettingValue& setting);
    // A missing key reads as "99"; on failure the setting is left untouched.
    int ReadValue(SettingValue& setting);

    const std::filesystem::path& Path() const { return path; }
    IniStatus LastStatus() const { return lastStatus; }

private:
    int WriteFields(const ProfileRecord& record, bool appendLineFeed);
    int WriteSingle(const SettingValue& setting, const std::string& text, bool appendLineFeed);
    int Finish(IniStatus status);

    std::filesystem::path path;
    IniStatus lastStatus = IniStatus::Ok;
};
