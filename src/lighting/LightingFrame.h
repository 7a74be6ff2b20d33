#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// The framed lighting controllers' frame, requests and replies alike:
//   FF AA 00 00 '1' '.' '0' 00 <command> <length high> <length low> <payload...> FF 55
// No checksum, no sequence number.
constexpr size_t kFrameOverhead = 13;
// A reply's payload is never kept beyond this many bytes, whatever length it declares.
constexpr size_t kMaxReplyPayload = 537;

// `length` payload bytes in a frame of length + 13 bytes.
std::vector<uint8_t> BuildFrame(uint8_t command, const uint8_t* payload, uint16_t length);

// What ParseFrame collected from a received buffer.
struct FrameReply {
    uint8_t byte2 = 0;
    uint8_t byte3 = 0;
    std::array<uint8_t, 4> version{};
    uint8_t command = 0;
    uint16_t length = 0;  // as declared by the device: never trusted for sizes
    size_t stored = 0;    // payload bytes actually received, at most kMaxReplyPayload
    std::array<uint8_t, kMaxReplyPayload> payload{};
};

// Scans `count` bytes for a frame, skipping noise before FF AA and starting over after a wrong
// closing byte. True when the closing FF 55 was seen; otherwise `reply` keeps what was collected.
bool ParseFrame(const uint8_t* bytes, size_t count, FrameReply& reply);

// True when a received buffer starts FF AA 00, which is all the detection asks of a status reply.
bool StartsLikeStatusReply(const uint8_t* bytes, size_t count);
