#include <string>

#include "accessory/CVemraDlg.h"
#include "app/CMsgDlg.h"

namespace {

// Where the page looks when the program was given no HID system: nothing is ever present.
class NoHidInterfaces : public HidSystem {
public:
    std::vector<std::string> ListInterfacePaths() override { return {}; }
    std::unique_ptr<HidDevice> OpenDevice(const std::string&, bool, uint32_t& error) override {
        error = kHidErrorFileNotFound;
        return nullptr;
    }
};

HidSystem& HidOrNone(HidSystem* hid) {
    static NoHidInterfaces none;
    return hid ? *hid : none;
}

}  // namespace

CVemraDlg::CVemraDlg(UiHost& host, HidSystem* hid, Clock& clock)
    : CBkDialogST(host, kTemplateId),
      connection(std::make_unique<AccessoryConnection>(HidOrNone(hid), clock, *this)) {
    // A page inside the main window.
    MutableWindow().childStyle = true;
    // The card never reports the Turbo zone switches; they count as lit until Default sets them.
    flags[1].frontLit = true;
    flags[1].rearLit = true;
    connection->OnStateReported([this](const VemraState& reported) { ApplyReportedState(reported); });
}

CVemraDlg::~CVemraDlg() {
    // The window goes first: its destruction shuts the connection down while the page still exists.
    DestroyWindow();
    connection.reset();
}

void CVemraDlg::OnDestroy() {
    connection->Shutdown();
    CBkDialogST::OnDestroy();
}

void CVemraDlg::FillAccessoryList() {
    listedEntries.clear();
    std::vector<std::string> lines;
    if (transport == kTransportUsb) {
        for (const AccessoryListLine& line : connection->ListLines()) {
            lines.push_back(line.text);
            listedEntries.push_back(line.entry);
        }
    }
    // The line of the entry that is connected stays chosen.
    int selection = lines.empty() ? -1 : 0;
    for (size_t i = 0; i < listedEntries.size(); ++i) {
        if (listedEntries[i] == connection->SelectedEntry()) selection = int(i);
    }
    SetComboItems(kAccessoryList, lines, selection);
}

int CVemraDlg::ConnectAccessory() {
    const ConnectResult result = connection->Connect();
    // A connect after an unplug looked for the accessories again.
    FillAccessoryList();
    const std::string_view message = AccessoryConnection::ConnectMessage(result);
    if (!message.empty()) {
        CMsgDlg dialog(Host(), CMsgDlg::kQuestion);
        dialog.SetText(std::string(message));
        dialog.DoModal(this);
    }
    return result == ConnectResult::Connected ? 1 : 0;
}

void CVemraDlg::ShutdownAccessory() {
    connection->Shutdown();
}

void CVemraDlg::OnSelectionChanged(int id) {
    if (id != kAccessoryList) return;
    const int line = Control(kAccessoryList).selection;
    if (line < 0 || line >= int(listedEntries.size())) return;
    // The line stands for its own entry of the serial table, not for the entry of the same number.
    connection->SelectEntry(listedEntries[size_t(line)]);
    ConnectAccessory();
}

void CVemraDlg::OnTimer(int timerId) {
    if (!connection->OnTimer(timerId)) CBkDialogST::OnTimer(timerId);
}

void CVemraDlg::OnDeviceChange(uint32_t event, uint32_t deviceType) {
    if (connection->OnDeviceChange(event, deviceType) && onRemoved) onRemoved();
}

void CVemraDlg::ApplyReportedState(const VemraState& reported) {
    state = reported;
    DeriveEnableFlags();
    RefreshAllControls();
}
