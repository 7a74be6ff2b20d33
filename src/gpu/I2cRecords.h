#pragma once
#include <cstddef>
#include <cstdint>

#include "gpu/NvTypes.h"

// The three record versions differ in length and, on 64-bit, in padding; each is its own struct.
struct NV_I2C_INFO_V1 {
    uint32_t version;
    uint32_t displayMask;
    uint8_t bIsDDCPort;
    uint8_t i2cDevAddress;  // 7-bit address shifted left by one
    uint8_t* pbI2cRegAddress;
    uint32_t regAddrSize;
    uint8_t* pbData;
    uint32_t cbSize;
    uint32_t i2cSpeed;
};

struct NV_I2C_INFO_V2 {
    uint32_t version;
    uint32_t displayMask;
    uint8_t bIsDDCPort;
    uint8_t i2cDevAddress;
    uint8_t* pbI2cRegAddress;
    uint32_t regAddrSize;
    uint8_t* pbData;
    uint32_t cbSize;
    uint32_t i2cSpeed;     // 0xFFFF: use i2cSpeedKhz instead
    uint32_t i2cSpeedKhz;  // speed code, 4 = 100 kHz
};

struct NV_I2C_INFO_V3 {
    uint32_t version;
    uint32_t displayMask;
    uint8_t bIsDDCPort;
    uint8_t i2cDevAddress;
    uint8_t* pbI2cRegAddress;
    uint32_t regAddrSize;
    uint8_t* pbData;
    uint32_t cbSize;
    uint32_t i2cSpeed;
    uint32_t i2cSpeedKhz;
    uint8_t portId;
    uint32_t bIsPortIdSet;
};

using NV_I2C_INFO = NV_I2C_INFO_V3;

constexpr uint32_t kI2cSpeedDeprecated = 0xFFFF;
constexpr uint32_t kI2cSpeed100Khz = 4;

constexpr uint32_t kI2cInfoVer1 = NvVersionOf<NV_I2C_INFO_V1>(1);
constexpr uint32_t kI2cInfoVer2 = NvVersionOf<NV_I2C_INFO_V2>(2);
constexpr uint32_t kI2cInfoVer3 = NvVersionOf<NV_I2C_INFO_V3>(3);

static_assert(offsetof(NV_I2C_INFO_V3, bIsDDCPort) == 8);
static_assert(offsetof(NV_I2C_INFO_V3, i2cDevAddress) == 9);
static_assert(offsetof(NV_I2C_INFO_V2, i2cSpeedKhz) == offsetof(NV_I2C_INFO_V3, i2cSpeedKhz));
static_assert(offsetof(NV_I2C_INFO_V1, i2cSpeed) == offsetof(NV_I2C_INFO_V3, i2cSpeed));
#if __SIZEOF_POINTER__ == 4
static_assert(offsetof(NV_I2C_INFO_V3, pbI2cRegAddress) == 12);
static_assert(offsetof(NV_I2C_INFO_V3, pbData) == 20);
static_assert(offsetof(NV_I2C_INFO_V3, cbSize) == 24);
static_assert(offsetof(NV_I2C_INFO_V3, portId) == 36);
static_assert(offsetof(NV_I2C_INFO_V3, bIsPortIdSet) == 40);
static_assert(kI2cInfoVer3 == 0x0003002C);
static_assert(kI2cInfoVer2 == 0x00020024);
static_assert(kI2cInfoVer1 == 0x00010020);
#else
static_assert(offsetof(NV_I2C_INFO_V3, pbI2cRegAddress) == 16);
static_assert(offsetof(NV_I2C_INFO_V3, regAddrSize) == 24);
static_assert(offsetof(NV_I2C_INFO_V3, pbData) == 32);
static_assert(offsetof(NV_I2C_INFO_V3, cbSize) == 40);
static_assert(offsetof(NV_I2C_INFO_V3, portId) == 52);
static_assert(offsetof(NV_I2C_INFO_V3, bIsPortIdSet) == 56);
static_assert(sizeof(NV_I2C_INFO_V3) == 64 && sizeof(NV_I2C_INFO_V2) == 56 && sizeof(NV_I2C_INFO_V1) == 48);
#endif
