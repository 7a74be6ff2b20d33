#include "lighting/LightingFrame.h"

namespace {

constexpr uint8_t kVersionText[4] = {0x31, 0x2E, 0x30, 0x00};  // "1.0"

enum class ParseState { Start, Aa, Byte2, Byte3, Version, LengthHigh, LengthLow, Payload, Closing, End };

}  // namespace

std::vector<uint8_t> BuildFrame(uint8_t command, const uint8_t* payload, uint16_t length) {
    std::vector<uint8_t> frame;
    frame.reserve(length + kFrameOverhead);
    frame.insert(frame.end(), {0xFF, 0xAA, 0x00, 0x00});
    frame.insert(frame.end(), std::begin(kVersionText), std::end(kVersionText));
    frame.push_back(command);
    frame.push_back(static_cast<uint8_t>(length >> 8));
    frame.push_back(static_cast<uint8_t>(length & 0xFF));
    if (payload) frame.insert(frame.end(), payload, payload + length);
    frame.insert(frame.end(), {0xFF, 0x55});
    return frame;
}

bool ParseFrame(const uint8_t* bytes, size_t count, FrameReply& reply) {
    ParseState state = ParseState::Start;
    size_t versionBytes = 0;
    for (size_t i = 0; bytes && i < count; ++i) {
        const uint8_t b = bytes[i];
        // The payload ends at the declared length or at the buffer's size, whichever comes first;
        // the byte after it is the first closing byte.
        if (state == ParseState::Payload) {
            if (reply.stored < reply.length && reply.stored < kMaxReplyPayload) {
                reply.payload[reply.stored++] = b;
                continue;
            }
            state = ParseState::Closing;
        }
        switch (state) {
            case ParseState::Start:
                break;
            case ParseState::Aa:
                state = b == 0xAA ? ParseState::Byte2 : ParseState::Start;
                break;
            case ParseState::Byte2:
                reply.byte2 = b;
                state = ParseState::Byte3;
                break;
            case ParseState::Byte3:
                reply.byte3 = b;
                versionBytes = 0;
                state = ParseState::Version;
                break;
            case ParseState::Version:
                if (versionBytes < reply.version.size()) {
                    reply.version[versionBytes++] = b;
                } else {
                    reply.command = b;
                    state = ParseState::LengthHigh;
                }
                break;
            case ParseState::LengthHigh:
                reply.length = static_cast<uint16_t>(b << 8);
                state = ParseState::LengthLow;
                break;
            case ParseState::LengthLow:
                reply.length = static_cast<uint16_t>(reply.length | b);
                reply.stored = 0;
                state = ParseState::Payload;
                break;
            case ParseState::Closing:
                state = b == 0xFF ? ParseState::End : ParseState::Start;
                break;
            case ParseState::End:
                if (b == 0x55) return true;
                state = ParseState::Start;
                break;
            case ParseState::Payload:
                break;
        }
        if (state == ParseState::Start) {
            reply.length = 0;
            // The byte that broke a frame may open the next one (noise such as FF FF AA).
            if (b == 0xFF) state = ParseState::Aa;
        }
    }
    return false;
}

bool StartsLikeStatusReply(const uint8_t* bytes, size_t count) {
    return bytes && count >= 3 && bytes[0] == 0xFF && bytes[1] == 0xAA && bytes[2] == 0x00;
}
