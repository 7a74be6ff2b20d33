#pragma once
#include <functional>

#include "platform/FileDialogs.h"
#include "win32/WinApi.h"

// The system's open and save-as dialogs (comdlg32), owned by the window `owner` gives (the main
// window), with every window of the thread disabled while one is open.
class Win32FileDialogs : public FileDialogs {
public:
    explicit Win32FileDialogs(std::function<HWND()> owner) : owner(std::move(owner)) {}

    bool ChooseSaveFile(const FileDialogRequest& request, std::filesystem::path& chosen) override;
    bool ChooseOpenFile(const FileDialogRequest& request, std::filesystem::path& chosen) override;

private:
    bool Run(const FileDialogRequest& request, bool save, std::filesystem::path& chosen);

    std::function<HWND()> owner;
};
