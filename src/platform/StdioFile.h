#pragma once
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>

// A C file opened by path, closed when dropped. The program reads and writes its files through C
// files rather than streams: a stream brings the whole locale machinery into the program (a third of
// its code), and most of that code runs, and stays in memory, the first time one opens.
struct StdioFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using StdioFile = std::unique_ptr<std::FILE, StdioFileCloser>;

// Opens with a C mode ("rb", "wb", "ab"); on Windows through the wide name, so any Unicode name
// opens. Empty when the system refuses.
StdioFile OpenStdioFile(const std::filesystem::path& path, const char* mode);

// Moves to offset from origin (SEEK_SET, SEEK_END), with 64-bit offsets on every system; false on failure.
bool SeekStdioFile(std::FILE* file, std::int64_t offset, int origin);
// The position from the start, -1 on failure.
std::int64_t TellStdioFile(std::FILE* file);
