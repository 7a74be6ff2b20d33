#pragma once
#include <windows.h>

#include <map>
#include <string>

// Button icons of one window, loaded from files in the skin's icon folder on first use and destroyed
// with the cache. A file that is missing or not an icon is remembered as "no icon" and not retried.
class IconCache {
public:
    // `folder` ends with a backslash.
    explicit IconCache(std::wstring folder) : folder(std::move(folder)) {}
    ~IconCache() { Clear(); }
    IconCache(const IconCache&) = delete;
    IconCache& operator=(const IconCache&) = delete;

    // nullptr when there is no such icon, also for an empty name or one that points outside the
    // folder.
    HICON Get(const std::string& name);
    // The icon's own size, {0, 0} when there is no icon.
    SIZE SizeOf(const std::string& name);
    void Clear();
    size_t Size() const { return icons.size(); }

private:
    struct Entry {
        HICON icon = nullptr;
        SIZE size{0, 0};
    };
    const Entry& Load(const std::string& name);

    std::wstring folder;
    std::map<std::string, Entry> icons;
};

// Size of an icon's colour image (or mask), {0, 0} for none.
SIZE IconSize(HICON icon);
