#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sim/SimRegistry.h"

// Small, strict readers for scenario values; each rejects trailing junk and out-of-range numbers.
std::string_view TrimText(std::string_view text);
std::vector<std::string_view> SplitWords(std::string_view text);
// Decimal with an optional sign, or hexadecimal with a 0x prefix.
bool ParseInteger(std::string_view text, int64_t& value);
// Hexadecimal digits with or without a 0x prefix.
bool ParseHexNumber(std::string_view text, uint64_t& value);
bool ParseYesNo(std::string_view text, bool& value);
// A query id as its name from kQueryIdNames or as a number.
bool ParseQueryId(std::string_view text, uint32_t& queryId);

// The same readers for a whole key value, setting the error text of the line on failure.
bool ReadU32(SimKeyArgs& args, uint32_t& value);
bool ReadHex16(SimKeyArgs& args, uint16_t& value);
bool ReadYesNo(SimKeyArgs& args, bool& value);
// Text the driver returns in its 64-byte strings: at most 63 characters.
bool ReadShortText(SimKeyArgs& args, std::string& value);
