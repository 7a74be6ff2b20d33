#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/CSettingDlg.h"
#include "main_window_fixture.h"

namespace {

using Dlg = CSettingDlg;

class FakeAutorunStore : public AutorunStore {
public:
    long SetAutorun() override {
        ++sets;
        if (setStatus == 0) set = true;
        return setStatus;
    }
    long RemoveAutorun() override {
        ++removes;
        set = false;
        return 0;
    }
    int IsAutorunSet() override { return set ? 0 : 2; }

    bool set = false;
    long setStatus = 0;
    int sets = 0;
    int removes = 0;
};

class SettingDlgTest : public MainWindowTest {
protected:
    void TearDown() override {
        settings.reset();
        MainWindowTest::TearDown();
    }

    // The main window with the settings window registered, opened by its button.
    Dlg& Open(LightingKind kind = LightingNone, uint8_t layout = 0xFF) {
        Start(kind, layout);
        settings = std::make_unique<Dlg>(*dlg, folder, autorun);
        dlg->AttachSidePanel(*settings);
        EXPECT_TRUE(host.Click(*dlg, CCoralvaneDlg::kSettingButton));
        EXPECT_TRUE(settings->IsWindowCreated());
        return *settings;
    }

    std::string ConfigName() const { return ConfigFileNameForDevice(0x1B80); }
    std::string Config() const { return ReadAllBytes(dir / ConfigName()); }
    int Stored(const char* section, const char* key) {
        SettingValue value{section, key, {}, -1};
        EXPECT_EQ(ConfigFile(folder, ConfigName()).ReadValue(value), 0);
        return value.value;
    }
    bool Checked(int id) const { return settings->Control(id).iconNormal == "Setting_Check_H.ico"; }

    FakeAutorunStore autorun;
    std::unique_ptr<Dlg> settings;
};

TEST_F(SettingDlgTest, OpensWithTheStoredStateAndTheAutorunEntryDecidingRun) {
    WriteConfig(
        {{"StartupMinimize", 1}, {"AutoOverClock", 0}, {"Top", 1}, {"Transparence", 1}, {"TransPercent", 6}});
    // The file says autorun is off, the entry says on: the entry wins.
    autorun.set = true;
    Dlg& s = Open();

    EXPECT_EQ(s.Window().rect.width, 350);
    EXPECT_EQ(s.Window().rect.height, 445);
    EXPECT_EQ(s.Window().backgroundBitmap, Dlg::kBitmapLineC);
    EXPECT_TRUE(Checked(Dlg::kRunId));
    EXPECT_TRUE(Checked(Dlg::kMinId));
    EXPECT_FALSE(Checked(Dlg::kOcId));
    EXPECT_TRUE(Checked(Dlg::kTranId));
    EXPECT_FALSE(s.Control(Dlg::kTopId).visible) << "no always-on-top on the C line";
    EXPECT_EQ(s.Control(Dlg::kRunId).rect, (Rect{56, 161, 12, 12}));
    EXPECT_EQ(s.Control(Dlg::kTranId).rect, (Rect{56, 261, 12, 12}));
    EXPECT_TRUE(s.Control(Dlg::kPercentList).visible);
    EXPECT_EQ(s.Control(Dlg::kPercentList).items.size(), 10u);
    EXPECT_EQ(s.Control(Dlg::kPercentList).text, "70%");
    EXPECT_EQ(host.Alpha(s), 70 * 255 / 100);
    EXPECT_TRUE(host.ModalRuns().empty());
}

TEST_F(SettingDlgTest, ThirtyPercentStoresIndexTwoAndMakesBothWindowsThirtyPercentOpaque) {
    WriteConfig({});
    Dlg& s = Open();
    EXPECT_FALSE(s.Control(Dlg::kPercentList).visible);
    ASSERT_TRUE(host.Click(s, Dlg::kTranId));
    ASSERT_TRUE(host.SelectItem(s, Dlg::kPercentList, 7));
    EXPECT_EQ(s.Control(Dlg::kPercentList).text, "30%");

    ASSERT_TRUE(host.Click(s, Dlg::kApplyId));

    EXPECT_EQ(Stored("Coralvane", "Transparence"), 1);
    EXPECT_EQ(Stored("Coralvane", "TransPercent"), 2);
    EXPECT_EQ(host.Alpha(s), 76);
    EXPECT_EQ(host.Alpha(*dlg), 76);
    EXPECT_EQ(dlg->Settings().transPercent, 2);
}

TEST_F(SettingDlgTest, TranslucencyOffMakesEverythingOpaqueAndKeepsTheStoredPercentage) {
    WriteConfig({{"Transparence", 1}, {"TransPercent", 4}});
    Dlg& s = Open();
    ASSERT_EQ(host.Alpha(*dlg), 50 * 255 / 100);
    ASSERT_TRUE(host.Click(s, Dlg::kTranId));
    EXPECT_FALSE(s.Control(Dlg::kPercentList).visible);
    ASSERT_TRUE(host.Click(s, Dlg::kApplyId));

    EXPECT_EQ(Stored("Coralvane", "Transparence"), 0);
    EXPECT_EQ(Stored("Coralvane", "TransPercent"), 4);
    EXPECT_EQ(host.Alpha(s), -1);
    EXPECT_EQ(host.Alpha(*dlg), -1);
    EXPECT_EQ(dlg->Settings().transPercent, 9);
}

TEST_F(SettingDlgTest, PercentageOutsideTheListSelectsNothingAndStaysOpaque) {
    WriteConfig({{"Transparence", 1}, {"TransPercent", 12}});
    Dlg& s = Open();
    EXPECT_EQ(s.Control(Dlg::kPercentList).selection, -1);
    EXPECT_EQ(host.Alpha(s), -1);
    EXPECT_EQ(host.Alpha(*dlg), -1);

    ASSERT_TRUE(host.Click(s, Dlg::kApplyId));
    EXPECT_EQ(host.Alpha(s), -1);
    EXPECT_EQ(host.Alpha(*dlg), -1);
}

TEST_F(SettingDlgTest, DefaultStoresNothingUntilApplyThenAutorunOnAndTheRestOff) {
    WriteConfig({{"StartupMinimize", 1}, {"AutoOverClock", 1}, {"Transparence", 1}, {"TransPercent", 5}});
    Dlg& s = Open();
    const std::string before = Config();
    ASSERT_TRUE(host.Click(s, Dlg::kDefaultId));
    EXPECT_TRUE(Checked(Dlg::kRunId));
    for (int id : {Dlg::kMinId, Dlg::kOcId, Dlg::kTranId}) EXPECT_FALSE(Checked(id)) << id;
    EXPECT_FALSE(s.Control(Dlg::kPercentList).visible);
    ASSERT_TRUE(host.Click(s, Dlg::kCloseId));
    EXPECT_FALSE(s.Window().visible);
    EXPECT_EQ(dlg->OpenSidePanelId(), kSideNone);
    EXPECT_EQ(Config(), before);
    EXPECT_EQ(autorun.sets + autorun.removes, 0);

    // Reopened, it shows the states as last toggled.
    ASSERT_TRUE(host.Click(*dlg, CCoralvaneDlg::kSettingButton));
    EXPECT_FALSE(Checked(Dlg::kMinId));
    ASSERT_TRUE(host.Click(s, Dlg::kApplyId));
    EXPECT_EQ(autorun.sets, 1);
    EXPECT_EQ(Stored("Windows Startup", "AutoRun"), 1);
    EXPECT_EQ(Stored("Coralvane", "StartupMinimize"), 0);
    EXPECT_EQ(Stored("Coralvane", "AutoOverClock"), 0);
    EXPECT_EQ(Stored("Coralvane", "Transparence"), 0);
    EXPECT_EQ(Stored("Coralvane", "TransPercent"), 5);
    EXPECT_EQ(Stored("Coralvane", "Top"), 0) << "left alone on the C line";
    EXPECT_TRUE(host.ModalRuns().empty());
}

TEST_F(SettingDlgTest, FailedAutorunStoresZeroAndUnchecksRun) {
    WriteConfig({});
    autorun.setStatus = 5;
    Dlg& s = Open();
    ASSERT_FALSE(Checked(Dlg::kRunId));
    ASSERT_TRUE(host.Click(s, Dlg::kRunId));
    ASSERT_TRUE(Checked(Dlg::kRunId));
    ASSERT_TRUE(host.Click(s, Dlg::kApplyId));

    EXPECT_EQ(autorun.sets, 1);
    EXPECT_EQ(Stored("Windows Startup", "AutoRun"), 0);
    EXPECT_FALSE(Checked(Dlg::kRunId));
    EXPECT_EQ(s.RunChecked(), 0);
    EXPECT_TRUE(host.ModalRuns().empty()) << "a failed registration shows as the unchecked box only";
}

TEST_F(SettingDlgTest, RunOffRemovesTheEntry) {
    WriteConfig({});
    autorun.set = true;
    Dlg& s = Open();
    ASSERT_TRUE(host.Click(s, Dlg::kRunId));
    ASSERT_TRUE(host.Click(s, Dlg::kApplyId));
    EXPECT_EQ(autorun.removes, 1);
    EXPECT_FALSE(autorun.set);
    EXPECT_EQ(Stored("Windows Startup", "AutoRun"), 0);
}

TEST_F(SettingDlgTest, LineEShowsAlwaysOnTopAndApplyPlacesTheMainWindow) {
    WriteConfig({});
    Dlg& s = Open(LightingZone, 1);
    ASSERT_FALSE(dlg->ProductLineC());
    EXPECT_EQ(s.Window().backgroundBitmap, Dlg::kBitmapLineE);
    EXPECT_TRUE(s.Control(Dlg::kTopId).visible);
    EXPECT_EQ(s.Control(Dlg::kTopId).rect, (Rect{56, 276, 12, 12}));
    EXPECT_EQ(s.Control(Dlg::kRunId).rect, (Rect{56, 142, 12, 12}));
    EXPECT_EQ(s.Control(Dlg::kPercentList).rect, (Rect{200, 243, 100, 15}));

    ASSERT_TRUE(host.Click(s, Dlg::kTopId));
    ASSERT_TRUE(host.Click(s, Dlg::kApplyId));
    EXPECT_EQ(Stored("Coralvane", "Top"), 1);
    EXPECT_TRUE(dlg->Window().topmost);

    ASSERT_TRUE(host.Click(s, Dlg::kDefaultId));
    EXPECT_FALSE(Checked(Dlg::kTopId));
    ASSERT_TRUE(host.Click(s, Dlg::kApplyId));
    EXPECT_EQ(Stored("Coralvane", "Top"), 0);
    EXPECT_FALSE(dlg->Window().topmost);
    EXPECT_EQ(dlg->Window().rect.width, 1000);
}

TEST_F(SettingDlgTest, UnreadableFileReportsEveryReadAndWriteAndGoesOn) {
    WriteConfig({});
    Start();
    // The file becomes a folder after the start-up read: every later open fails.
    std::filesystem::remove(dir / ConfigName());
    std::filesystem::create_directory(dir / ConfigName());
    autorun.set = true;
    settings = std::make_unique<Dlg>(*dlg, folder, autorun);
    dlg->AttachSidePanel(*settings);
    // OK on each report: on this line they come in the question layout, which has no Close.
    for (int i = 0; i < 4; ++i) host.AnswerModal(kIdOk);
    ASSERT_TRUE(host.Click(*dlg, CCoralvaneDlg::kSettingButton));
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"自动运行文件失败！", "读取自动最小化文件失败！",
                                                        "读取自动超频文件失败！", "读取置顶文件失败！"}));
    EXPECT_TRUE(Checked(Dlg::kRunId)) << "the entry still decides";
    EXPECT_EQ(host.ModalRuns()[0].Visible(CMsgDlg::kNoId), true) << "question layout on the C line";

    ASSERT_TRUE(host.Click(*settings, Dlg::kMinId));
    for (int i = 0; i < 4; ++i) host.AnswerModal(kIdOk);
    ASSERT_TRUE(host.Click(*settings, Dlg::kApplyId));
    const std::vector<std::string> texts = MessageTexts();
    EXPECT_EQ(std::vector<std::string>(texts.begin() + 4, texts.end()),
              (std::vector<std::string>{"无法保存自动运行文件！", "保存设置到cfg文件失败！",
                                        "取消设置恢复频率文件失败！", "设置透明度失败！"}));
    EXPECT_EQ(autorun.sets, 1) << "the entry is still registered";
}

TEST_F(SettingDlgTest, EnterAndEscapeNeitherApplyNorClose) {
    WriteConfig({});
    Dlg& s = Open();
    const std::string before = Config();
    host.PressKey(s, Key::Enter);
    host.PressKey(s, Key::Escape);
    EXPECT_TRUE(s.Window().visible);
    EXPECT_EQ(Config(), before);
}

}  // namespace
