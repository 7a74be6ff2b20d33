#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/CMsgDlg.h"
#include "app/ConfigFile.h"
#include "config_test_support.h"
#include "gpu/CGpuControl.h"
#include "gpu/NvQueryIds.h"
#include "gpu/ScenarioText.h"
#include "panels/CAdvanceDlg.h"
#include "sim/SimDriver.h"
#include "sim/SimTuning.h"
#include "support/FakeClock.h"
#include "ui/HeadlessHost.h"

// One desktop card of the 0x1B80 kind with one monitor; `gpuKeys` go into every [gpu] section.
inline std::string MachineText(std::string_view gpuKeys = {}, int gpuCount = 1) {
    std::string text;
    for (int i = 0; i < gpuCount; ++i) {
        text += "[gpu]\npci = 10DE 1B80 10DE 119E\nname = GeForce GTX 1080\n";
        text += gpuKeys;
        text += "\n";
    }
    text += "[display]\ngpu = 0\nid = 0x80061086\n";
    return text;
}

// The overclock page on a simulated card, a headless host and a configuration file in a fresh
// folder, started the way the main window starts it.
class OverclockFixture : public ::testing::Test {
protected:
    void SetUp() override { UseMachine(MachineText()); }
    void TearDown() override { Reset(); }

    void Reset() {
        panel.reset();
        gpu.reset();
        sim.reset();
    }

    // A new machine: the driver starts from the scenario, as after a restart of the computer.
    void UseMachine(const std::string& scenarioText) {
        Reset();
        sim = std::make_unique<SimDriver>(ScenarioFromText(scenarioText));
        gpu = std::make_unique<CGpuControl>(sim->QueryInterface(), &clock);
        ASSERT_EQ(gpu->EnumGpus(), 0);
    }

    CAdvanceDlg& OpenPanel(bool curve = false, int keyOcFlag = 0) {
        panel = std::make_unique<CAdvanceDlg>(host, *gpu, folder, configName);
        EXPECT_EQ(panel->Create(), 0);
        panel->SetCurveMode(curve);
        panel->ReadGpuValues();
        panel->InitSliders();
        panel->InitButtons();
        panel->InitKeyOc(keyOcFlag);
        sim->ClearJournal();
        return *panel;
    }

    SimGpu& Card(size_t index = 0) { return sim->Model().gpus.at(index); }
    SimTuning& Tuning(size_t index = 0) { return Card(index).state.Get<SimTuning>(); }
    // The simulated card behind the program's selected GPU (the program lists the driver's GPUs in
    // its own order).
    size_t SelectedCard() { return static_cast<size_t>(sim->FindGpuIndex(gpu->GpuHandle(kSelectedGpu))); }

    // Texts of the message dialogs shown so far.
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const ModalRecord& run : host.ModalRuns()) {
            if (run.templateId == CMsgDlg::kTemplateId) texts.push_back(run.Text(CMsgDlg::kTextId));
        }
        return texts;
    }

    // The query ids of the driver calls made since the journal was last cleared, without reads.
    std::vector<uint32_t> Writes() const {
        const uint32_t writes[] = {QueryId::SetPstates20,           QueryId::SetVfPointControl,
                                   QueryId::SetVoltBoost,           QueryId::SetPowerPolicyStatus,
                                   QueryId::SetThermalPolicyStatus, QueryId::TryCustomDisplay,
                                   QueryId::SaveCustomDisplay,      QueryId::SetDisplayConfig};
        std::vector<uint32_t> ids;
        for (const SimJournalEntry& entry : sim->Journal()) {
            for (uint32_t id : writes) {
                if (entry.queryId == id) ids.push_back(id);
            }
        }
        return ids;
    }

    std::string ReadSetting(std::string_view section, std::string_view key) {
        SettingValue setting{std::string(section), std::string(key), {}, 0};
        ConfigFile(folder, configName).ReadValue(setting);
        return setting.text;
    }

    TempFolder dir;
    FixedProgramFolder folder{dir.Path()};
    std::string configName = "Coralvane_DID1B80.cfg";
    HeadlessHost host{CORALVANE_SKIN_DIR};
    FakeClock clock;
    std::unique_ptr<SimDriver> sim;
    std::unique_ptr<CGpuControl> gpu;
    std::unique_ptr<CAdvanceDlg> panel;
};
