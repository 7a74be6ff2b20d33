#include "platform/AppendFile.h"

#include <system_error>

bool AppendFile::Open(const std::filesystem::path& path) {
    Close();
    lastByte = '\n';
    sizeAtOpen = 0;
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return false;
    {
        std::ifstream existing(path, std::ios::binary | std::ios::ate);
        const std::streamoff size = existing ? static_cast<std::streamoff>(existing.tellg()) : 0;
        if (size > 0) {
            sizeAtOpen = static_cast<uint64_t>(size);
            existing.seekg(-1, std::ios::end);
            char last = '\n';
            if (existing.get(last)) lastByte = last;
        }
    }
    out.open(path, std::ios::binary | std::ios::app);
    return out.is_open();
}

bool AppendFile::Append(std::string_view bytes) {
    if (!out.is_open()) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    return out.good();
}

void AppendFile::Close() {
    if (out.is_open()) out.close();
    out.clear();
}
