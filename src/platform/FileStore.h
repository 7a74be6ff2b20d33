#pragma once
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

enum class FileStatus {
    Ok,
    Missing,      // the file does not exist
    OpenFailed,   // it exists but cannot be opened (a folder, no rights, locked)
    TooLarge,     // larger than the caller's limit; only the first part was read
    WriteFailed,  // the temporary file could not be written or renamed over the target
};

// Reads the whole file as bytes. A file over maxBytes gives TooLarge with its first maxBytes in bytes.
FileStatus ReadFileBytes(const std::filesystem::path& path, std::string& bytes, std::size_t maxBytes);

// Opens an existing file for appending and closes it again, the same check as a C "a+" open, so a
// read-only or locked file is refused before anything is written. A missing file passes.
// Replacing by rename would otherwise succeed over a read-only file.
FileStatus CheckFileWritable(const std::filesystem::path& path);

// Writes bytes to a new file in the target's folder and renames it over the target, so that a
// crash at any moment leaves either the old or the new file whole, never a mix. A target another
// program holds open is waited for up to about a second.
FileStatus ReplaceFileBytes(const std::filesystem::path& path, std::string_view bytes);

// The longest temporary name ReplaceFileBytes may use for path; callers check it against path limits.
std::filesystem::path LongestTempSibling(const std::filesystem::path& path);

// Makes a new, empty folder named prefix + 8 random hex digits inside parent and returns it; an
// empty path when none could be made (parent missing or not writable). Never reuses a folder
// that exists, so what is put into it belongs to the caller alone.
std::filesystem::path CreateFreshFolder(const std::filesystem::path& parent, std::string_view prefix);
