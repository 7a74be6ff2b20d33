#include "bios/BiosTransfer.h"

#include <string>
#include <system_error>

#include "bios/NvflashTool.h"
#include "platform/FileStore.h"

namespace fs = std::filesystem;

namespace {

// The work folder goes with everything in it when the action ends, however it ends.
class WorkFolder {
public:
    explicit WorkFolder(const fs::path& biosFolder) : path(CreateFreshFolder(biosFolder, "~nvflash")) {}
    ~WorkFolder() {
        std::error_code ec;
        if (!path.empty()) fs::remove_all(path, ec);
    }
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    fs::path path;
};

}  // namespace

ToolLaunch BiosTransfer::Launch(const fs::path& workFolder, std::vector<std::string> arguments) {
    ToolLaunch launch;
    launch.program = NvflashPath(folder.ExecutableDir(), kThisProgramBits, runner.SystemIs64Bit());
    launch.arguments = std::move(arguments);
    launch.workFolder = workFolder;
    return launch;
}

bool BiosTransfer::SaveTo(const fs::path& target) {
    const WorkFolder work(folder.ExecutableDir() / std::string(kBiosFolder));
    if (work.path.empty()) return false;
    if (!runner.RunAndWait(Launch(work.path, NvflashSaveArguments())).Succeeded()) return false;

    std::string image;
    if (ReadFileBytes(work.path / std::string(kTransferFile), image, kMaxImageBytes) != FileStatus::Ok ||
        image.empty()) {
        return false;
    }
    // A read-only or locked target is refused before anything is written beside it.
    if (CheckFileWritable(target) != FileStatus::Ok) return false;
    return ReplaceFileBytes(target, image) == FileStatus::Ok;
}

bool BiosTransfer::FlashFrom(const fs::path& source) {
    const WorkFolder work(folder.ExecutableDir() / std::string(kBiosFolder));
    if (work.path.empty()) return false;
    std::error_code ec;
    if (!fs::is_regular_file(source, ec) ||
        !fs::copy_file(source, work.path / std::string(kTransferFile), fs::copy_options::none, ec) || ec) {
        return false;
    }
    return runner.RunAndWait(Launch(work.path, NvflashFlashArguments())).Succeeded();
}
