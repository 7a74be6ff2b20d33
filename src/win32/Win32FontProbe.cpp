#include "win32/Win32FontProbe.h"

#include <windows.h>

#include <cwchar>

#include "win32/TextConvert.h"

namespace {

int CALLBACK StopAtFirst(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

}  // namespace

bool FontFaceInstalled(std::string_view face) {
    const std::wstring wide = Utf8ToWide(face);
    LOGFONTW wanted{};
    // A face name the record cannot hold whole cannot be asked for.
    if (wide.empty() || wide.size() >= LF_FACESIZE) return false;
    wcsncpy(wanted.lfFaceName, wide.c_str(), LF_FACESIZE - 1);
    wanted.lfCharSet = DEFAULT_CHARSET;
    HDC screen = GetDC(nullptr);
    if (!screen) return false;
    bool found = false;
    EnumFontFamiliesExW(screen, &wanted, StopAtFirst, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}
