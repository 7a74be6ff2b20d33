#pragma once

// The machine-wide "start with Windows" entry of the program. Results are the system's status
// (0 success), as the settings window and the first run store them.
class AutorunStore {
public:
    virtual ~AutorunStore() = default;
    // Creates or opens the entry's key and sets the value to the running executable's path.
    virtual long SetAutorun() = 0;
    virtual long RemoveAutorun() = 0;
    // 0 when the value could be read; 1 when the key cannot be opened; 2 when the value is
    // missing or longer than 255 characters.
    virtual int IsAutorunSet() = 0;
};
