#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lighting/LightingFrame.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

Bytes Frame(uint8_t command, const Bytes& payload) {
    return BuildFrame(command, payload.data(), static_cast<uint16_t>(payload.size()));
}

}  // namespace

TEST(LightingFrame, StatusRequestIsTheFourteenDocumentedBytes) {
    EXPECT_EQ(Frame(0x01, {0x10}),
              (Bytes{0xFF, 0xAA, 0x00, 0x00, 0x31, 0x2E, 0x30, 0x00, 0x01, 0x00, 0x01, 0x10, 0xFF, 0x55}));
}

TEST(LightingFrame, LengthTravelsAsSixteenBitsAroundTheWholePayload) {
    const Bytes payload(300, 0x5A);
    const Bytes frame = Frame(0x04, payload);
    ASSERT_EQ(frame.size(), payload.size() + kFrameOverhead);
    EXPECT_EQ(frame[9], 0x01);
    EXPECT_EQ(frame[10], 0x2C);
    EXPECT_EQ(Bytes(frame.end() - 2, frame.end()), (Bytes{0xFF, 0x55}));
}

TEST(LightingFrame, ParserFindsTheFrameItWasGiven) {
    struct Case {
        const char* name;
        Bytes bytes;
        bool closed;
        Bytes payload;  // what the reply holds afterwards
    };
    const Bytes good = Frame(0x01, {7, 8, 9});
    Bytes badClose = Frame(0x01, {1, 2});
    badClose[badClose.size() - 1] = 0x56;
    const Case cases[] = {
        {"plain", good, true, {7, 8, 9}},
        {"noise before it", Concat({{0x00, 0x12, 0xAA, 0x55}, good}), true, {7, 8, 9}},
        {"a lone FF before it", Concat({{0xFF}, good}), true, {7, 8, 9}},
        {"FF 00 before it", Concat({{0xFF, 0x00}, good}), true, {7, 8, 9}},
        {"after a wrong closing byte", Concat({badClose, good}), true, {7, 8, 9}},
        {"after a missing FF of the closing pair", Concat({Bytes(good.begin(), good.end() - 2), {0x00}, good}), true,
         {7, 8, 9}},
        {"empty payload", Frame(0x0D, {}), true, {}},
        {"cut before its end", Bytes(good.begin(), good.end() - 1), false, {7, 8, 9}},
        {"payload cut short", Bytes(good.begin(), good.begin() + 13), false, {7, 8}},
        {"nothing but noise", {0x01, 0x02, 0xFF, 0xAB}, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FrameReply reply;
        EXPECT_EQ(ParseFrame(c.bytes.data(), c.bytes.size(), reply), c.closed);
        EXPECT_EQ(Bytes(reply.payload.begin(), reply.payload.begin() + static_cast<long>(reply.stored)), c.payload);
        if (c.closed) {
            EXPECT_EQ(reply.length, c.payload.size());
        }
    }
}

TEST(LightingFrame, ParserKeepsTheHeaderBytes) {
    Bytes frame = Frame(0x0D, {12});
    frame[2] = 0x03;
    frame[3] = 0x04;
    FrameReply reply;
    ASSERT_TRUE(ParseFrame(frame.data(), frame.size(), reply));
    EXPECT_EQ(reply.byte2, 0x03);
    EXPECT_EQ(reply.byte3, 0x04);
    EXPECT_EQ(reply.version, (std::array<uint8_t, 4>{0x31, 0x2E, 0x30, 0x00}));
    EXPECT_EQ(reply.command, 0x0D);
    EXPECT_EQ(reply.payload[0], 12);
}

// A declared length is the device's word only: nothing is sized by it and at most 537 bytes are kept.
TEST(LightingFrame, DeclaredLengthBeyondTheBufferStoresAtMostTheBound) {
    Bytes header = {0xFF, 0xAA, 0x00, 0x00, 0x31, 0x2E, 0x30, 0x00, 0x01, 0xFF, 0xFF};
    Bytes huge = Concat({header, Bytes(1000, 0x42)});
    FrameReply reply;
    EXPECT_FALSE(ParseFrame(huge.data(), huge.size(), reply));
    EXPECT_LE(reply.stored, kMaxReplyPayload);

    // The bound reached, the next byte is taken as the first closing byte.
    Bytes exact = Concat({header, Bytes(kMaxReplyPayload, 0x42), {0xFF, 0x55}});
    FrameReply bounded;
    EXPECT_TRUE(ParseFrame(exact.data(), exact.size(), bounded));
    EXPECT_EQ(bounded.stored, kMaxReplyPayload);
    EXPECT_EQ(bounded.length, 0xFFFF);
}

TEST(LightingFrame, StatusReplyStartIsFfAa00) {
    const Bytes good = Frame(0x01, {0x10});
    EXPECT_TRUE(StartsLikeStatusReply(good.data(), good.size()));
    const Bytes others[] = {{0xFF, 0xAA, 0x01}, {0x00, 0xFF, 0xAA, 0x00}, {0xFF, 0xAA}, {}};
    for (const Bytes& bytes : others) EXPECT_FALSE(StartsLikeStatusReply(bytes.data(), bytes.size()));
}
