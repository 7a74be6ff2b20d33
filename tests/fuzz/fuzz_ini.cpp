#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "app/IniFile.h"

// Configuration files sit beside the executable where anyone may edit them: every byte sequence must
// read without fault, and a value written must read back while every other key keeps its value.

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v';
}

std::string_view TrimSpaces(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Whether two names are one key once written: the file drops every blank around a name.
bool SameName(std::string_view a, std::string_view b) {
    a = TrimBlanks(a);
    b = TrimBlanks(b);
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        return fold(x) == fold(y);
    });
}

// Names the caller passes lose only their spaces while names in the file lose every blank, so a name
// with a tab at either end is written but cannot be found again, as with the system's functions.
bool FindableName(std::string_view name) {
    name = TrimSpaces(name);
    return !name.empty() && !IsBlank(name.front()) && !IsBlank(name.back());
}

// What a reader gets for a value that was written: blanks around it dropped, one pair of matching
// quotes removed.
std::string ReadBackOf(std::string_view value) {
    value = TrimBlanks(value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

// The run-time library's conversion, clamped to int.
int ReferenceDecimal(const std::string& text) {
    long long parsed = std::strtoll(text.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long long>(parsed, INT_MIN, INT_MAX));
}

constexpr std::string_view kAbsent = "\001absent";
constexpr std::string_view kAlsoAbsent = "\002absent";

// A default comes back only when the key is missing; a file may hold either default as a value, but
// not both.
bool KeyPresent(std::string_view text, std::string_view section, std::string_view key) {
    return GetIniString(text, section, key, kAbsent) != kAbsent ||
           GetIniString(text, section, key, kAlsoAbsent) != kAlsoAbsent;
}

// Whether `after` is `before` with one run of bytes inserted somewhere.
bool IsInsertion(std::string_view before, std::string_view after) {
    if (after.size() < before.size()) return false;
    size_t prefix = 0;
    while (prefix < before.size() && before[prefix] == after[prefix]) ++prefix;
    size_t suffix = 0;
    while (suffix < before.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    return prefix + suffix == before.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    std::string section = input.ConsumeRandomLengthString(32);
    std::string key = input.ConsumeRandomLengthString(32);
    std::string otherKey = input.ConsumeRandomLengthString(32);
    std::string value = input.ConsumeRandomLengthString(64);
    std::string text = input.ConsumeRemainingBytesAsString();

    FuzzCheck(ConvertDecimal(value) == ReferenceDecimal(value),
              "numbers convert as the run-time library does");
    FuzzCheck(ConvertDecimal(text) == ReferenceDecimal(text), "numbers convert as the run-time library does");

    std::string otherBefore = GetIniString(text, section, otherKey, kAbsent);
    bool present = KeyPresent(text, section, key);

    std::string written = text;
    IniStatus status = SetIniString(written, section, key, value);
    if (status != IniStatus::Ok) {
        FuzzCheck(status == IniStatus::InvalidName, "text in memory only ever refuses a name or value");
        FuzzCheck(written == text, "a refused write leaves the text as it was");
        return 0;
    }
    // A new key or section is inserted whole; every byte already in the file stays as it was.
    FuzzCheck(present || IsInsertion(text, written), "a new key keeps every byte already in the file");

    if (FindableName(section) && FindableName(key)) {
        FuzzCheck(GetIniString(written, section, key, kAbsent) == ReadBackOf(value),
                  "a written value reads back");
    }
    if (!SameName(key, otherKey)) {
        FuzzCheck(GetIniString(written, section, otherKey, kAbsent) == otherBefore,
                  "writing one key leaves the others as they were");
    }
    return 0;
}
