#pragma once
#include "ui/CDialog.h"

// The windows the main window docks to its left edge, one at a time, by their fixed ids.
enum SidePanelId : int {
    kSideNone = 0,
    kSideMonitor = 1,
    kSideSettings = 2,
    kSideBios = 3,
    kSideHelp = 4,
    kSideInfo = 5,
    kSideFanCurve = 6,
    kSideZoneAdvanced = 7,
};
inline constexpr int kSidePanelCount = 7;

// Opacity in percent for the translucency settings, or -1 for an opaque window. Only indexes 0..9
// are percentages (10 × index + 10); anything else read from a damaged file stays opaque rather
// than turning into an invisible window.
inline int TranslucentOpacity(bool on, int percentIndex) {
    return on && percentIndex >= 0 && percentIndex <= 9 ? 10 * percentIndex + 10 : -1;
}

// What a side window reports to the main window.
class SidePanelOwner {
public:
    virtual ~SidePanelOwner() = default;
    // The side window `id` closed itself (its own close button); the main window forgets it as the
    // open one when it was.
    virtual void CloseSidePanel(int id) = 0;
};

// The part every side window shares, mixed into its dialog class:
//   class CHelpDlg : public CBkDialogST, public SidePanel {
//       CDialog& Dialog() override { return *this; }
//       void OnInitDialog() override { ...; ApplyStoredTranslucency(); }
//       void OnCommand(int id) override { if (id == kCloseId) CloseFromButton(); }
//   };
// The main window creates the window on first use (owned by the main window), places it and shows
// it; the window decides its own size in its initialisation.
class SidePanel {
public:
    explicit SidePanel(int id) : panelId(id) {}
    virtual ~SidePanel() = default;
    SidePanel(const SidePanel&) = delete;
    SidePanel& operator=(const SidePanel&) = delete;

    int SidePanelId() const { return panelId; }
    virtual CDialog& Dialog() = 0;

    void SetOwner(SidePanelOwner* mainWindow) { owner = mainWindow; }
    SidePanelOwner* Owner() const { return owner; }

    // Translucency handed over by the main window before the window exists; the window applies it
    // in its initialisation with ApplyStoredTranslucency.
    void SetTranslucency(bool on, int percentIndex) {
        transparence = on;
        transPercent = percentIndex;
    }
    bool Transparence() const { return transparence; }
    int TransPercent() const { return transPercent; }
    void ApplyStoredTranslucency();

    // The main window closes this window because another one opens: what the close button does.
    // Windows whose close button does more than that (BIOS, fan curve) run their handler instead.
    virtual void CloseForOther() { CloseFromButton(); }
    // The main window goes into the notification area; windows that remember more forget it here.
    virtual void HideForMinimise() { Dialog().ShowWindow(ShowCommand::Hide); }
    // Another GPU was selected.
    virtual void OnGpuChanged() {}
    // The main window is about to dock and show the window, which was not the open one; windows that
    // start each opening from the main window's state take it here.
    virtual void OnShowing() {}

protected:
    // What the window's own close button does: tell the owner, then hide.
    void CloseFromButton();

private:
    int panelId;
    SidePanelOwner* owner = nullptr;
    bool transparence = false;
    int transPercent = 0;
};
