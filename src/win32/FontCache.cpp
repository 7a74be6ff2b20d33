#include "win32/FontCache.h"

#include <algorithm>
#include <cwchar>

#include "win32/TextConvert.h"

LOGFONTW MakeLogFont(const FontSpec& spec) {
    LOGFONTW font{};
    if (GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font) != sizeof font) {
        font = LOGFONTW{};
        wcscpy(font.lfFaceName, L"MS Shell Dlg");
    }
    font.lfWidth = 0;
    font.lfEscapement = 0;
    font.lfOrientation = 0;
    font.lfItalic = FALSE;
    font.lfUnderline = spec.underline ? TRUE : FALSE;
    font.lfStrikeOut = FALSE;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    if (spec.pointTenths != 0) {
        font.lfHeight = -MulDiv(spec.pointTenths < 0 ? -spec.pointTenths : spec.pointTenths, kLayoutDpi, 720);
    } else if (spec.height != 0) {
        font.lfHeight = spec.height;
    }
    font.lfWeight = spec.weight > 0 && spec.weight <= 1000 ? spec.weight : FW_NORMAL;
    if (!spec.face.empty()) {
        // A face named in Chinese is a Chinese font: asking for its character set lets the font
        // mapper fall back to another Chinese font where that face is missing, rather than to one
        // without the glyphs.
        const bool chineseName =
            std::any_of(spec.face.begin(), spec.face.end(), [](char c) { return (c & 0x80) != 0; });
        if (chineseName) font.lfCharSet = GB2312_CHARSET;
        const std::wstring face = Utf8ToWide(spec.face);
        const size_t length = face.size() < LF_FACESIZE - 1 ? face.size() : LF_FACESIZE - 1;
        wmemcpy(font.lfFaceName, face.data(), length);
        font.lfFaceName[length] = L'\0';
    }
    return font;
}

HFONT FontCache::Get(const FontSpec& spec) {
    if (spec.IsDefault()) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    const Key key{spec.face, spec.height, spec.pointTenths, spec.weight, spec.underline};
    auto it = fonts.find(key);
    if (it == fonts.end()) {
        const LOGFONTW font = MakeLogFont(spec);
        it = fonts.emplace(key, GdiObject(CreateFontIndirectW(&font))).first;
    }
    return it->second ? it->second.As<HFONT>() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}
