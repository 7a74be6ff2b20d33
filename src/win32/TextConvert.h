#pragma once
#include <string>
#include <string_view>

// The model speaks UTF-8, the system UTF-16. Invalid input turns into U+FFFD rather than failing, so a
// broken text still shows something and never reaches the system half-converted.
std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);
