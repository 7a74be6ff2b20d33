#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "win32/TextConvert.h"
#include "win32/Win32FontProbe.h"

namespace {

// Some installed face, asked of the system itself: installations differ in what they carry.
int CALLBACK TakeFirstFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM found) {
    auto& face = *reinterpret_cast<std::wstring*>(found);
    if (font->lfFaceName[0] == L'@' || font->lfFaceName[0] == 0) return 1;
    face = font->lfFaceName;
    return 0;
}

std::wstring AnyInstalledFace() {
    std::wstring face;
    LOGFONTW all{};
    all.lfCharSet = DEFAULT_CHARSET;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &all, TakeFirstFace, reinterpret_cast<LPARAM>(&face), 0);
    ReleaseDC(nullptr, screen);
    return face;
}

}  // namespace

TEST(FontFaceInstalled, FindsAnInstalledFaceAndNotAMissingOne) {
    const std::wstring installed = AnyInstalledFace();
    ASSERT_FALSE(installed.empty()) << "no font installed at all";
    EXPECT_TRUE(FontFaceInstalled(WideToUtf8(installed)));
    EXPECT_FALSE(FontFaceInstalled("NoSuchFaceAnywhere 7"));
    EXPECT_FALSE(FontFaceInstalled(""));
    EXPECT_FALSE(FontFaceInstalled(std::string(40, 'A')));
}
