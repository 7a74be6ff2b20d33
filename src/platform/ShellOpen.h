#pragma once
#include <string_view>

// Opens a web address in the user's default browser. Only addresses fixed in the program are
// passed here, never text a user typed.
class ShellOpener {
public:
    virtual ~ShellOpener() = default;
    // 0 when the shell accepted the request.
    virtual int OpenUrl(std::string_view url) = 0;
};
