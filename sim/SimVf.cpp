#include <array>
#include <cstdint>
#include <vector>

#include "sim/SimAreas.h"
#include "sim/SimDriver.h"
#include "sim/SimNumbers.h"
#include "sim/SimParse.h"
#include "sim/SimRecordBytes.h"
#include "sim/SimRegistry.h"
#include "sim/SimTuning.h"
#include "sim/SimVersions.h"

// The voltage/frequency curve: clock domains with their point ranges and offset limits, the point
// mask, one offset per point that the control write changes, and the voltage boost.
namespace {

constexpr size_t kDomainBase = 40;
constexpr size_t kDomainStride = 72;
constexpr size_t kMaxDomains = (2344 - kDomainBase) / kDomainStride;
constexpr size_t kMaskOffset = 4;
constexpr size_t kMaskWords = 8;
constexpr size_t kPointBase = 68;
constexpr size_t kPointStride = 36;
constexpr size_t kMaxPoints = (9248 - kPointBase) / kPointStride;
constexpr uint32_t kGraphics = 0;
constexpr uint32_t kMemory = 4;
constexpr uint32_t kMaxBoostPercent = 100;

struct SimVfDomain {
    uint32_t flags = 0;  // not 0: the entry is one the program must skip
    uint32_t domain = kGraphics;
    int32_t upperKhz = 0;
    int32_t lowerKhz = 0;
    uint8_t first = 0;
    uint8_t last = 0;
};

// A curve card unless the scenario says otherwise: 80 graphics points and one memory point.
struct SimVfCurve {
    bool supported = true;
    std::vector<SimVfDomain> domains{{0, kGraphics, 500000, -500000, 0, 79},
                                     {0, kMemory, 1000000, -1000000, 80, 80}};
    bool domainsFromScenario = false;  // the first vf_domain line replaces the default domains
    std::array<uint32_t, kMaxPoints> pointFlags{};
    std::array<int32_t, kMaxPoints> offsets{};
    uint32_t boostPercent = 0;

    // The domain a point belongs to, or null for a point the curve does not have.
    const SimVfDomain* DomainOf(size_t point) const {
        for (const auto& domain : domains) {
            if (point >= domain.first && point <= domain.last) return &domain;
        }
        return nullptr;
    }
    bool MaskBit(size_t point) const { return point < kMaxPoints && DomainOf(point) != nullptr; }
};

bool MaskedInRecord(const SimRecordBytes& record, size_t point) {
    return (record.U32(kMaskOffset + 4 * (point / 32)) >> (point % 32)) & 1;
}

// The offset of a domain's first point that carries it, as the driver reports it.
int32_t DomainOffset(const SimVfCurve& curve, uint32_t domainId) {
    for (const auto& domain : curve.domains) {
        if (domain.flags != 0 || domain.domain != domainId) continue;
        for (size_t k = domain.first; k <= domain.last && k < kMaxPoints; ++k) {
            if (curve.pointFlags[k] == 0) return curve.offsets[k];
        }
    }
    return 0;
}

void SyncTuning(SimGpu& gpu) {
    const auto& curve = gpu.state.Get<SimVfCurve>();
    SimTuning& tuning = gpu.state.Get<SimTuning>();
    tuning.graphicsOffsetKhz = DomainOffset(curve, kGraphics);
    tuning.memoryOffsetKhz = DomainOffset(curve, kMemory);
}

// Every V/F function starts alike: a known GPU, an accepted record, a curve to answer from.
SimVfCurve* OpenCurve(SimCall& call, NvPhysicalGpuHandle handle, void* record, uint32_t version,
                      SimGpu** gpuOut) {
    SimGpu* gpu = call.Gpu(handle);
    if (!gpu || !call.Record(record, {version})) return nullptr;
    auto& curve = gpu->state.Get<SimVfCurve>();
    if (!curve.supported) {
        call.Fail(NvStatus::NotSupported);
        return nullptr;
    }
    if (gpuOut) *gpuOut = gpu;
    return &curve;
}

int32_t NVAPI_CALL SimGetVfDomainInfo(NvPhysicalGpuHandle handle, void* info) {
    SimCall call(QueryId::GetVfDomainInfo);
    const SimVfCurve* curve = OpenCurve(call, handle, info, SimVersion::VfDomainInfo, nullptr);
    if (!curve) return call.Status();
    SimRecordBytes record(info, SimVersion::VfDomainInfo & 0xFFFF);
    record.SetU32(4, static_cast<uint32_t>(curve->domains.size()));
    for (size_t i = 0; i < curve->domains.size(); ++i) {
        const SimVfDomain& domain = curve->domains[i];
        size_t entry = kDomainBase + kDomainStride * i;
        record.SetU32(entry, domain.flags);
        record.SetU32(entry + 4, domain.domain);
        record.SetS32(entry + 40, domain.upperKhz);
        record.SetS32(entry + 44, domain.lowerKhz);
        record.Set<uint8_t>(entry + 48, domain.first);
        record.Set<uint8_t>(entry + 49, domain.last);
    }
    return call.Succeed();
}

int32_t NVAPI_CALL SimGetVfPointInfo(NvPhysicalGpuHandle handle, void* info) {
    SimCall call(QueryId::GetVfPointInfo);
    const SimVfCurve* curve = OpenCurve(call, handle, info, SimVersion::VfPointInfo, nullptr);
    if (!curve) return call.Status();
    SimRecordBytes record(info, SimVersion::VfPointInfo & 0xFFFF);
    for (size_t word = 0; word < kMaskWords; ++word) {
        uint32_t bits = 0;
        for (size_t bit = 0; bit < 32; ++bit) {
            if (curve->MaskBit(word * 32 + bit)) bits |= 1u << bit;
        }
        record.SetU32(kMaskOffset + 4 * word, bits);
    }
    return call.Succeed();
}

int32_t NVAPI_CALL SimGetVfPointControl(NvPhysicalGpuHandle handle, void* control) {
    SimCall call(QueryId::GetVfPointControl);
    const SimVfCurve* curve = OpenCurve(call, handle, control, SimVersion::VfPointControl, nullptr);
    if (!curve) return call.Status();
    SimRecordBytes record(control, SimVersion::VfPointControl & 0xFFFF);
    for (size_t k = 0; k < kMaxPoints; ++k) {
        if (!MaskedInRecord(record, k) || !curve->MaskBit(k)) continue;
        size_t entry = kPointBase + kPointStride * k;
        record.SetU32(entry, curve->pointFlags[k]);
        record.SetS32(entry + 20, curve->offsets[k]);
    }
    return call.Succeed();
}

// Sets the offset of every point in the record's mask; a point the curve lacks or an offset outside
// its domain's limits refuses the whole write.
int32_t NVAPI_CALL SimSetVfPointControl(NvPhysicalGpuHandle handle, void* control) {
    SimCall call(QueryId::SetVfPointControl);
    SimGpu* gpu = nullptr;
    SimVfCurve* curve = OpenCurve(call, handle, control, SimVersion::VfPointControl, &gpu);
    if (!curve) return call.Status();
    SimRecordBytes record(control, SimVersion::VfPointControl & 0xFFFF);
    if (MaskedInRecord(record, kMaxPoints)) return call.Fail(NvStatus::InvalidArgument);
    auto offsets = curve->offsets;
    for (size_t k = 0; k < kMaxPoints; ++k) {
        if (!MaskedInRecord(record, k)) continue;
        const SimVfDomain* domain = curve->DomainOf(k);
        int32_t offset = record.S32(kPointBase + kPointStride * k + 20);
        if (!domain || offset > domain->upperKhz || offset < domain->lowerKhz)
            return call.Fail(NvStatus::InvalidArgument);
        offsets[k] = offset;
    }
    curve->offsets = offsets;
    SyncTuning(*gpu);
    return call.Succeed();
}

int32_t NVAPI_CALL SimGetVoltBoost(NvPhysicalGpuHandle handle, void* boost) {
    SimCall call(QueryId::GetVoltBoost);
    const SimVfCurve* curve = OpenCurve(call, handle, boost, SimVersion::VoltBoost, nullptr);
    if (!curve) return call.Status();
    SimRecordBytes record(boost, SimVersion::VoltBoost & 0xFFFF);
    record.Set<uint8_t>(4, static_cast<uint8_t>(curve->boostPercent));
    return call.Succeed();
}

int32_t NVAPI_CALL SimSetVoltBoost(NvPhysicalGpuHandle handle, void* boost) {
    SimCall call(QueryId::SetVoltBoost);
    SimGpu* gpu = nullptr;
    SimVfCurve* curve = OpenCurve(call, handle, boost, SimVersion::VoltBoost, &gpu);
    if (!curve) return call.Status();
    SimRecordBytes record(boost, SimVersion::VoltBoost & 0xFFFF);
    uint32_t percent = record.Get<uint8_t>(4);
    if (percent > kMaxBoostPercent) return call.Fail(NvStatus::InvalidArgument);
    curve->boostPercent = percent;
    gpu->state.Get<SimTuning>().voltBoostPercent = percent;
    return call.Succeed();
}

SimVfCurve& Curve(SimKeyArgs& args) {
    return args.Gpu().state.Get<SimVfCurve>();
}

bool ReadDomainKey(SimKeyArgs& args) {
    auto words = SplitWords(args.value);
    bool skipped = false;
    if (words.size() == 6 && words[5] == "skipped") {
        skipped = true;
        words.pop_back();
    }
    std::vector<int32_t> numbers;
    bool ok = words.size() == 5;
    uint32_t domainId = 0;
    if (ok && words[0] == "graphics")
        domainId = kGraphics;
    else if (ok && words[0] == "memory")
        domainId = kMemory;
    else
        ok = false;
    if (ok) {
        words.erase(words.begin());
        ok = ParseInt32Words(words, numbers) && numbers[0] >= 0 && numbers[1] >= 0 &&
             numbers[0] < static_cast<int32_t>(kMaxPoints) && numbers[1] < static_cast<int32_t>(kMaxPoints) &&
             numbers[2] >= numbers[3];
    }
    if (!ok) {
        args.error =
            "expected 'graphics|memory <first point> <last point> <upper kHz> <lower kHz> [skipped]'";
        return false;
    }
    SimVfCurve& curve = Curve(args);
    if (!curve.domainsFromScenario) curve.domains.clear();
    curve.domainsFromScenario = true;
    if (curve.domains.size() >= kMaxDomains) {
        args.error = "more than 32 domains";
        return false;
    }
    // A first point above the last gives a domain without points, as a driver may report.
    curve.domains.push_back({skipped ? 1u : 0u, domainId, numbers[2], numbers[3],
                             static_cast<uint8_t>(numbers[0]), static_cast<uint8_t>(numbers[1])});
    return true;
}

// "<first> <last> <value>": sets a per-point value over a range of points.
template <class T>
bool ReadPointRangeKey(SimKeyArgs& args, std::array<T, kMaxPoints>& values) {
    std::vector<int32_t> numbers;
    if (!ParseInt32Words(args.value, numbers) || numbers.size() != 3 || numbers[0] < 0 ||
        numbers[0] > numbers[1] || numbers[1] >= static_cast<int32_t>(kMaxPoints)) {
        args.error = "expected '<first point> <last point> <value>' with points below 255";
        return false;
    }
    for (int32_t k = numbers[0]; k <= numbers[1]; ++k) values[k] = static_cast<T>(numbers[2]);
    SyncTuning(args.Gpu());
    return true;
}

bool ReadBoostKey(SimKeyArgs& args) {
    uint32_t percent = 0;
    if (!ReadU32(args, percent)) return false;
    if (percent > kMaxBoostPercent) {
        args.error = "boost above 100 percent";
        return false;
    }
    Curve(args).boostPercent = percent;
    args.Gpu().state.Get<SimTuning>().voltBoostPercent = percent;
    return true;
}

}  // namespace

void RegisterSimVf(SimRegistry& registry) {
    registry.AddFunction(QueryId::GetVfDomainInfo, SimEntry(&SimGetVfDomainInfo));
    registry.AddFunction(QueryId::GetVfPointInfo, SimEntry(&SimGetVfPointInfo));
    registry.AddFunction(QueryId::GetVfPointControl, SimEntry(&SimGetVfPointControl));
    registry.AddFunction(QueryId::SetVfPointControl, SimEntry(&SimSetVfPointControl));
    registry.AddFunction(QueryId::GetVoltBoost, SimEntry(&SimGetVoltBoost));
    registry.AddFunction(QueryId::SetVoltBoost, SimEntry(&SimSetVoltBoost));

    registry.AddKey("gpu", "vf", [](SimKeyArgs& a) { return ReadYesNo(a, Curve(a).supported); });
    registry.AddKey("gpu", "vf_domain", ReadDomainKey);
    registry.AddKey("gpu", "vf_point_offset",
                    [](SimKeyArgs& a) { return ReadPointRangeKey(a, Curve(a).offsets); });
    registry.AddKey("gpu", "vf_point_flags",
                    [](SimKeyArgs& a) { return ReadPointRangeKey(a, Curve(a).pointFlags); });
    registry.AddKey("gpu", "volt_boost", ReadBoostKey);
}
