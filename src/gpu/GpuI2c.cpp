#include <cstring>

#include "gpu/CGpuControl.h"
#include "gpu/VersionFallback.h"

namespace {

// The card's lighting controller: 7-bit address 0x48, sent shifted left by one.
constexpr uint8_t kLightingDeviceAddress = 0x90;
constexpr uint8_t kLightingPort = 1;

// Every transaction goes to the same device the same way; only the register and the data differ.
NV_I2C_INFO MakeI2cInfo(uint8_t* reg, uint8_t* data, uint32_t length) {
    NV_I2C_INFO info;
    std::memset(&info, 0, sizeof info);
    info.displayMask = 1;
    info.bIsDDCPort = 1;
    info.i2cDevAddress = kLightingDeviceAddress;
    info.pbI2cRegAddress = reg;
    info.regAddrSize = 1;
    info.pbData = data;
    info.cbSize = length;
    info.i2cSpeed = kI2cSpeedDeprecated;
    info.i2cSpeedKhz = kI2cSpeed100Khz;
    info.portId = kLightingPort;
    info.bIsPortIdSet = 1;
    return info;
}

}  // namespace

int CGpuControl::ReadI2C(uint8_t* buffer, uint32_t length, int gpuIndex) {
    uint8_t reg = 0x00;
    NV_I2C_INFO info = MakeI2cInfo(&reg, buffer, length);
    int32_t result = CallWithVersions({kI2cInfoVer3, kI2cInfoVer2, kI2cInfoVer1}, [&](uint32_t version) {
        info.version = version;
        status = nvapi.I2CRead(GpuHandle(gpuIndex), &info);
        return status;
    });
    return result == NvStatus::Ok ? 0 : 1;
}

int CGpuControl::WriteI2C(uint8_t reg, const uint8_t* data, uint32_t length, int gpuIndex) {
    uint8_t regByte = reg;
    // The record has one data pointer for both directions; a write only ever reads through it.
    NV_I2C_INFO info = MakeI2cInfo(&regByte, const_cast<uint8_t*>(data), length);
    int32_t result = CallWithVersions({kI2cInfoVer3, kI2cInfoVer2, kI2cInfoVer1}, [&](uint32_t version) {
        info.version = version;
        status = nvapi.I2CWrite(GpuHandle(gpuIndex), &info);
        return status;
    });
    return result == NvStatus::Ok ? 0 : 1;
}
