#pragma once
#include <cstdint>
#include <functional>
#include <span>

#include "controls/CBkDialogST.h"
#include "lighting/ZoneCommands.h"

class CLscAdvanceDlg;
class ZoneCommandSender;

// The lighting page of the zone controller: Idle and Turbo sets of three zones, each with a colour,
// a brightness and an effect, the whole lighting's switch, the controller's defaults, and the custom
// colour editor. Choices stay on the page until App, except the switch, Def and leaving the wave,
// which go to the card at once.
class CLscLedDlg : public CBkDialogST {
public:
    static constexpr int kTemplateId = 295;
    static constexpr int kBackgroundBitmap = 296;
    static constexpr int kWidth = 318;
    static constexpr int kHeight = 327;

    static constexpr int kLogo = 1189;  // Front 1190, Rear 1191
    static constexpr int kIdle = 1195;
    static constexpr int kTurbo = 1196;
    static constexpr int kColour0 = 1197;  // R, Y, P, G, C, B, W up to 1203
    static constexpr int kCustom = 1204;
    static constexpr int kBrightness0 = 1205;  // up to 1212
    static constexpr int kMode0 = 1213;        // Static, Breath, Strobe, Cycle, Rainbow, Wave up to 1218
    static constexpr int kRainbow = 1217;
    static constexpr int kWave = 1218;
    static constexpr int kOnOff = 1219;
    static constexpr int kDefault = 1220;
    static constexpr int kApply = 1221;

    CLscLedDlg(UiHost& host, ZoneCommandSender& sender);

    void SetProductLineC(bool lineC) { productLineC = lineC; }
    void SetLayout(uint8_t layout) { state.layout = layout; }
    // The controller's status after detection: read into the page (a blank controller is
    // programmed when the reply was whole), controls placed for the layout, page refreshed.
    void TakeZoneStatus(std::span<const uint8_t> status, bool complete);
    // The colour editor and the way to show it as the main window's side window.
    void SetColourEditor(CLscAdvanceDlg* editor, std::function<void()> showEditor);
    // Closes the colour editor if this page opened it.
    void CloseEditor();

    // What the colour editor reads and writes.
    void SetZoneColour(int set, int zone, ZoneRgb colour);
    // The editor's App: the shown set's selected zone goes to the card while the lighting is on.
    void ApplyFromEditor();

    const ZoneLightingState& Lighting() const { return state; }
    const ZoneSettings& Zone(int set, int zone) const { return state.settings[size_t(set)][size_t(zone)]; }
    bool EditorOpen() const { return editorOpen; }
    bool ProductLineC() const { return productLineC; }

protected:
    void OnInitDialog() override;
    void OnCommand(int id) override;

private:
    // Handlers.
    void OnZone(int zone);
    void OnSet(bool idle);
    void OnNamedColour(int index);
    void OnCustomColour();
    void OnBrightness(int level);
    void OnMode(uint8_t mode);
    void OnSwitch();
    void OnDefault();
    void Send(const ZoneSequence& sequence);

    // What reacts and what is shown (CLscLedDlgDraw.cpp).
    void PlaceControls();
    void Refresh();
    void DrawAll();
    void DrawZones(int code);
    void DrawZonesForShownSet();
    void DrawSets();
    void DrawRows();
    void DrawOff();
    void DrawSwitchAndActions();
    int ShownSet() const { return state.ShownSet(); }
    int EditedZone() const { return state.selectedZone[size_t(ShownSet())]; }
    ZoneSettings& Edited() { return state.settings[size_t(ShownSet())][size_t(EditedZone())]; }
    bool ZoneZeroInJoinedWave(int set) const;
    int ZoneCode(int set) const;
    bool WaveReacts() const;
    bool ColourRowReacts() const;

    ZoneCommandSender& sender;
    ZoneLightingState state;
    bool productLineC = true;
    bool editorOpen = false;
    bool zoneUsable[kZoneCount] = {true, true, true};
    CLscAdvanceDlg* editor = nullptr;
    std::function<void()> showEditor;
};
