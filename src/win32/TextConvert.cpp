#include "win32/TextConvert.h"

#include <windows.h>

#include <climits>

std::wstring Utf8ToWide(std::string_view text) {
    if (text.empty() || text.size() > size_t(INT_MAX)) return {};
    // Without MB_ERR_INVALID_CHARS the system replaces invalid sequences with U+FFFD.
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(size_t(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), wide.data(), length);
    return wide;
}

std::string WideToUtf8(std::wstring_view text) {
    if (text.empty() || text.size() > size_t(INT_MAX) / 4) return {};
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    if (length <= 0) return {};
    std::string narrow(size_t(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), narrow.data(), length, nullptr, nullptr);
    return narrow;
}
