#include "sim/SimParse.h"

#include <cctype>
#include <limits>

#include "gpu/NvQueryIds.h"

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ParseDigits(std::string_view text, unsigned base, uint64_t& value) {
    if (text.empty()) return false;
    uint64_t result = 0;
    for (char c : text) {
        int digit = HexDigit(c);
        if (digit < 0 || static_cast<unsigned>(digit) >= base) return false;
        if (result > (std::numeric_limits<uint64_t>::max() - digit) / base) return false;
        result = result * base + digit;
    }
    value = result;
    return true;
}

bool HasHexPrefix(std::string_view text) {
    return text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
}

bool Reject(SimKeyArgs& args, const char* what) {
    args.error = std::string("bad ") + what + " '" + std::string(args.value) + "'";
    return false;
}

}  // namespace

std::string_view TrimText(std::string_view text) {
    while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
    return text;
}

std::vector<std::string_view> SplitWords(std::string_view text) {
    std::vector<std::string_view> words;
    size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && IsSpace(text[pos])) ++pos;
        size_t start = pos;
        while (pos < text.size() && !IsSpace(text[pos])) ++pos;
        if (pos > start) words.push_back(text.substr(start, pos - start));
    }
    return words;
}

bool ParseInteger(std::string_view text, int64_t& value) {
    bool negative = !text.empty() && text.front() == '-';
    if (negative || (!text.empty() && text.front() == '+')) text.remove_prefix(1);
    uint64_t magnitude = 0;
    bool parsed =
        HasHexPrefix(text) ? ParseDigits(text.substr(2), 16, magnitude) : ParseDigits(text, 10, magnitude);
    if (!parsed) return false;
    if (negative) {
        if (magnitude > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) + 1) return false;
        value = magnitude == 0 ? 0 : -static_cast<int64_t>(magnitude - 1) - 1;
    } else {
        if (magnitude > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) return false;
        value = static_cast<int64_t>(magnitude);
    }
    return true;
}

bool ParseHexNumber(std::string_view text, uint64_t& value) {
    if (HasHexPrefix(text)) text.remove_prefix(2);
    return ParseDigits(text, 16, value);
}

bool ParseYesNo(std::string_view text, bool& value) {
    if (text == "yes" || text == "true" || text == "1") {
        value = true;
        return true;
    }
    if (text == "no" || text == "false" || text == "0") {
        value = false;
        return true;
    }
    return false;
}

bool ParseQueryId(std::string_view text, uint32_t& queryId) {
    if (uint32_t id = QueryIdFromName(text)) {
        queryId = id;
        return true;
    }
    int64_t number = 0;
    if (!ParseInteger(text, number) || number <= 0 || number > std::numeric_limits<uint32_t>::max())
        return false;
    queryId = static_cast<uint32_t>(number);
    return true;
}

bool ReadU32(SimKeyArgs& args, uint32_t& value) {
    int64_t number = 0;
    if (!ParseInteger(args.value, number) || number < 0 || number > std::numeric_limits<uint32_t>::max()) {
        return Reject(args, "number");
    }
    value = static_cast<uint32_t>(number);
    return true;
}

bool ReadHex16(SimKeyArgs& args, uint16_t& value) {
    uint64_t number = 0;
    if (!ParseHexNumber(args.value, number) || number > 0xFFFF) return Reject(args, "hexadecimal number");
    value = static_cast<uint16_t>(number);
    return true;
}

bool ReadYesNo(SimKeyArgs& args, bool& value) {
    if (!ParseYesNo(args.value, value)) return Reject(args, "yes/no value");
    return true;
}

bool ReadShortText(SimKeyArgs& args, std::string& value) {
    if (args.value.size() > 63) {
        args.error = "text longer than 63 characters";
        return false;
    }
    value = std::string(args.value);
    return true;
}
