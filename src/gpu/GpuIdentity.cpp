#include <cstring>
#include <iterator>

#include "gpu/CGpuControl.h"

namespace {

constexpr const char* kMemoryTypes[] = {"UNKNOWN", "SDRAM", "DDR1",   "DDR2",   "GDDR2", "GDDR3", "GDDR4",
                                        "DDR3",    "GDDR5", "LPDDR2", "GDDR5X", "HBM1",  "HBM2",  "SDDR4"};
constexpr const char* kMemoryMakers[] = {"UNKNOWN", "Samsung", "Qimonda", "Elpida", "Etron", "Nanya",
                                         "Hynix",   "Mosel",   "Winbond", "Esmt",   "Micron"};

// A driver string is cut at its first zero and never read past its 64 bytes.
std::string FromShortString(const char (&text)[kNvShortStringMax]) {
    return std::string(text, strnlen(text, kNvShortStringMax));
}

}  // namespace

int CGpuControl::ReadMemorySize(int gpuIndex, int& megabytes) {
    uint32_t kilobytes = 0;
    status = nvapi.GetPhysicalFrameBufferSize(GpuHandle(gpuIndex), &kilobytes);
    if (status != NvStatus::Ok) {
        megabytes = 0;
        return 1;
    }
    megabytes = static_cast<int>((static_cast<uint64_t>(kilobytes) + 512) / 1024);
    return 0;
}

int CGpuControl::ReadMemoryType(int gpuIndex, std::string& text) {
    uint32_t code = 0;
    status = nvapi.GetMemoryType(GpuHandle(gpuIndex), &code);
    if (status != NvStatus::Ok) return 1;
    if (code < std::size(kMemoryTypes)) text = kMemoryTypes[code];
    return 0;
}

int CGpuControl::ReadMemoryMaker(int gpuIndex, std::string& text) {
    uint32_t code = 0;
    status = nvapi.GetMemoryMaker(GpuHandle(gpuIndex), &code);
    if (status != NvStatus::Ok) return 1;
    if (code < std::size(kMemoryMakers)) text = kMemoryMakers[code];
    return 0;
}

int CGpuControl::GetFullName(int gpuIndex, std::string& name) {
    char text[kNvShortStringMax] = {};
    status = nvapi.GetFullName(GpuHandle(gpuIndex), text);
    if (status != NvStatus::Ok) return 1;
    name = FromShortString(text);
    return 0;
}

int CGpuControl::GetVbiosVersion(int gpuIndex, std::string& version) {
    char text[kNvShortStringMax] = {};
    status = nvapi.GetVbiosVersionString(GpuHandle(gpuIndex), text);
    if (status != NvStatus::Ok) return 1;
    version = FromShortString(text);
    return 0;
}

int CGpuControl::GetDriverVersion(uint32_t& driverVersion) {
    NV_DISPLAY_DRIVER_VERSION record{};
    record.version = kDisplayDriverVersionVer;
    status = nvapi.GetDisplayDriverVersion(displayHandles[0], &record);
    driverVersion = status == NvStatus::Ok ? record.drvVersion : 0;
    return status == NvStatus::Ok ? 0 : 1;
}

int CGpuControl::GetCoreCount(int gpuIndex, int& cores) {
    uint32_t count = 0;
    status = nvapi.GetGpuCoreCount(GpuHandle(gpuIndex), &count);
    if (status != NvStatus::Ok) return 1;
    cores = static_cast<int>(count);
    return 0;
}

int CGpuControl::GetMemoryBusWidth(int gpuIndex, int& bits) {
    uint32_t width = 0, unused = 0;
    status = nvapi.GetMemoryBusWidth(GpuHandle(gpuIndex), &width, &unused);
    if (status != NvStatus::Ok) return 1;
    bits = static_cast<int>(width);
    return 0;
}
