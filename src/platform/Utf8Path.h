#pragma once
#include <filesystem>
#include <string>
#include <string_view>

// A UTF-8 file name as a path: on Windows a narrow string would be read in the ANSI code page.
inline std::filesystem::path PathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string Utf8FromPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}
