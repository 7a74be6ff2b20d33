#pragma once
#include <filesystem>

#include "platform/ProgramFolder.h"
#include "platform/ToolRunner.h"

// Saving and flashing the card's video BIOS through nvflash. Each run gets a private work folder,
// made fresh in the program's "BIOS" folder and removed afterwards with whatever the tool left in
// it, so no transfer file of an earlier or a concurrent run is ever read, flashed or deleted.
// Files move only through the file system; nothing goes through a command interpreter.
class BiosTransfer {
public:
    // A video BIOS larger than this is no BIOS image.
    static constexpr std::size_t kMaxImageBytes = 32u << 20;

    BiosTransfer(const ProgramFolder& folder, ToolRunner& runner) : folder(folder), runner(runner) {}

    // True only when nvflash exited with 0, left a non-empty image, and the image replaced `target`
    // whole. On failure `target` is as it was.
    bool SaveTo(const std::filesystem::path& target);
    // True only when a copy of `source` was flashed and nvflash exited with 0. When `source` cannot
    // be copied nothing is flashed. `source` itself is only read.
    bool FlashFrom(const std::filesystem::path& source);

private:
    ToolLaunch Launch(const std::filesystem::path& workFolder, std::vector<std::string> arguments);

    const ProgramFolder& folder;
    ToolRunner& runner;
};
