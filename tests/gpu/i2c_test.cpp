#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "JournalBytes.h"
#include "SimCard.h"
#include "sim/SimI2cBus.h"

namespace {

constexpr bool k64Bit = sizeof(void*) == 8;

// NV_I2C_INFO as the driver documents it: two pointers that widen, and move what follows, on 64-bit.
struct I2cOffsets {
    size_t regAddrSize, cbSize, i2cSpeed, i2cSpeedKhz, portId, bIsPortIdSet;
};
constexpr I2cOffsets kAt = k64Bit ? I2cOffsets{24, 40, 44, 48, 52, 56} : I2cOffsets{16, 24, 28, 32, 36, 40};
constexpr uint32_t kVersion3 = k64Bit ? 0x00030040 : 0x0003002C;
constexpr uint32_t kVersion2 = k64Bit ? 0x00020038 : 0x00020024;
constexpr uint32_t kVersion1 = k64Bit ? 0x00010030 : 0x00010020;

std::vector<uint32_t> VersionsTried(const SimDriver& sim, uint32_t queryId) {
    std::vector<uint32_t> versions;
    for (const auto& call : sim.Calls(queryId)) versions.push_back(call.version);
    return versions;
}

std::vector<uint8_t> Counting(size_t length) {
    std::vector<uint8_t> bytes(length);
    for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    return bytes;
}

}  // namespace

TEST(I2c, EveryTransactionCarriesTheFixedFieldsForTheLightingDevice) {
    SimCard card("i2c_registers = 90\n");
    const std::vector<uint8_t> command{0xF0, 0x04, 0x06, 0xA0};
    EXPECT_EQ(card.gpu.WriteI2C(0xA0, command.data(), 4, kSelectedGpu), 0);
    std::vector<uint8_t> buffer(10, 0xEE);
    EXPECT_EQ(card.gpu.ReadI2C(buffer.data(), 10, kSelectedGpu), 0);

    for (uint32_t queryId : {QueryId::I2CWrite, QueryId::I2CRead}) {
        auto calls = card.sim.Calls(queryId);
        ASSERT_EQ(calls.size(), 1u);
        const auto& sent = calls[0].received;
        ASSERT_EQ(sent.size(), k64Bit ? 64u : 44u);
        EXPECT_EQ(WordAt(sent, 0), kVersion3);
        EXPECT_EQ(WordAt(sent, 4), 1u);  // displayMask
        EXPECT_EQ(sent[8], 1);           // bIsDDCPort
        EXPECT_EQ(sent[9], 0x90);        // i2cDevAddress
        EXPECT_EQ(WordAt(sent, kAt.regAddrSize), 1u);
        EXPECT_EQ(WordAt(sent, kAt.cbSize), queryId == QueryId::I2CWrite ? 4u : 10u);
        EXPECT_EQ(WordAt(sent, kAt.i2cSpeed), 0xFFFFu);
        EXPECT_EQ(WordAt(sent, kAt.i2cSpeedKhz), 4u);
        EXPECT_EQ(sent[kAt.portId], 1);
        EXPECT_EQ(WordAt(sent, kAt.bIsPortIdSet), 1u);
    }

    const auto& transfers = I2cBus(card.Gpu()).transfers;
    ASSERT_EQ(transfers.size(), 2u);
    EXPECT_TRUE(transfers[0].write);
    EXPECT_EQ(transfers[0].address, 0x90);
    EXPECT_EQ(transfers[0].reg, std::vector<uint8_t>{0xA0});
    EXPECT_EQ(transfers[0].data, command);
    EXPECT_FALSE(transfers[1].write);
    EXPECT_EQ(transfers[1].reg, std::vector<uint8_t>{0x00});
    // The register file echoes from register 0: the command sits at 0xA0, so the read sees zeros.
    EXPECT_EQ(buffer, std::vector<uint8_t>(10, 0));
}

TEST(I2c, A413ByteReadIsOneTransactionFromRegister0) {
    SimCard card("i2c_registers = 90\n");
    std::vector<uint8_t> written = Counting(200);
    ASSERT_EQ(card.gpu.WriteI2C(0x00, written.data(), 200, kSelectedGpu), 0);

    std::vector<uint8_t> buffer(413, 0);
    EXPECT_EQ(card.gpu.ReadI2C(buffer.data(), 413, kSelectedGpu), 0);
    auto reads = card.sim.Calls(QueryId::I2CRead);
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_EQ(WordAt(reads[0].received, kAt.cbSize), 413u);
    EXPECT_EQ(reads[0].payload.size(), 413u);
    EXPECT_EQ(I2cBus(card.Gpu()).transfers.back().reg, std::vector<uint8_t>{0x00});
    EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + 200), written);
    // The 256 registers wrap: byte 256 of the read is register 0 again.
    EXPECT_EQ(buffer[256], written[0]);
}

TEST(I2c, RejectedVersionsAreRetriedWithTheSameTransaction) {
    struct Case {
        std::vector<uint32_t> rejected;
        std::vector<uint32_t> tried;
        int result;
    } cases[] = {
        {{}, {kVersion3}, 0},
        {{kVersion3}, {kVersion3, kVersion2}, 0},
        {{kVersion3, kVersion2}, {kVersion3, kVersion2, kVersion1}, 0},
        {{kVersion3, kVersion2, kVersion1}, {kVersion3, kVersion2, kVersion1}, 1},
    };
    const std::vector<uint8_t> command{0xF1, 0x02, 0x03, 0x07};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tried.size());
        SimCard card("i2c_registers = 90\n");
        for (uint32_t version : c.rejected) {
            card.sim.RejectVersion(QueryId::I2CWrite, version);
            card.sim.RejectVersion(QueryId::I2CRead, version);
        }
        EXPECT_EQ(card.gpu.WriteI2C(0x00, command.data(), 4, kSelectedGpu), c.result);
        std::vector<uint8_t> reply(4, 0);
        EXPECT_EQ(card.gpu.ReadI2C(reply.data(), 4, kSelectedGpu), c.result);
        EXPECT_EQ(card.gpu.status, c.result ? NvStatus::IncompatibleStructVersion : NvStatus::Ok);

        for (uint32_t queryId : {QueryId::I2CWrite, QueryId::I2CRead}) {
            EXPECT_EQ(VersionsTried(card.sim, queryId), c.tried);
            // Each retry is the same transaction: everything the oldest version holds but its version word.
            auto calls = card.sim.Calls(queryId);
            for (const auto& call : calls) {
                EXPECT_EQ(std::vector<uint8_t>(call.received.begin() + 4,
                                               call.received.begin() + (kVersion1 & 0xFFFF)),
                          std::vector<uint8_t>(calls[0].received.begin() + 4,
                                               calls[0].received.begin() + (kVersion1 & 0xFFFF)));
            }
        }
        const auto& transfers = I2cBus(card.Gpu()).transfers;
        ASSERT_EQ(transfers.size(), c.result ? 0u : 2u);
        if (!c.result) {
            EXPECT_EQ(reply, command);
        }
    }
}

TEST(I2c, WithoutADeviceEveryVersionFailsAndTheBufferIsLeftAlone) {
    SimCard card("");
    std::vector<uint8_t> buffer(10, 0);
    EXPECT_EQ(card.gpu.ReadI2C(buffer.data(), 10, kSelectedGpu), 1);
    EXPECT_EQ(card.gpu.status, NvStatus::Error);
    EXPECT_EQ(card.sim.CallCount(QueryId::I2CRead), 3u);
    EXPECT_EQ(buffer, std::vector<uint8_t>(10, 0));
    EXPECT_EQ(I2cBus(card.Gpu()).transfers.size(), 3u);
}

TEST(I2c, AFixedReplyDeviceIsPaddedWithTheIdleBusAndCut) {
    SimCard card("i2c_reply = 90 02 01 04\n");
    std::vector<uint8_t> longer(6, 0);
    EXPECT_EQ(card.gpu.ReadI2C(longer.data(), 6, kSelectedGpu), 0);
    EXPECT_EQ(longer, (std::vector<uint8_t>{0x02, 0x01, 0x04, 0xFF, 0xFF, 0xFF}));
    std::vector<uint8_t> shorter(2, 0);
    EXPECT_EQ(card.gpu.ReadI2C(shorter.data(), 2, kSelectedGpu), 0);
    EXPECT_EQ(shorter, (std::vector<uint8_t>{0x02, 0x01}));
}

TEST(SimI2c, RequestsOutsideWhatTheDriverDocumentsAreRefused) {
    SimCard card("i2c_registers = 90\ni2c_port = 2\n");
    NvApi api(card.sim.QueryInterface());
    // Room for the longest register address the driver accepts, so a refused size is never a short buffer.
    uint8_t reg[4] = {};
    std::vector<uint8_t> data(5000, 0);
    auto request = [&] {
        NV_I2C_INFO info{};
        info.version = kVersion3;
        info.displayMask = 1;
        info.bIsDDCPort = 1;
        info.i2cDevAddress = 0x90;
        info.pbI2cRegAddress = reg;
        info.regAddrSize = 1;
        info.pbData = data.data();
        info.cbSize = 4;
        info.i2cSpeed = 0xFFFF;
        info.i2cSpeedKhz = 4;
        info.portId = 2;
        info.bIsPortIdSet = 1;
        return info;
    };
    struct Case {
        const char* what;
        void (*change)(NV_I2C_INFO&);
        int32_t status;
    } cases[] = {
        {"as documented", [](NV_I2C_INFO&) {}, NvStatus::Ok},
        {"not the DDC port", [](NV_I2C_INFO& i) { i.bIsDDCPort = 0; }, NvStatus::InvalidArgument},
        {"no data buffer", [](NV_I2C_INFO& i) { i.pbData = nullptr; }, NvStatus::InvalidArgument},
        {"register size without register", [](NV_I2C_INFO& i) { i.pbI2cRegAddress = nullptr; },
         NvStatus::InvalidArgument},
        {"speed field in use", [](NV_I2C_INFO& i) { i.i2cSpeed = 100; }, NvStatus::InvalidArgument},
        {"too long", [](NV_I2C_INFO& i) { i.cbSize = 4097; }, -116},
        {"another port", [](NV_I2C_INFO& i) { i.portId = 1; }, -105},
        {"another device", [](NV_I2C_INFO& i) { i.i2cDevAddress = 0xA0; }, NvStatus::Error},
        {"two register bytes", [](NV_I2C_INFO& i) { i.regAddrSize = 2; }, NvStatus::Error},
    };
    for (const Case& c : cases) {
        NV_I2C_INFO info = request();
        c.change(info);
        EXPECT_EQ(api.I2CWrite(card.sim.GpuHandle(0), &info), c.status) << c.what;
    }
}

TEST(SimI2c, ACopiedScenarioGetsItsOwnDevices) {
    SimScenario scenario = ScenarioFromText("[gpu]\ni2c_registers = 90\n");
    SimDriver first(scenario);
    I2cBus(first.Model().gpus[0]).DeviceAs<SimI2cRegisterFile>(0x90)->registers[0] = 0x42;
    SimDriver second(scenario);
    auto* device = I2cBus(second.Model().gpus[0]).DeviceAs<SimI2cRegisterFile>(0x90);
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->registers[0], 0);
}

TEST(SimI2c, ScenarioLinesAreChecked) {
    struct Case {
        const char* line;
        const char* error;
    } cases[] = {
        {"i2c_registers = 91", "line 2: i2c_registers: expected an even 8-bit address in hexadecimal"},
        {"i2c_registers = 100", "line 2: i2c_registers: expected an even 8-bit address in hexadecimal"},
        {"i2c_reply = 90 1FF",
         "line 2: i2c_reply: expected '<even 8-bit address> <reply bytes>' in hexadecimal"},
        {"i2c_port = 256", "line 2: i2c_port: port above 255"},
    };
    for (const Case& c : cases) {
        SimScenario scenario;
        std::string error;
        EXPECT_FALSE(ParseScenario(std::string("[gpu]\n") + c.line + "\n", scenario, error)) << c.line;
        EXPECT_EQ(error, c.error);
    }
}
