#pragma once
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// NVIDIA's firmware tool, shipped in the "BIOS" folder beside the executable in two builds.
inline constexpr std::string_view kBiosFolder = "BIOS";
inline constexpr std::string_view kNvflash32 = "nvflash32.exe";
inline constexpr std::string_view kNvflash64 = "nvflash64.exe";
// The name the tool is given as its first argument, and the file it reads and writes in its
// current directory.
inline constexpr std::string_view kNvflashArgv0 = "nvflash.exe";
inline constexpr std::string_view kTransferFile = "backup.rom";

enum class ProgramBits { Bits32, Bits64 };

inline constexpr ProgramBits kThisProgramBits =
    sizeof(void*) == 8 ? ProgramBits::Bits64 : ProgramBits::Bits32;

// The 64-bit tool wherever Windows is 64-bit (this program's own build aside), else the 32-bit one.
std::string_view NvflashName(ProgramBits program, bool system64);
// <program folder>\BIOS\<tool>.
std::filesystem::path NvflashPath(const std::filesystem::path& programFolder, ProgramBits program,
                                  bool system64);

// "--save backup.rom": the card's video BIOS into the transfer file.
std::vector<std::string> NvflashSaveArguments();
// "backup.rom -A -6": the transfer file onto the card.
std::vector<std::string> NvflashFlashArguments();
