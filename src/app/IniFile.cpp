#include "app/IniFile.h"

#include <climits>
#include <cstdint>

#include "platform/FileStore.h"

namespace {

constexpr std::string_view kLineEnd = "\r\n";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v';
}

bool IsCSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// The system strips only spaces from the names a caller passes in.
std::string_view TrimSpaces(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    }
    return true;
}

struct Line {
    std::size_t begin = 0;
    std::size_t end = 0;   // end of the content, before the terminator
    std::size_t next = 0;  // start of the following line
};

Line LineAt(std::string_view text, std::size_t pos) {
    const std::size_t end = text.find_first_of(kLineEnd, pos);
    if (end == std::string_view::npos) return {pos, text.size(), text.size()};
    std::size_t next = end + 1;
    if (text[end] == '\r' && next < text.size() && text[next] == '\n') ++next;
    return {pos, end, next};
}

enum class LineKind { Blank, Section, Comment, Key, Other };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string_view name;
    std::string_view value;
};

ParsedLine ParseLine(std::string_view content) {
    while (!content.empty() && IsBlank(content.front())) content.remove_prefix(1);
    if (content.empty()) return {LineKind::Blank, {}, {}};
    if (content.front() == '[') {
        std::string_view name = content.substr(1);
        const std::size_t close = name.find(']');
        if (close != std::string_view::npos) name = name.substr(0, close);
        return {LineKind::Section, TrimBlanks(name), {}};
    }
    if (content.front() == ';') return {LineKind::Comment, {}, {}};
    const std::size_t eq = content.find('=');
    if (eq == std::string_view::npos) return {LineKind::Other, {}, {}};
    return {LineKind::Key, TrimBlanks(content.substr(0, eq)), TrimBlanks(content.substr(eq + 1))};
}

struct Location {
    bool sectionFound = false;
    bool keyFound = false;
    Line keyLine;
    std::string_view fileKeyName;
    std::string_view value;
    std::size_t insertAt = 0;
    bool insertNeedsLineEnd = false;
};

// One pass over the file: the first section with that name, the first key with that name inside
// it, and where a new key of that section would go.
Location Locate(std::string_view text, std::string_view section, std::string_view key) {
    Location loc;
    bool inSection = false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const Line line = LineAt(text, pos);
        const ParsedLine parsed = ParseLine(text.substr(line.begin, line.end - line.begin));
        if (parsed.kind == LineKind::Section) {
            if (inSection) break;
            if (EqualsNoCase(parsed.name, section)) {
                inSection = true;
                loc.sectionFound = true;
                loc.insertAt = line.next;
                loc.insertNeedsLineEnd = line.next == line.end;
            }
        } else if (inSection && parsed.kind != LineKind::Blank) {
            loc.insertAt = line.next;
            loc.insertNeedsLineEnd = line.next == line.end;
            if (parsed.kind == LineKind::Key && !key.empty() && EqualsNoCase(parsed.name, key)) {
                loc.keyFound = true;
                loc.keyLine = line;
                loc.fileKeyName = parsed.name;
                loc.value = parsed.value;
                break;
            }
        }
        pos = line.next;
    }
    return loc;
}

bool HasLineBreakOrNul(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) != s.npos;
}

bool ValidSection(std::string_view section) {
    return !section.empty() && !HasLineBreakOrNul(section) && section.find(']') == section.npos;
}

bool ValidKey(std::string_view key) {
    return !key.empty() && !HasLineBreakOrNul(key) && key.find('=') == key.npos && key.front() != ';' &&
           key.front() != '[';
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    const std::size_t nul = value.find('\0');
    return nul == value.npos ? value : value.substr(0, nul);
}

IniStatus FromFileStatus(FileStatus status) {
    switch (status) {
        case FileStatus::Ok:
            return IniStatus::Ok;
        case FileStatus::Missing:
            return IniStatus::FileMissing;
        case FileStatus::OpenFailed:
            return IniStatus::OpenFailed;
        case FileStatus::TooLarge:
            return IniStatus::FileTooLarge;
        case FileStatus::WriteFailed:
            return IniStatus::WriteFailed;
    }
    return IniStatus::OpenFailed;
}

}  // namespace

const char* DescribeIniStatus(IniStatus status) {
    switch (status) {
        case IniStatus::Ok:
            return "done";
        case IniStatus::FileMissing:
            return "the configuration file does not exist";
        case IniStatus::OpenFailed:
            return "the configuration file or its folder cannot be opened";
        case IniStatus::PathTooLong:
            return "the configuration file's path is longer than 255 characters";
        case IniStatus::FileTooLarge:
            return "the configuration file is larger than 16 MiB and is left unchanged";
        case IniStatus::InvalidName:
            return "a section, key or value is empty or contains a line break";
        case IniStatus::WriteFailed:
            return "the configuration file could not be replaced";
    }
    return "unknown configuration status";
}

int ConvertDecimal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::int64_t magnitude = 0;
    constexpr std::int64_t kLimit = static_cast<std::int64_t>(INT_MAX) + 1;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (magnitude <= kLimit) magnitude = magnitude * 10 + (text[i] - '0');
    }
    if (negative) return magnitude >= kLimit ? INT_MIN : static_cast<int>(-magnitude);
    return magnitude >= kLimit ? INT_MAX : static_cast<int>(magnitude);
}

std::string GetIniString(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view defaultText) {
    while (!defaultText.empty() && defaultText.back() == ' ') defaultText.remove_suffix(1);
    key = TrimSpaces(key);
    if (key.empty()) return std::string(defaultText);
    const Location loc = Locate(text, TrimSpaces(section), key);
    if (!loc.keyFound) return std::string(defaultText);
    return std::string(Unquote(loc.value));
}

IniStatus SetIniString(std::string& text, std::string_view section, std::string_view key,
                       std::string_view value) {
    section = TrimSpaces(section);
    key = TrimSpaces(key);
    if (!ValidSection(section) || !ValidKey(key) || HasLineBreakOrNul(value)) return IniStatus::InvalidName;
    const Location loc = Locate(text, section, key);
    std::string line;
    if (loc.keyFound) {
        line.append(loc.fileKeyName).append("=").append(value);
        text.replace(loc.keyLine.begin, loc.keyLine.end - loc.keyLine.begin, line);
    } else if (loc.sectionFound) {
        if (loc.insertNeedsLineEnd) line.append(kLineEnd);
        line.append(key).append("=").append(value).append(kLineEnd);
        text.insert(loc.insertAt, line);
    } else {
        if (!text.empty() && text.back() != '\n' && text.back() != '\r') line.append(kLineEnd);
        line.append("[").append(section).append("]").append(kLineEnd);
        line.append(key).append("=").append(value).append(kLineEnd);
        text.append(line);
    }
    return IniStatus::Ok;
}

IniFile::IniFile(std::filesystem::path filePath) : path(std::move(filePath)) {}

IniStatus IniFile::CheckPath() const {
    if (path.native().size() > kMaxIniPathChars) return IniStatus::PathTooLong;
    if (LongestTempSibling(path).native().size() > kMaxIniTempPathChars) return IniStatus::PathTooLong;
    return IniStatus::Ok;
}

IniStatus IniFile::Load() {
    updatable = false;
    text.clear();
    try {
        if (const IniStatus status = CheckPath(); status != IniStatus::Ok) return status;
        return FromFileStatus(ReadFileBytes(path, text, kMaxIniFileBytes));
    } catch (...) {
        text.clear();
        return IniStatus::OpenFailed;
    }
}

IniStatus IniFile::LoadForUpdate() {
    updatable = false;
    text.clear();
    try {
        if (const IniStatus status = CheckPath(); status != IniStatus::Ok) return status;
        if (CheckFileWritable(path) != FileStatus::Ok) return IniStatus::OpenFailed;
        const FileStatus status = ReadFileBytes(path, text, kMaxIniFileBytes);
        if (status == FileStatus::Missing) {
            text.clear();
        } else if (status != FileStatus::Ok) {
            text.clear();
            return FromFileStatus(status);
        }
        updatable = true;
        return IniStatus::Ok;
    } catch (...) {
        text.clear();
        return IniStatus::OpenFailed;
    }
}

std::string IniFile::GetString(std::string_view section, std::string_view key,
                               std::string_view defaultText) const {
    try {
        return GetIniString(text, section, key, defaultText);
    } catch (...) {
        return std::string();
    }
}

int IniFile::GetInt(std::string_view section, std::string_view key, std::string_view defaultText) const {
    return ConvertDecimal(GetString(section, key, defaultText));
}

IniStatus IniFile::SetString(std::string_view section, std::string_view key, std::string_view value) {
    try {
        return SetIniString(text, section, key, value);
    } catch (...) {
        updatable = false;
        return IniStatus::WriteFailed;
    }
}

void IniFile::AppendLineFeed() {
    try {
        text.append(kLineEnd);
    } catch (...) {
        updatable = false;
    }
}

IniStatus IniFile::Save() {
    if (!updatable) return IniStatus::OpenFailed;
    return FromFileStatus(ReplaceFileBytes(path, text));
}
