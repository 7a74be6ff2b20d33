#include "platform/FileStore.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>
#include <system_error>
#include <thread>

#include "platform/StdioFile.h"

namespace fs = std::filesystem;

namespace {

// Temporary names are "~cv" + 8 hex digits + ".tmp": short, so a target that fits the path
// limit leaves room for its temporary sibling, and random, so two running copies never share one.
constexpr char kTempPrefix[] = "~cv";
constexpr char kTempSuffix[] = ".tmp";

// Another program reading the target (a virus scanner after each write, an editor, a backup) keeps
// it from being replaced while it holds it open; the rename is tried again for about a second
// before the write counts as failed.
constexpr int kRenameAttempts = 20;
constexpr auto kRenamePause = std::chrono::milliseconds(50);

std::mt19937 SeededGenerator() {
    std::uint32_t device = 0;
    try {
        std::random_device rd;
        device = rd();
    } catch (...) {
        device = 0;
    }
    const auto now = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    const auto wall = static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    int local = 0;
    const auto address = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(&local));
    std::seed_seq seq{device,
                      static_cast<std::uint32_t>(now),
                      static_cast<std::uint32_t>(now >> 32),
                      static_cast<std::uint32_t>(wall),
                      static_cast<std::uint32_t>(wall >> 32),
                      static_cast<std::uint32_t>(address),
                      static_cast<std::uint32_t>(address >> 32)};
    return std::mt19937(seq);
}

std::uint32_t NextTempTag() {
    static std::atomic<std::uint32_t> counter{0};
    thread_local std::mt19937 generator = SeededGenerator();
    // The moment of the call goes in too: a process copied from another (fork) carries the same
    // generator state, and two such copies writing at once must still not share a temporary file.
    const auto now = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    const auto moment = static_cast<std::uint32_t>(now ^ (now >> 32));
    return generator() ^ (counter.fetch_add(1) * 0x9E3779B9u) ^ (moment * 0x85EBCA6Bu);
}

fs::path TempSibling(const fs::path& target, std::uint32_t tag) {
    char name[sizeof(kTempPrefix) + 8 + sizeof(kTempSuffix)];
    std::snprintf(name, sizeof(name), "%s%08X%s", kTempPrefix, static_cast<unsigned>(tag), kTempSuffix);
    return target.parent_path() / name;
}

bool WriteWhole(const fs::path& path, std::string_view bytes) {
    StdioFile out = OpenStdioFile(path, "wb");
    if (!out) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out.get()) == bytes.size();
    return std::fclose(out.release()) == 0 && written;
}

}  // namespace

FileStatus ReadFileBytes(const fs::path& path, std::string& bytes, std::size_t maxBytes) {
    try {
        std::error_code ec;
        const auto status = fs::status(path, ec);
        if (!fs::exists(status)) return FileStatus::Missing;
        if (!fs::is_regular_file(status)) return FileStatus::OpenFailed;
        StdioFile in = OpenStdioFile(path, "rb");
        if (!in) return FileStatus::OpenFailed;
        std::string content;
        char chunk[64 * 1024];
        bool tooLarge = false;
        for (;;) {
            const std::size_t got = std::fread(chunk, 1, sizeof(chunk), in.get());
            if (got == 0) break;
            const std::size_t room = maxBytes - content.size();
            if (got > room) {
                content.append(chunk, room);
                tooLarge = true;
                break;
            }
            content.append(chunk, got);
        }
        if (std::ferror(in.get())) return FileStatus::OpenFailed;
        bytes = std::move(content);
        return tooLarge ? FileStatus::TooLarge : FileStatus::Ok;
    } catch (...) {
        return FileStatus::OpenFailed;
    }
}

FileStatus CheckFileWritable(const fs::path& path) {
    try {
        std::error_code ec;
        const auto status = fs::status(path, ec);
        if (!fs::exists(status)) return FileStatus::Ok;
        if (!fs::is_regular_file(status)) return FileStatus::OpenFailed;
        // The read-only attribute (Windows) or a missing write permission refuses the file even
        // for an administrator or root, who could otherwise open it and rename over it.
        if ((status.permissions() & fs::perms::owner_write) == fs::perms::none) return FileStatus::OpenFailed;
        return OpenStdioFile(path, "ab") ? FileStatus::Ok : FileStatus::OpenFailed;
    } catch (...) {
        return FileStatus::OpenFailed;
    }
}

FileStatus ReplaceFileBytes(const fs::path& path, std::string_view bytes) {
    try {
        fs::path temp;
        std::error_code ec;
        for (int attempt = 0; attempt < 8; ++attempt) {
            temp = TempSibling(path, NextTempTag());
            if (!fs::exists(temp, ec)) break;
        }
        if (!WriteWhole(temp, bytes)) {
            fs::remove(temp, ec);
            return FileStatus::WriteFailed;
        }
        std::error_code ignored;
        fs::rename(temp, path, ec);
        for (int attempt = 1; ec && attempt < kRenameAttempts && fs::is_regular_file(path, ignored); ++attempt) {
            std::this_thread::sleep_for(kRenamePause);
            ec.clear();
            fs::rename(temp, path, ec);
        }
        if (ec) {
            fs::remove(temp, ignored);
            return FileStatus::WriteFailed;
        }
        return FileStatus::Ok;
    } catch (...) {
        return FileStatus::WriteFailed;
    }
}

fs::path LongestTempSibling(const fs::path& path) {
    return TempSibling(path, 0xFFFFFFFFu);
}

fs::path CreateFreshFolder(const fs::path& parent, std::string_view prefix) {
    try {
        for (int attempt = 0; attempt < 8; ++attempt) {
            char tag[9];
            std::snprintf(tag, sizeof(tag), "%08X", static_cast<unsigned>(NextTempTag()));
            const fs::path folder = parent / (std::string(prefix) + tag);
            std::error_code ec;
            // create_directory reports false for a folder that exists: that one is someone else's.
            if (fs::create_directory(folder, ec)) return folder;
            if (ec || !fs::is_directory(parent, ec)) return {};
        }
    } catch (...) {
    }
    return {};
}
