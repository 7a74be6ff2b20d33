#include "lighting/LightingDetection.h"

#include <algorithm>
#include <array>

#include "lighting/LightingFrame.h"

namespace {

constexpr uint32_t kProbePauseMs = 300;
constexpr uint32_t kStatusRequestPauseMs = 200;
constexpr uint32_t kStatusReadPauseMs = 500;
constexpr uint8_t kProbeRegister = 0xA0;
constexpr size_t kLayoutReplyBytes = 14;
constexpr size_t kFirstPayloadByte = 11;

bool ProbeRegisterController(LightingLink& link, LedStatus& status) {
    const uint8_t zeros[4] = {0, 0, 0, 0};
    link.Write(0x00, zeros, sizeof zeros);
    link.Pause(kProbePauseMs);
    link.Write(kProbeRegister, zeros, sizeof zeros);
    link.Pause(kProbePauseMs);
    link.Read(status.data(), status.size());
    link.Pause(kProbePauseMs);
    return status[0] == 1 || status[0] == 2;
}

// Requests the status and reads `replyBytes`; a reply that starts FF AA 00 replaces `area` with
// the payload bytes it carried (the rest of the area becomes 0). False leaves `area` untouched.
// `complete` says the reply closed with FF 55 after exactly N payload bytes.
template <size_t N, size_t ReplyBytes>
bool ReadFramedStatus(LightingLink& link, std::array<uint8_t, N>& area, bool& complete) {
    complete = false;
    static_assert(ReplyBytes >= 3);
    link.SendFrame(kFrameStatusRequest, {kFrameQueryPayload});
    link.Pause(kStatusRequestPauseMs);
    std::array<uint8_t, ReplyBytes> reply;
    link.Read(reply.data(), reply.size());
    link.Pause(kStatusReadPauseMs);
    if (!StartsLikeStatusReply(reply.data(), reply.size())) return false;
    // The kind counts from the first bytes alone; a reply cut short still gives what it carried.
    FrameReply frame;
    const bool closed = ParseFrame(reply.data(), reply.size(), frame);
    complete = closed && frame.length == N && frame.stored == N;
    area.fill(0);
    std::copy_n(frame.payload.begin(), std::min(frame.stored, area.size()), area.begin());
    return true;
}

}  // namespace

void QueryZoneLayout(LightingLink& link, uint8_t& zoneLayout) {
    link.SendFrame(kFrameLayoutQuery, {kFrameQueryPayload});
    std::array<uint8_t, kLayoutReplyBytes> reply;
    link.Read(reply.data(), reply.size());
    if (reply[0] != 0xFF || reply[1] != 0xAA) return;
    switch (reply[kFirstPayloadByte]) {
        case 8:
            zoneLayout = 0;
            break;
        case 12:
            zoneLayout = 1;
            break;
        case 0:
            zoneLayout = 2;
            break;
        default:
            break;
    }
}

void DetectLighting(LightingLink& link, bool accessoryOnCard, LightingState& state) {
    state.zoneStatusComplete = false;
    if (ProbeRegisterController(link, state.ledStatus)) {
        state.kind = LightingRegister;
        return;
    }
    state.kind = LightingNone;
    state.ledStatus.fill(0);

    if (accessoryOnCard) {
        bool complete = false;
        if (ReadFramedStatus<140, kCardAccessoryReplyBytes>(link, state.cardAccessoryStatus, complete)) {
            state.kind = LightingCardAccessory;
        }
        return;
    }
    QueryZoneLayout(link, state.zoneLayout);
    if (ReadFramedStatus<400, kZoneStatusReplyBytes>(link, state.zoneStatus, state.zoneStatusComplete)) {
        state.kind = LightingZone;
    }
}
