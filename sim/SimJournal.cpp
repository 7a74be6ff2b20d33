#include "sim/SimJournal.h"

#include <cstdio>

namespace {

void AppendHex(std::string& out, const std::vector<uint8_t>& bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    for (uint8_t byte : bytes) {
        out += kDigits[byte >> 4];
        out += kDigits[byte & 0xF];
    }
}

}  // namespace

std::string FormatJournalEntry(const SimJournalEntry& entry) {
    char head[160];
    std::snprintf(
        head, sizeof head, "%08X %s status=%d version=%08X in=", static_cast<unsigned>(entry.queryId),
        entry.function.c_str(), static_cast<int>(entry.status), static_cast<unsigned>(entry.version));
    std::string line = head;
    AppendHex(line, entry.received);
    line += " out=";
    AppendHex(line, entry.returned);
    line += " data=";
    AppendHex(line, entry.payload);
    return line;
}
