#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

#include "sim/SimAreas.h"
#include "sim/SimDriver.h"
#include "sim/SimParse.h"
#include "sim/SimRegistry.h"

// The driver's core: start-up, error texts, GPU and display enumeration, and the scenario
// sections every other area builds on ([driver], [gpu], [display]).
namespace {

constexpr size_t kMaxScenarioEntries = 1024;

const char* BuiltInErrorText(int32_t status) {
    switch (status) {
        case NvStatus::Ok:
            return "NVAPI_OK";
        case NvStatus::Error:
            return "NVAPI_ERROR";
        case NvStatus::LibraryNotFound:
            return "NVAPI_LIBRARY_NOT_FOUND";
        case NvStatus::NoImplementation:
            return "NVAPI_NO_IMPLEMENTATION";
        case NvStatus::ApiNotInitialized:
            return "NVAPI_API_NOT_INITIALIZED";
        case NvStatus::InvalidArgument:
            return "NVAPI_INVALID_ARGUMENT";
        case NvStatus::NvidiaDeviceNotFound:
            return "NVAPI_NVIDIA_DEVICE_NOT_FOUND";
        case NvStatus::EndEnumeration:
            return "NVAPI_END_ENUMERATION";
        case NvStatus::InvalidHandle:
            return "NVAPI_INVALID_HANDLE";
        case NvStatus::IncompatibleStructVersion:
            return "NVAPI_INCOMPATIBLE_STRUCT_VERSION";
        case NvStatus::HandleInvalidated:
            return "NVAPI_HANDLE_INVALIDATED";
        case NvStatus::InvalidPointer:
            return "NVAPI_INVALID_POINTER";
        case NvStatus::ExpectedPhysicalGpuHandle:
            return "NVAPI_EXPECTED_PHYSICAL_GPU_HANDLE";
        case NvStatus::ExpectedDisplayHandle:
            return "NVAPI_EXPECTED_DISPLAY_HANDLE";
        case NvStatus::NotSupported:
            return "NVAPI_NOT_SUPPORTED";
        case NvStatus::OutOfMemory:
            return "NVAPI_OUT_OF_MEMORY";
        default:
            return nullptr;
    }
}

int32_t NVAPI_CALL SimInitialize() {
    SimCall call(QueryId::Initialize, false);
    if (!call.Ok()) return call.Status();
    call.Driver().SetInitialized(true);
    return call.Succeed();
}

int32_t NVAPI_CALL SimGetErrorMessage(int32_t status, char* text) {
    SimCall call(QueryId::GetErrorMessage, false);
    if (!call.Pointer(text)) return call.Status();
    call.Watch(text, kNvShortStringMax);
    char message[kNvShortStringMax] = {};
    auto custom = call.Model().errorTexts.find(status);
    if (custom != call.Model().errorTexts.end()) {
        std::snprintf(message, sizeof message, "%s", custom->second.c_str());
    } else if (const char* known = BuiltInErrorText(status)) {
        std::snprintf(message, sizeof message, "%s", known);
    } else {
        std::snprintf(message, sizeof message, "NVAPI error %d", static_cast<int>(status));
    }
    std::memcpy(text, message, sizeof message);
    return call.Succeed();
}

// Fills the caller's 64-entry table with the present GPUs of one kind, in scenario order.
int32_t EnumGpus(SimCall& call, bool tcc, NvPhysicalGpuHandle* handles, uint32_t* count) {
    if (!call.Pointer(handles) || !call.Pointer(count)) return call.Status();
    call.Watch(handles, kNvMaxPhysicalGpus * sizeof(NvPhysicalGpuHandle));
    const auto& gpus = call.Model().gpus;
    uint32_t written = 0;
    for (size_t i = 0; i < gpus.size() && written < kNvMaxPhysicalGpus; ++i) {
        if (gpus[i].present && gpus[i].tcc == tcc) handles[written++] = call.Driver().GpuHandle(i);
    }
    *count = written;
    if (!tcc && written == 0) return call.Fail(NvStatus::NvidiaDeviceNotFound);
    if (!tcc && call.Model().claimedGpuCount) *count = call.Model().claimedGpuCount;
    return call.Succeed();
}

int32_t NVAPI_CALL SimEnumTCCPhysicalGPUs(NvPhysicalGpuHandle* handles, uint32_t* count) {
    SimCall call(QueryId::EnumTCCPhysicalGPUs);
    return EnumGpus(call, true, handles, count);
}

int32_t NVAPI_CALL SimEnumPhysicalGPUs(NvPhysicalGpuHandle* handles, uint32_t* count) {
    SimCall call(QueryId::EnumPhysicalGPUs);
    return EnumGpus(call, false, handles, count);
}

int32_t NVAPI_CALL SimEnumNvidiaDisplayHandle(uint32_t index, NvDisplayHandle* handle) {
    SimCall call(QueryId::EnumNvidiaDisplayHandle);
    if (!call.Pointer(handle)) return call.Status();
    call.Watch(handle, sizeof *handle);
    const auto& model = call.Model();
    uint32_t seen = 0;
    for (size_t i = 0; i < model.displays.size(); ++i) {
        const SimDisplay& display = model.displays[i];
        bool gpuPresent = display.gpu >= 0 && static_cast<size_t>(display.gpu) < model.gpus.size() &&
                          model.gpus[display.gpu].present;
        if (!display.connected || !gpuPresent) continue;
        if (seen++ == index) {
            *handle = call.Driver().DisplayHandle(i);
            return call.Succeed();
        }
    }
    return call.Fail(NvStatus::EndEnumeration);
}

bool OpenGpu(SimScenario& scenario, std::string& error) {
    if (scenario.gpus.size() >= kMaxScenarioEntries) {
        error = "more than 1024 GPUs";
        return false;
    }
    scenario.gpus.emplace_back();
    return true;
}

bool OpenDisplay(SimScenario& scenario, std::string& error) {
    if (scenario.displays.size() >= kMaxScenarioEntries) {
        error = "more than 1024 displays";
        return false;
    }
    scenario.displays.emplace_back();
    return true;
}

bool ReadErrorText(SimKeyArgs& args) {
    auto words = SplitWords(args.value);
    int64_t status = 0;
    if (words.empty() || !ParseInteger(words[0], status) || status < std::numeric_limits<int32_t>::min() ||
        status > std::numeric_limits<int32_t>::max()) {
        args.error = "expected '<status> <text>'";
        return false;
    }
    std::string_view text = TrimText(args.value.substr(words[0].size()));
    if (text.size() > 63) {
        args.error = "text longer than 63 characters";
        return false;
    }
    args.scenario.errorTexts[static_cast<int32_t>(status)] = std::string(text);
    return true;
}

bool ReadRejection(SimKeyArgs& args) {
    auto words = SplitWords(args.value);
    uint32_t queryId = 0;
    uint64_t version = 0;
    if (words.size() != 2 || !ParseQueryId(words[0], queryId) || !ParseHexNumber(words[1], version) ||
        version > 0xFFFFFFFF) {
        args.error = "expected '<function> <version word>'";
        return false;
    }
    args.scenario.rejectedVersions[queryId].insert(static_cast<uint32_t>(version));
    return true;
}

bool ReadFailure(SimKeyArgs& args) {
    auto words = SplitWords(args.value);
    uint32_t queryId = 0;
    int64_t status = 0, calls = -1;
    bool ok = (words.size() == 2 || words.size() == 3) && ParseQueryId(words[0], queryId) &&
              ParseInteger(words[1], status) && status < 0 && status >= std::numeric_limits<int32_t>::min();
    if (ok && words.size() == 3) ok = ParseInteger(words[2], calls) && calls > 0 && calls <= 1000000;
    if (!ok) {
        args.error = "expected '<function> <negative status> [number of calls]'";
        return false;
    }
    args.scenario.failures[queryId] = {static_cast<int32_t>(status), static_cast<int>(calls)};
    return true;
}

bool ReadDisplayGpu(SimKeyArgs& args) {
    uint32_t gpu = 0;
    if (!ReadU32(args, gpu)) return false;
    if (gpu >= args.scenario.gpus.size()) {
        args.error = "no GPU " + std::to_string(gpu) + " above this line";
        return false;
    }
    args.Display().gpu = static_cast<int>(gpu);
    return true;
}

}  // namespace

void RegisterSimCore(SimRegistry& registry) {
    registry.AddFunction(QueryId::Initialize, SimEntry(&SimInitialize));
    registry.AddFunction(QueryId::GetErrorMessage, SimEntry(&SimGetErrorMessage));
    registry.AddFunction(QueryId::EnumTCCPhysicalGPUs, SimEntry(&SimEnumTCCPhysicalGPUs));
    registry.AddFunction(QueryId::EnumPhysicalGPUs, SimEntry(&SimEnumPhysicalGPUs));
    registry.AddFunction(QueryId::EnumNvidiaDisplayHandle, SimEntry(&SimEnumNvidiaDisplayHandle));

    registry.AddSection("driver", [](SimScenario&, std::string&) { return true; });
    registry.AddSection("gpu", OpenGpu);
    registry.AddSection("display", OpenDisplay);

    registry.AddKey("driver", "version", [](SimKeyArgs& a) { return ReadU32(a, a.scenario.driverVersion); });
    registry.AddKey("driver", "branch",
                    [](SimKeyArgs& a) { return ReadShortText(a, a.scenario.driverBranch); });
    registry.AddKey("driver", "error", ReadErrorText);
    registry.AddKey("driver", "reject", ReadRejection);
    registry.AddKey("driver", "fail", ReadFailure);
    registry.AddKey("driver", "claimed_gpu_count",
                    [](SimKeyArgs& a) { return ReadU32(a, a.scenario.claimedGpuCount); });

    registry.AddKey("gpu", "tcc", [](SimKeyArgs& a) { return ReadYesNo(a, a.Gpu().tcc); });

    registry.AddKey("display", "gpu", ReadDisplayGpu);
    registry.AddKey("display", "id", [](SimKeyArgs& a) { return ReadU32(a, a.Display().displayId); });
    registry.AddKey("display", "connected",
                    [](SimKeyArgs& a) { return ReadYesNo(a, a.Display().connected); });
}
