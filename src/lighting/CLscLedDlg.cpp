#include "lighting/CLscLedDlg.h"

#include <string>

#include "controls/CButtonST.h"
#include "lighting/CLscAdvanceDlg.h"
#include "lighting/ZoneCommandSender.h"

CLscLedDlg::CLscLedDlg(UiHost& host, ZoneCommandSender& zoneSender)
    : CBkDialogST(host, kTemplateId), sender(zoneSender) {
    MutableWindow().childStyle = true;
}

void CLscLedDlg::OnInitDialog() {
    CBkDialogST::OnInitDialog();
    SetWindowSize(kWidth, kHeight);
    SetBitmap(kBackgroundBitmap);
    const char* zones[] = {"Logo", "Front", "Rear"};
    for (int z = 0; z < kZoneCount; ++z) {
        Add<CButtonST>(kLogo + z, Rect{});
        SetItemText(kLogo + z, zones[z]);
    }
    Add<CButtonST>(kIdle, Rect{});
    SetItemText(kIdle, "Idle");
    Add<CButtonST>(kTurbo, Rect{});
    SetItemText(kTurbo, "Turbo");
    const char* colours[] = {"R", "Y", "P", "G", "C", "B", "W"};
    for (int i = 0; i < kZoneNamedColourCount; ++i) {
        Add<CButtonST>(kColour0 + i, Rect{});
        SetItemText(kColour0 + i, colours[i]);
    }
    Add<CButtonST>(kCustom, Rect{});
    SetItemText(kCustom, "CU");
    for (int i = 0; i < 8; ++i) {
        Add<CButtonST>(kBrightness0 + i, Rect{});
        SetItemText(kBrightness0 + i, "0");
    }
    for (int i = 0; i < 6; ++i) {
        Add<CButtonST>(kMode0 + i, Rect{});
        SetItemText(kMode0 + i, std::to_string(i));
    }
    Add<CButtonST>(kOnOff, Rect{});
    SetItemText(kOnOff, "ON_OFF");
    Add<CButtonST>(kDefault, Rect{});
    SetItemText(kDefault, "Def");
    Add<CButtonST>(kApply, Rect{});
    SetItemText(kApply, "App");
    PlaceControls();
    DrawAll();
}

void CLscLedDlg::TakeZoneStatus(std::span<const uint8_t> status, bool complete) {
    Send(ReadZoneStatus(state, status, complete));
    PlaceControls();
    Refresh();
}

void CLscLedDlg::SetColourEditor(CLscAdvanceDlg* colourEditor, std::function<void()> show) {
    editor = colourEditor;
    showEditor = std::move(show);
}

void CLscLedDlg::CloseEditor() {
    if (!editorOpen) return;
    if (editor) editor->Close();
    editorOpen = false;
}

void CLscLedDlg::SetZoneColour(int set, int zone, ZoneRgb colour) {
    if (set < 0 || set >= kZoneSetCount || zone < 0 || zone >= kZoneCount) return;
    state.settings[size_t(set)][size_t(zone)].SetColour(colour);
}

void CLscLedDlg::ApplyFromEditor() {
    if (state.lightingOn) Send(ApplyZone(state, ShownSet(), EditedZone()));
}

void CLscLedDlg::Send(const ZoneSequence& sequence) {
    if (!sequence.empty()) sender.Send(sequence);
}

void CLscLedDlg::OnCommand(int id) {
    if (id == kOnOff) return OnSwitch();
    if (!state.lightingOn) return;
    if (id >= kLogo && id < kLogo + kZoneCount) {
        if (zoneUsable[id - kLogo]) OnZone(id - kLogo);
    } else if (id == kIdle || id == kTurbo) {
        OnSet(id == kIdle);
    } else if (id >= kColour0 && id < kColour0 + kZoneNamedColourCount) {
        if (ColourRowReacts()) OnNamedColour(id - kColour0);
    } else if (id == kCustom) {
        if (ColourRowReacts()) OnCustomColour();
    } else if (id >= kBrightness0 && id < kBrightness0 + 8) {
        OnBrightness(id - kBrightness0);
    } else if (id >= kMode0 && id <= kWave) {
        OnMode(uint8_t(id - kMode0));
    } else if (id == kDefault) {
        OnDefault();
    } else if (id == kApply) {
        Send(ApplyZone(state, ShownSet(), EditedZone()));
    }
}

void CLscLedDlg::OnZone(int zone) {
    CloseEditor();
    uint8_t& highlight = state.zoneHighlight[size_t(ShownSet())];
    // Choosing the logo keeps the front joined to it (3); choosing another zone leaves the join.
    if (zone == kZoneLogo ? (highlight == 1 || highlight == 2) : highlight != zone) highlight = uint8_t(zone);
    state.selectedZone[size_t(ShownSet())] = uint8_t(zone);
    DrawZonesForShownSet();
    DrawRows();
}

void CLscLedDlg::OnSet(bool idle) {
    CloseEditor();
    state.idleShown = idle;
    DrawZonesForShownSet();
    DrawSets();
    DrawRows();
}

void CLscLedDlg::OnNamedColour(int index) {
    CloseEditor();
    Edited().colourIndex = uint8_t(index);
    Edited().SetColour(kZoneColours[size_t(index)]);
    DrawRows();
}

void CLscLedDlg::OnCustomColour() {
    if (editor) {
        if (showEditor) showEditor();
        editorOpen = true;
        const ZoneSettings& zone = Edited();
        editor->EditZoneColour(ShownSet(), EditedZone(), zone.red, zone.green, zone.blue);
    }
    Edited().colourIndex = kZoneCustomColour;
    DrawRows();
}

void CLscLedDlg::OnBrightness(int level) {
    // The editor owns the zone while this page thinks it open.
    if (editorOpen) return;
    Edited().brightness = uint8_t(level);
    DrawRows();
}

void CLscLedDlg::OnMode(uint8_t mode) {
    if (mode == ZoneWave && !WaveReacts()) return;
    if (mode >= ZoneCycle) CloseEditor();
    const uint8_t previous = Edited().mode;
    Edited().mode = mode;
    const bool joins = state.layout == 1 || state.layout == 2;
    if (mode <= ZoneCycle && EditedZone() == kZoneLogo && joins && previous == ZoneWave) {
        Send(LeaveWave(state, ShownSet()));
        // The front is the logo's own again.
        state.zoneHighlight[size_t(ShownSet())] = kZoneLogo;
    }
    DrawZonesForShownSet();
    DrawRows();
}

void CLscLedDlg::OnSwitch() {
    if (state.lightingOn) {
        CloseEditor();
        state.lightingOn = false;
        DrawAll();
        Send(SwitchAllZones(0));
    } else {
        state.lightingOn = true;
        DrawAll();
        Send(SwitchAllZones(1));
    }
}

void CLscLedDlg::OnDefault() {
    CloseEditor();
    Send(RestoreZoneDefaults(state));
    Refresh();
}
