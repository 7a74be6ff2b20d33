#pragma once
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "platform/StdioFile.h"

// A file written only at its end: opened for appending (created when missing, never truncated),
// each line handed to the system at once, so a crash of the program loses nothing written.
class LineFile {
public:
    virtual ~LineFile() = default;
    virtual bool Open(const std::filesystem::path& path) = 0;
    // Writes the bytes and flushes them; false when the system refused.
    virtual bool Append(std::string_view bytes) = 0;
    virtual void Close() = 0;
    // What the file held when it was opened: its size, and its last byte ('\n' when empty).
    virtual uint64_t SizeAtOpen() const = 0;
    virtual char LastByte() const = 0;
};

class AppendFile : public LineFile {
public:
    bool Open(const std::filesystem::path& path) override;
    bool Append(std::string_view bytes) override;
    void Close() override;
    uint64_t SizeAtOpen() const override { return sizeAtOpen; }
    char LastByte() const override { return lastByte; }

private:
    StdioFile out;
    uint64_t sizeAtOpen = 0;
    char lastByte = '\n';
};
