#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/ConfigFile.h"
#include "app/StartupSettings.h"
#include "config_test_support.h"

namespace {

std::string ProfileSectionText(const char* section) {
    std::string text = std::string("[") + section + "]\r\n";
    for (std::string_view key : kProfileKeys) text += std::string(key) + "=0\r\n";
    return text + "\r\n";
}

// The whole first-run file for device 0x1C02, byte for byte.
std::string FirstRunText(int autoRun) {
    std::string text =
        "[Coralvane]\r\n"
        "GPUDID=1C02\r\n"
        "Initialized=1\r\n"
        "Synchronize=1\r\n"
        "AutoOverClock=0\r\n"
        "StartupMinimize=0\r\n"
        "Transparence=0\r\n"
        "TransPercent=0\r\n"
        "FanAdvanced=0\r\n"
        "Top=0\r\n"
        "KeyOC=0\r\n"
        "[Windows Startup]\r\n"
        "AutoRun=" +
        std::to_string(autoRun) +
        "\r\n"
        "\r\n";
    for (const char* section : {"Default", "Start_OC", "Profile1", "Profile2", "Profile3"}) {
        text += ProfileSectionText(section);
    }
    text += "[CoustomFanSpeed]\r\nFanMode=0\r\nFanSpeed=0\r\n";
    for (int i = 0; i < 10; ++i) {
        char lines[64];
        std::snprintf(lines, sizeof(lines), "FanSpeedX%d=%d\r\nFanSpeedY%d=%d\r\n", i, i + 1, i, 9 - i);
        text += lines;
    }
    return text;
}

class StartupSettingsTest : public ::testing::Test {
protected:
    StartupSettings Read() {
        FirstRunHooks hooks;
        hooks.setAutorun = [this] {
            ++autorunCalls;
            return autorunResult;
        };
        hooks.showMessage = [this](std::string_view text) { messages.emplace_back(text); };
        return ReadStartupSettings(folder, name, 0x1C02, hooks);
    }
    std::string Text() const { return ReadAllBytes(dir / name); }

    TempFolder dir;
    FixedProgramFolder folder{dir.Path()};
    std::string name = ConfigFileNameForDevice(0x1C02);
    int autorunResult = 0;
    int autorunCalls = 0;
    std::vector<std::string> messages;
};

TEST_F(StartupSettingsTest, FirstRunWritesTheWholeFileAndReturnsConstructionValues) {
    const StartupSettings settings = Read();
    EXPECT_EQ(Text(), FirstRunText(1));
    EXPECT_EQ(autorunCalls, 1);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(settings.initialized, 0) << "tells the main window to write the Default profile";
    EXPECT_EQ(settings.top, 0);
    EXPECT_EQ(settings.keyOc, 0);
    EXPECT_EQ(settings.fanSteps[0], 1);
    EXPECT_EQ(settings.fanLevels[9], 0);

    const StartupSettings next = Read();
    EXPECT_EQ(next.initialized, 1);
    EXPECT_EQ(autorunCalls, 1) << "the first run does not repeat";
    EXPECT_EQ(next.synchronize, 1);
    EXPECT_EQ(Text(), FirstRunText(1)) << "the start-up read writes nothing";
}

TEST_F(StartupSettingsTest, FailedAutorunRegistrationIsStoredAsZero) {
    autorunResult = 5;
    Read();
    EXPECT_EQ(Text(), FirstRunText(0));
    EXPECT_TRUE(messages.empty());
}

TEST_F(StartupSettingsTest, UnwritableFolderReportsTheAutorunSettingOnce) {
    WriteAllBytes(dir / "plain", "x");
    FixedProgramFolder notAFolder(dir / "plain");
    FirstRunHooks hooks;
    hooks.setAutorun = [this] {
        ++autorunCalls;
        return 0;
    };
    hooks.showMessage = [this](std::string_view text) { messages.emplace_back(text); };
    const StartupSettings settings = ReadStartupSettings(notAFolder, name, 0x1C02, hooks);
    EXPECT_EQ(autorunCalls, 1);
    EXPECT_EQ(messages, std::vector<std::string>{std::string(kAutorunNotSavedText)});
    EXPECT_EQ(settings.initialized, 0);
}

TEST_F(StartupSettingsTest, AFirstRunCutShortRunsAgainAtTheNextStart) {
    // The file as a crash in the middle of the first run (while registering for autorun) leaves it.
    std::string cutShort;
    FirstRunHooks hooks;
    hooks.setAutorun = [&] {
        cutShort = Text();
        return 0;
    };
    ReadStartupSettings(folder, name, 0x1C02, hooks);
    ASSERT_NE(cutShort.find("Initialized=0\r\n"), std::string::npos) << cutShort;
    WriteAllBytes(dir / name, cutShort);

    const StartupSettings settings = Read();
    EXPECT_EQ(autorunCalls, 1) << "the first run ran again";
    EXPECT_EQ(settings.initialized, 0);
    EXPECT_NE(Text().find("Initialized=1\r\n"), std::string::npos);
    EXPECT_NE(Text().find("FanSpeedY9=0\r\n"), std::string::npos);
}

TEST_F(StartupSettingsTest, InitializedOtherThanOneRerunsTheFirstRun) {
    Read();
    std::string edited = Text();
    auto replace = [&](const std::string& from, const std::string& to) {
        edited.replace(edited.find(from), from.size(), to);
    };
    replace("Initialized=1", "Initialized=2");
    replace("Top=0", "Top=1");
    replace("[Profile1]\r\nCoreOffset=0", "[Profile1]\r\nCoreOffset=50");
    replace("FanSpeedX3=4", "FanSpeedX3=7");
    WriteAllBytes(dir / name, edited);

    const StartupSettings settings = Read();
    EXPECT_EQ(settings.initialized, 0);
    EXPECT_EQ(autorunCalls, 2);
    const std::string text = Text();
    EXPECT_EQ(text.find("Initialized=2"), std::string::npos);
    // Every key is back at its first-run value; each WriteRecord and WriteValueLf added one more
    // blank line at the end, as the line feed is always appended.
    std::string appendedLineFeeds;
    for (int i = 0; i < 6; ++i) appendedLineFeeds += "\r\n";
    EXPECT_EQ(text, FirstRunText(1) + appendedLineFeeds);
}

TEST_F(StartupSettingsTest, StartupReadTakesFlagsOnlyWhenExactlyOne) {
    WriteAllBytes(dir / name,
                  "[Coralvane]\r\nInitialized=1\r\nAutoOverClock=1\r\nStartupMinimize=2\r\nFanAdvanced=-1\r\n"
                  "Transparence=1\r\nTransPercent=12\r\nTop=5\r\nKeyOC=3\r\n"
                  "[CoustomFanSpeed]\r\nFanSpeedX0=4\r\nFanSpeedY0=6\r\nFanSpeedX9=x\r\n");
    const StartupSettings settings = Read();
    EXPECT_EQ(autorunCalls, 0);
    EXPECT_EQ(settings.initialized, 1);
    EXPECT_EQ(settings.autoOverClock, 1);
    EXPECT_EQ(settings.startupMinimize, 0);
    EXPECT_EQ(settings.fanAdvanced, 0);
    EXPECT_EQ(settings.synchronize, 0) << "missing: 99 is not exactly 1";
    EXPECT_EQ(settings.transparence, 1);
    EXPECT_EQ(settings.transPercent, 12) << "taken as read, so no translucency applies";
    EXPECT_EQ(settings.top, 5);
    EXPECT_EQ(settings.keyOc, 3);
    EXPECT_EQ(settings.fanSteps[0], 4);
    EXPECT_EQ(settings.fanLevels[0], 6);
    EXPECT_EQ(settings.fanSteps[9], 0);
    EXPECT_EQ(settings.fanSteps[1], 99) << "a missing point key reads as 99";
}

TEST_F(StartupSettingsTest, MissingSettingsKeysReadAsNinetyNine) {
    WriteAllBytes(dir / name, "[Coralvane]\r\nInitialized=1\r\n");
    const StartupSettings settings = Read();
    EXPECT_EQ(settings.top, 99);
    EXPECT_EQ(settings.keyOc, 99);
    EXPECT_EQ(settings.transPercent, 99);
    EXPECT_EQ(settings.autoOverClock, 0);
}

}  // namespace
