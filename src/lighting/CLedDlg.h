#pragma once
#include <cstdint>

#include "controls/CBkDialogST.h"
#include "gpu/CGpuControl.h"
#include "lighting/LightingLink.h"
#include "lighting/LightingTypes.h"
#include "platform/Clock.h"

// The lighting page of the register controller: mode, one or two colour rows (logo and armor),
// brightness, the logo and armor switches, Default and Apply. Mode, colour and brightness only
// change the page until Apply; the switches and Default act at once. The page never reads the
// controller itself: the main window hands it the detection's status.
class CLedDlg : public CBkDialogST {
public:
    static constexpr int kTemplateId = 155;
    static constexpr int kBackgroundBitmap = 158;
    static constexpr int kWidth = 318;
    static constexpr int kHeight = 327;

    static constexpr int kModeButton0 = 1040;  // Static, Breath, Strobe, Cycle
    static constexpr int kLogoButton = 1044;
    static constexpr int kArmorButton = 1045;
    static constexpr int kDefaultButton = 1046;
    static constexpr int kApplyButton = 1047;
    static constexpr int kRow1Colour0 = 1048;  // Red .. White, LedColour 0..6
    static constexpr int kRow2Colour0 = 1055;
    static constexpr int kBrightness0 = 1062;  // 0 .. 7
    static constexpr int kRow1Indicator = 1070;
    static constexpr int kRow2Indicator = 1071;
    static constexpr int kBrightnessIndicator = 1072;

    static constexpr int kModeCount = 4;
    static constexpr int kColourCount = 7;
    static constexpr int kBrightnessCount = 8;
    static constexpr uint8_t kUnset = 255;
    enum Mode : uint8_t { Static = 0, Breath = 1, Strobe = 2, Cycle = 3 };

    CLedDlg(UiHost& host, CGpuControl& gpu, Clock& clock);

    // What Default leaves: true → Cycle with colours 0, false → Static White (both brightness 7, lit).
    void SetCycleOnDefault(bool cycle) { cycleOnDefault = cycle; }
    // Takes the controller's 10-byte status and shows it. A status whose model byte is 0 clears
    // every choice; bytes outside their ranges are kept but select nothing.
    void SetLedStatus(const LedStatus& status);

    uint8_t model = kUnset;
    uint8_t mode = kUnset;
    uint8_t colour1 = kUnset;
    uint8_t colour2 = kUnset;
    uint8_t brightness = kUnset;
    uint8_t logoOff = kUnset;
    uint8_t armorOff = kUnset;
    bool logoLit = false;
    bool armorLit = false;
    bool row1Active = false;
    bool row2Active = false;
    bool brightnessActive = false;
    bool controllerPresent = false;
    bool cycleOnDefault = true;

protected:
    void OnInitDialog() override;
    void OnCommand(int id) override;

private:
    void CreateControls();
    void Refresh();
    void ShowModes();
    void ShowRows();
    void ShowRow(int firstId, int count, const char* const* names, bool active, uint8_t selected);
    void ShowSwitches();
    void ShowActions();
    void ClickSwitch(bool logo);
    void ClickDefault();
    void ClickApply();
    // Sends a command with its pause under the wait cursor, the mouse held by the page meanwhile.
    bool Send(const LedCommand& command);

    LightingLink link;
};
