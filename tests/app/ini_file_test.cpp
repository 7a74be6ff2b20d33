#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <random>
#include <string>

#include "app/IniFile.h"
#include "config_test_support.h"

using namespace std::string_literals;

namespace {

struct ReadCase {
    const char* name;
    std::string text;
    const char* section;
    const char* key;
    const char* expected;
};

TEST(IniRead, FollowsThePrivateProfileRules) {
    const ReadCase cases[] = {
        {"names ignore case", "[Coralvane]\r\nTop=1\r\n", "coralVANE", "TOP", "1"},
        {"blanks around names and values", "  [ Coralvane ]  \r\n \t Top \v=  7 \t\r\n", "Coralvane", "Top",
         "7"},
        {"caller's spaces trimmed", "[A]\r\nk=1\r\n", " A ", " k ", "1"},
        {"double quotes stripped", "[A]\r\nk=\" 12 \"\r\n", "A", "k", " 12 "},
        {"single quotes stripped", "[A]\r\nk='x y'\r\n", "A", "k", "x y"},
        {"mismatched quotes kept", "[A]\r\nk=\"abc'\r\n", "A", "k", "\"abc'"},
        {"a lone quote kept", "[A]\r\nk=\"\r\n", "A", "k", "\""},
        {"empty value is not missing", "[A]\r\nk=\r\n", "A", "k", ""},
        {"missing key gives default", "[A]\r\nk=1\r\n", "A", "x", "99"},
        {"missing section gives default", "[A]\r\nk=1\r\n", "B", "k", "99"},
        {"key of another section", "[A]\r\nk=1\r\n[B]\r\n", "B", "k", "99"},
        {"first duplicate key wins", "[A]\r\nk=1\r\nK=2\r\n", "A", "k", "1"},
        {"second duplicate section ignored", "[A]\r\nx=1\r\n[a]\r\nk=2\r\n", "A", "k", "99"},
        {"comment line", "[A]\r\n;k=5\r\n  ;k=6\r\n", "A", "k", "99"},
        {"line without equals sign", "[A]\r\nk\r\n", "A", "k", "99"},
        {"keys before any section", "k=1\r\n[A]\r\n", "A", "k", "99"},
        {"text after the bracket ignored", "[A]k=4\r\n", "A", "k", "99"},
        {"section without closing bracket", "[A\r\nk=3", "A", "k", "3"},
        {"lone CR line ends", "[A]\rx=0\rk=1\r", "A", "k", "1"},
        {"LF line ends", "[A]\nk=2\n", "A", "k", "2"},
        {"value ends at NUL", "[A]\r\nk=12\0ab\r\n"s, "A", "k", "12"},
        {"equals sign inside the value", "[A]\r\nk=a=b\r\n", "A", "k", "a=b"},
        {"semicolon inside the value", "[A]\r\nk=5;note\r\n", "A", "k", "5;note"},
        {"bytes above 127 kept", "[A]\r\nk=\xB2\xE2\r\n", "A", "k", "\xB2\xE2"},
    };
    for (const ReadCase& c : cases) {
        EXPECT_EQ(GetIniString(c.text, c.section, c.key, "99"), c.expected) << c.name;
    }
}

TEST(IniRead, DefaultLosesTrailingSpacesOnly) {
    EXPECT_EQ(GetIniString("", "A", "k", " 99  "), " 99");
    EXPECT_EQ(GetIniString("[A]\r\n=5\r\n", "A", "", "0"), "0");
}

struct WriteCase {
    const char* name;
    std::string before;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
};

TEST(IniWrite, PlacesKeysAndSectionsAsWindowsDoes) {
    const WriteCase cases[] = {
        {"empty file", "", "S", "k", "v", "[S]\r\nk=v\r\n"},
        {"caller's spaces trimmed, value verbatim", "", " S ", " k ", " v ", "[S]\r\nk= v \r\n"},
        {"changed in place with the file's spelling", "[S]\r\nKey=1\r\nx=2\r\n", "s", "KEY", "5",
         "[S]\r\nKey=5\r\nx=2\r\n"},
        {"changed line loses its padding only", "[S]\r\n  k = 1  \r\n;c\r\n", "S", "k", "2",
         "[S]\r\nk=2\r\n;c\r\n"},
        {"new key before the blank line between sections", "[A]\r\na=1\r\n\r\n[B]\r\nb=2\r\n", "A", "c", "3",
         "[A]\r\na=1\r\nc=3\r\n\r\n[B]\r\nb=2\r\n"},
        {"new key after a trailing comment", "[A]\r\na=1\r\n;note\r\n\r\n\r\n", "A", "c", "3",
         "[A]\r\na=1\r\n;note\r\nc=3\r\n\r\n\r\n"},
        {"new key after blank lines inside the section", "[A]\r\na=1\r\n\r\nb=2\r\n\r\n[B]\r\n", "A", "c",
         "3", "[A]\r\na=1\r\n\r\nb=2\r\nc=3\r\n\r\n[B]\r\n"},
        {"new key in an empty section", "[A]\r\n\r\n[B]\r\n", "A", "a", "1", "[A]\r\na=1\r\n\r\n[B]\r\n"},
        {"new section after a trailing blank line", "[A]\r\na=1\r\n\r\n", "B", "b", "2",
         "[A]\r\na=1\r\n\r\n[B]\r\nb=2\r\n"},
        {"new key when the last line has no line end", "[A]\r\na=1", "A", "b", "2", "[A]\r\na=1\r\nb=2\r\n"},
        {"new section when the last line has no line end", "[A]\r\na=1", "B", "b", "2",
         "[A]\r\na=1\r\n[B]\r\nb=2\r\n"},
        {"header alone without line end", "[A]", "A", "a", "1", "[A]\r\na=1\r\n"},
        {"changed key keeps a missing line end", "[A]\r\na=1", "A", "a", "22", "[A]\r\na=22"},
        {"LF lines kept as they are", "[A]\na=1\n", "A", "b", "2", "[A]\na=1\nb=2\r\n"},
        {"CR lines kept as they are", "[A]\ra=1\r", "A", "a", "2", "[A]\ra=2\r"},
        {"only the first duplicate changes", "[A]\r\nk=1\r\n[A]\r\nk=2\r\n", "A", "k", "3",
         "[A]\r\nk=3\r\n[A]\r\nk=2\r\n"},
        {"garbage before the first section kept", "junk\x01\0\xFF\r\n[A]\r\n"s, "A", "a", "1",
         "junk\x01\0\xFF\r\n[A]\r\na=1\r\n"s},
        {"a commented-out key is not the key", "[A]\r\n;k=1\r\n", "A", "k", "2", "[A]\r\n;k=1\r\nk=2\r\n"},
    };
    for (const WriteCase& c : cases) {
        std::string text = c.before;
        EXPECT_EQ(SetIniString(text, c.section, c.key, c.value), IniStatus::Ok) << c.name;
        EXPECT_EQ(text, c.after) << c.name;
        std::string_view stored = c.value;
        while (!stored.empty() && stored.front() == ' ') stored.remove_prefix(1);
        while (!stored.empty() && stored.back() == ' ') stored.remove_suffix(1);
        EXPECT_EQ(GetIniString(text, c.section, c.key, "missing"), stored) << c.name;
    }
}

TEST(IniWrite, RefusesNamesAndValuesThatWouldBreakTheFile) {
    const struct {
        std::string section, key, value;
    } cases[] = {
        {"", "k", "1"},
        {"   ", "k", "1"},
        {"a]b", "k", "1"},
        {"a\nb", "k", "1"},
        {"A", "", "1"},
        {"A", "a=b", "1"},
        {"A", ";k", "1"},
        {"A", "[k", "1"},
        {"A", "k\r", "1"},
        {"A", "k\0"s, "1"},
        {"A", "k", "1\r\n[Evil]\r\nx=1"},
        {"A", "k", "1\0x"s},
    };
    for (const auto& c : cases) {
        std::string text = "[A]\r\nk=0\r\n";
        EXPECT_EQ(SetIniString(text, c.section, c.key, c.value), IniStatus::InvalidName) << c.key << c.value;
        EXPECT_EQ(text, "[A]\r\nk=0\r\n");
    }
}

TEST(IniDecimal, StopsAtTheFirstNonDigit) {
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"-50", -50},
        {" 12abc", 12},
        {"1B80", 1},
        {"abc", 0},
        {"", 0},
        {"+7", 7},
        {"- 5", 0},
        {"--5", 0},
        {"\t\n\v\f\r 42", 42},
        {"0x10", 0},
        {"007", 7},
        {"12.9", 12},
        {"99", 99},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-2147483649", INT_MIN},
        {"99999999999999999999999999999", INT_MAX},
        {"-0", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(ConvertDecimal(c.text), c.value) << '"' << c.text << '"';
}

// Random bytes rich in the characters the parser cares about, then many writes: every key written
// must read back as last written, and inserting never drops a byte of what was there.
TEST(IniWrite, GarbageNeverLosesContentOrWrittenKeys) {
    const char alphabet[] = "[]=;\r\n \t\vAaBbKk01\"'\0\xFF";
    for (unsigned seed = 1; seed <= 200; ++seed) {
        std::mt19937 gen(seed);
        std::string text(gen() % 400, '\0');
        for (char& c : text) c = alphabet[gen() % (sizeof(alphabet) - 1)];
        std::map<std::pair<std::string, std::string>, std::string> written;
        const char* sections[] = {"A", "b", "Sec"};
        const char* keys[] = {"k", "K2", "Key"};
        for (int op = 0; op < 12; ++op) {
            const std::string section = sections[gen() % 3];
            const std::string key = keys[gen() % 3];
            const std::string value = std::to_string(gen() % 1000);
            const std::string before = text;
            const bool existed = GetIniString(text, section, key, "\x01") != "\x01";
            ASSERT_EQ(SetIniString(text, section, key, value), IniStatus::Ok);
            if (!existed) {
                ASSERT_GT(text.size(), before.size());
                std::size_t prefix = 0;
                while (prefix < before.size() && before[prefix] == text[prefix]) ++prefix;
                const std::size_t inserted = text.size() - before.size();
                ASSERT_EQ(text.substr(prefix + inserted), before.substr(prefix)) << "seed " << seed;
            }
            std::string lowered = section;
            for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            std::string loweredKey = key;
            for (char& c : loweredKey) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            written[{lowered, loweredKey}] = value;
            for (const auto& [name, expected] : written) {
                ASSERT_EQ(GetIniString(text, name.first, name.second, "missing"), expected)
                    << "seed " << seed;
            }
        }
    }
}

TEST(IniFileOnDisk, MissingFileReadsAsMissingAndIsCreatedOnSave) {
    TempFolder dir;
    IniFile reader(dir / "a.ini");
    EXPECT_EQ(reader.Load(), IniStatus::FileMissing);
    EXPECT_EQ(reader.GetString("A", "k", "0"), "0");

    IniFile writer(dir / "a.ini");
    ASSERT_EQ(writer.LoadForUpdate(), IniStatus::Ok);
    ASSERT_EQ(writer.SetString("A", "k", "-5"), IniStatus::Ok);
    ASSERT_EQ(writer.Save(), IniStatus::Ok);
    EXPECT_EQ(ReadAllBytes(dir / "a.ini"), "[A]\r\nk=-5\r\n");
    EXPECT_EQ(CountFiles(dir.Path()), 1) << "no temporary file is left behind";

    IniFile again(dir / "a.ini");
    ASSERT_EQ(again.Load(), IniStatus::Ok);
    EXPECT_EQ(again.GetInt("a", "K", "99"), -5);
}

TEST(IniFileOnDisk, SaveNeedsASuccessfulLoadForUpdate) {
    TempFolder dir;
    WriteAllBytes(dir / "a.ini", "[A]\r\nk=1\r\n");
    IniFile ini(dir / "a.ini");
    ASSERT_EQ(ini.Load(), IniStatus::Ok);
    ASSERT_EQ(ini.SetString("A", "k", "2"), IniStatus::Ok);
    EXPECT_EQ(ini.Save(), IniStatus::OpenFailed);
    EXPECT_EQ(ReadAllBytes(dir / "a.ini"), "[A]\r\nk=1\r\n");
}

TEST(IniFileOnDisk, UnwritableFolderFailsAndLeavesNothing) {
    TempFolder dir;
    WriteAllBytes(dir / "plain", "not a folder");
    IniFile inFile(dir / "plain" / "a.ini");
    ASSERT_EQ(inFile.LoadForUpdate(), IniStatus::Ok);
    ASSERT_EQ(inFile.SetString("A", "k", "1"), IniStatus::Ok);
    EXPECT_EQ(inFile.Save(), IniStatus::WriteFailed);

    IniFile inMissing(dir / "absent" / "a.ini");
    ASSERT_EQ(inMissing.LoadForUpdate(), IniStatus::Ok);
    ASSERT_EQ(inMissing.SetString("A", "k", "1"), IniStatus::Ok);
    EXPECT_EQ(inMissing.Save(), IniStatus::WriteFailed);
    EXPECT_FALSE(std::filesystem::exists(dir / "absent"));
    EXPECT_EQ(CountFiles(dir.Path()), 1);

    IniFile aFolder(dir.Path());
    EXPECT_EQ(aFolder.Load(), IniStatus::OpenFailed);
    EXPECT_EQ(aFolder.LoadForUpdate(), IniStatus::OpenFailed);
}

TEST(IniFileOnDisk, ReadOnlyFileIsRefusedLikeAnAppendOpen) {
    TempFolder dir;
    WriteAllBytes(dir / "r.ini", "[A]\r\nk=1\r\n");
    namespace fs = std::filesystem;
    fs::permissions(dir / "r.ini", fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    IniFile ini(dir / "r.ini");
    EXPECT_EQ(ini.LoadForUpdate(), IniStatus::OpenFailed);
    EXPECT_EQ(ini.Save(), IniStatus::OpenFailed);
    IniFile reader(dir / "r.ini");
    EXPECT_EQ(reader.Load(), IniStatus::Ok) << "reading still works";
    fs::permissions(dir / "r.ini", fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(ReadAllBytes(dir / "r.ini"), "[A]\r\nk=1\r\n");
}

TEST(IniFileOnDisk, PathOverTheLimitIsRefusedBeforeTouchingAnything) {
    TempFolder dir;
    const std::size_t base = (dir.Path() / "").native().size();
    const std::string fileName = "Coralvane.ini";
    auto pathOfLength = [&](std::size_t total) {
        return dir.Path() / std::string(total - base - 1 - fileName.size(), 'd') / fileName;
    };

    const auto longest = pathOfLength(kMaxIniPathChars);
    ASSERT_EQ(longest.native().size(), kMaxIniPathChars);
    std::filesystem::create_directories(longest.parent_path());
    IniFile fits(longest);
    ASSERT_EQ(fits.LoadForUpdate(), IniStatus::Ok);
    ASSERT_EQ(fits.SetString("A", "k", "1"), IniStatus::Ok);
    EXPECT_EQ(fits.Save(), IniStatus::Ok);

    const auto tooLong = pathOfLength(kMaxIniPathChars + 1);
    std::filesystem::create_directories(tooLong.parent_path());
    IniFile refused(tooLong);
    EXPECT_EQ(refused.LoadForUpdate(), IniStatus::PathTooLong);
    EXPECT_EQ(refused.Load(), IniStatus::PathTooLong);
    EXPECT_EQ(refused.Save(), IniStatus::OpenFailed);
    EXPECT_FALSE(std::filesystem::exists(tooLong));
}

TEST(IniFileOnDisk, OversizedFileIsReadInPartAndNeverRewritten) {
    TempFolder dir;
    std::string big = "[A]\r\nk=7\r\n";
    big.resize(kMaxIniFileBytes + 1, 'x');
    WriteAllBytes(dir / "big.ini", big);

    IniFile reader(dir / "big.ini");
    EXPECT_EQ(reader.Load(), IniStatus::FileTooLarge);
    EXPECT_EQ(reader.GetString("A", "k", "99"), "7");

    IniFile writer(dir / "big.ini");
    EXPECT_EQ(writer.LoadForUpdate(), IniStatus::FileTooLarge);
    EXPECT_EQ(writer.Save(), IniStatus::OpenFailed);
    EXPECT_EQ(std::filesystem::file_size(dir / "big.ini"), big.size());
}

TEST(IniFileOnDisk, TenMegabytesOfGarbageKeepEveryByteWhenAKeyIsWritten) {
    TempFolder dir;
    std::mt19937 gen(7);
    std::string garbage(10u * 1024u * 1024u, '\0');
    for (char& c : garbage) c = static_cast<char>(gen());
    WriteAllBytes(dir / "g.ini", garbage);

    IniFile writer(dir / "g.ini");
    ASSERT_EQ(writer.LoadForUpdate(), IniStatus::Ok);
    ASSERT_EQ(writer.SetString("Coralvane", "Initialized", "1"), IniStatus::Ok);
    ASSERT_EQ(writer.Save(), IniStatus::Ok);

    const std::string after = ReadAllBytes(dir / "g.ini");
    ASSERT_GE(after.size(), garbage.size());
    EXPECT_EQ(after.compare(0, garbage.size(), garbage), 0);
    IniFile reader(dir / "g.ini");
    ASSERT_EQ(reader.Load(), IniStatus::Ok);
    EXPECT_EQ(reader.GetInt("Coralvane", "Initialized", "99"), 1);
}

TEST(IniFileOnDisk, VeryLongLinesAndNoFinalLineEnd) {
    TempFolder dir;
    const std::string longLine(1u << 20, 'q');
    WriteAllBytes(dir / "l.ini", "[A]\r\nx=" + longLine);
    IniFile writer(dir / "l.ini");
    ASSERT_EQ(writer.LoadForUpdate(), IniStatus::Ok);
    ASSERT_EQ(writer.SetString("A", "k", "1"), IniStatus::Ok);
    ASSERT_EQ(writer.Save(), IniStatus::Ok);
    EXPECT_EQ(ReadAllBytes(dir / "l.ini"), "[A]\r\nx=" + longLine + "\r\nk=1\r\n");
}

}  // namespace
