// Kills writers at random moments; needs fork and signals, so it runs in the native build only.
#if !defined(_WIN32)
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <set>
#include <string>

#include "app/ConfigFile.h"
#include "config_test_support.h"

namespace {

constexpr char kName[] = "Coralvane_DID1C02.cfg";
constexpr char kHandEdited[] = "; kept by every write\r\n[Coralvane]\r\nInitialized=1\r\n";

// One whole profile record whose 34 values all equal n, then one single key.
void WriteOnce(const ProgramFolder& folder, const char* section, const char* key, int n) {
    ProfileRecord record = ProfileRecord::WithAllKeys(section);
    for (ProfileField& field : record.fields) field.value = n;
    ConfigFile(folder, kName).WriteRecordPlain(record);
    ConfigFile(folder, kName).WriteValue({"Coralvane", key, {}, n % 2}, 10);
}

// Writes records first, first + 1, ... forever; each round starts from its own first value.
pid_t StartWriter(const ProgramFolder& folder, const char* section, const char* key, int first = 1) {
    const pid_t pid = fork();
    if (pid == 0) {
        for (int n = first;; ++n) WriteOnce(folder, section, key, n);
    }
    return pid;
}

// How long one write takes here, so kills land inside writes on a fast machine and on a slow,
// sanitised, busy one alike.
useconds_t MicrosecondsPerWrite(const ProgramFolder& folder) {
    constexpr int kSamples = 5;
    const auto start = std::chrono::steady_clock::now();
    for (int n = 0; n < kSamples; ++n) WriteOnce(folder, "Profile2", "KeyOC", 0);
    const auto spent = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - start);
    return static_cast<useconds_t>(spent.count() / kSamples) + 1;
}

// True when the writer was still writing and ended by this kill, not on its own before it.
bool Kill(pid_t pid) {
    kill(pid, SIGKILL);
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return false;
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

// The record's value in the file as it is now (0 before any writer got there, -1 when unreadable).
int RecordValue(const std::filesystem::path& path, const char* section) {
    IniFile ini(path);
    if (ini.Load() != IniStatus::Ok) return -1;
    return ini.GetInt(section, "Power", "-1");
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
    const useconds_t perWrite = MicrosecondsPerWrite(folder);
    std::set<int> seen;
    for (int round = 0; round < 50 && !HasFailure(); ++round) {
        const pid_t writer = StartWriter(folder, "Profile1", "Top", 1000 * (round + 1));
        ASSERT_GT(writer, 0);
        // Fork and start-up plus anything from a few writes to several.
        usleep(perWrite * 2 + gen() % (perWrite * 8));
        EXPECT_TRUE(Kill(writer)) << "the writer ended before it was killed";
        seen.insert(ExpectWholeFile(dir / kName, "Profile1", "Top"));
    }
    EXPECT_GT(seen.size(), 2u) << "the writer must have got through several records";
}

TEST_F(ConfigCrashTest, TwoRunningCopiesNeverCorruptTheFile) {
    const std::filesystem::path path = dir / kName;
    for (int round = 0; round < 20 && !HasFailure(); ++round) {
        // Each round starts from records of 0, so it shows whether both writers got through.
        for (const char* section : {"Profile1", "Profile2"}) {
            ASSERT_EQ(ConfigFile(folder, kName).WriteRecordPlain(ProfileRecord::WithAllKeys(section)), 0);
        }
        const pid_t first = StartWriter(folder, "Profile1", "Top");
        const pid_t second = StartWriter(folder, "Profile2", "KeyOC");
        ASSERT_GT(first, 0);
        ASSERT_GT(second, 0);
        // Both got a write into the file (bounded wait; one copy may later write over the other's
        // record with the one it read, as two copies without a lock do), then they race on.
        bool firstWrote = false;
        bool secondWrote = false;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!(firstWrote && secondWrote) && std::chrono::steady_clock::now() < deadline) {
            firstWrote = firstWrote || RecordValue(path, "Profile1") > 0;
            secondWrote = secondWrote || RecordValue(path, "Profile2") > 0;
            usleep(200);
        }
        EXPECT_TRUE(firstWrote && secondWrote) << "round " << round << ": a writer wrote nothing";
        usleep(1000 + gen() % 8000);
        EXPECT_TRUE(Kill(first)) << "the first writer ended before it was killed";
        EXPECT_TRUE(Kill(second)) << "the second writer ended before it was killed";
        ExpectWholeFile(path, "Profile1", "Top");
        ExpectWholeFile(path, "Profile2", "KeyOC");
    }
}

}  // namespace
#endif
