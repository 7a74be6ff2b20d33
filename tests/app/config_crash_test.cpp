// Kills writers at random moments; needs fork and signals, so it runs in the native build only.
#if !defined(_WIN32)
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <set>
#include <string>

#include "app/ConfigFile.h"
#include "config_test_support.h"

namespace {

constexpr char kName[] = "Coralvane_DID1C02.cfg";
constexpr char kHandEdited[] = "; kept by every write\r\n[Coralvane]\r\nInitialized=1\r\n";

// Writes whole profile records whose 34 values all equal n, then one single key, forever.
[[noreturn]] void WriteForever(const ProgramFolder& folder, const char* section, const char* key) {
    for (int n = 1;; ++n) {
        ProfileRecord record = ProfileRecord::WithAllKeys(section);
        for (ProfileField& field : record.fields) field.value = n;
        ConfigFile(folder, kName).WriteRecordPlain(record);
        ConfigFile(folder, kName).WriteValue({"Coralvane", key, {}, n % 2}, 10);
    }
}

pid_t StartWriter(const ProgramFolder& folder, const char* section, const char* key) {
    const pid_t pid = fork();
    if (pid == 0) WriteForever(folder, section, key);
    return pid;
}

void Kill(pid_t pid) {
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
}

// The file must be whole: the hand-edited lines intact, each record's values all from one write.
// Returns the record's value, or -1 after a failure.
int ExpectWholeFile(const std::filesystem::path& path, const char* section, const char* key) {
    const std::string text = ReadAllBytes(path);
    EXPECT_EQ(text.rfind(kHandEdited, 0), 0u) << text.substr(0, 200);
    EXPECT_NE(text.find("\r\n\r\n[Profile1]\r\n"), std::string::npos) << "the blank line stays in place";
    IniFile ini(path);
    EXPECT_EQ(ini.Load(), IniStatus::Ok);
    std::set<int> values;
    for (std::string_view profileKey : kProfileKeys) values.insert(ini.GetInt(section, profileKey, "-1"));
    EXPECT_EQ(values.size(), 1u) << section << " mixes two writes:\n" << text;
    const int flag = ini.GetInt("Coralvane", key, "0");
    EXPECT_TRUE(flag == 0 || flag == 1) << key << "=" << flag;
    return values.size() == 1 ? *values.begin() : -1;
}

class ConfigCrashTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteAllBytes(dir / kName, std::string(kHandEdited) + "\r\n");
        for (const char* section : {"Profile1", "Profile2"}) {
            ASSERT_EQ(ConfigFile(folder, kName).WriteRecordPlain(ProfileRecord::WithAllKeys(section)), 0);
        }
    }

    TempFolder dir;
    FixedProgramFolder folder{dir.Path()};
    std::mt19937 gen{20240611};
};

TEST_F(ConfigCrashTest, KillingAWriterAtAnyMomentLeavesTheOldOrTheNewFileWhole) {
    std::set<int> seen;
    for (int round = 0; round < 50 && !HasFailure(); ++round) {
        const pid_t writer = StartWriter(folder, "Profile1", "Top");
        ASSERT_GT(writer, 0);
        usleep(200 + gen() % 4000);
        Kill(writer);
        seen.insert(ExpectWholeFile(dir / kName, "Profile1", "Top"));
    }
    EXPECT_GT(seen.size(), 2u) << "the writer must have got through several records";
}

TEST_F(ConfigCrashTest, TwoRunningCopiesNeverCorruptTheFile) {
    for (int round = 0; round < 20 && !HasFailure(); ++round) {
        const pid_t first = StartWriter(folder, "Profile1", "Top");
        const pid_t second = StartWriter(folder, "Profile2", "KeyOC");
        ASSERT_GT(first, 0);
        ASSERT_GT(second, 0);
        usleep(1000 + gen() % 8000);
        Kill(first);
        Kill(second);
        ExpectWholeFile(dir / kName, "Profile1", "Top");
        ExpectWholeFile(dir / kName, "Profile2", "KeyOC");
    }
}

}  // namespace
#endif
