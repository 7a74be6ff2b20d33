#include "win32/Win32FileDialogs.h"

#include <commdlg.h>

#include <algorithm>
#include <string>
#include <vector>

#include "win32/ComApartment.h"
#include "win32/TextConvert.h"
#include "win32/ThreadWindowsDisabled.h"

namespace {

// Room for any path the system can name.
constexpr size_t kPathChars = 32768;

// "desc|pattern|" becomes the system's "desc\0pattern\0\0".
std::wstring SystemFilter(const std::string& filter) {
    std::wstring list = Utf8ToWide(filter);
    for (wchar_t& c : list) {
        if (c == L'|') c = L'\0';
    }
    list += L'\0';
    return list;
}

using FileDialogEntry = BOOL(WINAPI*)(OPENFILENAMEW*);

// The dialogs' library brings the printing stack with it (spooler, print server client and its
// encryption libraries): several megabytes the program would carry all its life for a dialog most
// runs never open. It is loaded from the system directory when a dialog is first asked for.
FileDialogEntry DialogEntry(bool save) {
    static const HMODULE library = LoadLibraryExW(L"comdlg32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!library) return nullptr;
    return reinterpret_cast<FileDialogEntry>(
        reinterpret_cast<void*>(GetProcAddress(library, save ? "GetSaveFileNameW" : "GetOpenFileNameW")));
}

}  // namespace

bool Win32FileDialogs::ChooseSaveFile(const FileDialogRequest& request, std::filesystem::path& chosen) {
    return Run(request, true, chosen);
}

bool Win32FileDialogs::ChooseOpenFile(const FileDialogRequest& request, std::filesystem::path& chosen) {
    return Run(request, false, chosen);
}

bool Win32FileDialogs::Run(const FileDialogRequest& request, bool save, std::filesystem::path& chosen) {
    const std::wstring filter = SystemFilter(request.filter);
    const std::wstring extension = Utf8ToWide(request.defaultExtension);
    std::vector<wchar_t> file(kPathChars, L'\0');
    const std::wstring initial = Utf8ToWide(request.initialName);
    initial.copy(file.data(), std::min(initial.size(), kPathChars - 1));

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner ? owner() : nullptr;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    // The program's current directory stays where it was, whatever folder the user visits.
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
    if (!save) {
        dialog.Flags |= OFN_FILEMUSTEXIST;
    } else if (request.askBeforeReplacing) {
        dialog.Flags |= OFN_OVERWRITEPROMPT;
    }

    const FileDialogEntry show = DialogEntry(save);
    if (!show) return false;
    BOOL accepted = FALSE;
    {
        // The dialog hosts shell components, which need COM on this thread.
        const ComApartment apartment;
        const ThreadWindowsDisabled modal;
        accepted = show(&dialog);
    }
    if (!accepted) return false;
    chosen = std::filesystem::path(std::wstring(file.data()));
    return !chosen.empty();
}
