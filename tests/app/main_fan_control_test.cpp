#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ConfigFile.h"
#include "app/MainFanControl.h"
#include "config_test_support.h"
#include "gpu/CGpuControl.h"
#include "gpu/NvQueryIds.h"
#include "monitor/CMeter.h"
#include "sim/SimDriver.h"
#include "sim/SimHeat.h"
#include "sim/SimTime.h"
#include "ui/CDialog.h"
#include "ui/HeadlessHost.h"

namespace {

constexpr std::string_view kConfigName = "Coralvane_DID1B80.cfg";

// The main window as far as the fan control needs it: it owns the control, runs timers 1 and 2 and
// hands commands and slider notifications over, as CCoralvaneDlg does.
class FanHostDlg : public CDialog {
public:
    FanHostDlg(UiHost& host, CGpuControl& gpu, const ProgramFolder& folder, bool fromRpm)
        : CDialog(host, 102), gpu(gpu), folder(folder), fromRpm(fromRpm) {}

    std::unique_ptr<MainFanControl> fan;
    int editorRequests = 0;

protected:
    void OnInitDialog() override {
        SetWindowSize(1000, 504);
        fan = std::make_unique<MainFanControl>(*this, gpu, folder, std::string(kConfigName), fromRpm);
        SetTimer(1, 500);
        SetTimer(2, 500);
    }
    void OnCommand(int id) override {
        if (fan->OnFanCommand(id)) ++editorRequests;
    }
    void OnSliderNotify(uint32_t msg, int id, int position) override {
        fan->OnSliderNotify(msg, id, position);
    }
    void OnTimer(int timerId) override {
        if (timerId == 1) fan->OnClockTimer();
        if (timerId == 2) fan->OnFanTimer();
    }

private:
    CGpuControl& gpu;
    const ProgramFolder& folder;
    bool fromRpm;
};

struct CoolerWrite {
    int32_t level;
    int32_t policy;
    friend bool operator==(const CoolerWrite&, const CoolerWrite&) = default;
};

std::ostream& operator<<(std::ostream& out, const CoolerWrite& write) {
    return out << "{level " << write.level << ", policy " << write.policy << "}";
}

int32_t JournalWord(const std::vector<uint8_t>& bytes, size_t offset) {
    int32_t word = 0;
    if (offset + 4 <= bytes.size()) std::memcpy(&word, bytes.data() + offset, 4);
    return word;
}

class MainFanControlTest : public ::testing::Test {
protected:
    ~MainFanControlTest() override { SetFontFaceProbe(nullptr); }

    // A card under frozen simulated time; `gpuKeys` go into its [gpu] section.
    void Boot(std::string_view gpuKeys = "", bool fromRpm = false, std::string_view moreGpus = "") {
        std::string text = "[driver]\ntime = frozen\n[gpu]\npci = 10DE 1B80 10DE 119E\n";
        text += gpuKeys;
        text += moreGpus;
        dlg.reset();
        gpu.reset();
        sim.reset();
        SimScenario scenario;
        std::string error;
        ASSERT_TRUE(ParseScenario(text, scenario, error)) << error;
        sim = std::make_unique<SimDriver>(scenario);
        gpu = std::make_unique<CGpuControl>(sim->QueryInterface());
        ASSERT_EQ(gpu->EnumGpus(), 0);
        dlg = std::make_unique<FanHostDlg>(host, *gpu, folder, fromRpm);
        ASSERT_EQ(dlg->Create(), 0);
    }

    // Start-up steps 12 to 14 of the main window.
    void StartUp(bool productLineC = true, int autoOverClock = 0) {
        SetFontFaceProbe([](std::string_view) { return true; });
        Fan().ReadStartingValues();
        Fan().StartupFanState(productLineC, autoOverClock);
        Fan().SetupControls();
    }

    MainFanControl& Fan() { return *dlg->fan; }

    void WriteConfig(std::string_view text) { WriteAllBytes(temp / std::string(kConfigName), text); }

    std::optional<int> StoredFanKey(const std::string& key) {
        SettingValue setting{"CoustomFanSpeed", key, "", -1};
        if (ConfigFile(folder, kConfigName).ReadValue(setting) != 0 || setting.text == "99")
            return std::nullopt;
        return setting.value;
    }

    std::vector<CoolerWrite> CoolerWrites() const {
        std::vector<CoolerWrite> writes;
        for (const SimJournalEntry& call : sim->Calls(QueryId::SetCoolerLevels)) {
            if (call.status == 0)
                writes.push_back({JournalWord(call.received, 4), JournalWord(call.received, 8)});
        }
        return writes;
    }

    void SetTemperature(double celsius) {
        SimHeat& heat = sim->Model().gpus[0].state.Get<SimHeat>();
        heat.running = true;
        heat.temperatureC = celsius;
        heat.lastMs = SimNowMs(sim->Model());
    }

    std::vector<int> DialBitmaps(int dial) const {
        std::vector<int> bitmaps;
        for (const DrawCall& call : host.Draws(*dlg, dial)) {
            if (call.op == DrawOp::Bitmap) bitmaps.push_back(call.bitmap);
        }
        return bitmaps;
    }

    std::vector<std::string> DialNumbers(int dial) const {
        std::vector<std::string> numbers;
        for (const DrawCall& call : host.Draws(*dlg, dial)) {
            if (call.op == DrawOp::String) numbers.push_back(call.text);
        }
        return numbers;
    }

    void ClearDials() {
        host.ClearDraws(*dlg, MainFanControl::kClockDial);
        host.ClearDraws(*dlg, MainFanControl::kTemperatureDial);
    }

    std::vector<std::string> FanIcons() const {
        std::vector<std::string> icons;
        for (int id : {MainFanControl::kFanAuto, MainFanControl::kFanManual, MainFanControl::kFanCurve}) {
            EXPECT_EQ(dlg->Control(id).iconNormal, dlg->Control(id).iconHover) << id;
            icons.push_back(dlg->Control(id).iconNormal);
        }
        return icons;
    }

    TempFolder temp;
    FixedProgramFolder folder{temp.Path()};
    HeadlessHost host{CORALVANE_SKIN_DIR};
    std::unique_ptr<SimDriver> sim;
    std::unique_ptr<CGpuControl> gpu;
    std::unique_ptr<FanHostDlg> dlg;
};

TEST(DialStepTest, StepsAreTruncatedAndLimited) {
    EXPECT_EQ(CoreClockStep(3000), 19);
    EXPECT_EQ(CoreClockStep(2849), 18);
    EXPECT_EQ(CoreClockStep(149), 0);
    EXPECT_EQ(CoreClockStep(0), 0);
    EXPECT_EQ(CoreClockStep(-300), 0);
    EXPECT_EQ(MemoryClockStep(16000), 31);
    EXPECT_EQ(MemoryClockStep(5005), 10);
    EXPECT_EQ(MemoryClockStep(0), 0);
    EXPECT_EQ(TemperatureStep(0), 0);
    EXPECT_EQ(TemperatureStep(64), 12);
    EXPECT_EQ(TemperatureStep(95), 19);
    EXPECT_EQ(TemperatureStep(4294967291u), 19);
    const std::vector<std::pair<int, int>> fanSteps = {{-5, 0},  {0, 0},   {1, 1},   {4, 1},    {5, 2},
                                                       {50, 11}, {94, 19}, {95, 20}, {100, 20}, {250, 20}};
    for (auto [percent, step] : fanSteps) EXPECT_EQ(FanStep(percent), step) << percent << "%";
}

TEST(DialStepTest, FanPercentFromSpeedReading) {
    struct Case {
        uint32_t reading;
        bool present;
        uint32_t fullSpeed;
        int expected;
    };
    const std::vector<Case> cases = {
        {299, true, 3000, 0},   {300, true, 3000, 10},   {1900, true, 3800, 50},
        {1900, false, 3800, 0}, {3800, true, 3800, 100}, {5000, true, 3800, 100},
        {1000, true, 0, 100},   {3799, true, 3800, 99},  {4000000000u, true, 4000000001u, 99},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FanPercentFromSpeed(c.reading, c.present, c.fullSpeed), c.expected)
            << c.reading << " of " << c.fullSpeed << (c.present ? "" : " (absent)");
    }
}

TEST_F(MainFanControlTest, StartingValuesComeFromTheCoolerAndTheOffsets) {
    Boot("fan_range = 35 90\nfan_manual = 55\n");
    GpuPerfInfo offsets{};
    offsets.graphicsOffset = 100000;
    offsets.memoryOffset = 400000;
    ASSERT_EQ(gpu->WriteClockOffsets(kSelectedGpu, offsets), 0);
    EXPECT_EQ(Fan().ReadStartingValues(), 0);
    EXPECT_EQ(Fan().fanMinLevel, 35);
    EXPECT_EQ(Fan().fanMaxLevel, 90);
    EXPECT_EQ(Fan().fanPercent, 55);
    EXPECT_EQ(Fan().coreClockMhz, 100);
    EXPECT_EQ(Fan().memoryClockMhz, 400);

    offsets.graphicsOffset = -50000;
    Fan().ReadStartingValues(offsets);
    EXPECT_EQ(Fan().coreClockMhz, -50);
}

TEST_F(MainFanControlTest, FailedCoolerReadGivesTheFullRangeAndAStoppedFan) {
    Boot("fan_range = 35 90\nfan_manual = 55\n");
    sim->FailAlways(QueryId::GetCoolerSettings, NvStatus::Error);
    EXPECT_EQ(Fan().ReadStartingValues(), 1);
    EXPECT_EQ(Fan().fanMinLevel, 0);
    EXPECT_EQ(Fan().fanMaxLevel, 100);
    EXPECT_EQ(Fan().fanPercent, 0);
}

TEST_F(MainFanControlTest, StartupFanStateReadsTheStoredModeAndApplies) {
    struct Case {
        std::string name;
        std::string config;
        bool productLineC;
        int autoOverClock;
        int mode;
        int manual;
        std::vector<CoolerWrite> writes;
        std::vector<std::string> icons;
    };
    const std::string stored =
        "[CoustomFanSpeed]\nFanMode=1\nFanSpeed=70\n[Start_OC]\nFanSpeed=45\nFanMode=1\n";
    const std::vector<std::string> manualIcons = {"Fan_Auto.ICO", "Fan_Manual_H.ICO", "Fan_Advance.ICO"};
    const std::vector<std::string> noIcons = {"Fan_Auto.ICO", "Fan_Manual.ICO", "Fan_Advance.ICO"};
    const std::vector<Case> cases = {
        {"no file: no mode", "", true, 0, 99, 99, {}, noIcons},
        {"no FanMode key: no mode", "[CoustomFanSpeed]\nFanSpeed=70\n", true, 0, 99, 70, {}, noIcons},
        {"the fan section", stored, true, 0, 1, 70, {{70, 1}}, manualIcons},
        {"line C ignores the start-up profile", stored, true, 1, 1, 70, {{70, 1}}, manualIcons},
        {"no start-up overclock", stored, false, 0, 1, 70, {{70, 1}}, manualIcons},
        {"the start-up profile", stored, false, 1, 1, 45, {{45, 1}}, manualIcons},
        {"automatic: the driver keeps the current level",
         "[CoustomFanSpeed]\nFanMode=0\n",
         true,
         0,
         0,
         99,
         {{55, 32}},
         {"Fan_Auto_H.ICO", "Fan_Manual.ICO", "Fan_Advance.ICO"}},
        {"curve: nothing sent before a tick",
         "[CoustomFanSpeed]\nFanMode=2\n",
         true,
         0,
         2,
         99,
         {},
         {"Fan_Auto.ICO", "Fan_Manual.ICO", "Fan_Advance_H.ICO"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(temp / std::string(kConfigName));
        if (!c.config.empty()) WriteConfig(c.config);
        Boot("fan_range = 30 100\nfan_manual = 55\n");
        StartUp(c.productLineC, c.autoOverClock);
        EXPECT_EQ(Fan().fanMode, c.mode);
        EXPECT_EQ(Fan().manualFanPercent, c.manual);
        EXPECT_EQ(CoolerWrites(), c.writes);
        EXPECT_EQ(FanIcons(), c.icons);
        if (c.mode == kFanModeManual) {
            EXPECT_EQ(dlg->Control(MainFanControl::kFanSlider).slider.position, c.manual);
            EXPECT_EQ(dlg->Control(MainFanControl::kFanLabel).text, std::to_string(c.manual) + "%");
        }
        if (c.mode == kFanModeCurve) {
            EXPECT_EQ(Fan().fanSegmentCount, 10);
        }
    }
}

TEST_F(MainFanControlTest, WithoutAModeApplyDoesNothing) {
    Boot();
    StartUp();
    ASSERT_EQ(Fan().fanMode, 99);
    EXPECT_TRUE(host.Click(*dlg, MainFanControl::kFanApply));
    EXPECT_TRUE(CoolerWrites().empty());
    EXPECT_FALSE(StoredFanKey("FanMode"));
}

TEST_F(MainFanControlTest, ManualApplySendsTheSliderLevelAndStoresIt) {
    Boot("fan_range = 30 100\n");
    StartUp();
    ASSERT_TRUE(host.Click(*dlg, MainFanControl::kFanManual));
    EXPECT_EQ(FanIcons(), (std::vector<std::string>{"Fan_Auto.ICO", "Fan_Manual_H.ICO", "Fan_Advance.ICO"}));
    ASSERT_TRUE(host.DragSlider(*dlg, MainFanControl::kFanSlider, 70));
    EXPECT_EQ(dlg->Control(MainFanControl::kFanLabel).text, "70%");
    EXPECT_TRUE(CoolerWrites().empty());

    ASSERT_TRUE(host.Click(*dlg, MainFanControl::kFanApply));
    EXPECT_EQ(CoolerWrites(), (std::vector<CoolerWrite>{{70, 1}}));
    EXPECT_EQ(Fan().fanPercent, 70);
    EXPECT_EQ(StoredFanKey("FanMode"), 1);
    EXPECT_EQ(StoredFanKey("FanSpeed"), 70);
    EXPECT_EQ(gpu->ReadFanLevel(), 70);
}

TEST_F(MainFanControlTest, AutomaticApplyHandsTheFanBackAndStoresOnlyTheMode) {
    Boot("fan_range = 30 100\nfan_manual = 60\n");
    StartUp();
    ASSERT_TRUE(host.Click(*dlg, MainFanControl::kFanAuto));
    EXPECT_EQ(FanIcons(), (std::vector<std::string>{"Fan_Auto_H.ICO", "Fan_Manual.ICO", "Fan_Advance.ICO"}));
    ASSERT_TRUE(host.Click(*dlg, MainFanControl::kFanApply));
    EXPECT_EQ(CoolerWrites(), (std::vector<CoolerWrite>{{60, 32}}));
    EXPECT_EQ(StoredFanKey("FanMode"), 0);
    EXPECT_FALSE(StoredFanKey("FanSpeed"));
    EXPECT_EQ(dlg->editorRequests, 0);
}

TEST_F(MainFanControlTest, CurveModeFollowsTheTemperatureOnEveryTick) {
    Boot("fan_range = 40 90\n");
    StartUp();
    Fan().SetFanCurve(DefaultFanCurve(), true);
    EXPECT_EQ(StoredFanKey("FanSpeedX9"), 10);
    EXPECT_EQ(StoredFanKey("FanSpeedY9"), 0);
    ASSERT_TRUE(host.Click(*dlg, MainFanControl::kFanCurve));
    EXPECT_EQ(dlg->editorRequests, 1);
    EXPECT_EQ(FanIcons(), (std::vector<std::string>{"Fan_Auto.ICO", "Fan_Manual.ICO", "Fan_Advance_H.ICO"}));

    struct Tick {
        double temperature;
        std::optional<CoolerWrite> write;
        int segment;
    };
    const std::vector<Tick> ticks = {
        {0, std::nullopt, 0},         // lower bounds are exclusive: no match, nothing sent
        {25, CoolerWrite{40, 1}, 3},  // 30 % raised to the lowest level
        {45, CoolerWrite{50, 1}, 5},   {45, CoolerWrite{50, 1}, 5},  // sent again although unchanged
        {95, CoolerWrite{90, 1}, 10},                                // 100 % limited to the highest level
        {101, CoolerWrite{90, 1}, 10}, {0, CoolerWrite{90, 1}, 10},  // no match keeps the last segment
    };
    for (const Tick& tick : ticks) {
        SCOPED_TRACE(tick.temperature);
        sim->ClearJournal();
        SetTemperature(tick.temperature);
        ASSERT_TRUE(host.FireTimer(*dlg, 2));
        const std::vector<CoolerWrite> writes = CoolerWrites();
        if (tick.write) {
            EXPECT_EQ(writes, std::vector<CoolerWrite>{*tick.write});
        } else {
            EXPECT_TRUE(writes.empty());
        }
        EXPECT_EQ(Fan().currentSegment, tick.segment);
        EXPECT_EQ(Fan().gpuTemperature, static_cast<uint32_t>(tick.temperature));
    }
}

TEST_F(MainFanControlTest, CurveIsFollowedOnlyInCurveModeWithATable) {
    Boot("fan_range = 30 100\n");
    StartUp();
    SetTemperature(45);
    ASSERT_TRUE(host.Click(*dlg, MainFanControl::kFanCurve));
    ASSERT_TRUE(host.FireTimer(*dlg, 2));
    EXPECT_TRUE(CoolerWrites().empty()) << "no step table yet";
    Fan().SetFanCurve(DefaultFanCurve(), false);
    ASSERT_TRUE(host.Click(*dlg, MainFanControl::kFanAuto));
    ASSERT_TRUE(host.FireTimer(*dlg, 2));
    EXPECT_TRUE(CoolerWrites().empty()) << "automatic mode";
    EXPECT_FALSE(StoredFanKey("FanSpeedX0")) << "not persisted";
}

// The editor's Apply replaces levels and steps; a shorter table must not leave the fan on a
// segment it no longer has.
TEST_F(MainFanControlTest, NewCurveKeepsEnabledFlagsAndAValidSegment) {
    Boot("fan_range = 0 100\n");
    StartUp();
    Fan().fanCurve[4].enabled = 0;
    Fan().SetFanCurve(DefaultFanCurve(), false);
    ASSERT_TRUE(host.Click(*dlg, MainFanControl::kFanCurve));
    SetTemperature(97);
    ASSERT_TRUE(host.FireTimer(*dlg, 2));
    ASSERT_EQ(Fan().currentSegment, 10);
    EXPECT_EQ(Fan().fanCurve[4].enabled, 0);
    EXPECT_EQ(Fan().CurveForEditor()[4].enabled, 1);

    FanCurvePoints shorter = DefaultFanCurve();
    for (int i = 2; i < kFanPointCount; ++i) shorter[i].enabled = 0;
    shorter[1].level = 3;
    Fan().SetFanCurve(shorter, true);
    EXPECT_EQ(Fan().fanSegmentCount, 2);
    EXPECT_EQ(Fan().currentSegment, 2);
    EXPECT_EQ(Fan().fanCurve[1].level, 3);
    EXPECT_EQ(StoredFanKey("FanSpeedY1"), 3);
    EXPECT_EQ(StoredFanKey("FanMode"), 2);

    sim->ClearJournal();
    SetTemperature(60);
    ASSERT_TRUE(host.FireTimer(*dlg, 2));
    EXPECT_EQ(CoolerWrites(), (std::vector<CoolerWrite>{{70, 1}}));
}

TEST_F(MainFanControlTest, SliderMovesTheLabelOnlyInManualModeAndOnlyFromTheFanSlider) {
    Boot();
    StartUp();
    dlg->SetItemText(MainFanControl::kFanLabel, "");
    ASSERT_TRUE(host.Click(*dlg, MainFanControl::kFanAuto));
    ASSERT_TRUE(host.DragSlider(*dlg, MainFanControl::kFanSlider, 40));
    EXPECT_EQ(dlg->Control(MainFanControl::kFanLabel).text, "");

    ASSERT_TRUE(host.Click(*dlg, MainFanControl::kFanManual));
    EXPECT_EQ(dlg->Control(MainFanControl::kFanLabel).text, "40%") << "the mode button shows the slider";
    Fan().OnSliderNotify(kMsgSliderMoved, 1011, 12);
    Fan().OnSliderNotify(0x0200, MainFanControl::kFanSlider, 13);
    EXPECT_EQ(dlg->Control(MainFanControl::kFanLabel).text, "40%");
    Fan().OnSliderNotify(kMsgSliderMoving, MainFanControl::kFanSlider, 14);
    EXPECT_EQ(dlg->Control(MainFanControl::kFanLabel).text, "14%");
    ASSERT_TRUE(host.DragSlider(*dlg, MainFanControl::kFanSlider, 85));
    EXPECT_EQ(dlg->Control(MainFanControl::kFanLabel).text, "85%");
    EXPECT_TRUE(CoolerWrites().empty());
}

TEST_F(MainFanControlTest, ClockTimerDrawsTheClockDialAndKeepsNumbersOnFailure) {
    Boot();
    StartUp();
    GpuPerfInfo clocks{};
    ASSERT_EQ(gpu->ReadCurrentClocks(kSelectedGpu, clocks), 0);
    const int core = clocks.graphicsClock / 1000;
    const int memory = clocks.memoryClock / 1000;
    ASSERT_GT(core, 0);

    ASSERT_TRUE(host.FireTimer(*dlg, 1));
    EXPECT_EQ(DialBitmaps(MainFanControl::kClockDial),
              (std::vector<int>{211, 159 + CoreClockStep(core), 179 + MemoryClockStep(memory)}));
    EXPECT_EQ(DialNumbers(MainFanControl::kClockDial),
              (std::vector<std::string>{std::to_string(core), std::to_string(memory)}));
    EXPECT_EQ(Fan().coreClockMhz, core);

    ClearDials();
    sim->FailAlways(QueryId::GetAllClockFrequencies, NvStatus::Error);
    ASSERT_TRUE(host.FireTimer(*dlg, 1));
    EXPECT_EQ(DialBitmaps(MainFanControl::kClockDial), (std::vector<int>{211, 159, 179}));
    EXPECT_EQ(DialNumbers(MainFanControl::kClockDial),
              (std::vector<std::string>{std::to_string(core), std::to_string(memory)}));
}

TEST_F(MainFanControlTest, FanTimerDrawsTemperatureAndFanAndMovesTheSliderOutsideManualMode) {
    Boot("fan_range = 0 100\nfan_manual = 64\n");
    StartUp();
    SetTemperature(72);
    ASSERT_TRUE(host.Click(*dlg, MainFanControl::kFanAuto));
    ASSERT_TRUE(host.FireTimer(*dlg, 2));
    EXPECT_EQ(Fan().fanPercent, 64);
    EXPECT_EQ(dlg->Control(MainFanControl::kFanSlider).slider.position, 64);
    EXPECT_EQ(DialBitmaps(MainFanControl::kTemperatureDial), (std::vector<int>{275, 255 + 14, 234 + 13}));
    EXPECT_EQ(DialNumbers(MainFanControl::kTemperatureDial), (std::vector<std::string>{"72", "64"}));

    // The same level on the next tick leaves the slider alone; a slider moved away is put back.
    const int syncs = host.SyncCount(*dlg, MainFanControl::kFanSlider);
    const int invalidations = host.InvalidateCount(*dlg, MainFanControl::kFanSlider);
    ASSERT_TRUE(host.FireTimer(*dlg, 2));
    EXPECT_EQ(host.SyncCount(*dlg, MainFanControl::kFanSlider), syncs);
    EXPECT_EQ(host.InvalidateCount(*dlg, MainFanControl::kFanSlider), invalidations);
    ASSERT_TRUE(host.DragSlider(*dlg, MainFanControl::kFanSlider, 30));
    ASSERT_TRUE(host.FireTimer(*dlg, 2));
    EXPECT_EQ(dlg->Control(MainFanControl::kFanSlider).slider.position, 64);
    EXPECT_GT(host.InvalidateCount(*dlg, MainFanControl::kFanSlider), invalidations);

    ClearDials();
    ASSERT_TRUE(host.Click(*dlg, MainFanControl::kFanManual));
    ASSERT_TRUE(host.DragSlider(*dlg, MainFanControl::kFanSlider, 20));
    sim->FailAlways(QueryId::GetCoolerSettings, NvStatus::Error);
    sim->FailAlways(QueryId::GetThermalSettings, NvStatus::Error);
    ASSERT_TRUE(host.FireTimer(*dlg, 2));
    EXPECT_EQ(dlg->Control(MainFanControl::kFanSlider).slider.position, 20);
    EXPECT_EQ(DialBitmaps(MainFanControl::kTemperatureDial), (std::vector<int>{275, 255, 234}));
    EXPECT_EQ(DialNumbers(MainFanControl::kTemperatureDial), (std::vector<std::string>{"0", "0"}));
}

TEST_F(MainFanControlTest, FanPercentFromTheSpeedReadingOfTheFirstLayout) {
    struct Case {
        std::string name;
        std::string keys;
        int expected;
    };
    const std::vector<Case> cases = {
        {"299 is too slow to count", "fan_manual = 10\nfan_full_rpm = 2990\n", 0},
        {"300 counts", "fan_manual = 10\nfan_full_rpm = 3000\n", 10},
        {"half speed", "fan_manual = 50\nfan_full_rpm = 3800\n", 50},
        {"full speed", "fan_manual = 100\nfan_full_rpm = 3800\n", 100},
        {"no reading", "fan_manual = 50\nfan_rpm_present = no\n", 0},
        {"only the older layouts", "fan_manual = 50\ncooler_settings = 2 1\n", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Boot("fan_range = 0 100\n" + c.keys, true);
        StartUp();
        sim->ClearJournal();
        ASSERT_TRUE(host.FireTimer(*dlg, 2));
        EXPECT_EQ(Fan().fanPercent, c.expected);
        EXPECT_EQ(sim->CallCount(QueryId::GetCoolerSettings), 1u) << "one read of the first layout per tick";
    }
}

TEST_F(MainFanControlTest, GpuChangeInManualModeShowsTheNewGpusFanLevel) {
    // The driver lists its GPUs last-first: the scenario's first card becomes GPU 1.
    Boot("fan_range = 0 100\nfan_manual = 65\n", false,
         "[gpu]\npci = 10DE 1B80 10DE 119E\nfan_manual = 40\n");
    StartUp();
    gpu->currentGpu = 1;
    Fan().OnGpuChanged();
    EXPECT_EQ(dlg->Control(MainFanControl::kFanSlider).slider.position, 0) << "not in manual mode";

    ASSERT_TRUE(host.Click(*dlg, MainFanControl::kFanManual));
    Fan().OnGpuChanged();
    EXPECT_EQ(Fan().fanPercent, 65);
    EXPECT_EQ(dlg->Control(MainFanControl::kFanSlider).slider.position, 65);
    EXPECT_EQ(dlg->Control(MainFanControl::kFanLabel).text, "65%");
}

TEST_F(MainFanControlTest, ControlsArePlacedAndSkinned) {
    Boot();
    StartUp();
    EXPECT_EQ(dlg->Control(MainFanControl::kClockDial).rect, (Rect{38, 100, 286, 228}));
    EXPECT_EQ(dlg->Control(MainFanControl::kTemperatureDial).rect, (Rect{678, 100, 286, 228}));
    const SliderState& slider = dlg->Control(MainFanControl::kFanSlider).slider;
    EXPECT_EQ(slider.min, 0);
    EXPECT_EQ(slider.max, 100);
    EXPECT_EQ(slider.channelBitmap, 276);
    EXPECT_EQ(slider.activeChannelBitmap, 277);
    EXPECT_EQ(slider.thumbBitmap, 293);
    EXPECT_EQ(slider.activeThumbBitmap, 292);
    const ControlState& label = dlg->Control(MainFanControl::kFanLabel);
    EXPECT_EQ(label.rect, (Rect{810, 327, 25, 10}));
    EXPECT_EQ(label.font.face, "DINPro");
    EXPECT_EQ(label.font.height, -12);
    EXPECT_EQ(label.textColor, Rgb(255, 255, 1));
    const std::vector<std::pair<int, int>> buttons = {{1135, 738}, {1136, 796}, {1134, 854}, {1137, 912}};
    for (auto [id, left] : buttons) EXPECT_EQ(dlg->Control(id).rect, (Rect{left, 397, 56, 32})) << id;
    EXPECT_EQ(dlg->Control(MainFanControl::kFanApply).iconNormal, "Fan_Apply.ICO");
    EXPECT_EQ(dlg->Control(MainFanControl::kFanApply).iconHover, "Fan_Apply_H.ICO");
    auto* dial = dlg->ControlAs<CMeter>(MainFanControl::kClockDial);
    ASSERT_NE(dial, nullptr);
    EXPECT_EQ(dial->MeterFont(), (FontSpec{"UniDreamLED", 0, 160, 0}));
    EXPECT_EQ(dial->transparentColour, Rgb(77, 0, 85));
    EXPECT_EQ(dial->upperY, 125);
    EXPECT_EQ(dial->lowerY, 150);
}

}  // namespace
