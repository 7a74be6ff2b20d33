// Checks the INI engine against the system's own private-profile functions, and the atomic file
// replace against the Windows file system. Wine's functions drop blank lines whenever they
// rewrite a file while Windows keeps them in place, so blank lines are compared with the engine's
// documented Windows placement and everything else with the system.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "app/ConfigFile.h"
#include "app/IniFile.h"
#include "app/StartupSettings.h"
#include "app/config_test_support.h"
#include "platform/FileStore.h"

namespace {

std::vector<std::string> SplitNulList(const char* buffer, DWORD length) {
    std::vector<std::string> items;
    for (DWORD i = 0; i < length;) {
        std::string item(buffer + i);
        i += static_cast<DWORD>(item.size()) + 1;
        if (!item.empty()) items.push_back(item);
    }
    return items;
}

std::vector<std::string> SystemSections(const std::string& path) {
    std::vector<char> buffer(64 * 1024);
    const DWORD n =
        GetPrivateProfileStringA(nullptr, nullptr, "", buffer.data(), buffer.size(), path.c_str());
    return SplitNulList(buffer.data(), n);
}

std::vector<std::string> SystemKeys(const std::string& path, const std::string& section) {
    std::vector<char> buffer(64 * 1024);
    const DWORD n =
        GetPrivateProfileStringA(section.c_str(), nullptr, "", buffer.data(), buffer.size(), path.c_str());
    return SplitNulList(buffer.data(), n);
}

std::string SystemValue(const std::string& path, const std::string& section, const std::string& key) {
    char buffer[256] = {};
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "<missing>", buffer, sizeof(buffer), path.c_str());
    return buffer;
}

std::string WithoutBlankLines(const std::string& text) {
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find("\r\n", pos);
        if (end == std::string::npos) end = text.size();
        if (end > pos) out += text.substr(pos, end - pos) + "\r\n";
        pos = end + 2;
    }
    return out;
}

TEST(IniCompat, SystemReadsTheFirstRunFileAsWeDo) {
    TempFolder dir;
    FixedProgramFolder folder(dir.Path());
    const std::string name = ConfigFileNameForDevice(0x1C02);
    ReadStartupSettings(folder, name, 0x1C02, {[] { return 0; }, nullptr});
    const std::string path = (dir / name).string();

    const std::vector<std::string> expectedSections = {"Coralvane", "Windows Startup", "Default",
                                                       "Start_OC",  "Profile1",        "Profile2",
                                                       "Profile3",  "CoustomFanSpeed"};
    ASSERT_EQ(SystemSections(path), expectedSections);
    IniFile ours(dir / name);
    ASSERT_EQ(ours.Load(), IniStatus::Ok);
    int compared = 0;
    for (const std::string& section : expectedSections) {
        for (const std::string& key : SystemKeys(path, section)) {
            EXPECT_EQ(SystemValue(path, section, key), ours.GetString(section, key, "<missing>"))
                << section << "/" << key;
            ++compared;
        }
    }
    EXPECT_EQ(compared, 10 + 1 + 5 * 34 + 22);
    EXPECT_EQ(GetPrivateProfileIntA("Coralvane", "GPUDID", -7, path.c_str()), 1) << "1C02 converts to 1";
}

TEST(IniCompat, SystemReadsTrickyValuesWeWrite) {
    TempFolder dir;
    IniFile ini(dir / "t.ini");
    ASSERT_EQ(ini.LoadForUpdate(), IniStatus::Ok);
    const struct {
        const char* section;
        const char* key;
        const char* value;
    } writes[] = {
        {"Profile1", "CoreOffset", "-50"},
        {"profile1", "COREOFFSET", "-75"},
        {"A b", "k", "\"quoted\""},
        {"A b", "sp", "  padded  "},
        {"A b", "semi", "1;2"},
        {"Z", "eq", "a=b"},
    };
    for (const auto& w : writes) ASSERT_EQ(ini.SetString(w.section, w.key, w.value), IniStatus::Ok);
    ini.AppendLineFeed();
    ASSERT_EQ(ini.SetString("A b", "late", "1"), IniStatus::Ok);
    ASSERT_EQ(ini.Save(), IniStatus::Ok);

    const std::string path = (dir / "t.ini").string();
    for (const auto& [section, key] :
         std::vector<std::pair<std::string, std::string>>{{"Profile1", "CoreOffset"},
                                                          {"A b", "k"},
                                                          {"A b", "sp"},
                                                          {"A b", "semi"},
                                                          {"Z", "eq"},
                                                          {"a B", "LATE"}}) {
        EXPECT_EQ(SystemValue(path, section, key), ini.GetString(section, key, "<missing>"))
            << section << key;
    }
    EXPECT_EQ(SystemValue(path, "Profile1", "CoreOffset"), "-75");
    EXPECT_EQ(GetPrivateProfileIntA("Profile1", "CoreOffset", 0, path.c_str()), -75);
}

// The same writes through the system and through the engine give the same file, apart from the
// blank lines Wine drops.
TEST(IniCompat, SameWritesGiveTheSameFileAsTheSystem) {
    TempFolder dir;
    const std::string sysPath = (dir / "system.ini").string();
    const std::string seed = "[Coralvane]\r\nInitialized=1\r\n\r\n[Profile1]\r\nPower=100\r\n";
    WriteAllBytes(dir / "system.ini", seed);
    std::string ours = seed;
    const struct {
        const char* section;
        const char* key;
        const char* value;
    } writes[] = {
        {"Coralvane", "Top", "1"},   {"CORALVANE", "initialized", "2"}, {"Profile1", "CoreOffset", "-50"},
        {"New Section", "a", "x y"}, {"Coralvane", "KeyOC", "0"},       {"profile1", "POWER", "95"},
        {"New Section", "b", "'q'"},
    };
    for (const auto& w : writes) {
        ASSERT_TRUE(WritePrivateProfileStringA(w.section, w.key, w.value, sysPath.c_str()));
        ASSERT_EQ(SetIniString(ours, w.section, w.key, w.value), IniStatus::Ok);
    }
    const std::string system = ReadAllBytes(dir / "system.ini");
    EXPECT_EQ(WithoutBlankLines(system), WithoutBlankLines(ours));
    EXPECT_EQ(
        ours,
        "[Coralvane]\r\nInitialized=2\r\nTop=1\r\nKeyOC=0\r\n\r\n[Profile1]\r\nPower=95\r\nCoreOffset=-50\r\n"
        "[New Section]\r\na=x y\r\nb='q'\r\n")
        << "Windows keeps the blank line where it was";

    IniFile reread(dir / "system.ini");
    ASSERT_EQ(reread.Load(), IniStatus::Ok);
    EXPECT_EQ(reread.GetString("new section", "B", "<missing>"), "q");
    EXPECT_EQ(reread.GetInt("Profile1", "CoreOffset", "0"), -50);
}

TEST(IniCompat, WeReadWhatTheSystemWrites) {
    TempFolder dir;
    FixedProgramFolder folder(dir.Path());
    const std::string path = (dir / "Coralvane.ini").string();
    ASSERT_TRUE(WritePrivateProfileStringA("Start_OC", "Power", "110", path.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("Start_OC", "CoreOffset", "-50", path.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("Coralvane", "TransPercent", "12", path.c_str()));

    ProfileRecord record = ProfileRecord::WithAllKeys("start_oc");
    ASSERT_EQ(ConfigFile(folder).ReadRecord(record), 0);
    EXPECT_EQ(record.Value("Power"), 110);
    EXPECT_EQ(record.Value("CoreOffset"), -50);
    EXPECT_EQ(record.Value("MemOffset"), 0);
    SettingValue percent{"Coralvane", "TransPercent", {}, 0};
    ASSERT_EQ(ConfigFile(folder).ReadValue(percent), 0);
    EXPECT_EQ(percent.value, 12);
}

TEST(IniCompat, AtomicReplaceOverAnExistingFile) {
    TempFolder dir;
    WriteAllBytes(dir / "a.cfg", "old contents");
    ASSERT_EQ(ReplaceFileBytes(dir / "a.cfg", "new contents"), FileStatus::Ok);
    EXPECT_EQ(ReadAllBytes(dir / "a.cfg"), "new contents");
    EXPECT_EQ(CountFiles(dir.Path()), 1);

    // Whether a rename may replace a file another handle holds open differs between Windows
    // versions (Wine refuses it); either way the file stays whole and no temporary file is left.
    const std::string path = (dir / "a.cfg").string();
    HANDLE held =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const FileStatus whileHeld = ReplaceFileBytes(dir / "a.cfg", "third");
    CloseHandle(held);
    EXPECT_EQ(CountFiles(dir.Path()), 1);
    EXPECT_EQ(ReadAllBytes(dir / "a.cfg"), whileHeld == FileStatus::Ok ? "third" : "new contents");
    EXPECT_EQ(ReplaceFileBytes(dir / "a.cfg", "fourth"), FileStatus::Ok);
    EXPECT_EQ(ReadAllBytes(dir / "a.cfg"), "fourth");
}

TEST(IniCompat, ReplaceWaitsForAReaderThatLetsGo) {
    // A reader that opened the file the ordinary way (no sharing of deletion), as a scanner or an
    // editor does, and closes it a moment later.
    TempFolder dir;
    WriteAllBytes(dir / "a.cfg", "old contents");
    const std::string path = (dir / "a.cfg").string();
    HANDLE reader =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    std::thread letGo([reader] {
        Sleep(200);
        CloseHandle(reader);
    });
    const FileStatus status = ReplaceFileBytes(dir / "a.cfg", "new contents");
    letGo.join();
    EXPECT_EQ(status, FileStatus::Ok);
    EXPECT_EQ(ReadAllBytes(dir / "a.cfg"), "new contents");
    EXPECT_EQ(CountFiles(dir.Path()), 1);
}

TEST(IniCompat, ReadOnlyFileIsRefusedAndKept) {
    TempFolder dir;
    FixedProgramFolder folder(dir.Path());
    WriteAllBytes(dir / "Coralvane.ini", "[Coralvane]\r\nTop=1\r\n");
    const std::string path = (dir / "Coralvane.ini").string();
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    ConfigFile file(folder);
    EXPECT_EQ(file.WriteValue({"Coralvane", "Top", {}, 0}, 10), 1);
    EXPECT_EQ(file.LastStatus(), IniStatus::OpenFailed);
    EXPECT_EQ(CountFiles(dir.Path()), 1);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadAllBytes(dir / "Coralvane.ini"), "[Coralvane]\r\nTop=1\r\n");
}

}  // namespace
