#include "platform/StdioFile.h"

#include <cstddef>

StdioFile OpenStdioFile(const std::filesystem::path& path, const char* mode) {
#ifdef _WIN32
    wchar_t wideMode[8] = {};
    for (std::size_t i = 0; i + 1 < sizeof wideMode / sizeof wideMode[0] && mode[i] != '\0'; ++i)
        wideMode[i] = static_cast<wchar_t>(mode[i]);
    return StdioFile(_wfopen(path.c_str(), wideMode));
#else
    return StdioFile(std::fopen(path.c_str(), mode));
#endif
}

bool SeekStdioFile(std::FILE* file, std::int64_t offset, int origin) {
#ifdef _WIN32
    return _fseeki64(file, offset, origin) == 0;
#else
    return fseeko(file, static_cast<off_t>(offset), origin) == 0;
#endif
}

std::int64_t TellStdioFile(std::FILE* file) {
#ifdef _WIN32
    return _ftelli64(file);
#else
    return static_cast<std::int64_t>(ftello(file));
#endif
}
