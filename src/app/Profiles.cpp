#include "app/Profiles.h"

#include <cstdio>

#include "app/CMsgDlg.h"
#include "app/MainFanControl.h"

namespace {

constexpr int kDefaultLedBright = 7;

std::string PointKey(char axis, int i) {
    char key[16];
    std::snprintf(key, sizeof(key), "FanSpeed%c%d", axis, i);
    return key;
}

bool CanUseProfiles(const ProfileOwner& owner) {
    return !owner.LightingPageShown() && owner.HasChosenProfile() &&
           !ProfileSectionName(owner.ChosenProfileIndex()).empty();
}

// A profile with all 34 keys as the file holds it; a missing file leaves every value 0.
ProfileRecord ReadProfile(ProfileOwner& owner, int profileIndex) {
    ProfileRecord record = ProfileRecord::WithAllKeys(ProfileSectionName(profileIndex));
    ConfigFile(owner.ProfileFolder(), owner.ProfileConfigName()).ReadRecord(record);
    return record;
}

// The profile's values go to the overclock page and the fan state; off product line C the fan
// mode is applied at once, on it the loaded mode waits for the fan Apply button.
void TakeProfile(ProfileOwner& owner, CAdvanceDlg& panel, const ProfileRecord& record) {
    panel.SetTuningValues({record.Value("CoreOffset"), record.Value("OverVolt"), record.Value("MemOffset"),
                           record.Value("Power"), record.Value("TempTarget"), record.Value("DisplayClock")});
    ProfileFanState fan;
    fan.fanSpeed = record.Value("FanSpeed");
    fan.fanMode = record.Value("FanMode");
    for (int i = 0; i < kFanPointCount; ++i) {
        fan.steps[i] = record.Value(PointKey('X', i));
        fan.levels[i] = record.Value(PointKey('Y', i));
    }
    owner.TakeFanState(fan);
    if (!owner.IsProductLineC()) owner.ApplyFanModeWithIcons();
}

}  // namespace

std::string ProfileSectionName(int profileIndex) {
    if (profileIndex < 0 || profileIndex >= kProfileCount) return {};
    return "Profile" + std::to_string(profileIndex + 1);
}

ProfileFanState FanStateOf(const MainFanControl& fan, int sliderPosition) {
    ProfileFanState state;
    state.fanSpeed = sliderPosition;
    state.fanMode = fan.fanMode;
    for (int i = 0; i < kFanPointCount; ++i) {
        state.steps[i] = fan.fanCurve[i].step;
        state.levels[i] = fan.fanCurve[i].level;
    }
    return state;
}

void TakeFanStateInto(MainFanControl& fan, const ProfileFanState& state) {
    fan.manualFanPercent = state.fanSpeed;
    fan.fanMode = state.fanMode;
    for (int i = 0; i < kFanPointCount; ++i) {
        fan.fanCurve[i].step = state.steps[i];
        fan.fanCurve[i].level = state.levels[i];
    }
}

ProfileRecord BuildProfileRecord(std::string_view section, const TuningValues& tuning,
                                 const ProfileFanState& fan) {
    ProfileRecord record = ProfileRecord::WithAllKeys(section);
    record.SetValue("CoreOffset", tuning.coreMhz);
    record.SetValue("OverVolt", tuning.voltValue);
    record.SetValue("MemOffset", tuning.memMhz);
    record.SetValue("Power", tuning.powerPct);
    record.SetValue("TempTarget", tuning.tempC);
    record.SetValue("DisplayClock", tuning.pixelClk);
    record.SetValue("FanSpeed", fan.fanSpeed);
    record.SetValue("FanMode", fan.fanMode);
    for (int i = 0; i < kFanPointCount; ++i) {
        record.SetValue(PointKey('X', i), fan.steps[i]);
        record.SetValue(PointKey('Y', i), fan.levels[i]);
    }
    return record;
}

ProfileResult SaveProfile(ProfileOwner& owner) {
    CAdvanceDlg* panel = owner.OverclockPanel();
    if (!CanUseProfiles(owner) || !panel) return ProfileResult::Ignored;
    const std::string_view question = owner.IsProductLineC() ? kSaveQuestionLineC : kSaveQuestionOther;
    if (owner.AskUser(question, CMsgDlg::kQuestion) != 1) return ProfileResult::Declined;

    ProfileRecord record = BuildProfileRecord(ProfileSectionName(owner.ChosenProfileIndex()),
                                              panel->SliderPositions(), owner.FanStateToSave());
    ConfigFile config(owner.ProfileFolder(), owner.ProfileConfigName());
    int failed = config.WriteRecordPlain(record);
    // "Start_OC" always holds the profile saved last, for the next start with auto-overclock.
    record.section = std::string(kStartOcSection);
    failed |= config.WriteRecordPlain(record);
    return failed ? ProfileResult::WriteFailed : ProfileResult::Done;
}

ProfileResult LoadProfile(ProfileOwner& owner) {
    CAdvanceDlg* panel = owner.OverclockPanel();
    if (!CanUseProfiles(owner) || !panel) return ProfileResult::Ignored;
    const ProfileRecord record = ReadProfile(owner, owner.ChosenProfileIndex());
    const bool lineC = owner.IsProductLineC();
    if (record.Value("Power") == 0) {
        owner.AskUser(kLoadPowerZeroText, lineC ? CMsgDlg::kQuestion : CMsgDlg::kNotice);
        return ProfileResult::Refused;
    }
    TakeProfile(owner, *panel, record);
    panel->ClickApply();
    return ProfileResult::Done;
}

CommandStatus ApplyProfileNow(ProfileOwner& owner, int profileIndex) {
    CAdvanceDlg* panel = owner.OverclockPanel();
    if (!panel || ProfileSectionName(profileIndex).empty()) return CommandStatus::WriteFailed;
    const ProfileRecord record = ReadProfile(owner, profileIndex);
    if (record.Value("Power") == 0) return CommandStatus::ProfileEmpty;
    if (panel->keyOcActive) return CommandStatus::OneKeyActive;
    TakeProfile(owner, *panel, record);
    return panel->ApplyValues() == 0 ? CommandStatus::Done : CommandStatus::WriteFailed;
}

DefaultProfileValues ReadDefaultProfileValues(CGpuControl& gpu, int fanLevel) {
    DefaultProfileValues values;
    values.fanSpeed = fanLevel;
    GpuPerfInfo info{};
    if (gpu.ReadPstateTable(kSelectedGpu, info) == 0) {
        values.coreOffsetMhz = info.graphicsOffset / 1000;
        values.memOffsetMhz = info.memoryOffset / 1000;
    }
    GpuPerfInfo targets{};
    if (gpu.ReadPowerTarget(kSelectedGpu, targets) == 0)
        values.powerDefaultPct = targets.powerTargetDefault / 1000;
    if (gpu.ReadTempTarget(kSelectedGpu, targets) == 0) values.tempTargetDefault = targets.tempTargetDefault;
    return values;
}

int WriteDefaultProfiles(const ProgramFolder& folder, std::string_view configName,
                         const DefaultProfileValues& values) {
    ProfileRecord record = ProfileRecord::WithAllKeys(kDefaultSection);
    record.SetValue("CoreOffset", values.coreOffsetMhz);
    record.SetValue("MemOffset", values.memOffsetMhz);
    record.SetValue("TempTarget", values.tempTargetDefault);
    record.SetValue("Power", values.powerDefaultPct);
    record.SetValue("FanSpeed", values.fanSpeed);
    const FanCurvePoints curve = DefaultFanCurve();
    for (int i = 0; i < kFanPointCount; ++i) {
        record.SetValue(PointKey('X', i), curve[i].step);
        record.SetValue(PointKey('Y', i), curve[i].level);
    }
    record.SetValue("LedBright", kDefaultLedBright);

    ConfigFile config(folder, configName);
    int failed = config.WriteRecord(record);
    record.section = std::string(kStartOcSection);
    failed |= config.WriteRecordPlain(record);
    return failed;
}

void ApplyStartupProfile(ProfileOwner& owner) {
    if (!owner.IsProductLineC()) owner.ApplyFanModeWithIcons();
    if (CAdvanceDlg* panel = owner.OverclockPanel()) panel->ApplyStartOc();
}
