#include "app/CMsgDlg.h"
#include "app/ConfigFile.h"
#include "app/StartupSettings.h"
#include "panels/CAdvanceDlg.h"

namespace {

constexpr std::string_view kKeyOcKey = "KeyOC";
constexpr std::string_view kStartOcSection = "Start_OC";

}  // namespace

void CAdvanceDlg::InitKeyOc(int cardFlag, bool applyStored) {
    SettingValue stored{std::string(kSettingsSection), std::string(kKeyOcKey), {}, 0};
    ConfigFile(folder, configName).ReadValue(stored);
    keyOcSaved = stored.value;
    keyOcSupported = cardFlag;
    if (cardFlag == 1) {
        ShowItem(kKeyButton, true);
        if (keyOcSaved && applyStored) {
            ApplyKeyOc();
        } else {
            ClearKeyOc();
        }
    } else {
        ShowItem(kKeyButton, false);
        ClearKeyOc();
    }
}

void CAdvanceDlg::ApplyKeyOc() {
    voltValue = 0;
    memMhz = 0;
    coreMhz = kKeyOcCoreMhz;
    powerPct = powerPctMax;
    tempC = tempCDefault;
    pixelClk = pixelClkDefault;
    ApplyValues();
    keyOcActive = 1;
    ShowKeyOcActive(true);
}

void CAdvanceDlg::ApplyStartOc() {
    ProfileRecord record;
    record.section = std::string(kStartOcSection);
    for (std::string_view key :
         {"CoreOffset", "MemOffset", "TempTarget", "OverVolt", "Power", "FanSpeed", "FanMode"})
        record.SetValue(key, 0);
    ConfigFile(folder, configName).ReadRecord(record);
    if (record.Value("Power") == 0) {
        Ask(kStartPowerZeroText, CMsgDlg::kQuestion);
        return;
    }
    coreMhz = record.Value("CoreOffset");
    memMhz = record.Value("MemOffset");
    tempC = record.Value("TempTarget");
    voltValue = record.Value("OverVolt");
    powerPct = record.Value("Power");
    pixelClk = 0;
    ApplyValues();
}

int CAdvanceDlg::StoreKeyOc(int flag) {
    const SettingValue setting{std::string(kSettingsSection), std::string(kKeyOcKey), {}, flag ? 1 : 0};
    keyOcSaved = setting.value;
    return ConfigFile(folder, configName).WriteValue(setting, 10);
}
