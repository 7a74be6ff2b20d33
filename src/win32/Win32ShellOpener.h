#pragma once
#include "platform/ShellOpen.h"

// The shell's "open" verb in a normal window.
class Win32ShellOpener : public ShellOpener {
public:
    int OpenUrl(std::string_view url) override;
};
