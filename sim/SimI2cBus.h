#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "sim/SimScenario.h"

// A device on a GPU's I2C bus, such as the card's lighting controller at 0x90. The simulated
// driver hands it every transaction addressed to it; the device answers like the hardware would.
// Devices have one-byte register addresses; a transaction without one reaches them as register 0.
class SimI2cDevice {
public:
    virtual ~SimI2cDevice() = default;
    // A device with the same state, for a scenario that is copied.
    virtual std::unique_ptr<SimI2cDevice> Clone() const = 0;
    // A block write of `data` to `reg`. False: the device did not acknowledge; the call fails.
    virtual bool Write(uint8_t reg, const std::vector<uint8_t>& data) = 0;
    // A block read of `length` bytes from `reg` into `reply`. False: no acknowledge. A reply shorter
    // than asked for is padded with 0xFF (the idle bus), a longer one cut.
    virtual bool Read(uint8_t reg, size_t length, std::vector<uint8_t>& reply) = 0;

    // The simulator's time (SimNowMs) at the transaction being handed over, set by the bus just
    // before Write or Read, for devices that need their caller to wait between transactions.
    uint64_t nowMs = 0;
};

// One transaction as it reached the bus (also when the device did not acknowledge it).
struct SimI2cTransfer {
    bool write = false;
    uint8_t address = 0;  // 8-bit form: the 7-bit address shifted left by one
    std::vector<uint8_t> reg;
    std::vector<uint8_t> data;  // the bytes written, or the bytes a read returned
    int32_t status = 0;
};

// The I2C bus of one GPU, kept in its state bag: `I2cBus(gpu).Attach(0x90, ...)`.
class SimI2cBus {
public:
    SimI2cBus() = default;
    SimI2cBus(const SimI2cBus& other);
    SimI2cBus& operator=(const SimI2cBus& other);
    SimI2cBus(SimI2cBus&&) = default;
    SimI2cBus& operator=(SimI2cBus&&) = default;

    // Puts a device at an address, replacing any device already there.
    void Attach(uint8_t address, std::unique_ptr<SimI2cDevice> device);
    void Detach(uint8_t address) { devices_.erase(address); }
    SimI2cDevice* Device(uint8_t address) const;
    template <class T>
    T* DeviceAs(uint8_t address) const {
        return dynamic_cast<T*>(Device(address));
    }

    // The port the card's devices sit on, for callers that name one.
    uint8_t port = 1;
    std::vector<SimI2cTransfer> transfers;

private:
    std::map<uint8_t, std::unique_ptr<SimI2cDevice>> devices_;
};

inline SimI2cBus& I2cBus(SimGpu& gpu) {
    return gpu.state.Get<SimI2cBus>();
}

// A plain test device: 256 registers; a write stores its bytes from its register on, a read returns
// them from its register on (both wrapping at the end), so writes echo back.
class SimI2cRegisterFile : public SimI2cDevice {
public:
    std::unique_ptr<SimI2cDevice> Clone() const override {
        return std::make_unique<SimI2cRegisterFile>(*this);
    }
    bool Write(uint8_t reg, const std::vector<uint8_t>& data) override;
    bool Read(uint8_t reg, size_t length, std::vector<uint8_t>& reply) override;

    std::array<uint8_t, 256> registers{};
};

// A plain test device that takes every write and answers every read with the same bytes.
class SimI2cFixedReply : public SimI2cDevice {
public:
    explicit SimI2cFixedReply(std::vector<uint8_t> bytes) : reply(std::move(bytes)) {}
    std::unique_ptr<SimI2cDevice> Clone() const override { return std::make_unique<SimI2cFixedReply>(*this); }
    bool Write(uint8_t, const std::vector<uint8_t>&) override { return true; }
    bool Read(uint8_t, size_t, std::vector<uint8_t>& bytes) override {
        bytes = reply;
        return true;
    }

    std::vector<uint8_t> reply;
};
