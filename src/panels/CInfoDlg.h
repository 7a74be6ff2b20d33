#pragma once
#include "app/SidePanel.h"
#include "controls/CBkDialogST.h"
#include "gpu/CGpuControl.h"

// The card information side window: what the selected GPU is (name, driver, video BIOS, cores,
// memory, bus width, clocks, PCI identifiers). It only reads; every line stands alone, so a failing
// query empties its own label and leaves the others.
class CInfoDlg : public CBkDialogST, public SidePanel {
public:
    static constexpr int kTemplateId = 287;
    static constexpr int kBackgroundBitmap = 288;
    static constexpr int kWidth = 350;
    static constexpr int kHeight = 445;

    static constexpr int kCloseButton = 1179;
    static constexpr int kNameLabel = 1180;
    static constexpr int kDriverLabel = 1181;
    static constexpr int kBiosLabel = 1182;
    static constexpr int kCoresLabel = 1183;
    static constexpr int kMemoryLabel = 1184;
    static constexpr int kBusWidthLabel = 1185;
    static constexpr int kBaseClockLabel = 1186;
    static constexpr int kBoostClockLabel = 1187;
    static constexpr int kVendorLabel = 1188;
    static constexpr int kDeviceLabel = 1189;
    static constexpr int kSubVendorLabel = 1190;
    static constexpr int kSubsystemLabel = 1191;
    static constexpr int kVersionLabel = 1192;
    static constexpr int kGpuNumberLabel = 1193;

    CInfoDlg(UiHost& host, CGpuControl& gpu);

    CDialog& Dialog() override { return *this; }
    void OnGpuChanged() override { Fill(); }

    // Reads every line again for the selected GPU.
    void Fill();

protected:
    void OnInitDialog() override;
    void OnCommand(int id) override;

private:
    void CreateControls();

    CGpuControl& gpu;
};
