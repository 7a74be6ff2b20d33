#include "platform/AppendFile.h"

#include <system_error>

bool AppendFile::Open(const std::filesystem::path& path) {
    Close();
    lastByte = '\n';
    sizeAtOpen = 0;
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return false;
    if (StdioFile existing = OpenStdioFile(path, "rb")) {
        const std::int64_t size = SeekStdioFile(existing.get(), 0, SEEK_END) ? TellStdioFile(existing.get()) : 0;
        if (size > 0) {
            sizeAtOpen = static_cast<uint64_t>(size);
            if (SeekStdioFile(existing.get(), -1, SEEK_END)) {
                const int last = std::fgetc(existing.get());
                if (last != EOF) lastByte = static_cast<char>(last);
            }
        }
    }
    out = OpenStdioFile(path, "ab");
    return out != nullptr;
}

bool AppendFile::Append(std::string_view bytes) {
    if (!out) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out.get()) == bytes.size();
    return std::fflush(out.get()) == 0 && written;
}

void AppendFile::Close() {
    out.reset();
}
