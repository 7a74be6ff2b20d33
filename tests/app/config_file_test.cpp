#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "app/ConfigFile.h"
#include "config_test_support.h"

namespace {

class ConfigFileTest : public ::testing::Test {
protected:
    ConfigFile File() const { return ConfigFile(folder, "Coralvane_DID1C02.cfg"); }
    std::string Text() const { return ReadAllBytes(dir / "Coralvane_DID1C02.cfg"); }
    void SetText(std::string_view text) const { WriteAllBytes(dir / "Coralvane_DID1C02.cfg", text); }

    TempFolder dir;
    FixedProgramFolder folder{dir.Path()};
};

TEST(ConfigFileName, FormatsTheDeviceIdAsFourUpperCaseHexDigits) {
    EXPECT_EQ(ConfigFileNameForDevice(0x1C02), "Coralvane_DID1C02.cfg");
    EXPECT_EQ(ConfigFileNameForDevice(0), "Coralvane_DID0000.cfg");
    EXPECT_EQ(ConfigFileNameForDevice(0x1b80), "Coralvane_DID1B80.cfg");
    EXPECT_EQ(ConfigFileNameForDevice(0xABCDE), "Coralvane_DIDABCDE.cfg");
}

TEST_F(ConfigFileTest, LivesInTheProgramFolderUnderTheGivenOrDefaultName) {
    EXPECT_EQ(File().Path(), dir / "Coralvane_DID1C02.cfg");
    EXPECT_EQ(ConfigFile(folder).Path(), dir / "Coralvane.ini");
}

TEST_F(ConfigFileTest, SingleValuesInDecimalAndHex) {
    EXPECT_EQ(File().WriteValue({"Coralvane", "GPUDID", {}, 0x1C02}, 16), 0);
    EXPECT_EQ(File().WriteValue({"Coralvane", "TransPercent", {}, -3}, 10), 0);
    EXPECT_EQ(File().WriteValueLf({"Windows Startup", "AutoRun", {}, 1}), 0);
    EXPECT_EQ(File().WriteValue({"Coralvane", "GPUDID", {}, 0x2D}, 16), 0);
    EXPECT_EQ(Text(),
              "[Coralvane]\r\nGPUDID=002D\r\nTransPercent=-3\r\n[Windows Startup]\r\nAutoRun=1\r\n\r\n");

    SettingValue percent{"coralvane", "transpercent", {}, 0};
    EXPECT_EQ(File().ReadValue(percent), 0);
    EXPECT_EQ(percent.text, "-3");
    EXPECT_EQ(percent.value, -3);
}

TEST_F(ConfigFileTest, RadixOtherThanTenOrSixteenWritesNothing) {
    ConfigFile file = File();
    EXPECT_EQ(file.WriteValue({"Coralvane", "Top", {}, 1}, 8), 1);
    EXPECT_EQ(file.LastStatus(), IniStatus::InvalidName);
    EXPECT_FALSE(std::filesystem::exists(file.Path()));
}

TEST_F(ConfigFileTest, MissingSingleKeyReadsNinetyNine) {
    SetText("[Coralvane]\r\nInitialized=1\r\n");
    SettingValue mode{"CoustomFanSpeed", "FanMode", "old", 5};
    EXPECT_EQ(File().ReadValue(mode), 0);
    EXPECT_EQ(mode.text, "99");
    EXPECT_EQ(mode.value, 99);
}

TEST_F(ConfigFileTest, MissingFileFailsAndLeavesTheCallersValues) {
    SettingValue top{"Coralvane", "Top", "old", 5};
    EXPECT_EQ(File().ReadValue(top), 1);
    EXPECT_EQ(top.text, "old");
    EXPECT_EQ(top.value, 5);

    ProfileRecord record = ProfileRecord::WithAllKeys("Profile1");
    record.SetValue("Power", 80);
    ConfigFile file = File();
    EXPECT_EQ(file.ReadRecord(record), 1);
    EXPECT_EQ(file.LastStatus(), IniStatus::FileMissing);
    EXPECT_EQ(record.Value("Power"), 80);
}

TEST_F(ConfigFileTest, RecordsWriteTheirKeysInOrderAndWriteRecordAddsABlankLine) {
    ProfileRecord record = ProfileRecord::WithAllKeys("Profile2");
    record.SetValue("CoreOffset", -50);
    record.SetValue("OverVolt", 25);
    record.SetValue("LedBright", 7);
    ASSERT_EQ(File().WriteRecord(record), 0);
    // The 34 keys in the file's own order, spelled out rather than taken from the code's list.
    const std::string expected =
        "[Profile2]\r\nCoreOffset=-50\r\nMemOffset=0\r\nTempTarget=0\r\nDisplayClock=0\r\nOverVolt=25\r\n"
        "Power=0\r\nFanSpeed=0\r\nFanMode=0\r\n"
        "FanSpeedX0=0\r\nFanSpeedY0=0\r\nFanSpeedX1=0\r\nFanSpeedY1=0\r\nFanSpeedX2=0\r\nFanSpeedY2=0\r\n"
        "FanSpeedX3=0\r\nFanSpeedY3=0\r\nFanSpeedX4=0\r\nFanSpeedY4=0\r\nFanSpeedX5=0\r\nFanSpeedY5=0\r\n"
        "FanSpeedX6=0\r\nFanSpeedY6=0\r\nFanSpeedX7=0\r\nFanSpeedY7=0\r\nFanSpeedX8=0\r\nFanSpeedY8=0\r\n"
        "FanSpeedX9=0\r\nFanSpeedY9=0\r\n"
        "LedMode=0\r\nLedRgb0=0\r\nLedRgb1=0\r\nLedBright=7\r\nLedLogo=0\r\nLedArmor=0\r\n";
    EXPECT_EQ(Text(), expected + "\r\n");

    record.SetValue("CoreOffset", 100);
    ASSERT_EQ(File().WriteRecordPlain(record), 0);
    EXPECT_EQ(Text(), "[Profile2]\r\nCoreOffset=100\r\n" + expected.substr(28) + "\r\n");

    ProfileRecord back = ProfileRecord::WithAllKeys("PROFILE2");
    ASSERT_EQ(File().ReadRecord(back), 0);
    EXPECT_EQ(back.Value("CoreOffset"), 100);
    EXPECT_EQ(back.Field("CoreOffset")->text, "100");
    EXPECT_EQ(back.Value("OverVolt"), 25);
    EXPECT_EQ(back.Value("LedBright"), 7);
}

TEST_F(ConfigFileTest, OnlyNamedFieldsAreWrittenAndRead) {
    ProfileRecord partial;
    partial.section = "Start_OC";
    partial.SetValue("Power", 90);
    partial.SetValue("FanMode", 2);
    ASSERT_EQ(File().WriteRecordPlain(partial), 0);
    EXPECT_EQ(Text(), "[Start_OC]\r\nPower=90\r\nFanMode=2\r\n");

    ProfileRecord read;
    read.section = "Start_OC";
    read.SetValue("FanMode", -1);
    read.Field("Power")->value = -1;
    ASSERT_EQ(File().ReadRecord(read), 0);
    EXPECT_EQ(read.Value("FanMode"), 2);
    EXPECT_EQ(read.Field("Power")->value, -1) << "an unnamed field is not read";
    EXPECT_FALSE(read.SetValue("NoSuchKey", 1));
}

TEST_F(ConfigFileTest, GarbageProfileValuesLoadAsTheDecimalConversionSays) {
    SetText(
        "[Profile1]\r\n"
        "CoreOffset= -50MHz\r\n"
        "MemOffset=1B80\r\n"
        "TempTarget=\"83\"\r\n"
        "OverVolt=abc\r\n"
        "FanMode=\r\n"
        "FanSpeed=00000000000000000000000000000001234\r\n"
        "FanSpeedX0=+7\r\n"
        "FanSpeedY0=99999999999\r\n");
    ProfileRecord record = ProfileRecord::WithAllKeys("Profile1");
    ASSERT_EQ(File().ReadRecord(record), 0);
    EXPECT_EQ(record.Value("CoreOffset"), -50);
    EXPECT_EQ(record.Value("MemOffset"), 1);
    EXPECT_EQ(record.Value("TempTarget"), 83);
    EXPECT_EQ(record.Value("OverVolt"), 0);
    EXPECT_EQ(record.Value("FanMode"), 0);
    EXPECT_EQ(record.Field("FanSpeed")->text.size(), kConfigTextChars) << "texts are cut to 31 characters";
    EXPECT_EQ(record.Value("FanSpeed"), 0);
    EXPECT_EQ(record.Value("FanSpeedX0"), 7);
    EXPECT_EQ(record.Value("FanSpeedY0"), INT_MAX);
    EXPECT_EQ(record.Value("Power"), 0) << "a missing key reads as 0";
    EXPECT_EQ(record.Field("Power")->text, "0");
}

TEST_F(ConfigFileTest, WriteFailuresReturnOneWithTheReason) {
    WriteAllBytes(dir / "plain", "x");
    FixedProgramFolder notAFolder(dir / "plain");
    ConfigFile file(notAFolder, "Coralvane_DID1C02.cfg");
    EXPECT_EQ(file.WriteValue({"Coralvane", "Top", {}, 1}, 10), 1);
    EXPECT_EQ(file.LastStatus(), IniStatus::WriteFailed);
    EXPECT_EQ(file.WriteRecord(ProfileRecord::WithAllKeys("Default")), 1);
    SettingValue top{"Coralvane", "Top", {}, 4};
    EXPECT_EQ(file.ReadValue(top), 1);
    EXPECT_EQ(top.value, 4);

    FixedProgramFolder deep(dir / std::string(kMaxIniPathChars, 'd'));
    ConfigFile tooLong(deep, "Coralvane_DID1C02.cfg");
    EXPECT_EQ(tooLong.WriteValueLf({"Windows Startup", "AutoRun", {}, 0}), 1);
    EXPECT_EQ(tooLong.LastStatus(), IniStatus::PathTooLong);
}

TEST_F(ConfigFileTest, WritesKeepTheRestOfAHandEditedFile) {
    SetText("; tuned by hand\r\n[Coralvane]\r\nInitialized=1\r\nTop=1\r\n\r\n[Profile1]\r\nPower=100\r\n");
    ASSERT_EQ(File().WriteValue({"Coralvane", "KeyOC", {}, 1}, 10), 0);
    ASSERT_EQ(File().WriteValue({"Coralvane", "Top", {}, 0}, 10), 0);
    EXPECT_EQ(Text(),
              "; tuned by "
              "hand\r\n[Coralvane]\r\nInitialized=1\r\nTop=0\r\nKeyOC=1\r\n\r\n[Profile1]\r\nPower=100\r\n");
}

}  // namespace
