#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "accessory/AccessoryConnection.h"
#include "accessory/CardAccessoryFrames.h"
#include "controls/CBkDialogST.h"

// The accessory lighting page: front and rear zone of a two-zone device, each with a mode and a
// colour, for an Idle and a Turbo setting, with zone switches, Default and Apply. Transport 0 drives
// the USB accessory, transport 1 the accessory-model controller on the card (through frames).
class CVemraDlg : public CBkDialogST {
public:
    static constexpr int kTemplateId = 224;
    static constexpr int kBackgroundBitmap = 225;
    static constexpr int kWidth = 318;
    static constexpr int kHeight = 327;
    static constexpr int kSwatchColour = 229;
    static constexpr int kSwatchNotReported = 230;
    static constexpr int kSwatchCycle = 231;

    static constexpr int kTransportUsb = 0;
    static constexpr int kTransportCard = 1;

    // Control ids.
    static constexpr int kIdleTab = 1075;
    static constexpr int kTurboTab = 1076;
    static constexpr int kFrontSwitch = 1077;
    static constexpr int kRearSwitch = 1090;
    static constexpr int kTurboFrontSwitch = 1103;  // hidden, never shown
    static constexpr int kTurboRearSwitch = 1116;   // hidden, never shown
    static constexpr int kDefaultButton = 1129;
    static constexpr int kApplyButton = 1130;
    static constexpr int kAccessoryList = 1188;
    // The template's two sliders with their edits and four small buttons, which do nothing.
    static constexpr std::array<int, 2> kInertSliders{1067, 1068};
    static constexpr std::array<int, 2> kInertEdits{1069, 1070};
    static constexpr std::array<int, 4> kInertButtons{1071, 1072, 1073, 1074};

    // The controls of one setting's page (Idle or Turbo).
    struct PageIds {
        std::array<int, 4> frontModes;
        std::array<int, 2> rearModes;
        int frontColor, frontCycle, frontPalette0, frontSwatch;
        int rearColor, rearCycle, rearPalette0, rearSwatch;
    };
    static constexpr PageIds kIdleIds{
        {1078, 1079, 1080, 1081}, {1091, 1092}, 1093, 1135, 1083, 1094, 1136, 1131, 1096, 1132};
    static constexpr PageIds kTurboIds{
        {1104, 1105, 1106, 1107}, {1117, 1118}, 1095, 1119, 1109, 1120, 1137, 1133, 1122, 1134};

    // Enable and on flags of one page.
    struct PageFlags {
        bool frontModesOn = false;
        bool rearModesOn = false;
        bool frontPaletteOpen = false;
        bool rearPaletteOpen = false;
        bool frontLit = false;
        bool rearLit = false;
    };

    // `hid` null: no accessory is ever found. `clock` paces the state request.
    CVemraDlg(UiHost& host, HidSystem* hid, Clock& clock);
    ~CVemraDlg() override;

    // Transport 1 stores it and empties the accessory list; transport 0 forgets the state until the
    // accessory reports it again and lists the accessories found at creation.
    void SetLightingTransport(int transport);
    // The accessory-model controller's 140-byte status (transport 1).
    void ImportCardLightingState(std::span<const uint8_t> status);
    void DeriveEnableFlags();
    void RefreshAllControls();

    // Transport 0: connects to the chosen accessory (a message when that fails); 1 when connected.
    int ConnectAccessory();
    // Stops the reader and closes the link (program end; unplugging does it by itself).
    void ShutdownAccessory();
    // Called after the open accessory was unplugged and shut down (the main window hands back).
    void SetAccessoryRemovedHandler(std::function<void()> handler) { onRemoved = std::move(handler); }
    AccessoryConnection& Connection() { return *connection; }

    // Where frames for the card's controller go (transport 1), one call per frame.
    void SetCardFrameSender(std::function<void(const CardFrame&)> sender) { cardSender = std::move(sender); }

    const VemraState& State() const { return state; }
    const PageFlags& Flags(int page) const { return flags[page & 1]; }
    int ShownPage() const { return shownPage; }
    int Transport() const { return transport; }
    bool AwaitingAccessoryState() const { return connection->AwaitingState(); }
    int SelectedEntry() const { return connection->SelectedEntry(); }

protected:
    void OnInitDialog() override;
    void OnCommand(int id) override;
    void OnDestroy() override;
    void OnSelectionChanged(int id) override;
    void OnTimer(int timerId) override;
    void OnDeviceChange(uint32_t event, uint32_t deviceType) override;

private:
    // Layout (CVemraDlgLayout.cpp).
    void CreateControls();
    void CreatePageControls(const PageIds& ids);
    void ShowSettingPage(int page);
    void FillAccessoryList();

    // Icons (CVemraDlgIcons.cpp).
    void RefreshFrontModes(int page, int mode);
    void RefreshRearModes(int page, int value);
    void RefreshColourPair(int colorId, int cycleId, int swatchId, int colour);
    void RefreshPalette(int palette0, int colour);
    void RefreshZoneSwitch(int id, int offFlag);
    void RefreshDefaultApply();
    void RefreshTabs();
    void SetSelected(int id, const std::string& base);
    void SetNormal(int id, const std::string& base);
    void SetDisabled(int id, const std::string& base);

    // Handlers (CVemraDlgCommands.cpp).
    bool OnPageCommand(int page, int id);
    void OnFrontMode(int page, int mode);
    void OnRearMode(int page, int mode);
    void OnZoneSwitch(bool front);
    void OnDefault();
    void OnApply();
    void BeginSend();
    void EndSend();

    // Transport 1 (CVemraDlgCard.cpp).
    void SendCardFrames(const CardFrames& frames);
    // Transport 0: the state the accessory reported, on the UI thread.
    void ApplyReportedState(const VemraState& reported);

    // The setting fields of a page.
    int32_t& FrontMode(int page) { return page == 0 ? state.idleFrontMode : state.turboFrontMode; }
    int32_t& RearMode(int page) { return page == 0 ? state.idleRearMode : state.turboRearMode; }
    int32_t& FrontColour(int page) { return page == 0 ? state.idleFrontColour : state.turboFrontColour; }
    int32_t& RearColour(int page) { return page == 0 ? state.idleRearColour : state.turboRearColour; }
    AccessorySet SetOf(int page) {
        return AccessorySet{FrontMode(page), FrontColour(page), RearMode(page), RearColour(page)};
    }
    static const PageIds& IdsOf(int page) { return page == 0 ? kIdleIds : kTurboIds; }

    VemraState state;
    std::array<PageFlags, 2> flags{};
    int shownPage = 0;
    int transport = kTransportUsb;
    // The entry of the serial table each line of the accessory list stands for.
    std::vector<int> listedEntries;
    std::function<void(const CardFrame&)> cardSender;
    std::function<void()> onRemoved;
    std::unique_ptr<AccessoryConnection> connection;
};
