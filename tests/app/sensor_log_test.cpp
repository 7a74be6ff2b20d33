#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "config_test_support.h"
#include "monitor/SensorLog.h"
#include "support/FakeClock.h"

namespace {

constexpr int64_t kWallStart = 1796920805250;  // 2026-12-10T16:40:05.250Z
const std::string kHeader = std::string(kSensorLogHeader) + "\r\n";

TEST(SensorLogTest, IsoTimes) {
    EXPECT_EQ(IsoUtcTime(0), "1970-01-01T00:00:00.000Z");
    EXPECT_EQ(IsoUtcTime(951868799999), "2000-02-29T23:59:59.999Z");
    EXPECT_EQ(IsoUtcTime(2147483648000), "2038-01-19T03:14:08.000Z");
    EXPECT_EQ(IsoUtcTime(kWallStart), "2026-12-10T16:40:05.250Z");
}

class SensorLogFileTest : public ::testing::Test {
protected:
    std::filesystem::path Path() const { return dir / "sensors 100% %TEMP%.csv"; }

    TempFolder dir;
    FakeClock clock;
};

TEST_F(SensorLogFileTest, NewFileGetsTheHeaderThenOneFlushedLinePerTickTimedByTheClock) {
    clock.now = 7000;
    SensorLog log(clock);
    ASSERT_TRUE(log.Start(Path(), kWallStart));
    EXPECT_TRUE(log.Running());
    EXPECT_EQ(ReadAllBytes(Path()), kHeader) << "the header is on disk before the first tick";

    ASSERT_TRUE(log.Write({1911, 5005, 1062, 64, 97, 38}));
    // Read while the log is still open: each line is on disk as soon as it is written.
    EXPECT_EQ(ReadAllBytes(Path()), kHeader + "2026-12-10T16:40:05.250Z,1911,5005,1062,64,97,38\r\n");
    clock.now += 500;
    ASSERT_TRUE(log.Write({1898, 5005, 1050, 65, 100, 41}));
    clock.now += 500;
    ASSERT_TRUE(log.Write({139, 405, 0, 0, 0, 0}));
    EXPECT_EQ(ReadAllBytes(Path()), kHeader +
                                        "2026-12-10T16:40:05.250Z,1911,5005,1062,64,97,38\r\n"
                                        "2026-12-10T16:40:05.750Z,1898,5005,1050,65,100,41\r\n"
                                        "2026-12-10T16:40:06.250Z,139,405,0,0,0,0\r\n");
    log.Stop();
    EXPECT_FALSE(log.Running());
    EXPECT_FALSE(log.Write({1, 2, 3, 4, 5, 6}));
}

TEST_F(SensorLogFileTest, ExistingFileIsAppendedToNeverTruncated) {
    const struct {
        const char* name;
        std::string before;
        std::string opening;  // what the log puts between the old bytes and its first line
    } cases[] = {
        {"a log of an earlier run", kHeader + "2026-12-09T20:00:00.000Z,1,2,3,4,5,6\r\n", ""},
        {"a line a crash cut short", kHeader + "2026-12-09T20:00:00.000Z,1,2", "\r\n"},
        {"an empty file", "", kHeader},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteAllBytes(Path(), c.before);
        SensorLog log(clock);
        ASSERT_TRUE(log.Start(Path(), 0));
        ASSERT_TRUE(log.Write({-5, 0, 0, 120, 0, 0}));
        log.Stop();
        EXPECT_EQ(ReadAllBytes(Path()), c.before + c.opening + "1970-01-01T00:00:00.000Z,-5,0,0,120,0,0\r\n");
    }
}

TEST_F(SensorLogFileTest, FileThatCannotBeOpenedIsRefused) {
    SensorLog log(clock);
    EXPECT_FALSE(log.Start(dir / "no such folder" / "log.csv", 0));
    EXPECT_FALSE(log.Running());
    EXPECT_FALSE(log.Start(dir.Path(), 0)) << "a folder is no log file";
    EXPECT_FALSE(log.Write({}));
}

// A disk that fills up after `goodWrites` writes.
class FillingFile : public LineFile {
public:
    explicit FillingFile(int goodWrites) : left(goodWrites) {}
    bool Open(const std::filesystem::path&) override { return true; }
    bool Append(std::string_view bytes) override {
        ++attempts;
        if (left == 0) return false;
        --left;
        written += bytes;
        return true;
    }
    void Close() override { ++closes; }
    uint64_t SizeAtOpen() const override { return 0; }
    char LastByte() const override { return '\n'; }

    int left;
    int attempts = 0;
    int closes = 0;
    std::string written;
};

TEST(SensorLogFailureTest, FailedWriteStopsTheLogOnce) {
    FakeClock clock;
    auto file = std::make_unique<FillingFile>(2);
    FillingFile& disk = *file;
    SensorLog log(clock, std::move(file));
    ASSERT_TRUE(log.Start("full.csv", 0));
    EXPECT_TRUE(log.Write({}));
    EXPECT_FALSE(log.Write({}));
    EXPECT_FALSE(log.Running());
    EXPECT_EQ(disk.closes, 1);
    EXPECT_FALSE(log.Write({}));
    EXPECT_EQ(disk.attempts, 3) << "a stopped log writes nothing more";

    // A header that cannot be written is a log that did not start.
    auto full = std::make_unique<FillingFile>(0);
    SensorLog refused(clock, std::move(full));
    EXPECT_FALSE(refused.Start("full.csv", 0));
    EXPECT_FALSE(refused.Running());
}

}  // namespace
