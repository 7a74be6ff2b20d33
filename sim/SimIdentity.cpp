#include <cstdio>
#include <cstring>

#include "sim/SimAreas.h"
#include "sim/SimDriver.h"
#include "sim/SimParse.h"
#include "sim/SimRegistry.h"
#include "sim/SimVersions.h"

// Who the card is: PCI identity, name, memory, video BIOS, core count, bus width, driver version.
namespace {

void CopyShortString(char* destination, const std::string& text) {
    char buffer[kNvShortStringMax] = {};
    std::snprintf(buffer, sizeof buffer, "%s", text.c_str());
    std::memcpy(destination, buffer, sizeof buffer);
}

int32_t NVAPI_CALL SimGetPCIIdentifiers(NvPhysicalGpuHandle handle, uint32_t* deviceId, uint32_t* subSystemId,
                                        uint32_t* revisionId, uint32_t* extDeviceId) {
    SimCall call(QueryId::GetPCIIdentifiers);
    SimGpu* gpu = call.Gpu(handle);
    if (!gpu || !call.Pointer(deviceId) || !call.Pointer(subSystemId) || !call.Pointer(revisionId) ||
        !call.Pointer(extDeviceId)) {
        return call.Status();
    }
    *deviceId = static_cast<uint32_t>(gpu->deviceId) << 16 | gpu->vendorId;
    *subSystemId = static_cast<uint32_t>(gpu->subsystemId) << 16 | gpu->subVendorId;
    *revisionId = gpu->revision;
    *extDeviceId = gpu->deviceId;
    uint32_t words[] = {*deviceId, *subSystemId, *revisionId, *extDeviceId};
    call.AddPayload(words, sizeof words);
    return call.Succeed();
}

// The functions that answer one 32-bit number about the GPU.
template <uint32_t Id, uint32_t SimGpu::*Field>
int32_t NVAPI_CALL SimGetNumber(NvPhysicalGpuHandle handle, uint32_t* value) {
    SimCall call(Id);
    SimGpu* gpu = call.Gpu(handle);
    if (!gpu || !call.Pointer(value)) return call.Status();
    call.Watch(value, sizeof *value);
    *value = gpu->*Field;
    return call.Succeed();
}

template <uint32_t Id, std::string SimGpu::*Field>
int32_t NVAPI_CALL SimGetText(NvPhysicalGpuHandle handle, char* text) {
    SimCall call(Id);
    SimGpu* gpu = call.Gpu(handle);
    if (!gpu || !call.Pointer(text)) return call.Status();
    call.Watch(text, kNvShortStringMax);
    CopyShortString(text, gpu->*Field);
    return call.Succeed();
}

int32_t NVAPI_CALL SimGetMemoryBusWidth(NvPhysicalGpuHandle handle, uint32_t* bits, uint32_t* unused) {
    SimCall call(QueryId::GetMemoryBusWidth);
    SimGpu* gpu = call.Gpu(handle);
    if (!gpu || !call.Pointer(bits)) return call.Status();
    call.Watch(bits, sizeof *bits);
    *bits = gpu->busWidth;
    if (unused) *unused = 0;
    return call.Succeed();
}

// A null display handle means the default display, as with the real driver.
int32_t NVAPI_CALL SimGetDisplayDriverVersion(NvDisplayHandle handle, void* record) {
    SimCall call(QueryId::GetDisplayDriverVersion);
    if (!call.Ok()) return call.Status();
    SimDisplay* display = handle ? call.Driver().FindDisplay(handle) : nullptr;
    if (handle && !display) return call.Fail(NvStatus::ExpectedDisplayHandle);
    if (!call.Record(record, {SimVersion::DisplayDriverVersion})) return call.Status();
    const SimScenario& model = call.Model();
    size_t gpuIndex = display ? static_cast<size_t>(display->gpu) : 0;
    if (model.gpus.empty()) return call.Fail(NvStatus::NvidiaDeviceNotFound);
    auto* bytes = static_cast<uint8_t*>(record);
    uint32_t version = model.driverVersion, changeList = 0;
    std::memcpy(bytes + 4, &version, 4);
    std::memcpy(bytes + 8, &changeList, 4);
    CopyShortString(reinterpret_cast<char*>(bytes + 12), model.driverBranch);
    CopyShortString(reinterpret_cast<char*>(bytes + 76), model.gpus[gpuIndex].name);
    return call.Succeed();
}

bool ReadPci(SimKeyArgs& args) {
    auto words = SplitWords(args.value);
    uint64_t ids[4] = {};
    bool ok = words.size() == 4;
    for (size_t i = 0; ok && i < 4; ++i) ok = ParseHexNumber(words[i], ids[i]) && ids[i] <= 0xFFFF;
    if (!ok) {
        args.error = "expected four hexadecimal ids: vendor device subvendor subsystem";
        return false;
    }
    SimGpu& gpu = args.Gpu();
    gpu.vendorId = static_cast<uint16_t>(ids[0]);
    gpu.deviceId = static_cast<uint16_t>(ids[1]);
    gpu.subVendorId = static_cast<uint16_t>(ids[2]);
    gpu.subsystemId = static_cast<uint16_t>(ids[3]);
    return true;
}

bool ReadRevision(SimKeyArgs& args) {
    uint64_t revision = 0;
    if (!ParseHexNumber(args.value, revision) || revision > 0xFF) {
        args.error = "bad revision '" + std::string(args.value) + "'";
        return false;
    }
    args.Gpu().revision = static_cast<uint8_t>(revision);
    return true;
}

}  // namespace

void RegisterSimIdentity(SimRegistry& registry) {
    registry.AddFunction(QueryId::GetPCIIdentifiers, SimEntry(&SimGetPCIIdentifiers));
    registry.AddFunction(
        QueryId::GetPhysicalFrameBufferSize,
        SimEntry(&SimGetNumber<QueryId::GetPhysicalFrameBufferSize, &SimGpu::frameBufferKb>));
    registry.AddFunction(QueryId::GetMemoryType,
                         SimEntry(&SimGetNumber<QueryId::GetMemoryType, &SimGpu::memoryType>));
    registry.AddFunction(QueryId::GetMemoryMaker,
                         SimEntry(&SimGetNumber<QueryId::GetMemoryMaker, &SimGpu::memoryMaker>));
    registry.AddFunction(QueryId::GetGpuCoreCount,
                         SimEntry(&SimGetNumber<QueryId::GetGpuCoreCount, &SimGpu::coreCount>));
    registry.AddFunction(QueryId::GetFullName, SimEntry(&SimGetText<QueryId::GetFullName, &SimGpu::name>));
    registry.AddFunction(QueryId::GetVbiosVersionString,
                         SimEntry(&SimGetText<QueryId::GetVbiosVersionString, &SimGpu::vbios>));
    registry.AddFunction(QueryId::GetMemoryBusWidth, SimEntry(&SimGetMemoryBusWidth));
    registry.AddFunction(QueryId::GetDisplayDriverVersion, SimEntry(&SimGetDisplayDriverVersion));

    registry.AddKey("gpu", "pci", ReadPci);
    registry.AddKey("gpu", "revision", ReadRevision);
    registry.AddKey("gpu", "name", [](SimKeyArgs& a) { return ReadShortText(a, a.Gpu().name); });
    registry.AddKey("gpu", "framebuffer_kb", [](SimKeyArgs& a) { return ReadU32(a, a.Gpu().frameBufferKb); });
    registry.AddKey("gpu", "memory_type", [](SimKeyArgs& a) { return ReadU32(a, a.Gpu().memoryType); });
    registry.AddKey("gpu", "memory_maker", [](SimKeyArgs& a) { return ReadU32(a, a.Gpu().memoryMaker); });
    registry.AddKey("gpu", "vbios", [](SimKeyArgs& a) { return ReadShortText(a, a.Gpu().vbios); });
    registry.AddKey("gpu", "cores", [](SimKeyArgs& a) { return ReadU32(a, a.Gpu().coreCount); });
    registry.AddKey("gpu", "bus_width", [](SimKeyArgs& a) { return ReadU32(a, a.Gpu().busWidth); });
}
