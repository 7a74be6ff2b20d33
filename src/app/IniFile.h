#pragma once
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

// A private-profile (INI) engine with the semantics of the Windows functions, so the file reads
// and writes the same on every platform and under the system's own functions:
// - section and key names match without regard to ASCII case; surrounding blanks (space, tab,
//   vertical tab) of names and values in the file are ignored; a value wholly inside matching
//   single or double quotes is returned without them; a value ends at a NUL byte;
// - lines end with CR LF, LF or a lone CR; a line starting with ';' is a comment; text after a
//   section's ']' and lines before the first section are ignored; the first of duplicate
//   sections or keys wins;
// - a changed key is rewritten in place as "name=value" keeping the file's spelling of the name;
//   a new key goes right after the last non-blank line of its section, so blank lines that
//   separate sections stay where they are; a new section is appended at the end of the file;
//   new lines end with CR LF; every other byte of the file is kept as it is (8-bit text).
enum class IniStatus {
    Ok,
    FileMissing,   // reading: there is no such file
    OpenFailed,    // the file or its folder cannot be read or written (read-only, locked, absent)
    PathTooLong,   // the full path is over kMaxIniPathChars characters; nothing was touched
    FileTooLarge,  // over kMaxIniFileBytes: its first part can be read, it is never rewritten
    InvalidName,   // an empty name, or a name or value that would break the line structure
    WriteFailed,   // the new content could not be written or renamed over the file
};

// The program's limit for the whole path of a configuration file; its temporary sibling must
// also stay within Windows' MAX_PATH of 260 (259 characters and the terminator).
inline constexpr std::size_t kMaxIniPathChars = 255;
inline constexpr std::size_t kMaxIniTempPathChars = 259;
// Configuration files are a few kilobytes; anything larger is damage and is left alone.
inline constexpr std::size_t kMaxIniFileBytes = 16u * 1024u * 1024u;

const char* DescribeIniStatus(IniStatus status);

// The decimal conversion of the run-time library: leading white space, an optional sign, then
// decimal digits up to the first other character; no digits gives 0. Out-of-range numbers are
// clamped to the int range instead of wrapping.
int ConvertDecimal(std::string_view text);

// The value of section/key in the bytes of a file, or defaultText (less trailing spaces).
std::string GetIniString(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view defaultText);

// Sets section/key to value in the bytes of a file, by the placement rules above.
IniStatus SetIniString(std::string& text, std::string_view section, std::string_view key,
                       std::string_view value);

// One file on disk: Load or LoadForUpdate reads it whole, the getters and setters work on the
// copy in memory, and Save replaces the file in one atomic rename.
class IniFile {
public:
    explicit IniFile(std::filesystem::path filePath);

    IniStatus Load();
    // Refuses a file that cannot be opened for appending (as a C "a+" open would), then reads
    // it; a missing file starts empty. Save is allowed only after this succeeded.
    IniStatus LoadForUpdate();

    std::string GetString(std::string_view section, std::string_view key, std::string_view defaultText) const;
    int GetInt(std::string_view section, std::string_view key, std::string_view defaultText) const;
    IniStatus SetString(std::string_view section, std::string_view key, std::string_view value);
    // The line feed a text-mode write of '\n' leaves at the end of the file on Windows.
    void AppendLineFeed();
    IniStatus Save();

    const std::string& Text() const { return text; }
    const std::filesystem::path& Path() const { return path; }
    // PathTooLong when the file or its temporary sibling would pass the system's path limit.
    IniStatus CheckPath() const;

private:
    std::filesystem::path path;
    std::string text;
    bool updatable = false;
};
