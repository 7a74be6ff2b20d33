#include "gpu/CGpuControl.h"
#include "gpu/VersionFallback.h"

int CGpuControl::ReadCoolerSettings(NvCoolerSettings& settings, int gpuIndex) {
    int32_t result = CallWithVersions(
        {NvCoolerSettings::kVersion4, NvCoolerSettings::kVersion2, NvCoolerSettings::kVersion1},
        [&](uint32_t version) {
            settings.SetVersion(version);
            status = nvapi.GetCoolerSettings(GpuHandle(gpuIndex), kCoolerSelectorAll, &settings);
            if (status != NvStatus::Ok) {
                // Callers read the record even after a failure: it then shows a stopped fan with
                // the full range.
                settings.SetCurrentLevel(0);
                settings.SetMinLevel(0);
                settings.SetMaxLevel(100);
                FetchErrorText(status);
                PrintStateError();
            }
            return status;
        });
    return result == NvStatus::Ok ? 0 : 1;
}

int CGpuControl::ReadCoolerSpeedSettings(NvCoolerSettings& settings, int gpuIndex) {
    settings.SetVersion(NvCoolerSettings::kVersion4);
    status = nvapi.GetCoolerSettings(GpuHandle(gpuIndex), kCoolerSelectorAll, &settings);
    return status == NvStatus::Ok ? 0 : 1;
}

int CGpuControl::ReadFanLevel() {
    if (ReadCoolerSettings(coolerSettings, kSelectedGpu) != 0) return 0;
    fanLevel = coolerSettings.CurrentLevel();
    return fanLevel;
}

void CGpuControl::SetCoolerLevel(int policy, int level, int gpuIndex) {
    NvCoolerLevels levels;
    levels.Clear();
    levels.SetCooler(0, level, policy);
    int32_t result = CallWithVersions(
        {NvCoolerLevels::kVersionLarge, NvCoolerLevels::kVersionSmall}, [&](uint32_t version) {
            levels.SetVersion(version);
            status = nvapi.SetCoolerLevels(GpuHandle(gpuIndex), kCoolerSelectorAll, &levels);
            return status;
        });
    if (result == NvStatus::Ok) fanLevel = level;
}
