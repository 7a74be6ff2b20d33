#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <tuple>

#include "ui/UiTypes.h"
#include "win32/GdiObjects.h"

// Layouts are fixed pixels at 96 dots per inch, and the program declares itself DPI-aware so the
// system does not stretch them; sizes in points are therefore converted at 96 DPI too, or text would
// outgrow its boxes on a high-DPI screen.
constexpr int kLayoutDpi = 96;

// The logical font for a description: an empty face takes the default GUI font's face, a size in
// tenths of a point wins over a height, weight 0 means the face's normal weight.
LOGFONTW MakeLogFont(const FontSpec& spec);

// Fonts of one window, one per distinct description, deleted together with the cache.
class FontCache {
public:
    // The stock default GUI font for a default description (never deleted); nullptr only when the
    // system cannot make the font.
    HFONT Get(const FontSpec& spec);
    size_t Size() const { return fonts.size(); }
    void Clear() { fonts.clear(); }

private:
    using Key = std::tuple<std::string, int, int, int, bool>;
    std::map<Key, GdiObject> fonts;
};
