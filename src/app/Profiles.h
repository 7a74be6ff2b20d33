#pragma once
#include <array>
#include <string>
#include <string_view>

#include "app/CommandLine.h"
#include "app/ConfigFile.h"
#include "app/DefaultProfileValues.h"
#include "app/FanCurve.h"
#include "gpu/CGpuControl.h"
#include "panels/CAdvanceDlg.h"
#include "platform/ProgramFolder.h"

class MainFanControl;

inline constexpr std::string_view kSaveQuestionLineC =
    "请确认设置有效，再继续保存。如果你不确定，有可能导致系统故障。";
inline constexpr std::string_view kSaveQuestionOther = "调整GPU设置可能会导致系统不稳定，继续？";
inline constexpr std::string_view kLoadPowerZeroText = "目标功耗不能为0！";
inline constexpr std::string_view kStartOcSection = "Start_OC";
inline constexpr std::string_view kDefaultSection = "Default";
inline constexpr int kProfileCount = 3;

// "Profile1".."Profile3" for profile index 0..2; empty for any other index.
std::string ProfileSectionName(int profileIndex);

// The fan part of a profile: the manual percentage, the mode and the curve's steps and levels.
struct ProfileFanState {
    int fanSpeed = 0;
    int fanMode = 0;
    std::array<int, kFanPointCount> steps{};
    std::array<int, kFanPointCount> levels{};
    friend bool operator==(const ProfileFanState&, const ProfileFanState&) = default;
};

// What Save, Load and the start-up profile need from the main window.
class ProfileOwner {
public:
    virtual ~ProfileOwner() = default;
    virtual const ProgramFolder& ProfileFolder() const = 0;
    virtual std::string ProfileConfigName() const = 0;
    virtual bool LightingPageShown() const = 0;
    virtual bool HasChosenProfile() const = 0;
    virtual int ChosenProfileIndex() const = 0;
    virtual bool IsProductLineC() const = 0;
    // Shows a text in the message dialog (mode 1 question, 2 notice); 1 means OK.
    virtual int AskUser(std::string_view text, int mode) = 0;
    // The overclock page, or null while it does not exist.
    virtual CAdvanceDlg* OverclockPanel() = 0;
    // The fan slider's position, the fan mode and the curve the window keeps.
    virtual ProfileFanState FanStateToSave() = 0;
    // Takes a loaded fan state: manual percentage, mode, and the curve's steps and levels (the
    // points' enabled flags stay).
    virtual void TakeFanState(const ProfileFanState& state) = 0;
    virtual void ApplyFanModeWithIcons() = 0;
};

// The fan state as the main window's fan control holds it, with the fan slider's position.
ProfileFanState FanStateOf(const MainFanControl& fan, int sliderPosition);
// Hands a loaded fan state to the main window's fan control.
void TakeFanStateInto(MainFanControl& fan, const ProfileFanState& state);

// A record naming all 34 keys: the six tuning values, the fan state, and the lighting keys 0.
ProfileRecord BuildProfileRecord(std::string_view section, const TuningValues& tuning,
                                 const ProfileFanState& fan);

// Results of Save and Load.
enum class ProfileResult { Done, Ignored, Declined, Refused, WriteFailed };

// Stores the overclock page's slider positions and the fan state under the chosen profile and
// under "Start_OC", after the user confirms. Ignored on the lighting page or before a profile
// button was clicked.
ProfileResult SaveProfile(ProfileOwner& owner);
// Hands the chosen profile to the overclock page and the fan state, then applies them through the
// page's Apply button (which asks, and does nothing while the one-key overclock is active). A
// profile whose power target is 0 (never saved, missing) is refused and changes nothing.
ProfileResult LoadProfile(ProfileOwner& owner);
// Load for a command: profile `profileIndex` goes to the overclock page and the fan state and is
// applied at once, without questions and whichever page is shown. A profile never saved, or one
// the one-key overclock would keep from the card, is refused and changes nothing.
CommandStatus ApplyProfileNow(ProfileOwner& owner, int profileIndex);

// Reads the current clock offsets and the default power and temperature targets of the selected
// GPU; every value whose reading fails is 0. `fanLevel` is the level read at start-up.
DefaultProfileValues ReadDefaultProfileValues(CGpuControl& gpu, int fanLevel);
// Writes "Default" (with its trailing line feed) and the same values into "Start_OC"; 0 when both
// writes succeeded.
int WriteDefaultProfiles(const ProgramFolder& folder, std::string_view configName,
                         const DefaultProfileValues& values);

// At start-up with auto-overclock on: the fan mode first (unless product line C), then the
// overclock page's "Start_OC" profile without a question.
void ApplyStartupProfile(ProfileOwner& owner);
