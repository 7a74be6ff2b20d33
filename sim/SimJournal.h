#pragma once
#include <cstdint>
#include <string>
#include <vector>

// One driver call as the simulator saw it. `received` and `returned` are the call's record (or
// output buffer) before and after the call; `payload` holds extra bytes an area chooses to keep,
// such as the data of an I2C transaction.
struct SimJournalEntry {
    uint32_t queryId = 0;
    std::string function;
    int32_t status = 0;
    uint32_t version = 0;  // the record's version word, 0 for calls without a record
    std::vector<uint8_t> received;
    std::vector<uint8_t> returned;
    std::vector<uint8_t> payload;
};

// One text line per entry, for the journal file of the driver library:
// "<id> <function> status=<n> version=<hex> in=<hex bytes> out=<hex bytes> data=<hex bytes>".
std::string FormatJournalEntry(const SimJournalEntry& entry);
