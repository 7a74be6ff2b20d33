#include <algorithm>
#include <string_view>

#include "sim/SimAcceptedRecord.h"
#include "sim/SimAreas.h"
#include "sim/SimDriver.h"
#include "sim/SimI2cBus.h"
#include "sim/SimParse.h"
#include "sim/SimRegistry.h"
#include "sim/SimTime.h"
#include "sim/SimVersions.h"

SimI2cBus::SimI2cBus(const SimI2cBus& other) : port(other.port), transfers(other.transfers) {
    for (const auto& [address, device] : other.devices_) devices_.emplace(address, device->Clone());
}

SimI2cBus& SimI2cBus::operator=(const SimI2cBus& other) {
    if (this != &other) {
        SimI2cBus copy(other);
        *this = std::move(copy);
    }
    return *this;
}

void SimI2cBus::Attach(uint8_t address, std::unique_ptr<SimI2cDevice> device) {
    if (device) devices_[address] = std::move(device);
}

SimI2cDevice* SimI2cBus::Device(uint8_t address) const {
    auto found = devices_.find(address);
    return found == devices_.end() ? nullptr : found->second.get();
}

bool SimI2cRegisterFile::Write(uint8_t reg, const std::vector<uint8_t>& data) {
    for (size_t i = 0; i < data.size(); ++i) registers[(reg + i) % registers.size()] = data[i];
    return true;
}

bool SimI2cRegisterFile::Read(uint8_t reg, size_t length, std::vector<uint8_t>& reply) {
    reply.resize(length);
    for (size_t i = 0; i < length; ++i) reply[i] = registers[(reg + i) % registers.size()];
    return true;
}

// The driver's I2C calls on the GPU's bus.
namespace {

constexpr int32_t kArgumentExceedMaxSize = -116;
constexpr int32_t kPortIdNotFound = -105;
constexpr uint32_t kSpeedDeprecated = 0xFFFF;
constexpr uint32_t kHighestSpeedCode = 6;  // 400 kHz
// The longest block the simulated bus moves in one transaction.
constexpr uint32_t kMaxTransferBytes = 4096;

// Offsets of the record's fields: the two pointers widen and move what follows them on 64-bit.
struct I2cLayout {
    size_t displayMask = 4, isDdcPort = 8, address = 9;
    size_t regPointer, regSize, dataPointer, dataSize, speed, speedKhz, portId, isPortIdSet;
};
constexpr I2cLayout kLayout = SimVersion::k64Bit ? I2cLayout{4, 8, 9, 16, 24, 32, 40, 44, 48, 52, 56}
                                                 : I2cLayout{4, 8, 9, 12, 16, 20, 24, 28, 32, 36, 40};

struct I2cRequest {
    uint8_t address = 0;
    std::vector<uint8_t> reg;
    uint8_t* data = nullptr;
    uint32_t size = 0;
};

// Checks the record the way the driver documents it and collects the transaction; a status other
// than Ok means the call stops there.
int32_t ReadRequest(void* record, const SimI2cBus& bus, I2cRequest& request) {
    SimRecordBytes bytes = AcceptedRecord(record);
    uint32_t version = bytes.U32(0);
    if (bytes.Get<uint8_t>(kLayout.isDdcPort) != 1) return NvStatus::InvalidArgument;
    auto* regPointer = static_cast<uint8_t*>(bytes.Pointer(kLayout.regPointer));
    uint32_t regSize = bytes.U32(kLayout.regSize);
    request.data = static_cast<uint8_t*>(bytes.Pointer(kLayout.dataPointer));
    request.size = bytes.U32(kLayout.dataSize);
    if ((regSize != 0) != (regPointer != nullptr)) return NvStatus::InvalidArgument;
    if (request.size != 0 && !request.data) return NvStatus::InvalidArgument;
    if (regSize > 4 || request.size > kMaxTransferBytes) return kArgumentExceedMaxSize;
    if (version != SimVersion::I2cInfoV1) {
        if (bytes.U32(kLayout.speed) != kSpeedDeprecated || bytes.U32(kLayout.speedKhz) > kHighestSpeedCode) {
            return NvStatus::InvalidArgument;
        }
    }
    if (version == SimVersion::I2cInfoV3 && bytes.U32(kLayout.isPortIdSet) != 0 &&
        bytes.Get<uint8_t>(kLayout.portId) != bus.port) {
        return kPortIdNotFound;
    }
    request.address = bytes.Get<uint8_t>(kLayout.address);
    request.reg.assign(regPointer, regPointer + regSize);
    return NvStatus::Ok;
}

int32_t Transfer(NvPhysicalGpuHandle handle, void* record, bool write) {
    SimCall call(write ? QueryId::I2CWrite : QueryId::I2CRead);
    SimGpu* gpu = call.Gpu(handle);
    if (!gpu || !call.Record(record, {SimVersion::I2cInfoV3, SimVersion::I2cInfoV2, SimVersion::I2cInfoV1})) {
        return call.Status();
    }
    SimI2cBus& bus = I2cBus(*gpu);
    I2cRequest request;
    int32_t status = ReadRequest(record, bus, request);
    if (status != NvStatus::Ok) return call.Fail(status);

    SimI2cTransfer transfer;
    transfer.write = write;
    transfer.address = request.address;
    transfer.reg = request.reg;
    SimI2cDevice* device = bus.Device(request.address);
    // A device sees one register byte; a longer address is not something it would acknowledge.
    uint8_t reg = request.reg.empty() ? 0 : request.reg[0];
    bool acknowledged = device && request.reg.size() <= 1;
    if (device) device->nowMs = SimNowMs(call.Model());
    if (write) {
        transfer.data.assign(request.data, request.data + request.size);
        acknowledged = acknowledged && device->Write(reg, transfer.data);
    } else if (acknowledged) {
        std::vector<uint8_t> reply;
        acknowledged = device->Read(reg, request.size, reply);
        if (acknowledged) {
            reply.resize(request.size, 0xFF);
            std::copy(reply.begin(), reply.end(), request.data);
            transfer.data = reply;
        }
    }
    transfer.status = acknowledged ? NvStatus::Ok : NvStatus::Error;
    call.AddPayload(transfer.data.data(), transfer.data.size());
    bus.transfers.push_back(transfer);
    return call.Fail(transfer.status);
}

int32_t NVAPI_CALL SimI2CRead(NvPhysicalGpuHandle handle, void* record) {
    return Transfer(handle, record, false);
}

int32_t NVAPI_CALL SimI2CWrite(NvPhysicalGpuHandle handle, void* record) {
    return Transfer(handle, record, true);
}

// An 8-bit bus address: even, written in hexadecimal.
bool ParseAddress(std::string_view word, uint8_t& address) {
    uint64_t value = 0;
    if (!ParseHexNumber(word, value) || value > 0xFE || (value & 1) != 0) return false;
    address = static_cast<uint8_t>(value);
    return true;
}

bool ReadRegisterFile(SimKeyArgs& args) {
    uint8_t address = 0;
    if (!ParseAddress(args.value, address)) {
        args.error = "expected an even 8-bit address in hexadecimal";
        return false;
    }
    I2cBus(args.Gpu()).Attach(address, std::make_unique<SimI2cRegisterFile>());
    return true;
}

bool ReadFixedReply(SimKeyArgs& args) {
    auto words = SplitWords(args.value);
    uint8_t address = 0;
    bool ok = !words.empty() && words.size() <= kMaxTransferBytes + 1 && ParseAddress(words[0], address);
    std::vector<uint8_t> reply;
    for (size_t i = 1; ok && i < words.size(); ++i) {
        uint64_t byte = 0;
        ok = ParseHexNumber(words[i], byte) && byte <= 0xFF;
        reply.push_back(static_cast<uint8_t>(byte));
    }
    if (!ok) {
        args.error = "expected '<even 8-bit address> <reply bytes>' in hexadecimal";
        return false;
    }
    I2cBus(args.Gpu()).Attach(address, std::make_unique<SimI2cFixedReply>(std::move(reply)));
    return true;
}

bool ReadPort(SimKeyArgs& args) {
    uint32_t port = 0;
    if (!ReadU32(args, port)) return false;
    if (port > 0xFF) {
        args.error = "port above 255";
        return false;
    }
    I2cBus(args.Gpu()).port = static_cast<uint8_t>(port);
    return true;
}

}  // namespace

void RegisterSimI2c(SimRegistry& registry) {
    registry.AddFunction(QueryId::I2CRead, SimEntry(&SimI2CRead));
    registry.AddFunction(QueryId::I2CWrite, SimEntry(&SimI2CWrite));

    registry.AddKey("gpu", "i2c_registers", ReadRegisterFile);
    registry.AddKey("gpu", "i2c_reply", ReadFixedReply);
    registry.AddKey("gpu", "i2c_port", ReadPort);
}
