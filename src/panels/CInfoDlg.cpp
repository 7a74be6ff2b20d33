#include "panels/CInfoDlg.h"

#include <cstdio>
#include <string>

#include "controls/CButtonST.h"
#include "controls/CLabel.h"

namespace {

// Windows colour value 0x01FFFF: yellow.
constexpr Color kTextColor = 0x01FFFF;
constexpr const char* kVersionText = "V 2.0.0.023V-Info";

std::string Format(const char* format, int value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

CInfoDlg::CInfoDlg(UiHost& host, CGpuControl& gpuControl)
    : CBkDialogST(host, kTemplateId), SidePanel(kSideInfo), gpu(gpuControl) {}

void CInfoDlg::OnInitDialog() {
    CBkDialogST::OnInitDialog();
    SetTitle("GPU Information");
    SetWindowSize(kWidth, kHeight);
    ApplyStoredTranslucency();
    SetBitmap(kBackgroundBitmap);
    ShapeFromBitmap(kBackgroundBitmap);
    SetEasyMove(true);
    CreateControls();
    Fill();
}

void CInfoDlg::CreateControls() {
    struct Place {
        int id;
        Rect rect;
    };
    const Place places[] = {
        {kNameLabel, {105, 78, 150, 15}},      {kDriverLabel, {105, 112, 150, 15}},
        {kBiosLabel, {105, 145, 150, 15}},     {kCoresLabel, {105, 177, 150, 15}},
        {kMemoryLabel, {105, 210, 200, 15}},   {kBusWidthLabel, {105, 243, 150, 15}},
        {kBaseClockLabel, {105, 276, 50, 15}}, {kBoostClockLabel, {255, 276, 50, 15}},
        {kVendorLabel, {105, 309, 50, 15}},    {kDeviceLabel, {255, 309, 50, 15}},
        {kSubVendorLabel, {105, 342, 50, 15}}, {kSubsystemLabel, {255, 342, 50, 15}},
    };
    auto label = [this](int id, const Rect& rect, int height) -> CLabel& {
        CLabel& added = Add<CLabel>(id, rect);
        added.SetFontName("DINPro").SetFontSize(height).SetTextColor(kTextColor).SetTransparent(true);
        return added;
    };
    label(kGpuNumberLabel, {145, 28, 30, 25}, 25).SetFontBold(true);
    for (const Place& place : places) label(place.id, place.rect, 14);
    label(kVersionLabel, {30, 390, 150, 20}, 14).SetFontBold(true);
    Add<CButtonST>(kCloseButton, Rect{310, 2, 16, 14}).SetIcons("Close.ico", "CloseH.ico");
}

void CInfoDlg::Fill() {
    if (!IsWindowCreated()) return;
    SetItemText(kGpuNumberLabel, Format("%d", gpu.currentGpu + 1));

    std::string text;
    SetItemText(kNameLabel, gpu.GetFullName(kSelectedGpu, text) == 0 ? text : std::string());

    uint32_t driver = 0;
    text.clear();
    if (gpu.GetDriverVersion(driver) == 0 && driver != 0) {
        char version[48];
        std::snprintf(version, sizeof version, "ForceWare %.02f", driver / 100.0);
        text = version;
    }
    SetItemText(kDriverLabel, text);

    text.clear();
    SetItemText(kBiosLabel, gpu.GetVbiosVersion(kSelectedGpu, text) == 0 ? text : std::string());

    int value = 0;
    SetItemText(kCoresLabel, gpu.GetCoreCount(kSelectedGpu, value) == 0 ? Format("%d", value) : std::string());

    // The type and maker queries leave the text alone for a code outside their tables: each gets a
    // cleared one, so such a code shows nothing rather than the previous card's words.
    std::string memory = gpu.ReadMemorySize(kSelectedGpu, value) == 0 ? Format("%d MB ", value) : std::string();
    std::string type, maker;
    gpu.ReadMemoryType(kSelectedGpu, type);
    gpu.ReadMemoryMaker(kSelectedGpu, maker);
    SetItemText(kMemoryLabel, memory + type + "  " + maker);

    SetItemText(kBusWidthLabel,
                gpu.GetMemoryBusWidth(kSelectedGpu, value) == 0 ? Format("%d Bit", value) : std::string());

    GpuPerfInfo perf{};
    const bool clocks = gpu.ReadBaseBoostClocks(kSelectedGpu, perf) == 0;
    SetItemText(kBaseClockLabel, clocks ? Format("%d", perf.graphicsBaseClock / 1000) : std::string());
    SetItemText(kBoostClockLabel, clocks ? Format("%d", perf.graphicsBoostClock / 1000) : std::string());

    uint16_t vendor = 0, device = 0, subVendor = 0, subsystem = 0;
    const bool ids = gpu.ReadPciIds(kSelectedGpu, vendor, device, subVendor, subsystem) == 0;
    SetItemText(kVendorLabel, ids ? Format("%04x", vendor) : std::string());
    SetItemText(kDeviceLabel, ids ? Format("%04x", device) : std::string());
    SetItemText(kSubVendorLabel, ids ? Format("%04x", subVendor) : std::string());
    SetItemText(kSubsystemLabel, ids ? Format("%04x", subsystem) : std::string());

    SetItemText(kVersionLabel, kVersionText);
}

void CInfoDlg::OnCommand(int id) {
    if (id == kCloseButton) CloseFromButton();
}
