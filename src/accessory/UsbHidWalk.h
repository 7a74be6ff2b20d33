#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/HidSystem.h"

// Helpers the transport's files share.

// The paths among the first 128 interfaces that carry the identity pattern, in enumeration order.
std::vector<std::string> MatchingInterfacePaths(HidSystem& system, uint16_t vendorId, uint16_t productId);
// A serial number as 8-bit text: UTF-16 units below 0x80 as they are, others as '?', cut at the
// first zero unit and to 39 characters.
std::string NarrowSerial(const std::u16string& serial);
