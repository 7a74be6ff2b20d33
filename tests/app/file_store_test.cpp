#include <gtest/gtest.h>

#include "config_test_support.h"
#include "platform/AppendFile.h"
#include "platform/FileStore.h"
#include "platform/Utf8Path.h"

namespace {

// A name with spaces, a percent sign and Chinese characters: the wide open must reach the same file.
std::filesystem::path OddName(const TempFolder& folder) {
    return folder.Path() / PathFromUtf8("日志 100% log.csv");
}

}  // namespace

TEST(AppendFile, KeepsWhatTheFileHeldAndAddsAtItsEnd) {
    TempFolder folder;
    const auto path = OddName(folder);
    {
        AppendFile file;
        ASSERT_TRUE(file.Open(path));
        EXPECT_EQ(file.SizeAtOpen(), 0u);
        EXPECT_EQ(file.LastByte(), '\n');
        EXPECT_TRUE(file.Append("a,b"));
        // Handed to the system at once: readable before the file is closed.
        EXPECT_EQ(ReadAllBytes(path), "a,b");
    }
    AppendFile again;
    ASSERT_TRUE(again.Open(path));
    EXPECT_EQ(again.SizeAtOpen(), 3u);
    EXPECT_EQ(again.LastByte(), 'b');
    EXPECT_TRUE(again.Append("\nc\n"));
    again.Close();
    EXPECT_FALSE(again.Append("lost"));
    EXPECT_EQ(ReadAllBytes(path), "a,b\nc\n");

    AppendFile onFolder;
    EXPECT_FALSE(onFolder.Open(folder.Path()));
}

TEST(FileStore, ReadsReplacesAndRefusesWhatItShould) {
    TempFolder folder;
    const auto path = OddName(folder);
    std::string bytes = "untouched";
    EXPECT_EQ(ReadFileBytes(path, bytes, 100), FileStatus::Missing);
    EXPECT_EQ(CheckFileWritable(path), FileStatus::Ok);

    const std::string content(70000, 'x');  // more than one read's chunk
    ASSERT_EQ(ReplaceFileBytes(path, content), FileStatus::Ok);
    EXPECT_EQ(ReadFileBytes(path, bytes, content.size()), FileStatus::Ok);
    EXPECT_EQ(bytes, content);
    EXPECT_EQ(ReadFileBytes(path, bytes, 10), FileStatus::TooLarge);
    EXPECT_EQ(bytes, std::string(10, 'x'));
    EXPECT_EQ(CheckFileWritable(path), FileStatus::Ok);

    ASSERT_EQ(ReplaceFileBytes(path, "short"), FileStatus::Ok);
    EXPECT_EQ(ReadAllBytes(path), "short");
    EXPECT_EQ(ReadFileBytes(folder.Path(), bytes, 100), FileStatus::OpenFailed);
    EXPECT_EQ(ReplaceFileBytes(folder / "missing folder" / "a.cfg", "x"), FileStatus::WriteFailed);
}
