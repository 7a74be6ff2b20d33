#pragma once
#include <filesystem>
#include <string>

// What a file dialog shows. The filter is the system's list of description and pattern pairs in
// one text, each followed by '|', such as "rom file(*.rom)|*.rom|".
struct FileDialogRequest {
    std::string initialName;
    std::string defaultExtension;
    std::string filter;
    // The save dialog asks before a chosen existing file would be replaced; a file that is only
    // appended to needs no such question.
    bool askBeforeReplacing = true;
};

// The system's open and save-as dialogs, modal to the program's windows. Neither changes the
// process's current directory. The result is false when the user cancelled (or the dialog failed).
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // Asks before a chosen existing file would be replaced (unless the request says otherwise); no
    // read-only check box.
    virtual bool ChooseSaveFile(const FileDialogRequest& request, std::filesystem::path& chosen) = 0;
    // Only an existing file can be chosen.
    virtual bool ChooseOpenFile(const FileDialogRequest& request, std::filesystem::path& chosen) = 0;
};
