#include "bios/NvflashTool.h"

std::string_view NvflashName(ProgramBits program, bool system64) {
    return program == ProgramBits::Bits64 || system64 ? kNvflash64 : kNvflash32;
}

std::filesystem::path NvflashPath(const std::filesystem::path& programFolder, ProgramBits program,
                                  bool system64) {
    return programFolder / std::string(kBiosFolder) / std::string(NvflashName(program, system64));
}

std::vector<std::string> NvflashSaveArguments() {
    return {std::string(kNvflashArgv0), "--save", std::string(kTransferFile)};
}

std::vector<std::string> NvflashFlashArguments() {
    return {std::string(kNvflashArgv0), std::string(kTransferFile), "-A", "-6"};
}
