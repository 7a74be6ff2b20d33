// A stand-in for NVIDIA's nvflash for the Windows tests. Beside it, "nvflash-sim.log" gets one block
// per run (its name, bitness, working folder, command line and arguments, what it did, its exit
// code); "nvflash-sim.txt", when present, changes its behaviour, one instruction per line:
//   exit N      end with exit code N (0 when absent)
//   nofile      "--save" writes no file
//   partial N   "--save" writes only the first N bytes of the image
//   delay MS    take MS milliseconds before ending
// "--save <file>" writes the known image (NvflashImage.h) to <file> in the working folder; any
// other first argument names a file there to flash, whose size and hash are recorded (exit 2
// when it is missing).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "sim/nvflash/NvflashImage.h"

namespace {

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring OwnPath() {
    wchar_t path[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    return path;
}

std::wstring FolderOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

struct Behaviour {
    int exitCode = 0;
    bool noFile = false;
    long partial = -1;
    unsigned delayMs = 0;
};

Behaviour ReadBehaviour(const std::wstring& file) {
    Behaviour behaviour;
    std::ifstream in(file.c_str());
    std::string key;
    while (in >> key) {
        if (key == "exit") in >> behaviour.exitCode;
        if (key == "nofile") behaviour.noFile = true;
        if (key == "partial") in >> behaviour.partial;
        if (key == "delay") in >> behaviour.delayMs;
    }
    return behaviour;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring self = OwnPath();
    const std::wstring folder = FolderOf(self);
    const Behaviour behaviour = ReadBehaviour(folder + L"nvflash-sim.txt");

    wchar_t cwd[MAX_PATH * 4] = {};
    GetCurrentDirectoryW(MAX_PATH * 4, cwd);
    std::ostringstream record;
    record << "run\nname " << Utf8(self.substr(folder.size())) << "\nbits " << sizeof(void*) * 8 << "\ncwd "
           << Utf8(cwd) << "\ncmdline " << Utf8(GetCommandLineW()) << "\n";
    for (int i = 0; i < argc; ++i) record << "arg " << Utf8(argv[i]) << "\n";

    int exitCode = behaviour.exitCode;
    if (argc >= 3 && std::wstring(argv[1]) == L"--save") {
        if (!behaviour.noFile) {
            std::string image = SimBiosImage();
            if (behaviour.partial >= 0 && size_t(behaviour.partial) < image.size())
                image.resize(size_t(behaviour.partial));
            std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
            out.write(image.data(), std::streamsize(image.size()));
            record << "saved " << image.size() << "\n";
        }
    } else if (argc >= 2) {
        std::ifstream in(argv[1], std::ios::binary);
        if (in) {
            const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            record << "flashed " << bytes.size() << " " << SimImageHash(bytes) << "\n";
        } else {
            record << "flash missing\n";
            if (exitCode == 0) exitCode = 2;
        }
    }
    if (behaviour.delayMs) Sleep(behaviour.delayMs);
    record << "exit " << exitCode << "\nend\n";

    std::ofstream log((folder + L"nvflash-sim.log").c_str(), std::ios::binary | std::ios::app);
    log << record.str();
    return exitCode;
}
