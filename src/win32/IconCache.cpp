#include "win32/IconCache.h"

#include "win32/GdiTally.h"
#include "win32/TextConvert.h"

namespace {

// Icon names come from code, but a name must never walk out of the skin folder.
bool IsPlainFileName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    return name.find_first_of("\\/:") == std::string::npos;
}

}  // namespace

HICON IconCache::Get(const std::string& name) {
    return Load(name).icon;
}

SIZE IconCache::SizeOf(const std::string& name) {
    return Load(name).size;
}

const IconCache::Entry& IconCache::Load(const std::string& name) {
    auto it = icons.find(name);
    if (it != icons.end()) return it->second;
    HICON icon = nullptr;
    if (IsPlainFileName(name)) {
        const std::wstring path = folder + Utf8ToWide(name);
        // Size 0, 0 without LR_DEFAULTSIZE keeps the icon's own size: the skin draws each icon at
        // the size of its button.
        icon = static_cast<HICON>(LoadImageW(nullptr, path.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE));
        if (icon) GdiTally::Add(GdiKind::Icon);
    }
    return icons.emplace(name, Entry{icon, IconSize(icon)}).first->second;
}

void IconCache::Clear() {
    for (auto& entry : icons) {
        if (entry.second.icon) {
            DestroyIcon(entry.second.icon);
            GdiTally::Remove(GdiKind::Icon);
        }
    }
    icons.clear();
}

SIZE IconSize(HICON icon) {
    SIZE size{0, 0};
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return size;
    BITMAP bitmap{};
    if (info.hbmColor && GetObjectW(info.hbmColor, sizeof bitmap, &bitmap)) {
        size = {bitmap.bmWidth, bitmap.bmHeight};
    } else if (info.hbmMask && GetObjectW(info.hbmMask, sizeof bitmap, &bitmap)) {
        // A monochrome icon's mask holds the AND and XOR halves one above the other.
        size = {bitmap.bmWidth, bitmap.bmHeight / 2};
    }
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return size;
}
