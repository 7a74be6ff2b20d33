#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/CMsgDlg.h"
#include "config_test_support.h"
#include "gpu/CGpuControl.h"
#include "gpu/NvQueryIds.h"
#include "monitor/CMonitorDlg.h"
#include "monitor/CPlot.h"
#include "sim/SimDriver.h"
#include "sim/SimHeat.h"
#include "sim/SimTime.h"
#include "sim/SimScenario.h"
#include "support/FakeClock.h"
#include "ui/HeadlessHost.h"

namespace {

using Dlg = CMonitorDlg;

// A card whose clocks stand at the top of its graphics range, with time frozen.
constexpr const char* kCard =
    "[driver]\nversion = 41130\ntime = frozen\n"
    "[gpu]\npci = 10DE 1B80 10DE 119E\nname = First\n"
    "clocks_base = 1911000 5005000\nclocks_boost = 1911000 5005000\nload = 40 20\ntemperature_c = 70\n"
    "[gpu]\npci = 10DE 1B06 10DE 119E\nname = Second\np0_graphics = range 139000 2500000\n"
    "clocks_base = 1911000 5005000\nclocks_boost = 1911000 5005000\n";

SimScenario Card() {
    SimScenario scenario;
    std::string error;
    EXPECT_TRUE(ParseScenario(kCard, scenario, error)) << error;
    return scenario;
}

class MonitorDlgTest : public ::testing::Test {
protected:
    void Open(bool voltageAsPercent = false, bool productLineC = true) {
        ASSERT_EQ(gpu.EnumGpus(), 0);
        // The program lists the driver's GPUs last first.
        gpu.currentGpu = gpu.gpuCount - 1;
        dlg = std::make_unique<Dlg>(host, gpu, 1, voltageAsPercent, productLineC);
        ASSERT_EQ(dlg->Create(), 0);
    }
    std::string Text(int id) const { return dlg->GetItemText(id); }
    const rlcuv::PlotSample& Newest(int chart) {
        return dlg->ControlAs<rlcuv::CPlot>(Dlg::kIds[size_t(chart)].chart)->Series().at(0).samples.back();
    }
    void Tick() { ASSERT_TRUE(host.FireTimer(*dlg, Dlg::kSampleTimer)); }

    SimDriver sim{Card()};
    HeadlessHost host{CORALVANE_SKIN_DIR};
    CGpuControl gpu{sim.QueryInterface()};
    std::unique_ptr<Dlg> dlg;
};

TEST_F(MonitorDlgTest, OpensWithItsRangesLayoutAndTimer) {
    Open();
    EXPECT_EQ(dlg->Window().rect.GetSize(), (Size{650, 445}));
    EXPECT_EQ(dlg->Window().backgroundBitmap, 286);
    EXPECT_EQ(host.TimerInterval(*dlg, Dlg::kSampleTimer), 500u);
    const char* tops[] = {"3822", "10010", "1600", "120", "100", "100"};
    for (int i = 0; i < Dlg::kChartCount; ++i) {
        EXPECT_EQ(Text(Dlg::kIds[size_t(i)].top), tops[i]) << i;
        EXPECT_EQ(Text(Dlg::kIds[size_t(i)].bottom), "0") << i;
        const rlcuv::CPlot* plot = dlg->ControlAs<rlcuv::CPlot>(Dlg::kIds[size_t(i)].chart);
        ASSERT_NE(plot, nullptr);
        EXPECT_EQ(plot->Series().at(0).name, Dlg::kSeriesNames[size_t(i)]);
        EXPECT_EQ(plot->Series().at(0).Count(), 221);
        EXPECT_EQ(plot->Series().at(0).penWidth, i == Dlg::kGpuLoad ? 1 : 0);
        EXPECT_EQ(plot->gridColour, Rgb(0, 84, 107));
        EXPECT_EQ(plot->scrollIntervalMs, rlcuv::CPlot::kNoScrolling);
    }
    EXPECT_EQ(dlg->Control(1153).rect, (Rect{58, 80, 220, 82}));
    EXPECT_EQ(dlg->Control(1160).rect, (Rect{579, 115, 40, 15}));
    EXPECT_EQ(dlg->Control(1173).rect, (Rect{358, 320, 220, 82}));
    EXPECT_EQ(Text(1180), "Gpu Temperature(℃)");
    EXPECT_EQ(dlg->Control(1180).font, (FontSpec{"DINPro", -14, 0, 0}));
    EXPECT_EQ(dlg->Control(1156).font, (FontSpec{"DINPro", -13, 0, 0}));
    EXPECT_EQ(dlg->Control(Dlg::kCloseButton).iconNormal, "Close.ico");
}

TEST_F(MonitorDlgTest, EachTickChartsTheSixReadings) {
    Open();
    Tick();
    const int currents[] = {1911, 5005, 1043, 70, 40, 20};
    const int percents[] = {50, 50, 65, 58, 40, 20};
    for (int i = 0; i < Dlg::kChartCount; ++i) {
        EXPECT_EQ(dlg->Reading(i).current, currents[i]) << i;
        EXPECT_EQ(Newest(i).value, percents[i]) << i;
        EXPECT_EQ(Newest(i).raw, currents[i]) << i;
        EXPECT_EQ(Text(Dlg::kIds[size_t(i)].current), std::to_string(currents[i])) << i;
    }
    EXPECT_EQ(dlg->LastSample().coreClockMhz, 1911);
    EXPECT_EQ(dlg->LastSample().memoryLoad, 20);

    // Unchanged values leave their labels alone.
    const int syncs = host.SyncCount(*dlg, 1156);
    Tick();
    EXPECT_EQ(host.SyncCount(*dlg, 1156), syncs);
}

TEST_F(MonitorDlgTest, FailedReadsFollowTheirRules) {
    Open();
    Tick();
    // A failed clock read skips the whole tick.
    sim.FailAlways(QueryId::GetAllClockFrequencies, NvStatus::Error);
    const rlcuv::PlotSample before = Newest(Dlg::kGpuLoad);
    const auto& series = dlg->ControlAs<rlcuv::CPlot>(1169)->Series().at(0).samples;
    ASSERT_EQ(series[219].value, -1);
    Tick();
    EXPECT_EQ(series[219].value, -1) << "no point added";
    sim.Model().failures.clear();

    // Temperature keeps its value; voltage and loads become 0.
    sim.FailAlways(QueryId::GetThermalSettings, NvStatus::Error);
    sim.FailAlways(QueryId::GetVoltageStatus, NvStatus::Error);
    sim.FailAlways(QueryId::GetDynamicPstatesInfoEx, NvStatus::Error);
    Tick();
    EXPECT_EQ(dlg->Reading(Dlg::kTemperature).current, 70);
    EXPECT_EQ(dlg->Reading(Dlg::kCoreVoltage).current, 0);
    EXPECT_EQ(dlg->Reading(Dlg::kGpuLoad).current, 0);
    EXPECT_EQ(Text(1172), "0");
    EXPECT_EQ(before.value, 40);
}

TEST_F(MonitorDlgTest, HotReadingIsZeroAndAFailedRangeReadGivesZeroRanges) {
    sim.FailAlways(QueryId::GetPstates20, NvStatus::Error);
    Open();
    EXPECT_EQ(Text(1155), "0");
    EXPECT_EQ(Text(1159), "0");
    SimHeat& heat = sim.Model().gpus[0].state.Get<SimHeat>();
    heat.running = true;
    heat.temperatureC = 121;
    heat.lastMs = SimNowMs(sim.Model());
    Tick();
    EXPECT_EQ(Newest(Dlg::kCoreClock).value, 0) << "an empty range plots at 0";
    EXPECT_EQ(dlg->Reading(Dlg::kTemperature).current, 0) << "above 120 °C counts as 0";
    EXPECT_EQ(Text(1168), "0");
    EXPECT_EQ(RangePercent(121, 0, 0), 0);
    EXPECT_EQ(RangePercent(1911, 0, 3822), 50);
    EXPECT_EQ(RangePercent(std::numeric_limits<int>::max(), 0, 1), std::numeric_limits<int>::max())
        << "clamped, not wrapped";
    EXPECT_EQ(ClampToInt(int64_t(1) << 40), std::numeric_limits<int>::max());
}

TEST_F(MonitorDlgTest, VoltageAsBoostLeavesTheVoltageChartEmptyAndGrey) {
    Open(true, false);
    Tick();
    EXPECT_EQ(Newest(Dlg::kCoreVoltage).value, -1);
    EXPECT_EQ(Text(1164), "1043");
    EXPECT_EQ(dlg->ControlAs<rlcuv::CPlot>(1161)->gridColour, Rgb(64, 64, 64));
    EXPECT_EQ(dlg->Control(1164).textColor, Rgb(64, 64, 64));
    EXPECT_EQ(Text(1182), "GPU Core Clock(MHz)");
}

TEST_F(MonitorDlgTest, AnotherGpuGetsItsOwnRangesAndTheHistoryStays) {
    Open();
    Tick();
    gpu.currentGpu = 0;
    dlg->OnGpuChanged();
    EXPECT_EQ(Text(1155), "5000");
    EXPECT_EQ(Newest(Dlg::kCoreClock).value, 50) << "history kept";
    Tick();
    EXPECT_EQ(Newest(Dlg::kCoreClock).value, 38) << "1911 of 5000";
}

// The charts' menu: records what it showed and answers with a scripted command.
class FakePopupMenu : public PopupMenu {
public:
    int Track(CDialog&, Point at, const std::vector<PopupMenuItem>& items) override {
        points.push_back(at);
        shown.push_back(items);
        return answer;
    }
    int answer = 0;
    std::vector<Point> points;
    std::vector<std::vector<PopupMenuItem>> shown;
};

class SaveAnswer : public FileDialogs {
public:
    bool ChooseSaveFile(const FileDialogRequest& request, std::filesystem::path& chosen) override {
        requests.push_back(request);
        chosen = answer;
        return !answer.empty();
    }
    bool ChooseOpenFile(const FileDialogRequest&, std::filesystem::path&) override { return false; }
    std::filesystem::path answer;  // empty: the user cancels
    std::vector<FileDialogRequest> requests;
};

// A file whose writes fail once `goodWrites` went through.
class FailingFile : public LineFile {
public:
    explicit FailingFile(int goodWrites) : left(goodWrites) {}
    bool Open(const std::filesystem::path&) override { return true; }
    bool Append(std::string_view) override {
        ++attempts;
        return left-- > 0;
    }
    void Close() override {}
    uint64_t SizeAtOpen() const override { return 0; }
    char LastByte() const override { return '\n'; }
    int left;
    int attempts = 0;
};

class MonitorLogTest : public MonitorDlgTest {
protected:
    void OpenWithLog(std::function<std::unique_ptr<LineFile>()> openFile = {}) {
        Open();
        dlg->SetLogServices({&clock, &menu, &dialogs, std::move(openFile)});
    }
    // A right click on the temperature chart, 10 pixels into it.
    void RightClickChart() {
        host.MouseDown(*dlg, {368, 210}, MouseButton::Right);
        host.MouseUp(*dlg, {368, 210}, MouseButton::Right);
    }
    std::vector<std::string> Lines() {
        std::vector<std::string> lines;
        std::istringstream in(ReadAllBytes(dialogs.answer));
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const ModalRecord& run : host.ModalRuns()) texts.push_back(run.Text(CMsgDlg::kTextId));
        return texts;
    }

    TempFolder dir;
    FakeClock clock;
    FakePopupMenu menu;
    SaveAnswer dialogs;
};

TEST_F(MonitorLogTest, ChartMenuStartsALogOfEveryTickAndStopsIt) {
    OpenWithLog();
    dialogs.answer = dir / "sensors 100% %TEMP%.csv";
    WriteAllBytes(dialogs.answer, "older lines\r\n");

    menu.answer = 0;  // dismissed
    RightClickChart();
    ASSERT_EQ(menu.shown.size(), 1u);
    EXPECT_EQ(menu.points.at(0), (Point{368, 210})) << "the menu opens where the click was";
    ASSERT_EQ(menu.shown[0].size(), 1u);
    EXPECT_EQ(menu.shown[0][0].command, Dlg::kMenuStartLog);
    EXPECT_EQ(menu.shown[0][0].text, "开始记录日志(&L)...");
    EXPECT_TRUE(dialogs.requests.empty());

    menu.answer = Dlg::kMenuStartLog;
    RightClickChart();
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].defaultExtension, "csv");
    EXPECT_FALSE(dialogs.requests[0].askBeforeReplacing) << "the log appends; nothing is replaced";
    EXPECT_TRUE(dlg->Logging());
    Tick();
    clock.now += 500;
    Tick();
    const std::vector<std::string> lines = Lines();
    ASSERT_EQ(lines.size(), 3u) << "the earlier lines, then one per tick";
    EXPECT_EQ(lines[0], "older lines\r") << "a file with lines gets no second header";
    const std::string values = ",1911,5005," + std::to_string(dlg->Reading(Dlg::kCoreVoltage).current) + ",70,40,20\r";
    for (int i : {1, 2}) {
        ASSERT_EQ(lines[size_t(i)].size(), 24 + values.size()) << lines[size_t(i)];
        EXPECT_EQ(lines[size_t(i)].substr(24), values);
        EXPECT_EQ(lines[size_t(i)][10], 'T');
        EXPECT_EQ(lines[size_t(i)][23], 'Z');
    }
    EXPECT_EQ(std::stoi(lines[2].substr(20, 3)), (std::stoi(lines[1].substr(20, 3)) + 500) % 1000)
        << "the second line is half a second after the first";

    menu.answer = Dlg::kMenuStopLog;
    RightClickChart();
    EXPECT_EQ(menu.shown.back().at(0).command, Dlg::kMenuStopLog);
    EXPECT_EQ(menu.shown.back().at(0).text, "停止记录日志(&S)");
    EXPECT_FALSE(dlg->Logging());
    Tick();
    EXPECT_EQ(Lines().size(), 3u) << "a stopped log takes no more lines";
    EXPECT_TRUE(Messages().empty());
}

TEST_F(MonitorLogTest, LogThatCannotBeWrittenSaysSoOnceAndStops) {
    // A folder cannot be opened as the log.
    OpenWithLog();
    dialogs.answer = dir.Path();
    menu.answer = Dlg::kMenuStartLog;
    host.AnswerModal(2);
    RightClickChart();
    EXPECT_FALSE(dlg->Logging());
    EXPECT_EQ(Messages(), std::vector<std::string>{"无法写入日志文件！"});

    // A disk that fills after the header and one line: one message, nothing more tried.
    int opened = 0;
    FailingFile* file = nullptr;
    dlg.reset();
    OpenWithLog([&]() -> std::unique_ptr<LineFile> {
        ++opened;
        auto made = std::make_unique<FailingFile>(2);
        file = made.get();
        return made;
    });
    dialogs.answer = dir / "full.csv";
    RightClickChart();
    ASSERT_EQ(opened, 1);
    ASSERT_TRUE(dlg->Logging());
    Tick();
    EXPECT_TRUE(dlg->Logging());
    host.AnswerModal(2);
    Tick();
    EXPECT_FALSE(dlg->Logging());
    Tick();
    Tick();
    EXPECT_EQ(file->attempts, 3);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"无法写入日志文件！", "写入日志文件失败，日志已停止！"}));
}

}  // namespace
